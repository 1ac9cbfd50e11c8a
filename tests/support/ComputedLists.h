#pragma once
// Hand-made computed lists for tests and benchmarks: a line of electrodes and the dipole-dipole
// and multigradient patterns in the order the line generators store them (node by node, then the
// selected cells with a outer and n inner, a running number per spacing coefficient).
#include <cstdint>

#include "engine/Electsequence.h"

inline void PlaceLineOfElectrodes(TElectSequence& s, int count, float dx) {
    TElectGrid& g = s.Grid;
    g.GridType = gtLine;
    g.NX = count;
    g.NY = 1;
    g.DX = dx;
    g.DY = dx;
    g.OffsetX = g.OffsetY = 0.0f;
    for (auto& node : g.Nodes) node = TElectGridNode{0, 0, 0};
    for (int k = 1; k <= count; ++k) g.Nodes[k] = TElectGridNode{1, k, 1};
    g.FirstElectrode = 1;
    g.LastElectrode = count;
    g.ElectrodeCount = count;
    s.ComputeElectrodePositions();
}

// Appends one generated quadripole unless the list is full; false when it is.
inline bool AppendGenerated(TElectSequence& s, std::uint32_t a0, std::uint32_t b, std::uint32_t m,
                            std::uint32_t n, int level, int a, std::uint16_t counters[10]) {
    const int q = s.QuadripoleCount();
    if (q >= kMaxQuadripoles) return false;
    const std::uint32_t abmn[4] = {a0, b, m, n};
    s.SetQuadripole(q, abmn, level, a, 1, ++counters[a]);
    ++s.Device.LastQuadripole;
    return true;
}

// Dipole-dipole (electrodes c, c+a, c+a+n, c+2a+n) for a = 1..maxA, n = 1..maxN on a line of
// `count` electrodes, up to the list limit.
inline void AddDipoleDipoleLine(TElectSequence& s, int count, int maxA, int maxN) {
    s.Grid.ArrayType = 1;
    std::uint16_t counters[10] = {};
    for (int c = 1; c <= count; ++c)
        for (int a = 1; a <= maxA; ++a)
            for (int n = 1; n <= maxN; ++n)
                if (c + 2 * a + n <= count &&
                    !AppendGenerated(s, c, c + a, c + a + n, c + 2 * a + n, n, a, counters))
                    return;
}

// Multigradient: current dipole c, c+(n+2)a, potential dipoles c+ka, c+(k+1)a for k = 1..n.
inline void AddMultigradientLine(TElectSequence& s, int count, int maxA, int maxN) {
    s.Grid.ArrayType = 11;
    std::uint16_t counters[10] = {};
    for (int c = 1; c <= count; ++c)
        for (int a = 1; a <= maxA; ++a)
            for (int n = 1; n <= maxN; ++n)
                if (c + (n + 2) * a <= count)
                    for (int k = 1; k <= n; ++k)
                        if (!AppendGenerated(s, c, c + (n + 2) * a, c + k * a, c + (k + 1) * a, n, a, counters))
                            return;
}

// The same quadripoles stored level by level (all n = 1 first): every chain partner of a
// quadripole stands far behind it.
inline void AddDipoleDipoleLineByLevel(TElectSequence& s, int count, int maxA, int maxN) {
    s.Grid.ArrayType = 1;
    std::uint16_t counters[10] = {};
    for (int n = 1; n <= maxN; ++n)
        for (int a = 1; a <= maxA; ++a)
            for (int c = 1; c <= count; ++c)
                if (c + 2 * a + n <= count &&
                    !AppendGenerated(s, c, c + a, c + a + n, c + 2 * a + n, n, a, counters))
                    return;
}
