// The depth-level grid: median depth of every (spacing coefficient, level) cell for the
// current grid and array, the default selections and the automatic multigradient set-up.
#include <algorithm>

#include "engine/ArrayTypes.h"
#include "engine/Electsequence.h"

namespace {
// The meter's settings that the automatic multigradient set-up presets.
constexpr std::int32_t kAutoStackMin = 3;
constexpr std::int32_t kAutoStackMax = 6;
constexpr float kAutoQMax = 0.5f;
constexpr std::int32_t kAutoVmnChoice = 0;
constexpr std::int32_t kAutoTimeIndex = 4;
constexpr std::int32_t kAutoVabMax = 800;  // volts
constexpr long double kAutoDepthMargin = 0.1L;  // a cell this much deeper than asked still counts
// A cell no deeper than this does not fit on the spread.
constexpr long double kNoDepth = 0.01L;

// The default selection of the other arrays: every level but the last for the arrays with one
// spacing coefficient, else six levels a spacing coefficient, each row starting five further.
constexpr int kOneSpacingLevels = kLevels - 1;
constexpr int kLevelsPerSpacing = 6;
constexpr int kLevelStepPerSpacing = 5;

long double DipoleDipole(long double r) { return (-0.0018333L * r + 0.27642L) * r + 0.1416933L; }
long double PoleDipole(long double r) { return (-0.000915179L * r + 0.397614583L) * r + 0.127613095L; }

// How many positions of cell (a, n) fit on a row of count electrodes; the cell exists when > 0.
int FitCount(const TElectGrid& g, bool alongY, int count, int a, int n) {
    switch (ArrayTypeOf(g).CellFit) {
        case cfBorehole: return count - 2;
        case cfDipoleDipole: return count - 2 * a - n;
        case cfEquatorial: return (!alongY || a == 1) ? count - n : 0;
        case cfPoleDipole: return count - a - n;
        case cfWenner: return a == 1 ? count - 3 * n : 0;
        case cfWennerSchlumberger: return count - a - 2 * n;
        case cfMultiGradient: return count - (n + 2) * a;
        case cfOneSpacing: return a == 1 ? count - n : 0;
    }
    return 0;
}

float CellDepth(const TElectGrid& g, float d, int a, int n) {
    const float L = static_cast<float>(static_cast<long double>(n) * d);
    const float s = static_cast<float>(static_cast<long double>(a) * d);
    const float r = static_cast<float>(static_cast<long double>(n) / a);
    long double depth = 0;
    switch (ArrayTypeOf(g).CellDepth) {
        case cdSpread: depth = (2.0L * r + 1) * s * 0.19L; break;
        case cdDipoleDipole: depth = DipoleDipole(r) * s; break;
        case cdPoleDipole: depth = PoleDipole(r) * s; break;
        case cdWenner: depth = 0.519L * L; break;
        case cdGradient: depth = 0.19L * L; break;
        case cdPolePole: depth = 0.867L * L; break;
        case cdMultiGradient: {
            const float r2 = static_cast<float>((n + 1) / 2.0L);
            depth = PoleDipole(r2) * s;
            break;
        }
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
    SetArrayType(atMultiGradient);
    ComputeSpacingLevelDepths(true, kLevels);
    SetRhoIP(false);
    Device.StackMin = kAutoStackMin;
    Device.StackMax = kAutoStackMax;
    Device.QMax = kAutoQMax;
    SetVmn(kAutoVmnChoice);
    SetTime(kAutoTimeIndex);
    SetVabMax(kAutoVabMax);

    const float limit = static_cast<float>(static_cast<long double>(maxDepth) + kAutoDepthMargin);
    bool stopped = false;
    for (auto& row : SpacingLevels) {
        ClearRow(row);
        if (stopped) continue;
        const float depth = row.DepthX[kAutoCreationLevel - 1];
        if (depth > limit) {
            stopped = true;
        } else if (depth > kNoDepth) {
            row.Selected[kAutoCreationLevel - 1] = 1;
            row.SelectedCount = 1;
        }
    }
}

void TElectSequence::AutoGridDepthLevel() {
    ComputeSpacingLevelDepths(true, kLevels);
    const TLevelRule levels = ArrayTypeOf(Grid).Levels;
    bool stopped = false;
    for (int a = 1; a <= kSpacingCoefficients; ++a) {
        TSpacingLevel& row = SpacingLevels[a - 1];
        ClearRow(row);
        int first = 1, count = 0;
        switch (levels) {
            case lrSixPerSpacing: first = kLevelStepPerSpacing * (a - 1) + 1; count = kLevelsPerSpacing; break;
            case lrOneSpacing: first = 1; count = kOneSpacingLevels; break;
            case lrAutoCreationLevel: first = kAutoCreationLevel; count = 1; break;
        }
        for (int n = first; n < first + count && !stopped; ++n) {
            if (row.DepthX[n - 1] <= kNoDepth) {
                stopped = true;
                break;
            }
            row.Selected[n - 1] = 1;
            ++row.SelectedCount;
        }
    }
}
