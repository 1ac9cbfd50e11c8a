// Generators of the line and surface arrays: X family along the row, then Y family along the
// column, at every node.
#include "engine/Electsequence.h"
#include "engine/GeneratorsFrame.h"

using namespace generators;

namespace {
constexpr int R = kRemote;

Spread Wenner(int, int n) { return {{0, 3 * n, n, 2 * n}, 3 * n, 0}; }
Spread WennerSchlumberger(int a, int n) { return {{0, a + 2 * n, n, a + n}, a + 2 * n, 0}; }
// Bound as for Wenner-Schlumberger although the farthest electrode is at a + n.
Spread WSReciprocal(int a, int n) { return {{0, a, -n, a + n}, a + 2 * n, -n}; }
// The bound holds a although the pattern does not use it.
Spread Gradient(int a, int n) { return {{R, R, 0, n}, a + n, 0}; }

template <class SpreadOf>
std::int32_t XThenY(TElectSequence& s, bool backward, bool descending, SpreadOf x, SpreadOf y) {
    Frame f(s);
    f.Nodes(backward, [&](int c, int r, std::uint32_t) { return AlongXThenY(f, c, r, descending, x, y); });
    return f.Count();
}

template <class SpreadOf>
std::int32_t XThenY(TElectSequence& s, bool descending, SpreadOf spread) {
    return XThenY(s, false, descending, spread, spread);
}
}  // namespace

std::int32_t TElectSequence::ComputeDipoleDipole() { return XThenY(*this, false, DipoleDipole); }
std::int32_t TElectSequence::ComputePoleDipoleForward() { return XThenY(*this, false, PoleDipoleForward); }
// Mirrored along X only; along Y the forward pattern, visited in the reverse node order.
std::int32_t TElectSequence::ComputePoleDipoleReverse() {
    return XThenY(*this, true, false, PoleDipoleReverse, PoleDipoleForward);
}
std::int32_t TElectSequence::ComputeWenner() { return XThenY(*this, false, Wenner); }
std::int32_t TElectSequence::ComputeWennerDelPolar() { return XThenY(*this, true, Wenner); }
std::int32_t TElectSequence::ComputeWennerSchlumberger() { return XThenY(*this, false, WennerSchlumberger); }
std::int32_t TElectSequence::ComputeWennerSchlumbergerDelPolar() { return XThenY(*this, true, WennerSchlumberger); }
std::int32_t TElectSequence::ComputeWSReciprocal() { return XThenY(*this, false, WSReciprocal); }
std::int32_t TElectSequence::ComputeGradient() { return XThenY(*this, false, Gradient); }

// The current dipole across the rows (a rows apart) and the same pair n columns further along
// X; rows and columns swap roles along Y.
std::int32_t TElectSequence::ComputeDipoleDipoleEquatorial() {
    Frame f(*this);
    f.Nodes(false, [&](int c, int r, std::uint32_t A) {
        if (f.NX() > 1) {
            auto fits = [&](int a, int n) {
                return r + a < kMaxGridRows && c + n < kMaxGridColumns && f.RowFits(r, a) && f.ColFits(c, n);
            };
            if (!f.Cells(false, fits, [&](int a, int n) {
                    const std::uint32_t B = f.E(c, r + a), M = f.E(c + n, r), N = f.E(c + n, r + a);
                    return !(B && M && N) || f.Store(A, B, M, N, n, a, DepthTo::X);
                }))
                return false;
        }
        if (f.NY() > 1) {
            auto fits = [&](int a, int n) {
                return c + a < kMaxGridColumns && r + n < kMaxGridRows && f.ColFits(c, a) && f.RowFits(r, n);
            };
            if (!f.Cells(false, fits, [&](int a, int n) {
                    const std::uint32_t B = f.E(c + a, r), M = f.E(c, r + n), N = f.E(c + a, r + n);
                    return !(B && M && N) || f.Store(A, B, M, N, n, a, DepthTo::Y);
                }))
                return false;
        }
        return true;
    });
    return f.Count();
}

// X and Y families, then at every node a diagonal family: for each cell (a, n) the potential
// electrode n columns further and, for each cell (s, m), m rows lower; stored under (a, n).
std::int32_t TElectSequence::ComputeCompletePolePole() {
    Frame f(*this);
    f.Nodes(false, [&](int c, int r, std::uint32_t B) {
        if (!AlongXThenY(f, c, r, false, PolePole, PolePole)) return false;
        if (!f.RowFits(r, 1)) return true;  // no row below holds an electrode
        auto fitsX = [&](int, int n) { return c + n < kMaxGridColumns && f.ColFits(c, n); };
        auto fitsY = [&](int, int m) { return r + m < kMaxGridRows && f.RowFits(r, m); };
        return f.Cells(false, fitsX, [&](int a, int n) {
            return f.Cells(false, fitsY, [&](int, int m) {
                const std::uint32_t M = f.E(c + n, r + m);
                return !M || f.Store(0, B, M, 0, n, a, DepthTo::Y);
            });
        });
    });
    return f.Count();
}

// One current dipole A-B of length (n + 2)a per cell, and the n potential dipoles of length a
// stepping from next to A to next to B.
std::int32_t TElectSequence::ComputeMultiGradient() {
    Frame f(*this);
    f.Nodes(false, [&](int c, int r, std::uint32_t A) {
        auto family = [&](Direction d, DepthTo to) {
            auto fits = [&](int a, int n) {
                const int far = (n + 2) * a;
                return d.dc ? c + far < kMaxGridColumns && f.ColFits(c, far)
                            : r + far < kMaxGridRows && f.RowFits(r, far);
            };
            return f.Cells(false, fits, [&](int a, int n) {
                const int far = (n + 2) * a;
                const std::uint32_t B = f.E(c + far * d.dc, r + far * d.dr);
                if (!B) return true;
                for (int k = 1; k <= n; ++k) {
                    const std::uint32_t M = f.E(c + k * a * d.dc, r + k * a * d.dr);
                    const std::uint32_t N = f.E(c + (k + 1) * a * d.dc, r + (k + 1) * a * d.dr);
                    if (M && N && !f.Store(A, B, M, N, n, a, to)) return false;
                }
                return true;
            });
        };
        if (f.NX() > 1 && !family(kAlongX, DepthTo::X)) return false;
        if (f.NY() > 1 && !family(kAlongY, DepthTo::Y)) return false;
        return true;
    });
    return f.Count();
}
