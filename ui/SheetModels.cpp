#include "ui/SheetModels.h"

#include <charconv>
#include <type_traits>

#include "ui/Format.h"

namespace {
// The decimals of the sheets' "0.00" figures.
constexpr int kSheetDecimals = 2;
constexpr int kQuadripoleColumns = 9;
constexpr int kElectrodeColumns = 4;

// A figure as the sheets show it: whole numbers in decimal, measures "0.00".
constexpr auto Text = [](auto v) {
    if constexpr (std::is_floating_point_v<decltype(v)>)
        return Format2(v);
    else
        return QString::number(v);
};

// Nearly the figure's text (the sign of a figure that rounds to zero aside), without making a
// QString: enough to rank the widths of a whole column.
struct TSketch {
    char* Out;
    int Size;
    template <class T>
    int operator()(T v) const {
        std::to_chars_result r;
        if constexpr (std::is_floating_point_v<T>)
            r = std::to_chars(Out, Out + Size, v, std::chars_format::fixed, kSheetDecimals);
        else
            r = std::to_chars(Out, Out + Size, v);
        return r.ec == std::errc() ? int(r.ptr - Out) : -1;
    }
};
}  // namespace

void TQuadripoleSheet::Load(const TElectSequence& s) {
    beginResetModel();
    Rows.clear();
    const int count = std::min(s.Device.LastQuadripole + 1, kMaxQuadripoles);
    Rows.reserve(std::size_t(std::max(count, 0)));
    for (int q = 0; q < count; ++q) {
        const TQuadripole& p = s.Device.Quadripoles[q];
        const TQuadripoleInfo& info = s.QuadInfo[q];
        Rows.push_back({p.A, p.B, p.M, p.N, info.SpacingCoef, info.Level, info.Depth,
                        double(s.Device.GetGeometricFactor(q, s.RemoteElectrodes))});
    }
    endResetModel();
}

template <class F>
auto TQuadripoleSheet::Field(int col, int row, F&& f) const {
    const TRow& r = Rows[std::size_t(row - 1)];
    switch (col) {
        case 0: return f(row);
        case 1: return f(r.A);
        case 2: return f(r.B);
        case 3: return f(r.M);
        case 4: return f(r.N);
        case 5: return f(r.SpacingCoef);
        case 6: return f(r.Level);
        case 7: return f(double(r.Depth));
        default: return f(r.K);
    }
}

QString TQuadripoleSheet::Cell(int col, int row) const {
    static const char* const titles[kQuadripoleColumns] = {"# Quad.", "Ca",    "Cb",    "Pm",      "Pn",
                                                          "Spac. Coef", "Level", "Depth", "K factor"};
    if (col < 0 || col >= kQuadripoleColumns || row < 0 || row > int(Rows.size())) return {};
    if (row == 0) return QString::fromLatin1(titles[col]);
    return Field(col, row, Text);
}

int TQuadripoleSheet::CellSketch(int col, int row, char* out, int size) const {
    if (col < 0 || col >= kQuadripoleColumns || row < 1 || row > int(Rows.size())) return -1;
    return Field(col, row, TSketch{out, size});
}

void TElectrodeSheet::Load(const TElectSequence& s) {
    beginResetModel();
    Rows.clear();
    const int first = std::max(s.Grid.FirstElectrode, 0);
    const int last = std::min(s.Grid.LastElectrode, kMaxElectrodes - 1);
    for (int e = first; e <= last; ++e) {
        if (s.Grid.Nodes[e].Used == 0) continue;
        const TElectrodeXYZ& p = s.Device.Electrodes[e];
        Rows.push_back({e, p.X, p.Y, p.Z});
    }
    endResetModel();
}

template <class F>
auto TElectrodeSheet::Field(int col, int row, F&& f) const {
    const TRow& r = Rows[std::size_t(row - 1)];
    switch (col) {
        case 0: return f(r.Number);
        case 1: return f(double(r.X));
        case 2: return f(double(r.Y));
        default: return f(double(r.Z));
    }
}

QString TElectrodeSheet::Cell(int col, int row) const {
    static const char* const titles[kElectrodeColumns] = {"# Node", "X (m)", "Y (m)", "Z (m)"};
    if (col < 0 || col >= kElectrodeColumns || row < 0 || row > int(Rows.size())) return {};
    if (row == 0) return QString::fromLatin1(titles[col]);
    return Field(col, row, Text);
}

int TElectrodeSheet::CellSketch(int col, int row, char* out, int size) const {
    if (col < 0 || col >= kElectrodeColumns || row < 1 || row > int(Rows.size())) return -1;
    return Field(col, row, TSketch{out, size});
}
