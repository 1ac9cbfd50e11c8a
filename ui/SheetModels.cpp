#include "ui/SheetModels.h"

#include "ui/Format.h"

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

QString TQuadripoleSheet::Cell(int col, int row) const {
    static const char* const titles[9] = {"# Quad.", "Ca", "Cb", "Pm", "Pn", "Spac. Coef", "Level", "Depth", "K factor"};
    if (col < 0 || col >= 9 || row < 0 || row > int(Rows.size())) return {};
    if (row == 0) return QString::fromLatin1(titles[col]);
    const TRow& r = Rows[std::size_t(row - 1)];
    switch (col) {
        case 0: return QString::number(row);
        case 1: return QString::number(r.A);
        case 2: return QString::number(r.B);
        case 3: return QString::number(r.M);
        case 4: return QString::number(r.N);
        case 5: return QString::number(r.SpacingCoef);
        case 6: return QString::number(r.Level);
        case 7: return Format2(r.Depth);
        default: return Format2(r.K);
    }
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

QString TElectrodeSheet::Cell(int col, int row) const {
    static const char* const titles[4] = {"# Node", "X (m)", "Y (m)", "Z (m)"};
    if (col < 0 || col >= 4 || row < 0 || row > int(Rows.size())) return {};
    if (row == 0) return QString::fromLatin1(titles[col]);
    const TRow& r = Rows[std::size_t(row - 1)];
    switch (col) {
        case 0: return QString::number(r.Number);
        case 1: return Format2(r.X);
        case 2: return Format2(r.Y);
        default: return Format2(r.Z);
    }
}
