#pragma once
// Printing of a sheet as framed boxes, page by page, and its comma-separated text.
#include <QByteArray>
#include <QString>
#include <vector>

class QPrinter;
class TGridModel;

// One printed page: a block of columns and a run of rows of the sheet.
struct TSheetPage {
    int FirstCol, ColCount;
    int FirstRow, RowCount;
};

// Reference page of 4800 x 6826 units: 60 rows a page, cells 700 x 100 from (200, 200).
constexpr int kSheetRowsPerPage = 60;
constexpr int kSheetRefWidth = 4800;
constexpr int kSheetRefHeight = 6826;

// The pages of a sheet of cols x rows cells, block by block (all pages of the first columns
// first). The title row and title column are cells like the others.
std::vector<TSheetPage> SheetPages(int cols, int rows, int blockWidth);

// Whole percentages from reference units to device pixels, for a page of width x height
// pixels. Blocks wider than 6 columns are squeezed so they still fit across the page.
struct TSheetScale {
    int Sx, Sy;
    int H(int d) const { return d * Sx / 100; }
    int V(int d) const { return d * Sy / 100; }
};
TSheetScale SheetScale(int pageWidth, int pageHeight, int blockWidth);

// Prints every cell of grid on printer in blocks of blockWidth columns. False when the job
// could not be started or a page could not be added.
bool PrintSheet(const TGridModel& grid, int blockWidth, QPrinter& printer);

// One cell of a comma-separated line: quoted (inner quotes doubled) when it holds a quote, a
// comma, a blank or a control character.
QString CommaTextCell(const QString& cell);
// The whole sheet, one line per row from the title row, each line ended by CR LF, in the
// local 8-bit encoding.
QByteArray SheetCommaText(const TGridModel& grid);
