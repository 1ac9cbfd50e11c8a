#pragma once
// Small builders shared by the engine tests.
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>

#include "engine/Electsequence.h"

using Abmn = std::array<std::uint32_t, 4>;

inline std::uint32_t Bits(float f) { return std::bit_cast<std::uint32_t>(f); }

// The object is half a megabyte: always on the heap.
inline std::unique_ptr<TElectSequence> NewSequence() { return std::make_unique<TElectSequence>(); }

// Places nx x ny electrodes numbered row by row from 1 (electrode (iy - 1) * nx + ix at column
// ix, row iy), updates the grid's counts and fills the device electrode table.
inline void PlaceGrid(TElectSequence& s, TGridType type, int nx, int ny, float dx, float dy = 1.0f,
                      float offsetX = 0.0f, float offsetY = 0.0f) {
    TElectGrid& g = s.Grid;
    g.GridType = type;
    g.NX = nx;
    g.NY = ny;
    g.DX = dx;
    g.DY = dy;
    g.OffsetX = offsetX;
    g.OffsetY = offsetY;
    for (auto& node : g.Nodes) node = TElectGridNode{0, 0, 0};
    for (int iy = 1; iy <= ny; ++iy)
        for (int ix = 1; ix <= nx; ++ix) g.Nodes[(iy - 1) * nx + ix] = TElectGridNode{1, ix, iy};
    g.FirstElectrode = 1;
    g.LastElectrode = nx * ny;
    g.ElectrodeCount = nx * ny;
    s.ComputeElectrodePositions();
}

inline void AddQuadripole(TElectSequence& s, const Abmn& q, std::int32_t n = 1, std::int32_t a = 1) {
    s.InsertQuadripole(s.QuadripoleCount(), q.data(), n, a, 1, 0);
}

inline bool SameBytes(const TElectSequence& x, const TElectSequence& y, std::size_t from = 0) {
    return std::memcmp(reinterpret_cast<const char*>(&x) + from, reinterpret_cast<const char*>(&y) + from,
                       sizeof(TElectSequence) - from) == 0;
}
