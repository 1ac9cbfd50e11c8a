#include "engine/Electgrid.h"

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
