// The generators against the plain nested loops, on random layouts and selections and on the
// largest layouts where the list fills up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "tests/engine/generator_oracle.h"

namespace {

std::string Describe(const TElectSequence& s) {
    std::string d = "grid type " + std::to_string(s.Grid.GridType) + ", NX " + std::to_string(s.Grid.NX) +
                    ", NY " + std::to_string(s.Grid.NY) + ", electrodes:";
    for (int k = 0; k < 1320; ++k)
        if (s.Grid.Nodes[k].Used)
            d += " " + std::to_string(k) + "@(" + std::to_string(s.Grid.Nodes[k].IX) + "," +
                 std::to_string(s.Grid.Nodes[k].IY) + ")";
    d += "; cells:";
    for (int a = 1; a <= 9; ++a)
        for (int n = 1; n <= 128; ++n)
            if (s.SpacingLevels[a - 1].Selected[n - 1]) d += " (" + std::to_string(a) + "," + std::to_string(n) + ")";
    return d;
}

// Runs the generator and the plain loops on copies of s and compares everything they write.
void ExpectSameAsPlain(const GeneratorCase& g, const TElectSequence& s) {
    static const auto fast = std::make_unique<TElectSequence>(), plain = std::make_unique<TElectSequence>();
    *fast = s;
    *plain = s;
    fast->ComputeElectrodePositions();
    plain->ComputeElectrodePositions();
    const int count = ((*fast).*g.generator)();
    const int expected = g.plain(*plain);
    ASSERT_EQ(count, expected) << g.name << ": " << Describe(s);
    EXPECT_EQ(std::memcmp(fast->Device.Quadripoles, plain->Device.Quadripoles, sizeof(TQuadripole) * count), 0)
        << g.name << ": " << Describe(s);
    EXPECT_EQ(std::memcmp(fast->QuadInfo, plain->QuadInfo, sizeof(TQuadripoleInfo) * count), 0)
        << g.name << ": " << Describe(s);
    EXPECT_EQ(fast->MaxDepthX, plain->MaxDepthX) << g.name << ": " << Describe(s);
    EXPECT_EQ(fast->MaxDepthY, plain->MaxDepthY) << g.name << ": " << Describe(s);
}

// A random layout: a small grid with holes, sometimes pushed against the last columns or
// rows of the node map, sometimes with a size beyond the map, with stray nodes that the map
// has no place for, electrode 0 on a node and two electrodes on one node.
std::unique_ptr<TElectSequence> RandomLayout(std::mt19937& rng, const GeneratorCase& g) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int gridType = g.borehole ? 2 : pick(0, 1);
    int nx = pick(1, 9), ny = gridType == 0 && pick(0, 3) ? 1 : pick(1, 7);
    int firstCol = 1, firstRow = 1;
    const int mode = pick(0, 5);
    if (mode == 0) {  // against the last columns of the map, the grid reaching them or beyond
        firstCol = 1320 - nx + 1;
        nx = 1320 + pick(-2, 4);
    } else if (mode == 1) {  // against the last rows
        firstRow = 192 - ny + 1;
        ny = 192 + pick(-2, 8);
    }
    auto s = NewSequence(gridType, nx, ny, g.arrayType);
    std::vector<int> numbers(1319);
    std::iota(numbers.begin(), numbers.end(), 1);
    std::shuffle(numbers.begin(), numbers.end(), rng);
    std::size_t next = 0;
    const int density = pick(50, 100);
    const int cols = std::min(nx, 9), rows = std::min(ny, 7);
    for (int iy = firstRow; iy < firstRow + rows && iy <= 192; ++iy)
        for (int ix = firstCol; ix < firstCol + cols && ix <= 1320; ++ix)
            if (pick(1, 100) <= density) Place(*s, numbers[next++], ix, iy);
    if (mode == 0 || mode == 1)  // a few at the map's start as well
        for (int k = pick(0, 3); k > 0; --k) Place(*s, numbers[next++], pick(1, 4), pick(1, 3));
    if (pick(0, 3) == 0) {  // nodes the map has no place for, and one not in use
        const int ix[] = {0, -1, 1321, 1, 2};
        const int iy[] = {1, 1, 1, 0, 193};
        const int k = pick(0, 4);
        Place(*s, numbers[next++], ix[k], iy[k]);
        s->Grid.Nodes[numbers[next++]] = TElectGridNode{2, firstCol, firstRow};
    }
    if (pick(0, 4) == 0) Place(*s, 0, firstCol, firstRow);
    if (pick(0, 4) == 0) Place(*s, numbers[next++], firstCol + 1, firstRow);  // may share a node
    // Mostly short levels, which fit on these small grids, and now and then any level.
    for (int cells = pick(1, 40); cells > 0; --cells)
        Select(*s, pick(1, pick(1, 9)), pick(0, 3) ? pick(1, pick(2, 8)) : pick(1, 128));
    return s;
}

class GeneratorsAgainstPlainLoops : public ::testing::TestWithParam<int> {};

TEST_P(GeneratorsAgainstPlainLoops, RandomLayoutsAndSelections) {
    const GeneratorCase& g = kGeneratorCases[GetParam()];
    std::mt19937 rng(1234u + static_cast<unsigned>(GetParam()));
    // The complete pole-pole reference tests 9 x 128 cells per cell: fewer rounds of it.
    const int rounds = g.generator == &TElectSequence::ComputeCompletePolePole ? 100 : 300;
    for (int i = 0; i < rounds && !HasFatalFailure(); ++i) ExpectSameAsPlain(g, *RandomLayout(rng, g));
}

// The largest layouts: with every cell selected the list fills up (the first 16000 in
// visiting order are kept); with one row of every other level it does not.
TEST_P(GeneratorsAgainstPlainLoops, LargestLayouts) {
    const GeneratorCase& g = kGeneratorCases[GetParam()];
    const bool polePole = g.generator == &TElectSequence::ComputeCompletePolePole;
    struct Size {
        int gridType, nx, ny;
    };
    std::vector<Size> sizes;
    if (g.borehole)
        sizes = {{2, 8, 162}, {2, 60, 3}};
    else
        sizes = {{0, 1319, 1}, {1, 48, 27}};
    for (const Size& z : sizes)
        for (bool full : {true, false}) {
            // The reference would take minutes on the full surface; a smaller one fills it too.
            const Size use = polePole && full && z.gridType == 1 ? Size{1, 8, 6} : z;
            auto s = NewSequence(use.gridType, use.nx, use.ny, g.arrayType);
            FillGrid(*s);
            if (full)
                SelectAll(*s);
            else
                SelectSparse(*s, 1);
            ExpectSameAsPlain(g, *s);
        }
}

INSTANTIATE_TEST_SUITE_P(All, GeneratorsAgainstPlainLoops,
                         ::testing::Range(0, static_cast<int>(std::size(kGeneratorCases))),
                         [](const ::testing::TestParamInfo<int>& p) { return std::string(kGeneratorCases[p.param].name); });

// Computing a sequence runs the generator that the reference pairs with the grid's array type;
// the polarisation variant only when it is asked for, and an array without one ignores the ask.
TEST(ComputeSequence, RunsTheGeneratorOfEachArrayType) {
    auto sameArray = [](const GeneratorCase& x, const GeneratorCase& y) {
        return x.borehole == y.borehole && x.arrayType == y.arrayType;
    };
    for (const GeneratorCase& g : kGeneratorCases) {
        SCOPED_TRACE(g.name);
        const bool variant = std::string_view(g.name).ends_with("DelPolar");
        const bool hasVariant = std::count_if(std::begin(kGeneratorCases), std::end(kGeneratorCases),
                                              [&](const GeneratorCase& o) { return sameArray(o, g); }) > 1;
        auto s = g.borehole ? NewSequence(2, 3, 8, g.arrayType) : NewSequence(1, 8, 6, g.arrayType);
        FillGrid(*s);
        for (auto [a, n] : {std::pair{1, 1}, std::pair{1, 2}, std::pair{2, 1}}) Select(*s, a, n);
        s->ComputeElectrodePositions();
        const auto direct = std::make_unique<TElectSequence>(*s);
        const int count = ((*direct).*g.generator)();
        EXPECT_GT(count, 0);
        for (bool delPolar : {false, true}) {
            if (hasVariant && delPolar != variant) continue;
            const auto computed = std::make_unique<TElectSequence>(*s);
            computed->ComputeSequence(false, delPolar);
            const bool sameCount = computed->QuadripoleCount() == count;
            EXPECT_TRUE(sameCount) << "delPolar " << delPolar << ": " << computed->QuadripoleCount() << " quadripoles";
            if (sameCount) {
                EXPECT_EQ(std::memcmp(computed->Device.Quadripoles, direct->Device.Quadripoles,
                                      sizeof(TQuadripole) * count), 0)
                    << "delPolar " << delPolar;
                EXPECT_EQ(std::memcmp(computed->QuadInfo, direct->QuadInfo, sizeof(TQuadripoleInfo) * count), 0)
                    << "delPolar " << delPolar;
            }
        }
    }
}

}  // namespace
