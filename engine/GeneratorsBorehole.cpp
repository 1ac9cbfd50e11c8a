// Borehole generators: every column of the map is a borehole, every row a depth step.
// Levels are stored as n (1..128) in every family, as on line and surface grids.
#include "engine/Electsequence.h"
#include "engine/GeneratorsFrame.h"

using namespace generators;

namespace {
// Boreholes that can hold an electrode: the grid's columns within the occupied map.
int BoreholeEnd(const Frame& f) { return f.NX() < f.ColEnd() ? f.NX() : f.ColEnd(); }
}  // namespace

std::int32_t TElectSequence::ComputeBoreholeDipoleDipoleDiagonal() {
    Frame f(*this);
    const int boreholes = BoreholeEnd(f);
    f.Nodes(false, [&](int c, int r, std::uint32_t A) {
        // 1: across the boreholes at the node's depth.
        if (f.NX() > 2 && !Family(f, c, r, kAlongX, false, DepthTo::X, DipoleDipole)) return false;
        // 2: down a borehole: A stays at the node, B, M, N lie in borehole k.
        if (f.NY() > 3) {
            auto fits = [&](int a, int n) { return r + 2 * a + n < kMaxGridRows && f.RowFits(r, 2 * a + n); };
            if (!f.Cells(false, fits, [&](int a, int n) {
                    for (int k = 0; k < boreholes; ++k) {
                        const std::uint32_t B = f.E(k, r + a), M = f.E(k, r + a + n), N = f.E(k, r + 2 * a + n);
                        if (B && M && N && !f.Store(A, B, M, N, n, a, DepthTo::AbsY)) return false;
                    }
                    return true;
                }))
                return false;
        }
        // 3: cross-hole: the current dipole down the node's borehole, the potential dipole of
        // the same length in each later borehole with its top n - 1 rows below A.
        if (f.NY() > 2) {
            auto fits = [&](int a, int n) { return r + a + n - 1 < kMaxGridRows && f.RowFits(r, a + n - 1); };
            if (!f.Cells(false, fits, [&](int a, int n) {
                    const std::uint32_t B = f.E(c, r + a);
                    if (!B) return true;
                    for (int c2 = c + 1; c2 < boreholes; ++c2) {
                        const std::uint32_t M = f.E(c2, r + n - 1), N = f.E(c2, r + n - 1 + a);
                        if (M && N && !f.Store(A, B, M, N, n, a, DepthTo::AbsY)) return false;
                    }
                    return true;
                }))
                return false;
        }
        return true;
    });
    return f.Count();
}

// The current dipole across the node's borehole and a later one at the node's depth, the
// potential dipole across the same pair a + n - 1 rows deeper.
std::int32_t TElectSequence::ComputeBoreholeDipoleDipoleEquatorial() {
    Frame f(*this);
    const int boreholes = BoreholeEnd(f);
    if (f.NY() > 2) {
        f.Nodes(false, [&](int c, int r, std::uint32_t A) {
            auto fits = [&](int a, int n) { return r + a + n - 1 < kMaxGridRows && f.RowFits(r, a + n - 1); };
            return f.Cells(false, fits, [&](int a, int n) {
                for (int c2 = c + 1; c2 < boreholes; ++c2) {
                    const std::uint32_t B = f.E(c2, r), M = f.E(c, r + a + n - 1), N = f.E(c2, r + a + n - 1);
                    if (B && M && N && !f.Store(A, B, M, N, n, a, DepthTo::AbsY)) return false;
                }
                return true;
            });
        });
    }
    return f.Count();
}
