#pragma once
// A string grid in the manner of the form layouts: cells addressed (column, row) with the
// fixed title row and title column included. The view is a QTableView over a model, so a
// sheet of 16000 rows costs no widget per row; the fixed row and column are drawn as the
// view's headers and cell (0, 0) as a corner label.
#include <QAbstractTableModel>
#include <QLabel>
#include <QString>
#include <QTableView>
#include <vector>

class TGridModel : public QAbstractTableModel {
public:
    explicit TGridModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    virtual int ColCount() const = 0;
    virtual int RowCount() const = 0;
    virtual QString Cell(int col, int row) const = 0;
    // About the text of a cell, written into out as plain ASCII, for ranking the widths of many
    // cells quickly (the widest are then measured from Cell()); its length, or -1 when the model
    // has no such form and Cell() is to be used.
    virtual int CellSketch(int /*col*/, int /*row*/, char* /*out*/, int /*size*/) const { return -1; }

    int FixedCols = 1;   // 0 or 1: column 0 is shown as the row headers
    int FixedRows = 1;   // 0 or 1: row 0 is shown as the column headers
    int ShadedCols = 0;  // further leading columns drawn like fixed ones (scrolling with the cells)

    // Tells the views that every cell may have changed.
    void Refresh();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
};

// Editable table of texts, the default model of every grid.
class TStringTableModel : public TGridModel {
public:
    explicit TStringTableModel(QObject* parent = nullptr) : TGridModel(parent) {}

    int ColCount() const override { return Cols; }
    int RowCount() const override { return Rows; }
    QString Cell(int col, int row) const override;
    void SetCell(int col, int row, const QString& text);
    void SetSize(int cols, int rows);
    // Empties every cell from (col0, row0) to the end.
    void ClearFrom(int col0, int row0);
    // Between BeginUpdate and EndUpdate the views are told nothing; EndUpdate refreshes once.
    void BeginUpdate() { ++UpdateDepth; }
    void EndUpdate();

    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool Editable = false;

private:
    int Cols = 0, Rows = 0;
    int UpdateDepth = 0;
    std::vector<QString> Cells;
};

class TStringGrid : public QTableView {
    Q_OBJECT
public:
    explicit TStringGrid(QWidget* parent = nullptr);

    int ColCount() const { return Grid->ColCount(); }
    int RowCount() const { return Grid->RowCount(); }
    QString Cells(int col, int row) const;
    // Only for grids on their own string table.
    void SetCells(int col, int row, const QString& text);
    void SetColCount(int n);
    void SetRowCount(int n);
    TStringTableModel* Strings() const { return Table; }

    // Shows another model (the sheets); nullptr returns to the string table.
    void SetGridModel(TGridModel* model);
    TGridModel* GridModel() const { return Grid; }

    void SetFixed(int cols, int rows, int shadedCols = 0);
    void SetColWidth(int col, int width);
    int ColWidth(int col) const;
    void SetDefaultColWidth(int width);
    void SetDefaultRowHeight(int height);
    // The width column col needs to show its title and every one of its cells whole, in the
    // fonts and the style the grid draws them with. Kept until the model's contents change.
    int ContentWidth(int col) const;

protected:
    void updateGeometries() override;

private:
    void Attach(TGridModel* m);
    int MeasureContent(int col) const;
    TStringTableModel* Table;
    TGridModel* Grid;
    QLabel* Corner;
    int FixedColWidth = 64;
    mutable std::vector<int> ContentWidths;  // by column, -1 until measured
    std::vector<QMetaObject::Connection> ModelWatch;
};
