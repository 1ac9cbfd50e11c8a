#include "ui/SheetPrint.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPrinter>

#include "ui/StringGrid.h"

namespace {

// Parts of a run of count items cut into pieces of size (the last one takes the remainder).
std::vector<std::pair<int, int>> Pieces(int count, int size) {
    std::vector<std::pair<int, int>> out;
    for (int first = 0; first < count; first += size) out.emplace_back(first, std::min(size, count - first));
    return out;
}

}  // namespace

std::vector<TSheetPage> SheetPages(int cols, int rows, int blockWidth) {
    std::vector<TSheetPage> pages;
    if (cols <= 0 || rows <= 0 || blockWidth <= 0) return pages;
    for (const auto& [firstCol, colCount] : Pieces(cols, blockWidth))
        for (const auto& [firstRow, rowCount] : Pieces(rows, kSheetRowsPerPage))
            pages.push_back({firstCol, colCount, firstRow, rowCount});
    return pages;
}

TSheetScale SheetScale(int pageWidth, int pageHeight, int blockWidth) {
    const int w = blockWidth <= 6 ? pageWidth : pageWidth * 5 / (blockWidth - 2);
    return {w * 100 / kSheetRefWidth, pageHeight * 100 / kSheetRefHeight};
}

bool PrintSheet(const TGridModel& grid, int blockWidth, QPrinter& printer) {
    const std::vector<TSheetPage> pages = SheetPages(grid.ColCount(), grid.RowCount(), blockWidth);
    QPainter p;
    if (!p.begin(&printer)) return false;
    const TSheetScale s = SheetScale(printer.width(), printer.height(), blockWidth);
    const int left = s.H(200), right = s.H(900), colStep = s.H(700);
    const int top = s.V(200), bottom = s.V(300), rowStep = s.V(100);
    const int textRight = s.H(20), textDown = s.V(10);
    // Text is placed by its top edge, as the boxes are.
    const int ascent = p.fontMetrics().ascent();
    QPen frame(Qt::black);
    frame.setCosmetic(true);
    p.setPen(frame);
    p.setBrush(Qt::NoBrush);

    bool ok = true;
    for (std::size_t i = 0; i < pages.size() && ok; ++i) {
        if (i > 0 && !printer.newPage()) {
            ok = false;
            break;
        }
        const TSheetPage& page = pages[i];
        int y = top, y2 = bottom;
        for (int row = page.FirstRow; row < page.FirstRow + page.RowCount; ++row) {
            int x = left, x2 = right;
            for (int col = page.FirstCol; col < page.FirstCol + page.ColCount; ++col) {
                const QRect box(QPoint(x, y), QPoint(x2 - 1, y2 - 1));
                p.fillRect(box, Qt::white);
                p.drawText(x + textRight, y + textDown + ascent, grid.Cell(col, row));
                p.drawRect(box.adjusted(0, 0, -1, -1));
                x += colStep;
                x2 += colStep;
            }
            y += rowStep;
            y2 += rowStep;
        }
    }
    return p.end() && ok;
}

QString CommaTextCell(const QString& cell) {
    bool quote = false;
    for (const QChar c : cell) {
        const char16_t u = c.unicode();
        if (u == '"' || u == ',' || (u >= 1 && u <= 32)) {
            quote = true;
            break;
        }
    }
    if (!quote) return cell;
    QString out = cell;
    out.replace('"', QStringLiteral("\"\""));
    return '"' + out + '"';
}

QByteArray SheetCommaText(const TGridModel& grid) {
    QByteArray out;
    const int cols = grid.ColCount();
    for (int row = 0; row < grid.RowCount(); ++row) {
        QString line;
        for (int col = 0; col < cols; ++col) {
            if (col > 0) line += ',';
            line += CommaTextCell(grid.Cell(col, row));
        }
        out += line.toLocal8Bit();
        out += "\r\n";
    }
    return out;
}
