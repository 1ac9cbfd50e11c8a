#pragma once
// The two sheets of the "View Sheet" tab: snapshots of a sequence taken when it is shown,
// formatted only for the rows on screen (and for printing or export).
#include <cstdint>
#include <vector>

#include "engine/Electsequence.h"
#include "ui/StringGrid.h"

// The number column of both sheets is at least this wide, wider when its numbers need it.
constexpr int kSheetNumberWidth = 56;

class TQuadripoleSheet : public TGridModel {
public:
    explicit TQuadripoleSheet(QObject* parent = nullptr) : TGridModel(parent) {}
    void Load(const TElectSequence& s);
    int ColCount() const override { return 9; }
    int RowCount() const override { return int(Rows.size()) + 1; }
    QString Cell(int col, int row) const override;
    int CellSketch(int col, int row, char* out, int size) const override;

private:
    // f of the value of cell (col, row), row 1 or more.
    template <class F>
    auto Field(int col, int row, F&& f) const;
    struct TRow {
        std::uint16_t A, B, M, N;
        std::uint16_t SpacingCoef;
        std::int16_t Level;
        float Depth;
        double K;
    };
    std::vector<TRow> Rows;
};

class TElectrodeSheet : public TGridModel {
public:
    explicit TElectrodeSheet(QObject* parent = nullptr) : TGridModel(parent) {}
    void Load(const TElectSequence& s);
    int ColCount() const override { return 4; }
    int RowCount() const override { return int(Rows.size()) + 1; }
    QString Cell(int col, int row) const override;
    int CellSketch(int col, int row, char* out, int size) const override;

private:
    template <class F>
    auto Field(int col, int row, F&& f) const;
    struct TRow {
        int Number;
        float X, Y, Z;
    };
    std::vector<TRow> Rows;
};
