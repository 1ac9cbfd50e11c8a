// Exact lists of the generators on small layouts, and the computation around them.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "tests/engine/generator_oracle.h"

namespace {

using Quad = std::array<std::uint32_t, 4>;
using Quads = std::vector<Quad>;

Quads ListOf(const TElectSequence& s, int count) {
    Quads out;
    for (int q = 0; q < count; ++q) {
        const TQuadripole& e = s.Device.Quadripoles[q];
        out.push_back({e.A, e.B, e.M, e.N});
    }
    return out;
}
Quads ListOf(const TElectSequence& s) { return ListOf(s, s.QuadripoleCount()); }

// A filled grid with the given cells selected and the electrode positions computed.
std::unique_ptr<TElectSequence> Filled(std::int32_t gridType, int nx, int ny, std::int32_t arrayType,
                                       std::initializer_list<std::pair<int, int>> cells) {
    auto s = NewSequence(gridType, nx, ny, arrayType);
    FillGrid(*s);
    for (auto [a, n] : cells) Select(*s, a, n);
    s->ComputeElectrodePositions();
    return s;
}

TEST(ComputeSequence, DipoleDipoleLineOfFortyEight) {
    auto s = Filled(gtLine, 48, 1, 1, {{1, 1}});
    s->ComputeSequence(false, false);
    ASSERT_EQ(s->Device.LastQuadripole, 44);
    EXPECT_EQ(s->Device.FirstQuadripole, 0);
    float deepest = 0;
    for (int q = 0; q < 45; ++q) {
        const std::uint32_t k = q + 1;
        EXPECT_EQ(ListOf(*s)[q], (Quad{k, k + 1, k + 2, k + 3}));
        const TQuadripoleInfo& info = s->QuadInfo[q];
        EXPECT_EQ(info.Number, q + 1);
        EXPECT_EQ(info.Level, 1);
        EXPECT_EQ(info.SpacingCoef, 1);
        EXPECT_EQ(info.Group, 1);
        EXPECT_GT(info.Depth, 0.0f);
        deepest = std::max(deepest, info.Depth);
    }
    EXPECT_EQ(s->MaxDepthX, deepest);
    EXPECT_EQ(s->MaxDepthY, 0.0f);
    EXPECT_EQ(s->MeasurementCycles, 45);  // no two share a current dipole
}

TEST(ComputeSequence, SpacingCoefficientsInterleaveAtEachNodeAndNumberSeparately) {
    auto s = Filled(gtLine, 8, 1, 1, {{1, 1}, {2, 1}});
    s->ComputeSequence(false, false);
    const Quads expected = {{1, 2, 3, 4}, {1, 3, 4, 6}, {2, 3, 4, 5}, {2, 4, 5, 7}, {3, 4, 5, 6},
                            {3, 5, 6, 8}, {4, 5, 6, 7}, {5, 6, 7, 8}};
    EXPECT_EQ(ListOf(*s), expected);
    const int numbers[] = {1, 1, 2, 2, 3, 3, 4, 5}, coefs[] = {1, 2, 1, 2, 1, 2, 1, 1};
    for (int q = 0; q < 8; ++q) {
        EXPECT_EQ(s->QuadInfo[q].Number, numbers[q]) << q;
        EXPECT_EQ(s->QuadInfo[q].SpacingCoef, coefs[q]) << q;
    }
}

// The polarisation variants run the cells from the last one back, nothing else differs.
TEST(ComputeSequence, PolarisationVariantsRunTheCellsBackwards) {
    struct Case {
        std::int32_t arrayType;
        std::initializer_list<std::pair<int, int>> cells;
        bool delPolar;
        Quads firstNode;
    };
    const Case cases[] = {
        {5, {{1, 1}, {1, 2}, {1, 3}}, false, {{1, 4, 2, 3}, {1, 7, 3, 5}, {1, 10, 4, 7}}},
        {5, {{1, 1}, {1, 2}, {1, 3}}, true, {{1, 10, 4, 7}, {1, 7, 3, 5}, {1, 4, 2, 3}}},
        {6, {{1, 1}, {2, 1}}, false, {{1, 4, 2, 3}, {1, 5, 2, 4}}},
        {6, {{1, 1}, {2, 1}}, true, {{1, 5, 2, 4}, {1, 4, 2, 3}}},
    };
    for (const Case& c : cases) {
        auto s = Filled(gtLine, 12, 1, c.arrayType, c.cells);
        s->ComputeSequence(false, c.delPolar);
        const Quads list = ListOf(*s);
        ASSERT_GE(list.size(), c.firstNode.size());
        EXPECT_EQ(Quads(list.begin(), list.begin() + c.firstNode.size()), c.firstNode)
            << "array " << c.arrayType << " delPolar " << c.delPolar;
    }
}

TEST(Generators, PoleDipoleReverseFormsNothingBeforeTheFirstColumnOrAtTheMapEnd) {
    auto s = Filled(gtLine, 10, 1, 4, {{1, 1}});
    EXPECT_EQ(ListOf(*s, s->ComputePoleDipoleReverse()),
              (Quads{{0, 10, 9, 8}, {0, 9, 8, 7}, {0, 8, 7, 6}, {0, 7, 6, 5}, {0, 6, 5, 4}, {0, 5, 4, 3},
                     {0, 4, 3, 2}, {0, 3, 2, 1}}));

    // Electrodes 1..10 on the last ten columns of the map: the bound still looks a + n
    // columns ahead, so electrodes 9 and 10 never carry the current.
    auto end = NewSequence(gtLine, 1400, 1, 4);
    for (int k = 1; k <= 10; ++k) Place(*end, k, 1310 + k, 1);
    Select(*end, 1, 1);
    end->ComputeElectrodePositions();
    EXPECT_EQ(ListOf(*end, end->ComputePoleDipoleReverse()),
              (Quads{{0, 8, 7, 6}, {0, 7, 6, 5}, {0, 6, 5, 4}, {0, 5, 4, 3}, {0, 4, 3, 2}, {0, 3, 2, 1}}));
}

TEST(Generators, WSReciprocalAlongYNeedsNRowsAboveTheNode) {
    auto s = Filled(gtSurface, 1, 8, 7, {{1, 2}});
    EXPECT_EQ(ListOf(*s, s->ComputeWSReciprocal()), (Quads{{3, 4, 1, 6}, {4, 5, 2, 7}, {5, 6, 3, 8}}));
    EXPECT_EQ(s->MaxDepthX, 0.0f);
    EXPECT_GT(s->MaxDepthY, 0.0f);
}

TEST(Generators, MultiGradientCellStepsThePotentialDipoleAcross) {
    auto s = Filled(gtLine, 6, 1, 11, {{1, 3}});
    ASSERT_EQ(ListOf(*s, s->ComputeMultiGradient()), (Quads{{1, 6, 2, 3}, {1, 6, 3, 4}, {1, 6, 4, 5}}));
    for (int q = 0; q < 3; ++q) {
        EXPECT_EQ(s->QuadInfo[q].Number, q + 1);
        EXPECT_EQ(s->QuadInfo[q].Level, 3);
    }
    // A missing electrode drops only the potential dipoles that need it.
    s->Grid.Nodes[3].Used = 0;
    s->ComputeElectrodePositions();
    EXPECT_EQ(ListOf(*s, s->ComputeMultiGradient()), (Quads{{1, 6, 4, 5}}));
    // And a missing B drops the whole cell.
    s->Grid.Nodes[6].Used = 0;
    EXPECT_EQ(s->ComputeMultiGradient(), 0);
}

// Electrodes 1..4 on a 2 x 2 surface: the counter of a coefficient runs on across the X, Y
// and diagonal families, node after node.
TEST(Generators, CompletePolePoleNumbersRunAcrossFamilies) {
    auto s = Filled(gtSurface, 2, 2, 9, {{1, 1}});
    ASSERT_EQ(ListOf(*s, s->ComputeCompletePolePole()),
              (Quads{{0, 1, 2, 0}, {0, 1, 3, 0}, {0, 1, 4, 0}, {0, 2, 4, 0}, {0, 3, 4, 0}}));
    for (int q = 0; q < 5; ++q) EXPECT_EQ(s->QuadInfo[q].Number, q + 1);
    EXPECT_EQ(s->MaxDepthX, std::max(s->QuadInfo[0].Depth, s->QuadInfo[4].Depth));
    EXPECT_EQ(s->MaxDepthY, std::max({s->QuadInfo[1].Depth, s->QuadInfo[2].Depth, s->QuadInfo[3].Depth}));
}

TEST(Generators, DipoleDipoleEquatorialNeedsTwoRows) {
    auto line = Filled(gtLine, 10, 1, 2, {{1, 1}});
    EXPECT_EQ(line->ComputeDipoleDipoleEquatorial(), 0);
    // 3 x 2: along X the dipole across the rows and the same pair one column on; along Y
    // the dipole along the row and the pair one row down.
    auto s = Filled(gtSurface, 3, 2, 2, {{1, 1}});
    EXPECT_EQ(ListOf(*s, s->ComputeDipoleDipoleEquatorial()),
              (Quads{{1, 4, 2, 5}, {1, 2, 4, 5}, {2, 5, 3, 6}, {2, 3, 5, 6}}));
}

TEST(Generators, CrossDiagonalFamilyOrder) {
    struct Case {
        std::int32_t (TElectSequence::*generator)();
        std::int32_t arrayType;
        Quads firstNode;
    };
    // 4 x 4 surface, electrodes 1..16 row after row, cell (1, 1), node (0, 0).
    const Case cases[] = {
        {&TElectSequence::ComputeCrossDiagonalDipoleDipole, 12, {{1, 2, 3, 4}, {1, 6, 11, 16}, {1, 5, 9, 13}}},
        {&TElectSequence::ComputeCrossDiagonalPoleDipoleForward, 13, {{0, 1, 2, 3}, {0, 1, 5, 9}, {0, 1, 6, 11}}},
        {&TElectSequence::ComputeCrossDiagonalPolePole, 10, {{0, 1, 2, 0}, {0, 1, 5, 0}, {0, 1, 6, 0}}},
    };
    for (const Case& c : cases) {
        auto s = Filled(gtSurface, 4, 4, c.arrayType, {{1, 1}});
        const Quads list = ListOf(*s, ((*s).*c.generator)());
        ASSERT_GE(list.size(), 3u);
        EXPECT_EQ(Quads(list.begin(), list.begin() + 3), c.firstNode) << c.arrayType;
    }
    // Reverse: visited from the last node; its X family mirrored, Y and diagonal forward.
    auto s = Filled(gtSurface, 4, 4, 14, {{1, 1}});
    const Quads list = ListOf(*s, s->ComputeCrossDiagonalPoleDipoleReverse());
    ASSERT_GE(list.size(), 1u);
    EXPECT_EQ(list[0], (Quad{0, 16, 15, 14}));
    const Quads fromFirst = {{0, 2, 6, 10}, {0, 2, 7, 12}, {0, 1, 5, 9}, {0, 1, 6, 11}};  // nodes (1, 0), (0, 0)
    EXPECT_EQ(Quads(list.end() - 4, list.end()), fromFirst);
}

TEST(Generators, CrossDiagonalOnOneColumnOrOneRow) {
    // One column: dipole-dipole needs a second column for its Y family; the others keep it.
    auto column = Filled(gtSurface, 1, 6, 12, {{1, 1}});
    EXPECT_EQ(column->ComputeCrossDiagonalDipoleDipole(), 0);
    column->Grid.ArrayType = 13;
    EXPECT_EQ(ListOf(*column, column->ComputeCrossDiagonalPoleDipoleForward()),
              (Quads{{0, 1, 2, 3}, {0, 2, 3, 4}, {0, 3, 4, 5}, {0, 4, 5, 6}}));

    // One row: each is its plain array's X family.
    struct Case {
        std::int32_t (TElectSequence::*cross)();
        std::int32_t (TElectSequence::*plain)();
        std::int32_t crossType, plainType;
    };
    const Case cases[] = {
        {&TElectSequence::ComputeCrossDiagonalDipoleDipole, &TElectSequence::ComputeDipoleDipole, 12, 1},
        {&TElectSequence::ComputeCrossDiagonalPoleDipoleForward, &TElectSequence::ComputePoleDipoleForward, 13, 3},
        {&TElectSequence::ComputeCrossDiagonalPoleDipoleReverse, &TElectSequence::ComputePoleDipoleReverse, 14, 4},
        {&TElectSequence::ComputeCrossDiagonalPolePole, &TElectSequence::ComputeCompletePolePole, 10, 9},
    };
    for (const Case& c : cases) {
        auto cross = Filled(gtLine, 20, 1, c.crossType, {{1, 1}, {1, 4}, {2, 3}, {3, 7}});
        auto plain = Filled(gtLine, 20, 1, c.plainType, {{1, 1}, {1, 4}, {2, 3}, {3, 7}});
        const int count = ((*cross).*c.cross)();
        EXPECT_GT(count, 0);
        EXPECT_EQ(ListOf(*cross, count), ListOf(*plain, ((*plain).*c.plain)())) << c.crossType;
    }
}

TEST(Generators, CrossDiagonalDipoleDipoleYFamilyRaisesMaxDepthX) {
    auto s = Filled(gtSurface, 2, 4, 12, {{1, 1}});  // too narrow for X and diagonal
    ASSERT_EQ(ListOf(*s, s->ComputeCrossDiagonalDipoleDipole()), (Quads{{1, 3, 5, 7}, {2, 4, 6, 8}}));
    EXPECT_GT(s->MaxDepthX, 0.0f);
    EXPECT_EQ(s->MaxDepthX, s->MaxDepthY);
}

// Boreholes: electrode e(c, r) = r x NX + c + 1 (column c is a borehole, row r a depth).
TEST(Generators, BoreholeEquatorialBetweenTwoBoreholes) {
    auto s = Filled(gtBorehole, 2, 10, 2, {{1, 1}});
    s->ComputeSequence(false, false);
    ASSERT_EQ(s->Device.LastQuadripole, 8);
    float deepest = 0;
    for (int r = 0; r < 9; ++r) {
        const std::uint32_t k = 2 * r + 1;
        EXPECT_EQ(ListOf(*s)[r], (Quad{k, k + 1, k + 2, k + 3}));
        EXPECT_EQ(s->QuadInfo[r].Level, 1);  // levels 1..128 as everywhere
        EXPECT_LT(s->QuadInfo[r].Depth, 0.0f);
        deepest = std::max(deepest, -s->QuadInfo[r].Depth);
    }
    EXPECT_EQ(s->MaxDepthY, deepest);
    EXPECT_EQ(s->MaxDepthX, 0.0f);

    auto shallow = Filled(gtBorehole, 4, 2, 2, {{1, 1}});
    EXPECT_EQ(shallow->ComputeBoreholeDipoleDipoleEquatorial(), 0);
}

TEST(Generators, BoreholeDiagonalFamilies) {
    // Two boreholes of four: no family across the boreholes (it needs three); down a borehole
    // the partner boreholes in increasing order, the node's own among them; then cross-hole.
    auto s = Filled(gtBorehole, 2, 4, 1, {{1, 1}});
    const int count = s->ComputeBoreholeDipoleDipoleDiagonal();
    EXPECT_EQ(ListOf(*s, count), (Quads{{1, 3, 5, 7}, {1, 4, 6, 8}, {1, 3, 2, 4}, {2, 3, 5, 7}, {2, 4, 6, 8},
                                        {3, 5, 4, 6}, {5, 7, 6, 8}}));
    for (int q = 0; q < count; ++q) {
        EXPECT_EQ(s->QuadInfo[q].Level, 1) << q;
        EXPECT_EQ(s->QuadInfo[q].Number, q + 1) << q;
    }
    // Three rows: nothing down a borehole (it needs four), cross-hole still runs.
    auto three = Filled(gtBorehole, 2, 3, 1, {{1, 1}});
    EXPECT_EQ(ListOf(*three, three->ComputeBoreholeDipoleDipoleDiagonal()), (Quads{{1, 3, 2, 4}, {3, 5, 4, 6}}));
    // Four boreholes in one row: only the family across them. Its depths are stored negative
    // and compared signed with MaxDepthX, so MaxDepthX stays 0.
    auto across = Filled(gtBorehole, 4, 1, 1, {{1, 1}});
    EXPECT_EQ(ListOf(*across, across->ComputeBoreholeDipoleDipoleDiagonal()), (Quads{{1, 2, 3, 4}}));
    EXPECT_LT(across->QuadInfo[0].Depth, 0.0f);
    EXPECT_EQ(across->MaxDepthX, 0.0f);
    EXPECT_EQ(across->MaxDepthY, 0.0f);
}

TEST(ComputeSequence, FullListKeepsTheFirstSixteenThousand) {
    auto s = Filled(gtLine, 1319, 1, 1, {});
    SelectAll(*s);
    s->ComputeSequence(false, false);
    EXPECT_EQ(s->Device.LastQuadripole, kMaxQuadripoles - 1);
    EXPECT_EQ(ListOf(*s, 2), (Quads{{1, 2, 3, 4}, {1, 2, 4, 5}}));
}

TEST(ComputeSequence, ReverseSwapsCurrentAndPotentialElectrodes) {
    auto plain = Filled(gtLine, 6, 1, 3, {{1, 1}, {2, 2}});
    auto reversed = std::make_unique<TElectSequence>(*plain);
    plain->ComputeSequence(false, false);
    reversed->ComputeSequence(true, false);
    ASSERT_EQ(reversed->QuadripoleCount(), plain->QuadripoleCount());
    ASSERT_GT(plain->QuadripoleCount(), 0);
    for (int q = 0; q < plain->QuadripoleCount(); ++q) {
        const Quad p = ListOf(*plain)[q], r = ListOf(*reversed)[q];
        EXPECT_EQ(r, (Quad{p[2], p[3], p[0], p[1]}));
        EXPECT_EQ(r[2], 0u);  // the remote current electrode now in the M slot
        EXPECT_EQ(reversed->QuadInfo[q].Depth, plain->QuadInfo[q].Depth);
    }
}

// The mixed array, and any type without a generator, keep the list in force; the depths are
// reset and the cycles counted again.
TEST(ComputeSequence, NoGeneratorKeepsTheList) {
    for (auto [gridType, arrayType] : {std::pair{gtLine, 0}, {gtSurface, 15}, {gtBorehole, 0}, {gtBorehole, 3}}) {
        auto s = Filled(gridType, 6, 2, arrayType, {{1, 1}});
        const std::uint32_t q0[4] = {1, 2, 3, 4}, q1[4] = {1, 2, 4, 5};
        s->SetQuadripole(0, q0, 0, -1, 1, 0);
        s->SetQuadripole(1, q1, 0, -1, 1, 0);
        s->Device.LastQuadripole = 1;
        s->MaxDepthX = s->MaxDepthY = 7.0f;
        s->ComputeSequence(true, false);
        EXPECT_EQ(ListOf(*s), (Quads{{3, 4, 1, 2}, {4, 5, 1, 2}})) << gridType << " " << arrayType;
        EXPECT_EQ(s->MaxDepthX, 0.0f);
        EXPECT_EQ(s->MaxDepthY, 0.0f);
        EXPECT_EQ(s->MeasurementCycles, 2);
    }
}

TEST(ComputeSequence, EmptySelectionOrGridGivesAnEmptyList) {
    auto noCells = Filled(gtLine, 10, 1, 1, {});
    noCells->Device.LastQuadripole = 5;
    noCells->ComputeSequence(false, false);
    EXPECT_EQ(noCells->Device.LastQuadripole, -1);

    auto noElectrodes = NewSequence(gtSurface, 10, 10, 9);
    SelectAll(*noElectrodes);
    noElectrodes->ComputeSequence(false, false);
    EXPECT_EQ(noElectrodes->Device.LastQuadripole, -1);
}

// A grid typed larger than the node map: only the nodes inside it are visited and nothing
// beyond it is read; nodes whose column or row has no place in the map are left out.
TEST(Generators, GridLargerThanTheNodeMap) {
    auto s = NewSequence(gtSurface, 1, 200, 1);
    for (int k = 1; k <= 8; ++k) Place(*s, k, 1, 184 + k);  // rows 185..192
    Place(*s, 9, 1, 193);
    Place(*s, 10, 1, 0);
    Place(*s, 11, 1321, 192);
    Select(*s, 1, 1);
    s->ComputeElectrodePositions();
    EXPECT_EQ(ListOf(*s, s->ComputeDipoleDipole()),
              (Quads{{1, 2, 3, 4}, {2, 3, 4, 5}, {3, 4, 5, 6}, {4, 5, 6, 7}, {5, 6, 7, 8}}));

    auto wide = NewSequence(gtLine, 1500, 1, 9);
    for (int k = 1; k <= 3; ++k) Place(*wide, k, 1317 + k, 1);  // columns 1318..1320
    Place(*wide, 4, 1321, 1);
    SelectAll(*wide);
    wide->ComputeElectrodePositions();
    EXPECT_EQ(ListOf(*wide, wide->ComputeCompletePolePole()).size(), 9u * 3u);  // 1-2, 1-3, 2-3 per a
}

}  // namespace
