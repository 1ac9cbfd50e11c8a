// The depth-level grid: median depth of every (spacing coefficient, level) cell for the
// current grid and array, the default selections and the automatic multigradient set-up.
#include <algorithm>

#include "engine/Electsequence.h"

namespace {
long double DipoleDipole(long double r) { return (-0.0018333L * r + 0.27642L) * r + 0.1416933L; }
long double PoleDipole(long double r) { return (-0.000915179L * r + 0.397614583L) * r + 0.127613095L; }

// How many positions of cell (a, n) fit on a row of count electrodes; the cell exists when > 0.
int FitCount(const TElectGrid& g, bool alongY, int count, int a, int n) {
    if (g.GridType == gtBorehole) return count - 2;
    switch (g.ArrayType) {
        case 1: case 12: return count - 2 * a - n;
        case 2: return (!alongY || a == 1) ? count - n : 0;
        case 3: case 4: case 13: case 14: return count - a - n;
        case 5: return a == 1 ? count - 3 * n : 0;
        case 6: case 7: return count - a - 2 * n;
        case 11: return count - (n + 2) * a;
        default: return a == 1 ? count - n : 0;
    }
}

float CellDepth(const TElectGrid& g, float d, int a, int n) {
    const float L = static_cast<float>(static_cast<long double>(n) * d);
    const float s = static_cast<float>(static_cast<long double>(a) * d);
    const float r = static_cast<float>(static_cast<long double>(n) / a);
    long double depth;
    const int type = g.GridType == gtBorehole ? -1 : g.ArrayType;
    switch (type) {
        case 1: case 12: depth = DipoleDipole(r) * s; break;
        case 3: case 4: case 6: case 7: case 13: case 14: depth = PoleDipole(r) * s; break;
        case 5: depth = 0.519L * L; break;
        case 8: depth = 0.19L * L; break;
        case 9: case 10: depth = 0.867L * L; break;
        case 11: {
            const float r2 = static_cast<float>((n + 1) / 2.0L);
            depth = PoleDipole(r2) * s;
            break;
        }
        default: depth = (2.0L * r + 1) * s * 0.19L; break;
    }
    return static_cast<float>(depth);
}

void ClearRow(TSpacingLevel& row) {
    row.SelectedCount = 0;
    std::fill(std::begin(row.Selected), std::end(row.Selected), std::uint8_t{0});
}
}  // namespace

std::int32_t TElectSequence::GetSpacingLevelCount() const {
    std::int32_t total = 0;
    for (const auto& row : SpacingLevels) total += row.SelectedCount;
    return total;
}

void TElectSequence::ClearSpacingLevelDepths() {
    for (auto& row : SpacingLevels) {
        std::fill(std::begin(row.DepthX), std::end(row.DepthX), 0.0f);
        std::fill(std::begin(row.DepthY), std::end(row.DepthY), 0.0f);
    }
}

float TElectSequence::ComputeSpacingLevelDepths(bool store, std::int32_t k) {
    ClearSpacingLevelDepths();
    float depthX[kSpacingCoefficients][kLevels] = {};
    float depthY[kSpacingCoefficients][kLevels] = {};
    for (int a = 1; a <= kSpacingCoefficients; ++a)
        for (int n = 1; n <= kLevels; ++n) {
            if (FitCount(Grid, false, Grid.NX, a, n) > 0) depthX[a - 1][n - 1] = CellDepth(Grid, Grid.DX, a, n);
            if (FitCount(Grid, true, Grid.NY, a, n) > 0) depthY[a - 1][n - 1] = CellDepth(Grid, Grid.DY, a, n);
        }
    if (store)
        for (int a = 0; a < kSpacingCoefficients; ++a) {
            std::copy(std::begin(depthX[a]), std::end(depthX[a]), SpacingLevels[a].DepthX);
            std::copy(std::begin(depthY[a]), std::end(depthY[a]), SpacingLevels[a].DepthY);
        }
    float best = 0.0f;
    if (k < 1 || k > kLevels) return best;
    for (int a = 0; a < kSpacingCoefficients; ++a) best = std::max(best, depthX[a][k - 1]);
    for (int a = 0; a < kSpacingCoefficients; ++a) best = std::max(best, depthY[a][k - 1]);
    return best;
}

void TElectSequence::AutomaticCreation(float maxDepth) {
    SetComment("<-- Automatic creation -->");
    SetSeqName("MultiGAuto");
    SetArrayType(11);
    ComputeSpacingLevelDepths(true, kLevels);
    SetRhoIP(false);
    Device.StackMin = 3;
    Device.StackMax = 6;
    Device.QMax = 0.5f;
    SetVmn(0);
    SetTime(4);
    SetVabMax(800);

    const float limit = static_cast<float>(static_cast<long double>(maxDepth) + 0.1L);
    bool stopped = false;
    for (auto& row : SpacingLevels) {
        ClearRow(row);
        if (stopped) continue;
        const float depth = row.DepthX[9 - 1];
        if (depth > limit) {
            stopped = true;
        } else if (depth > 0.01L) {
            row.Selected[9 - 1] = 1;
            row.SelectedCount = 1;
        }
    }
}

void TElectSequence::AutoGridDepthLevel() {
    ComputeSpacingLevelDepths(true, kLevels);
    bool stopped = false;
    for (int a = 1; a <= kSpacingCoefficients; ++a) {
        TSpacingLevel& row = SpacingLevels[a - 1];
        ClearRow(row);
        int first, count;
        switch (Grid.ArrayType) {
            case 5: case 8: case 9: case 10: first = 1; count = 127; break;
            case 11: first = 9; count = 1; break;
            default: first = 5 * (a - 1) + 1; count = 6; break;
        }
        for (int n = first; n < first + count && !stopped; ++n) {
            if (row.DepthX[n - 1] <= 0.01L) {
                stopped = true;
                break;
            }
            row.Selected[n - 1] = 1;
            ++row.SelectedCount;
        }
    }
}
