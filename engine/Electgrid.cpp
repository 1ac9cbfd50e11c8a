#include "engine/Electgrid.h"

#include <algorithm>
#include <cstring>

TElectGrid::TElectGrid() {
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    Version = kRecordVersion;
    GridType = gtLine;
    DX = 5.0f;
    OffsetX = 0.0f;
    NX = 48;
    DY = 5.0f;
    OffsetY = 0.0f;
    NY = 1;
    ArrayType = atDipoleDipole;
}

float TElectGrid::ColumnX(std::int32_t ix) const {
    return static_cast<float>((static_cast<long double>(ix) - 1) * DX + static_cast<long double>(OffsetX));
}

bool TElectGrid::UsedXExtent(float& first, float& last) const {
    std::int32_t lo = 0, hi = 0;
    for (int e = std::max(FirstElectrode, 0); e <= LastElectrode && e < kMaxElectrodes; ++e) {
        const TElectGridNode& n = Nodes[e];
        if (n.Used == 0 || n.IX < 1) continue;
        if (lo == 0 || n.IX < lo) lo = n.IX;
        hi = std::max(hi, n.IX);
    }
    if (lo == 0) return false;
    first = ColumnX(lo);
    last = ColumnX(hi);
    return true;
}
