#pragma once
// Working state shared by every sequence generator: the node map, the number counters per
// spacing coefficient, the 16000 limit and the largest depths. Each generator describes its
// array (electrode pattern and bounds) on top of it.
//
// The list order is the order of measurement, so the visit is fixed: nodes row by row, then
// the families of the array, then spacing coefficient a outer and level n inner over the
// selected cells. Two things keep it fast without changing the list: only selected levels are
// visited, and a level is not tried once its spread leaves the bounds or the part of the map
// that holds electrodes (every array needs an electrode there). Storing stops at 16000, after
// which nothing could change.
#include <cstdint>
#include <vector>

#include "engine/Electsequence.h"

namespace generators {

// Which largest depth a family keeps.
enum class DepthTo {
    X,       // MaxDepthX
    Y,       // MaxDepthY
    YThenX,  // MaxDepthY, then MaxDepthX
    AbsY,    // MaxDepthY by absolute value (borehole depths are negative)
};

class Frame {
public:
    explicit Frame(TElectSequence& seq);

    // Electrode at 0-based column c and row r; 0 = none, and so is everything outside the map.
    // Only the occupied part of the map (columns below ColEnd, rows below RowEnd) is stored.
    std::uint32_t E(int c, int r) const {
        return static_cast<unsigned>(c) < static_cast<unsigned>(colEnd_) &&
                       static_cast<unsigned>(r) < static_cast<unsigned>(rowEnd_)
                   ? map_[static_cast<std::size_t>(r) * colEnd_ + c]
                   : 0;
    }

    int NX() const { return nx_; }
    int NY() const { return ny_; }
    // One past the last column (row) of the map that holds an electrode; 0 for an empty map.
    int ColEnd() const { return colEnd_; }
    int RowEnd() const { return rowEnd_; }
    // Whether an electrode far columns (rows) beyond c (r) can be present at all.
    bool ColFits(int c, int far) const { return c + far < colEnd_; }
    bool RowFits(int r, int far) const { return r + far < rowEnd_; }

    int Count() const { return q_; }
    bool Full() const { return q_ >= kMaxQuadripoles; }

    // Stores (A, B, M, N) with level n under spacing coefficient a and its next number, and
    // keeps the largest depth. Returns false once the list is full.
    bool Store(std::uint32_t A, std::uint32_t B, std::uint32_t M, std::uint32_t N, int n, int a, DepthTo to);

    // Calls node(c, r, electrode) for every node of the grid that holds an electrode, rows
    // outer and columns inner, forward or from the last row and column backwards. The node's
    // electrode is the start electrode of every array, so an empty node yields nothing.
    // Returns false once the list is full.
    template <class Node>
    bool Nodes(bool backward, Node node) const {
        const int rows = Clamp(ny_, kMaxGridRows), cols = Clamp(nx_, kMaxGridColumns);
        for (int i = 0; i < rows; ++i) {
            const int r = backward ? rows - 1 - i : i;
            for (int j = 0; j < cols; ++j) {
                const int c = backward ? cols - 1 - j : j;
                if (const std::uint32_t e = E(c, r))
                    if (!node(c, r, e)) return false;
            }
        }
        return true;
    }

    // Calls cell(a, n) for the selected cells, a = 1..9 outer and n ascending inner, or both
    // descending, skipping every level for which fits(a, n) is false. fits must hold for a
    // prefix of the levels (true for n implies true for every smaller n) and be false only
    // where the cell can yield nothing. Returns false as soon as cell does (list full).
    template <class Fits, class Cell>
    bool Cells(bool descending, Fits fits, Cell cell) const {
        for (int i = 0; i < kSpacingCoefficients; ++i) {
            const int a = descending ? kSpacingCoefficients - i : i + 1;
            const Levels& lv = levels_[a - 1];
            int lo = 0, hi = lv.count;  // first level that does not fit, by bisection
            while (lo < hi) {
                const int mid = (lo + hi) / 2;
                if (fits(a, int(lv.n[mid])))
                    lo = mid + 1;
                else
                    hi = mid;
            }
            for (int k = 0; k < lo; ++k)
                if (!cell(a, int(lv.n[descending ? lo - 1 - k : k]))) return false;
        }
        return true;
    }

private:
    struct Levels {
        int count = 0;
        std::uint8_t n[kLevels];  // selected levels, ascending
    };
    static int Clamp(int v, int hi) { return v < 0 ? 0 : v > hi ? hi : v; }

    TElectSequence& seq_;
    std::vector<std::uint32_t> map_;  // row-major, colEnd_ entries per row
    Levels levels_[kSpacingCoefficients];
    std::uint16_t counter_[kSpacingCoefficients] = {};
    int nx_, ny_;
    int colEnd_ = 0, rowEnd_ = 0;
    int q_ = 0;
};

// Offsets along one direction of the grid that describe a four-electrode spread; kRemote
// marks the remote electrode of a slot.
constexpr int kRemote = -0x7fffffff;

struct Spread {
    int off[4];  // A, B, M, N
    int hi;      // bound: node + hi < map size on each axis of the direction
    int lo;      // bound: node + lo >= 0 on each axis of the direction
};

// Direction of a family: column step and row step per offset.
struct Direction {
    int dc, dr;
};
constexpr Direction kAlongX{1, 0}, kAlongY{0, 1}, kDiagonal{1, 1};

// Runs one family of a single-spread array at node (c, r): for every selected cell that
// passes the bounds, the quadripole of spread(a, n) is stored when each of its non-remote
// electrodes is present. hi and the farthest offset must not decrease as n grows, nor lo
// increase, so that the cells that fit are a prefix of the levels.
template <class SpreadOf>
bool Family(Frame& f, int c, int r, Direction d, bool descending, DepthTo to, SpreadOf spread) {
    auto fits = [&](int a, int n) {
        const Spread s = spread(a, n);
        int far = 0;  // farthest electrode; the node's own sits at offset 0
        for (int o : s.off)
            if (o != kRemote && o > far) far = o;
        if (d.dc && (c + s.lo < 0 || c + s.hi >= kMaxGridColumns || !f.ColFits(c, far))) return false;
        if (d.dr && (r + s.lo < 0 || r + s.hi >= kMaxGridRows || !f.RowFits(r, far))) return false;
        return true;
    };
    return f.Cells(descending, fits, [&](int a, int n) {
        const Spread s = spread(a, n);
        std::uint32_t e[4];
        for (int k = 0; k < 4; ++k) {
            if (s.off[k] == kRemote) {
                e[k] = 0;
                continue;
            }
            e[k] = f.E(c + s.off[k] * d.dc, r + s.off[k] * d.dr);
            if (!e[k]) return true;
        }
        return f.Store(e[0], e[1], e[2], e[3], n, a, to);
    });
}

// Spreads shared by several arrays.
inline Spread DipoleDipole(int a, int n) { return {{0, a, a + n, 2 * a + n}, 2 * a + n, 0}; }
inline Spread PoleDipoleForward(int a, int n) { return {{kRemote, 0, n, a + n}, a + n, 0}; }
// The potential dipole mirrored behind the node; the bound still reaches a + n ahead.
inline Spread PoleDipoleReverse(int a, int n) { return {{kRemote, 0, -n, -a - n}, a + n, -a - n}; }
inline Spread PolePole(int, int n) { return {{kRemote, 0, n, kRemote}, n, 0}; }

// The X family when NX > 1, then the Y family when NY > 1, the pair of most arrays.
template <class SpreadX, class SpreadY>
bool AlongXThenY(Frame& f, int c, int r, bool descending, SpreadX x, SpreadY y) {
    if (f.NX() > 1 && !Family(f, c, r, kAlongX, descending, DepthTo::X, x)) return false;
    if (f.NY() > 1 && !Family(f, c, r, kAlongY, descending, DepthTo::Y, y)) return false;
    return true;
}

}  // namespace generators
