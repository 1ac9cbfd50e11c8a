// The compute workflow (generation, cut, optimisation, polarisation deletion and their figures)
// and the rules that make the next spread of a roll-along survey.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/Compute.h"
#include "tests/engine/SequenceBuilders.h"
#include "tests/support/ComputedLists.h"

namespace {
std::vector<Abmn> List(const TElectSequence& s) {
    std::vector<Abmn> out(static_cast<std::size_t>(s.QuadripoleCount()));
    for (int q = 0; q < s.QuadripoleCount(); ++q) s.GetQuadripole(q, out[q].data());
    return out;
}

// nx x ny electrodes with the array and the cells (a, 1..levels) selected, not yet computed.
std::unique_ptr<TElectSequence> Layout(TArrayType array, int a, int levels, int nx, int ny = 1) {
    auto s = NewSequence();
    PlaceGrid(*s, ny > 1 ? gtSurface : gtLine, nx, ny, 1.0f, 1.0f);
    s->SetArrayType(array);
    for (int n = 0; n < levels; ++n) s->SpacingLevels[a - 1].Selected[n] = 1;
    s->SpacingLevels[a - 1].SelectedCount = levels;
    s->NeedsRecompute = 1;
    return s;
}

TComputeOptions Options(bool optimise, bool delPolar, bool reverse = false) {
    TComputeOptions o;
    o.Optimise = optimise;
    o.DelPolar = delPolar;
    o.Reverse = reverse;
    return o;
}

std::uint32_t Farthest(const Abmn& q) { return std::max({q[0], q[1], q[2], q[3]}); }
}  // namespace

TEST(ComputeWorkflow, FiguresBeforeAndAfterTheOptimisation) {
    // Twelve electrodes, a = 2, levels 1..4: 7 + 6 + 5 + 4 quadripoles, each its own injection
    // until the optimisation chains levels 1 and 3, and 2 and 4, of every node.
    auto s = Layout(atDipoleDipole, 2, 4, 12);
    s->ChannelOptions.AllowDummyQuadripoles = 0;
    const TComputeFigures f = RunComputation(*s, Options(true, true));

    EXPECT_EQ(f.Original.Quadripoles, 22);
    EXPECT_EQ(f.Original.Injections, 22);
    EXPECT_EQ(f.Original.Channels, 1);
    EXPECT_FALSE(f.Full);
    ASSERT_TRUE(f.Optimised);
    EXPECT_EQ(f.Optimised->Quadripoles, 22);
    EXPECT_EQ(f.Optimised->Injections, 13);
    EXPECT_EQ(f.Optimised->Channels, 2);
    // One injection takes as long before as after: the times were read at each stage.
    EXPECT_GT(f.Original.AcquisitionTime, 0.0);
    EXPECT_DOUBLE_EQ(f.Original.AcquisitionTime / 22, f.Optimised->AcquisitionTime / 13);
    // The figures after are those of the list left.
    EXPECT_EQ(*f.Optimised, FiguresOf(*s));
    EXPECT_EQ(s->NeedsRecompute, 0);
    EXPECT_EQ(List(*s)[0], (Abmn{1, 3, 4, 6}));
    EXPECT_EQ(List(*s)[1], (Abmn{1, 3, 6, 8}));

    // Gap fillers add quadripoles of their own to the figures after.
    auto filled = Layout(atDipoleDipole, 2, 4, 12);
    const TComputeFigures g = RunComputation(*filled, Options(true, true));
    const int fillers = int(std::count_if(filled->QuadInfo, filled->QuadInfo + filled->QuadripoleCount(),
                                          [](const TQuadripoleInfo& i) { return i.Level == -1; }));
    EXPECT_GT(fillers, 0);
    EXPECT_EQ(g.Original, f.Original);
    EXPECT_EQ(g.Optimised->Quadripoles, 22 + fillers);

    // Without the optimisation there are no figures after, and the generated list stays.
    auto plain = Layout(atDipoleDipole, 2, 4, 12);
    const TComputeFigures p = RunComputation(*plain, Options(false, true));
    EXPECT_EQ(p.Original, f.Original);
    EXPECT_FALSE(p.Optimised);
    EXPECT_EQ(FiguresOf(*plain), p.Original);
}

TEST(ComputeWorkflow, ReverseSwapsCurrentAndPotentialElectrodes) {
    for (const bool reverse : {false, true}) {
        SCOPED_TRACE(reverse);
        auto s = Layout(atPoleDipoleForward, 1, 2, 8);
        const TComputeFigures f = RunComputation(*s, Options(false, false, reverse));
        EXPECT_EQ(f.Original.Quadripoles, 11);
        // Pole-dipole forward starts with the remote A, node 1 as B and the dipole 2-3.
        EXPECT_EQ(List(*s).front(), reverse ? (Abmn{2, 3, 0, 1}) : (Abmn{0, 1, 2, 3}));
    }
}

TEST(ComputeWorkflow, PolarisationOptionPicksTheVariantAndReordersOnlyOptimisedLists) {
    // Wenner: the polarisation variant starts each node with its highest level.
    for (const bool delPolar : {false, true}) {
        SCOPED_TRACE(delPolar);
        auto s = Layout(atWenner, 1, 3, 12);
        RunComputation(*s, Options(false, delPolar));
        EXPECT_EQ(List(*s).front(), delPolar ? (Abmn{1, 10, 4, 7}) : (Abmn{1, 4, 2, 3}));
    }

    // WS reciprocal has no variant: the option changes its list only through the reordering of
    // the optimised chains.
    const auto listOf = [](bool optimise, bool delPolar) {
        auto s = Layout(atWSReciprocal, 1, 4, 8);
        RunComputation(*s, Options(optimise, delPolar));
        return List(*s);
    };
    EXPECT_EQ(listOf(false, true), listOf(false, false));
    EXPECT_NE(listOf(true, true), listOf(true, false));
    EXPECT_NE(listOf(true, false), listOf(false, false));
}

TEST(ComputeWorkflow, AShiftCutsWhatThePreviousSpreadMeasured) {
    struct TCase {
        int nx, ny, nodesX, nodesY;
        int count;            // quadripoles left
        std::uint32_t first;  // the lowest electrode number that keeps a quadripole
    };
    // Dipole-dipole (1, 1): on the line, quadripoles c..c+3 for c = 1..45; on the 6 x 6 surface,
    // 3 along each row and each column.
    const TCase cases[] = {
        {48, 1, 0, 0, 45, 0},   // no shift, no cut
        {48, 1, -1, -1, 45, 0},
        {48, 1, 10, 0, 10, 39},  // columns 1..38 were covered
        {48, 1, 1, 0, 1, 48},
        {6, 6, 0, 2, 18, 25},   // rows 1..4 were covered: 6 X and 12 Y quadripoles reach row 5 or 6
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nx << "x" << c.ny << " moved " << c.nodesX << ", " << c.nodesY);
        auto s = Layout(atDipoleDipole, 1, 1, c.nx, c.ny);
        TComputeOptions o = Options(true, true);
        o.NodesX = c.nodesX;
        o.NodesY = c.nodesY;
        const TComputeFigures f = RunComputation(*s, o);
        EXPECT_EQ(f.Original.Quadripoles, c.count);
        for (const Abmn& q : List(*s)) EXPECT_GE(Farthest(q), c.first);
    }
}

TEST(ComputeWorkflow, AFullListIsFlagged) {
    struct TCase {
        const char* name;
        bool generated;
        int count;
        bool full;
    };
    const TCase cases[] = {
        {"generated past the limit", true, kMaxQuadripoles, true},
        {"imported, full", false, kMaxQuadripoles, true},
        {"imported, one short", false, kMaxQuadripoles - 1, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto s = NewSequence();
        PlaceLineOfElectrodes(*s, kMaxElectrodes - 1, 5.0f);
        if (c.generated) {
            s->SetArrayType(atDipoleDipole);
            for (int a = 1; a <= 3; ++a) {
                for (int n = 1; n <= 6; ++n) s->SpacingLevels[a - 1].Selected[n - 1] = 1;
                s->SpacingLevels[a - 1].SelectedCount = 6;
            }
        } else {
            AddDipoleDipoleLine(*s, kMaxElectrodes - 1, 3, 6);
            s->Device.LastQuadripole = c.count - 1;
            s->SetArrayType(atMixed);
        }
        const TComputeFigures f = RunComputation(*s, Options(true, true));
        EXPECT_EQ(f.Original.Quadripoles, c.count);
        EXPECT_EQ(f.Full, c.full);
    }
}

TEST(RollAlongNames, NextSequenceNameAndFile) {
    struct TCase {
        const char* name;
        const char* next;
    };
    const TCase names[] = {
        {"ABC~1", "ABC~2"},       {"ABC~9", "ABC~10"},         {"ABC~x", "ABC~0"},
        {"SEQ~3", "SEQ~4"},       {"SEQ~12", "SEQ~12~1"},      {"WENNER48", "WENNER48~1"},
        {"DIPDIP4800", "DIPDIP48~1"}, {"", "~1"},
        // Ten characters at most: the stem gives way, not the number.
        {"ABCDEFGH~9", "ABCDEFG~10"},
    };
    for (const TCase& c : names) EXPECT_EQ(RollAlongSeqName(c.name), c.next) << c.name;

    struct TFile {
        const char* old;
        const char* proposed;
    };
    const TFile files[] = {{"/d/line.sqz", "/d/line~.sqz"}, {"/d/line", "/d/line~.sqz"}, {"/d.x/line", "/d.x/line~.sqz"},
                           {"", "~.sqz"}};
    for (const TFile& f : files) EXPECT_EQ(RollAlongFileName(f.old), f.proposed) << f.old;
}

TEST(RollAlongNames, TheNextSpreadSaysWhereItCameFromAndMovesItsGrid) {
    struct TCase {
        int nodesX, nodesY;
        const char* line;
        float offsetX, offsetY;
    };
    // Spacings 2.5 and 0.5 from offsets 1 and 3.
    const TCase cases[] = {
        {0, 0, "\r\n<-- Roll along from ( /d/line.sqz ) On X grid : 0 Nodes -->", 1.0f, 3.0f},
        {4, 0, "\r\n<-- Roll along from ( /d/line.sqz ) On X grid : 4 Nodes -->", 11.0f, 3.0f},
        {0, 2, "\r\n<-- Roll along from ( /d/line.sqz ) On X grid : 0 Nodes / On Y grid : 2 Nodes -->", 1.0f, 4.0f},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.line);
        auto s = NewSequence();
        PlaceGrid(*s, gtSurface, 6, 6, 2.5f, 0.5f, 1.0f, 3.0f);
        AddQuadripole(*s, {1, 2, 3, 4});
        s->SetComment("first spread");
        s->SetSeqName("SEQ~3");
        RollAlong(*s, "/d/line.sqz", c.nodesX, c.nodesY);
        EXPECT_EQ(s->GetComment(), std::string("first spread") + c.line);
        EXPECT_EQ(s->GetSeqName(), "SEQ~4");
        EXPECT_EQ(s->Grid.OffsetX, c.offsetX);
        EXPECT_EQ(s->Grid.OffsetY, c.offsetY);
        // The list waits for the next computation.
        EXPECT_EQ(List(*s), (std::vector<Abmn>{{1, 2, 3, 4}}));
    }

    // A long comment keeps its start; the line is cut at the comment's length.
    auto s = NewSequence();
    const std::string start(1000, 'c');
    s->SetComment(start);
    RollAlong(*s, "/d/line.sqz", 1, 0);
    const std::string full = start + "\r\n<-- Roll along from ( /d/line.sqz ) On X grid : 1 Nodes -->";
    EXPECT_EQ(s->GetComment(), full.substr(0, sizeof(s->Comment) - 1));
}

TEST(ComputeWorkflow, NoQuadripoleLiesAboveTheSurface) {
    // Two columns 1 cm apart and two rows 10 m apart: the gap fillers bridging the pole-pole
    // chains pair a 1 cm dipole with electrodes 10 m away, far past the pole-dipole fit's root.
    auto s = NewSequence();
    PlaceGrid(*s, gtSurface, 2, 2, 0.01f, 10.0f);
    s->SetArrayType(atCompletePolePole);
    s->SpacingLevels[0].Selected[0] = 1;
    s->SpacingLevels[0].SelectedCount = 1;
    s->ChannelOptions.AllowDummyQuadripoles = 1;
    RunComputation(*s, Options(true, false));
    int fillers = 0;
    for (int q = 0; q < s->QuadripoleCount(); ++q) {
        EXPECT_GE(s->QuadInfo[q].Depth, 0.0f) << q;
        fillers += s->QuadInfo[q].Level < 0;
    }
    EXPECT_GT(fillers, 0);
}
