#include "ui/StringGrid.h"

#include <QBrush>
#include <QHeaderView>
#include <QPalette>
#include <QStyleOptionHeader>
#include <algorithm>
#include <array>

void TGridModel::Refresh() {
    beginResetModel();
    endResetModel();
}

int TGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, RowCount() - FixedRows);
}

int TGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, ColCount() - FixedCols);
}

QVariant TGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int col = index.column() + FixedCols;
    if (role == Qt::DisplayRole || role == Qt::EditRole) return Cell(col, index.row() + FixedRows);
    if (role == Qt::BackgroundRole && col < FixedCols + ShadedCols) return QBrush(QColor(0xF0, 0xF0, 0xF0));
    return {};
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal)
        return FixedRows ? Cell(section + FixedCols, 0) : QString();
    return FixedCols ? Cell(0, section + FixedRows) : QString();
}

QString TStringTableModel::Cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= Cols || row >= Rows) return {};
    return Cells[std::size_t(row) * std::size_t(Cols) + std::size_t(col)];
}

void TStringTableModel::SetCell(int col, int row, const QString& text) {
    if (col < 0 || row < 0 || col >= Cols || row >= Rows) return;
    Cells[std::size_t(row) * std::size_t(Cols) + std::size_t(col)] = text;
    if (UpdateDepth) return;
    if (row < FixedRows || col < FixedCols) {
        if (row < FixedRows && col >= FixedCols) emit headerDataChanged(Qt::Horizontal, col - FixedCols, col - FixedCols);
        if (col < FixedCols && row >= FixedRows) emit headerDataChanged(Qt::Vertical, row - FixedRows, row - FixedRows);
    } else {
        const QModelIndex i = index(row - FixedRows, col - FixedCols);
        emit dataChanged(i, i);
    }
}

void TStringTableModel::SetSize(int cols, int rows) {
    cols = std::max(0, cols);
    rows = std::max(0, rows);
    if (cols == Cols && rows == Rows) return;
    std::vector<QString> next(std::size_t(cols) * std::size_t(rows));
    for (int r = 0; r < std::min(rows, Rows); ++r)
        for (int c = 0; c < std::min(cols, Cols); ++c)
            next[std::size_t(r) * std::size_t(cols) + std::size_t(c)] =
                std::move(Cells[std::size_t(r) * std::size_t(Cols) + std::size_t(c)]);
    if (!UpdateDepth) beginResetModel();
    Cells.swap(next);
    Cols = cols;
    Rows = rows;
    if (!UpdateDepth) endResetModel();
}

void TStringTableModel::ClearFrom(int col0, int row0) {
    for (int r = std::max(0, row0); r < Rows; ++r)
        for (int c = std::max(0, col0); c < Cols; ++c) Cells[std::size_t(r) * std::size_t(Cols) + std::size_t(c)].clear();
    if (!UpdateDepth) Refresh();
}

void TStringTableModel::EndUpdate() {
    if (UpdateDepth > 0 && --UpdateDepth == 0) Refresh();
}

bool TStringTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    SetCell(index.column() + FixedCols, index.row() + FixedRows, value.toString());
    return true;
}

Qt::ItemFlags TStringTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = TGridModel::flags(index);
    if (Editable) f |= Qt::ItemIsEditable;
    return f;
}

TStringGrid::TStringGrid(QWidget* parent)
    : QTableView(parent), Table(new TStringTableModel(this)), Grid(nullptr), Corner(new QLabel(this)) {
    Corner->setAlignment(Qt::AlignCenter);
    Corner->setAutoFillBackground(true);
    Corner->setFrameShape(QFrame::StyledPanel);
    setCornerButtonEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (QHeaderView* h : {horizontalHeader(), verticalHeader()}) {
        h->setSectionResizeMode(QHeaderView::Fixed);
        h->setHighlightSections(false);
        h->setSectionsClickable(false);
    }
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setDefaultSectionSize(21);
    horizontalHeader()->setMinimumSectionSize(4);
    verticalHeader()->setMinimumSectionSize(4);
    verticalHeader()->setFixedWidth(FixedColWidth);
    Attach(Table);
}

void TStringGrid::Attach(TGridModel* m) {
    for (const QMetaObject::Connection& c : ModelWatch) disconnect(c);
    Grid = m;
    setModel(m);
    ContentWidths.clear();
    // Any change of the contents may change what a column needs.
    auto forget = [this] { ContentWidths.clear(); };
    ModelWatch = {connect(m, &QAbstractItemModel::modelReset, this, forget),
                  connect(m, &QAbstractItemModel::dataChanged, this, forget),
                  connect(m, &QAbstractItemModel::headerDataChanged, this, forget),
                  connect(m, &QAbstractItemModel::layoutChanged, this, forget)};
    horizontalHeader()->setVisible(m->FixedRows > 0);
    verticalHeader()->setVisible(m->FixedCols > 0);
    updateGeometries();
}

QString TStringGrid::Cells(int col, int row) const { return Grid->Cell(col, row); }

void TStringGrid::SetCells(int col, int row, const QString& text) {
    Table->SetCell(col, row, text);
    if (col == 0 && row == 0) Corner->setText(text);
}

void TStringGrid::SetColCount(int n) { Table->SetSize(n, Table->RowCount()); }
void TStringGrid::SetRowCount(int n) { Table->SetSize(Table->ColCount(), n); }

void TStringGrid::SetGridModel(TGridModel* model) {
    Attach(model ? model : Table);
    updateGeometries();
}

void TStringGrid::SetFixed(int cols, int rows, int shadedCols) {
    Table->FixedCols = cols;
    Table->FixedRows = rows;
    Table->ShadedCols = shadedCols;
    Table->Refresh();
    if (Grid == Table) Attach(Table);
}

void TStringGrid::SetColWidth(int col, int width) {
    if (col < Grid->FixedCols) {
        FixedColWidth = width;
        verticalHeader()->setFixedWidth(width);
    } else {
        setColumnWidth(col - Grid->FixedCols, width);
    }
}

int TStringGrid::ColWidth(int col) const {
    return col < Grid->FixedCols ? FixedColWidth : columnWidth(col - Grid->FixedCols);
}

void TStringGrid::SetDefaultColWidth(int width) { horizontalHeader()->setDefaultSectionSize(width); }

void TStringGrid::SetDefaultRowHeight(int height) {
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height + 2);
}

void TStringGrid::updateGeometries() {
    QTableView::updateGeometries();
    if (!Corner) return;
    const bool shown = Grid && Grid->FixedCols > 0 && Grid->FixedRows > 0;
    Corner->setVisible(shown);
    if (!shown) return;
    Corner->setText(Grid->Cell(0, 0));
    const int f = frameWidth();
    Corner->setGeometry(f, f, verticalHeader()->width(), horizontalHeader()->height());
    Corner->raise();
}

int TStringGrid::ContentWidth(int col) const {
    if (col < 0 || col >= Grid->ColCount()) return 0;
    if (ContentWidths.size() != std::size_t(Grid->ColCount())) ContentWidths.assign(std::size_t(Grid->ColCount()), -1);
    int& w = ContentWidths[std::size_t(col)];
    if (w < 0) w = MeasureContent(col);
    return w;
}

namespace {
// Width of the text by its characters' advances, from a table for the characters of numbers.
class TAdvances {
public:
    explicit TAdvances(const QFontMetrics& fm) : Fm(fm) { Ascii.fill(-1); }
    int Of(const char* text, int length) {
        int w = 0;
        for (int i = 0; i < length; ++i) w += Advance(static_cast<unsigned char>(text[i]));
        return w;
    }
    int Of(const QString& text) {
        int w = 0;
        for (const QChar ch : text) w += Advance(ch.unicode());
        return w;
    }

private:
    int Advance(char16_t u) {
        if (u >= Ascii.size()) return Fm.horizontalAdvance(QChar(u));
        int& a = Ascii[u];
        if (a < 0) a = Fm.horizontalAdvance(QChar(u));
        return a;
    }

    const QFontMetrics& Fm;
    std::array<int, 128> Ascii;
};

// What a header section needs for text, as the header sizes its sections.
int HeaderWidth(const QHeaderView* h, const QString& text) {
    QStyleOptionHeader opt;
    opt.initFrom(h);
    opt.text = text;
    opt.fontMetrics = h->fontMetrics();
    opt.orientation = h->orientation();
    return h->style()->sizeFromContents(QStyle::CT_HeaderSection, &opt, QSize(), h).width();
}
}  // namespace

int TStringGrid::MeasureContent(int col) const {
    const int first = Grid->FixedRows, rows = Grid->RowCount();
    const bool fixed = col < Grid->FixedCols;
    // Every cell is measured by its characters, a cheap sum; the widest few are then measured
    // as the grid draws them, kerning and margins included.
    const QHeaderView* rowHeader = verticalHeader();
    const QFontMetrics fm = fixed ? rowHeader->fontMetrics() : fontMetrics();
    TAdvances advances(fm);
    constexpr int kCandidates = 8;
    constexpr int kSketchSize = 64;
    std::vector<std::pair<int, int>> widest;  // (estimate, row), the largest first
    char sketch[kSketchSize];
    for (int r = first; r < rows; ++r) {
        const int length = Grid->CellSketch(col, r, sketch, kSketchSize);
        const int e = length >= 0 ? advances.Of(sketch, length) : advances.Of(Grid->Cell(col, r));
        if (widest.size() == kCandidates && e <= widest.back().first) continue;
        widest.insert(std::upper_bound(widest.begin(), widest.end(), std::make_pair(e, r),
                                       [](const auto& a, const auto& b) { return a.first > b.first; }),
                      {e, r});
        if (widest.size() > kCandidates) widest.pop_back();
    }
    int need = 0;
    if (fixed) {
        for (const auto& [e, r] : widest) need = std::max(need, HeaderWidth(rowHeader, Grid->Cell(col, r)));
        if (first > 0 && Corner)
            need = std::max(need, Corner->fontMetrics().horizontalAdvance(Grid->Cell(col, 0)) +
                                      2 * (Corner->frameWidth() + Corner->margin() + Corner->indent() + 2));
        return need;
    }
    const int gridLine = showGrid() ? 1 : 0;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    for (const auto& [e, r] : widest) {
        const QModelIndex i = Grid->index(r - first, col - Grid->FixedCols);
        need = std::max(need, itemDelegateForIndex(i)->sizeHint(option, i).width() + gridLine);
    }
    if (first > 0) need = std::max(need, horizontalHeader()->sectionSizeHint(col - Grid->FixedCols));
    return need;
}
