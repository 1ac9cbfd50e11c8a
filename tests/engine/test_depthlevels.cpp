#include <gtest/gtest.h>

#include <string>

#include "tests/engine/SequenceBuilders.h"

namespace {
long double DD(long double r) { return (-0.0018333L * r + 0.27642L) * r + 0.1416933L; }
long double PD(long double r) { return (-0.000915179L * r + 0.397614583L) * r + 0.127613095L; }

std::unique_ptr<TElectSequence> Grid(TGridType type, int arrayType, int nx, int ny = 1, float dx = 5.0f,
                                     float dy = 5.0f) {
    auto s = NewSequence();
    s->Grid.GridType = type;
    s->Grid.ArrayType = arrayType;
    s->Grid.NX = nx;
    s->Grid.NY = ny;
    s->Grid.DX = dx;
    s->Grid.DY = dy;
    return s;
}

// Selected levels of row a as text, e.g. "1-6" or "9"; "" for an empty row.
std::string Selection(const TElectSequence& s, int a) {
    const TSpacingLevel& row = s.SpacingLevels[a - 1];
    std::string out;
    int count = 0;
    for (int n = 1; n <= kLevels; ++n) {
        if (!row.Selected[n - 1]) continue;
        ++count;
        if (n > 1 && row.Selected[n - 2] && n < kLevels && row.Selected[n]) continue;
        if (!out.empty()) out += (n > 1 && row.Selected[n - 2]) ? "-" : ",";
        out += std::to_string(n);
    }
    EXPECT_EQ(row.SelectedCount, count) << "row " << a;
    return out;
}
}  // namespace

TEST(DepthLevels, FitOfEachArrayType) {
    // Last existing level n of row a, with N = 48 along X.
    struct Case {
        int type, a, lastLevel;
    };
    const Case cases[] = {
        {1, 1, 45},  {12, 2, 43}, {2, 3, 47},  {3, 2, 45},  {4, 1, 46},  {13, 9, 38}, {14, 1, 46},
        {5, 1, 15},  {5, 2, 0},   {6, 2, 22},  {7, 1, 23},  {11, 2, 21}, {11, 4, 9}, {11, 5, 7},
        {0, 1, 47},  {0, 2, 0},   {8, 1, 47},  {9, 2, 0},   {10, 1, 47}, {15, 1, 47}, {15, 2, 0},
    };
    for (const Case& c : cases) {
        auto s = Grid(gtLine, c.type, 48);
        s->ComputeSpacingLevelDepths(true, 1);
        const TSpacingLevel& row = s->SpacingLevels[c.a - 1];
        for (int n = 1; n <= kLevels; ++n)
            ASSERT_EQ(row.DepthX[n - 1] > 0, n <= c.lastLevel) << "type " << c.type << " a " << c.a << " n " << n;
    }

    // Along Y: the equatorial dipole-dipole only has row 1; boreholes fit N - 2 everywhere.
    auto s = Grid(gtSurface, 2, 10, 10);
    s->ComputeSpacingLevelDepths(true, 1);
    EXPECT_GT(s->SpacingLevels[2].DepthX[0], 0.0f);
    EXPECT_EQ(s->SpacingLevels[2].DepthY[0], 0.0f);
    EXPECT_GT(s->SpacingLevels[0].DepthY[8], 0.0f);
    auto b = Grid(gtBorehole, 1, 3, 2);
    b->ComputeSpacingLevelDepths(true, 1);
    EXPECT_GT(b->SpacingLevels[8].DepthX[127], 0.0f);
    EXPECT_EQ(b->SpacingLevels[8].DepthY[127], 0.0f);
}

TEST(DepthLevels, DepthOfEachArrayType) {
    // Cell (a = 2, n = 4) with d = 5: L = 20, s = 10, r = 2.
    struct Case {
        TGridType grid;
        int type;
        long double depth;
    };
    const long double circle = (2 * 2.0L + 1) * 10 * 0.19L;
    const Case cases[] = {
        {gtLine, 1, DD(2) * 10},      {gtSurface, 12, DD(2) * 10},
        {gtLine, 3, PD(2) * 10},      {gtLine, 4, PD(2) * 10},      {gtLine, 6, PD(2) * 10},
        {gtLine, 7, PD(2) * 10},      {gtLine, 13, PD(2) * 10},     {gtLine, 14, PD(2) * 10},
        {gtLine, 11, PD(2.5L) * 10},  // r' = (n + 1) / 2
        {gtLine, 2, circle},          {gtBorehole, 1, circle},      {gtBorehole, 5, circle},
    };
    for (const Case& c : cases) {
        auto s = Grid(c.grid, c.type, 48, 48);
        s->ComputeSpacingLevelDepths(true, 1);
        EXPECT_EQ(Bits(s->SpacingLevels[1].DepthX[3]), Bits(static_cast<float>(c.depth)))
            << "grid " << c.grid << " type " << c.type;
    }
    // Row-1-only types, cell (1, 4): L = 20.
    const Case row1[] = {{gtLine, 5, 0.519L * 20}, {gtLine, 8, 0.19L * 20}, {gtLine, 9, 0.867L * 20},
                         {gtLine, 10, 0.867L * 20}, {gtLine, 0, (2 * 4.0L + 1) * 5 * 0.19L},
                         {gtLine, 20, (2 * 4.0L + 1) * 5 * 0.19L}};
    for (const Case& c : row1) {
        auto s = Grid(c.grid, c.type, 48);
        s->ComputeSpacingLevelDepths(true, 1);
        EXPECT_EQ(Bits(s->SpacingLevels[0].DepthX[3]), Bits(static_cast<float>(c.depth))) << "type " << c.type;
    }
    // A ratio that is not a whole number is rounded to f32 first: cell (3, 1), d = 5.
    auto s = Grid(gtLine, 1, 48);
    s->ComputeSpacingLevelDepths(true, 1);
    EXPECT_EQ(Bits(s->SpacingLevels[2].DepthX[0]), Bits(static_cast<float>(DD(static_cast<float>(1 / 3.0L)) * 15)));
    EXPECT_NEAR(s->SpacingLevels[0].DepthX[44], 44.340804, 1e-4);  // (1, 45) of a 48-electrode line
}

TEST(DepthLevels, ComputeReturnsLargestOfLevelAndStoresOnRequest) {
    auto s = Grid(gtSurface, 1, 10, 30, 1.0f, 2.0f);
    // Level 20 only fits along Y (30 - 2a - 20 > 0 for a <= 4).
    float best = 0;
    for (int a = 1; a <= 4; ++a) best = std::max(best, static_cast<float>(DD(static_cast<float>(20.0L / a)) * a * 2));
    EXPECT_EQ(s->ComputeSpacingLevelDepths(true, 20), best);
    EXPECT_EQ(s->SpacingLevels[3].DepthX[19], 0.0f);
    EXPECT_GT(s->SpacingLevels[3].DepthY[19], 0.0f);
    EXPECT_EQ(s->ComputeSpacingLevelDepths(true, 128), 0.0f);

    // Without storing, the tables are still cleared.
    EXPECT_EQ(s->ComputeSpacingLevelDepths(false, 20), best);
    for (const auto& row : s->SpacingLevels)
        for (int n = 0; n < kLevels; ++n) {
            ASSERT_EQ(row.DepthX[n], 0.0f);
            ASSERT_EQ(row.DepthY[n], 0.0f);
        }
    s->SpacingLevels[0].DepthX[0] = 3.0f;
    s->SpacingLevels[0].Selected[0] = 1;
    s->ClearSpacingLevelDepths();
    EXPECT_EQ(s->SpacingLevels[0].DepthX[0], 0.0f);
    EXPECT_EQ(s->SpacingLevels[0].Selected[0], 1);
}

TEST(DepthLevels, SelectedCellCount) {
    auto s = NewSequence();
    EXPECT_EQ(s->GetSpacingLevelCount(), 0);
    s->SpacingLevels[0].SelectedCount = 4;
    s->SpacingLevels[8].SelectedCount = 3;
    EXPECT_EQ(s->GetSpacingLevelCount(), 7);
}

TEST(DepthLevels, DefaultSelectionOfEachArrayType) {
    struct Case {
        int type, electrodes;
        std::string rows[9];
        float dx = 5.0f;
    };
    const Case cases[] = {
        // Six levels a row, overlapping by one, up to the first cell that does not fit
        // (row 7 fits levels up to 48 - 14 - 1 = 33); every later row stays empty.
        {1, 48, {"1-6", "6-11", "11-16", "16-21", "21-26", "26-31", "31-33"}},
        {1, 200, {"1-6", "6-11", "11-16", "16-21", "21-26", "26-31", "31-36", "36-41", "41-46"}},
        {1, 12, {"1-6", "6-7"}},
        {5, 48, {"1-15"}},
        {8, 48, {"1-47"}},
        {9, 200, {"1-127"}},
        {11, 48, {"9", "9", "9", "9"}},
        // Cells of row 1 too shallow to count stop the walk although deeper rows would qualify.
        {1, 200, {}, 0.001f},
    };
    for (const Case& c : cases) {
        auto s = Grid(gtLine, c.type, c.electrodes, 1, c.dx);
        for (auto& row : s->SpacingLevels) {
            row.Selected[100] = 1;
            row.SelectedCount = 1;
        }
        s->AutoGridDepthLevel();
        for (int a = 1; a <= 9; ++a) EXPECT_EQ(Selection(*s, a), c.rows[a - 1]) << "type " << c.type << " a " << a;
        EXPECT_GT(s->SpacingLevels[0].DepthX[0], 0.0f);  // depths are stored
    }
    auto deep = Grid(gtLine, 1, 200, 1, 0.001f);
    deep->ComputeSpacingLevelDepths(true, 1);
    EXPECT_GT(deep->SpacingLevels[8].DepthX[45], 0.01f);  // the case above is not empty by itself
}

TEST(DepthLevels, AutomaticCreation) {
    // Multigradient on 48 electrodes, d = 5: cell (a, 9) has depth PD(5) x 5a and fits for a <= 4.
    // The limit is the requested depth + 0.1.
    const float depth1 = static_cast<float>(PD(5) * 5);
    struct Case {
        float maxDepth;
        int rows;
    };
    for (Case c : {Case{100, 4}, {25, 2}, {depth1 - 0.2f, 0}, {depth1 - 0.05f, 1}}) {
        auto s = NewSequence();
        s->SpacingLevels[6].Selected[3] = 1;
        s->SpacingLevels[6].SelectedCount = 1;
        s->Device.Channels = 15;
        s->SetVab(2);
        s->AutomaticCreation(c.maxDepth);
        for (int a = 1; a <= 9; ++a) EXPECT_EQ(Selection(*s, a), a <= c.rows ? "9" : "") << c.maxDepth << " a " << a;
        EXPECT_EQ(s->GetComment(), "<-- Automatic creation -->");
        EXPECT_EQ(s->GetSeqName(), "MultiGAuto");
        EXPECT_EQ(s->Grid.ArrayType, 11);
        EXPECT_EQ(s->Device.DeviceArrayCode, 7);
        EXPECT_FALSE(s->IsRhoIP());
        EXPECT_EQ(s->Device.StackMin, 3);
        EXPECT_EQ(s->Device.StackMax, 6);
        EXPECT_EQ(s->Device.QMax, 0.5f);
        EXPECT_EQ(s->Device.VmnChoice(), 1u);
        EXPECT_EQ(s->Device.VabChoice(), 0u);
        EXPECT_EQ(s->Device.TimeIndex(), 4u);
        EXPECT_EQ(s->GetVabMax(), 800);
        EXPECT_EQ(s->Device.Channels, 15);
        EXPECT_EQ(Bits(s->SpacingLevels[0].DepthX[8]), Bits(depth1));
    }
}
