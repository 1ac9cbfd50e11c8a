#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/ComputedLists.h"
#include "tests/support/PlainOptimization.h"
#include "tests/engine/SequenceBuilders.h"

namespace {
// ---- helpers ----

std::unique_ptr<TElectSequence> LineSequence(int electrodes = 64) {
    auto s = NewSequence();
    PlaceLineOfElectrodes(*s, electrodes, 5.0f);
    return s;
}

void SetOptions(TElectSequence& s, int limit, bool fillers) {
    s.ChannelOptions.MultiChannelOptimization = 1;
    s.ChannelOptions.OptimizationChannel = limit;
    s.ChannelOptions.AllowDummyQuadripoles = fillers ? 1 : 0;
    s.Device.Channels = 20;
}

void Add(TElectSequence& s, const std::vector<Abmn>& list, std::int32_t level = 1) {
    for (const Abmn& q : list) AddQuadripole(s, q, level, 1);
}

std::vector<Abmn> List(const TElectSequence& s) {
    std::vector<Abmn> out(static_cast<std::size_t>(s.QuadripoleCount()));
    for (int q = 0; q < s.QuadripoleCount(); ++q) s.GetQuadripole(q, out[q].data());
    return out;
}

std::vector<int> Levels(const TElectSequence& s) {
    std::vector<int> out;
    for (int q = 0; q < s.QuadripoleCount(); ++q) out.push_back(s.QuadInfo[q].Level);
    return out;
}

std::unique_ptr<TElectSequence> Copy(const TElectSequence& s) {
    auto c = NewSequence();
    std::memcpy(static_cast<void*>(c.get()), &s, sizeof s);
    return c;
}

// Runs the fast and the literal version on copies of s and compares the whole objects.
void ExpectSameAsReference(const TElectSequence& s, bool polar, const std::string& what) {
    auto fast = Copy(s), plain = Copy(s);
    fast->MultiChannelOptimization();
    PlainMultiChannelOptimization(*plain);
    ASSERT_TRUE(SameBytes(*fast, *plain)) << what << ": optimisation differs";
    if (!polar) return;
    fast->DelPolarEffect();
    PlainDelPolarEffect(*plain);
    ASSERT_TRUE(SameBytes(*fast, *plain)) << what << ": polarisation deletion differs";
}
}  // namespace

TEST(MultiChannelOptimization, ChainsFillUpToTheLimit) {
    auto s = LineSequence();
    SetOptions(*s, 3, false);
    Add(*s, {{1, 2, 3, 4}, {5, 6, 7, 8}, {1, 2, 4, 5}, {5, 6, 8, 9}, {1, 2, 5, 6}, {1, 2, 6, 7}});
    s->MultiChannelOptimization();
    // The fourth member of the 1-2 chain would exceed the limit: it starts a chain of its own.
    EXPECT_EQ(List(*s), (std::vector<Abmn>{{1, 2, 3, 4}, {1, 2, 4, 5}, {1, 2, 5, 6}, {5, 6, 7, 8}, {5, 6, 8, 9},
                                           {1, 2, 6, 7}}));
    EXPECT_EQ(s->MeasurementCycles, 3);
    EXPECT_EQ(s->MaxChannelUsed, 3);
}

TEST(MultiChannelOptimization, DipoleDipoleChainsFormInLevelOrder) {
    auto s = LineSequence(12);
    SetOptions(*s, 10, false);
    AddDipoleDipoleLine(*s, 12, 1, 4);
    s->MultiChannelOptimization();
    // Behind each (A, B, M, N) stands the quadripole of the same dipole whose M is this N.
    const auto list = List(*s);
    ASSERT_GE(list.size(), 4u);
    EXPECT_EQ(list[0], (Abmn{1, 2, 3, 4}));
    EXPECT_EQ(list[1], (Abmn{1, 2, 4, 5}));
    EXPECT_EQ(list[2], (Abmn{1, 2, 5, 6}));
    EXPECT_EQ(list[3], (Abmn{1, 2, 6, 7}));
    EXPECT_EQ(s->MaxChannelUsed, 4);
    EXPECT_EQ(s->MeasurementCycles, 9);  // one chain per current dipole 1-2 .. 9-10
}

TEST(MultiChannelOptimization, GapFillersBridgeWhileTheChainHasFewerThanNineMembers) {
    auto s = LineSequence();
    SetOptions(*s, 10, true);
    Add(*s, {{1, 2, 3, 4}, {1, 2, 5, 6}, {1, 2, 7, 8}, {1, 2, 9, 10}, {1, 2, 11, 12}, {1, 2, 13, 14},
             {1, 2, 15, 16}});
    s->MultiChannelOptimization();
    EXPECT_EQ(List(*s), (std::vector<Abmn>{{1, 2, 3, 4}, {1, 2, 4, 5}, {1, 2, 5, 6}, {1, 2, 6, 7}, {1, 2, 7, 8},
                                           {1, 2, 8, 9}, {1, 2, 9, 10}, {1, 2, 10, 11}, {1, 2, 11, 12},
                                           {1, 2, 13, 14}, {1, 2, 14, 15}, {1, 2, 15, 16}}));
    EXPECT_EQ(s->MaxChannelUsed, 9);
    EXPECT_EQ(s->MeasurementCycles, 2);
    // Gap fillers: level -1, spacing coefficient 0, group one above the largest, numbered in
    // insertion order.
    std::vector<int> fillers;
    for (int q = 0; q < s->QuadripoleCount(); ++q)
        if (s->QuadInfo[q].Level == -1) {
            EXPECT_EQ(s->QuadInfo[q].SpacingCoef, 0) << q;
            EXPECT_EQ(s->QuadInfo[q].Group, 2) << q;
            fillers.push_back(s->QuadInfo[q].Number);
        }
    EXPECT_EQ(fillers, (std::vector<int>{1, 2, 3, 4, 5}));

    // A second run numbers its gap fillers from 1 again, in a group above the first ones.
    auto t = LineSequence();
    SetOptions(*t, 10, true);
    Add(*t, {{1, 2, 3, 4}, {1, 2, 5, 6}});
    t->MultiChannelOptimization();
    Add(*t, {{7, 8, 9, 10}, {7, 8, 11, 12}});
    t->MultiChannelOptimization();
    ASSERT_EQ(t->QuadripoleCount(), 6);
    EXPECT_EQ(t->QuadInfo[4].Level, -1);
    EXPECT_EQ(t->QuadInfo[4].Number, 1);
    EXPECT_EQ(t->QuadInfo[4].Group, 3);
}

TEST(MultiChannelOptimization, SwapsMNToCloseAChain) {
    auto s = LineSequence();
    SetOptions(*s, 10, false);
    Add(*s, {{1, 2, 3, 4}, {7, 8, 9, 10}, {1, 2, 5, 4}});
    s->MultiChannelOptimization();
    EXPECT_EQ(List(*s), (std::vector<Abmn>{{1, 2, 3, 4}, {1, 2, 4, 5}, {7, 8, 9, 10}}));
    EXPECT_EQ(s->MeasurementCycles, 2);
}

TEST(MultiChannelOptimization, RemoteMCandidateIsComparedAfterItsExchange) {
    auto s = LineSequence();
    SetOptions(*s, 10, false);
    // The third quadripole reads (1, 2, 7, 0) once its remote M is moved to N, and so continues
    // the first one although it does not follow it directly.
    Add(*s, {{1, 2, 5, 7}, {3, 4, 8, 9}, {1, 2, 0, 7}});
    s->MultiChannelOptimization();
    EXPECT_EQ(List(*s), (std::vector<Abmn>{{1, 2, 5, 7}, {1, 2, 7, 0}, {3, 4, 8, 9}}));
    EXPECT_EQ(s->MaxChannelUsed, 2);

    auto first = LineSequence();
    SetOptions(*first, 10, false);
    Add(*first, {{0, 5, 0, 6}});
    first->MultiChannelOptimization();
    EXPECT_EQ(List(*first)[0], (Abmn{0, 5, 6, 0}));
}

TEST(MultiChannelOptimization, GradientListsChainInTheFirstPassOnly) {
    auto s = LineSequence();
    SetOptions(*s, 10, true);
    // Remote current pair: chained by the first pass; the second pass adds no gap filler.
    Add(*s, {{0, 0, 3, 4}, {0, 0, 5, 6}, {0, 0, 4, 5}, {0, 0, 8, 9}});
    s->MultiChannelOptimization();
    EXPECT_EQ(List(*s), (std::vector<Abmn>{{0, 0, 3, 4}, {0, 0, 4, 5}, {0, 0, 5, 6}, {0, 0, 8, 9}}));
    EXPECT_EQ(s->QuadripoleCount(), 4);

    // Equal non-remote current electrodes are left where they are.
    auto t = LineSequence();
    SetOptions(*t, 10, true);
    Add(*t, {{7, 7, 3, 4}, {7, 7, 5, 6}, {7, 7, 4, 5}});
    t->MultiChannelOptimization();
    EXPECT_EQ(List(*t), (std::vector<Abmn>{{7, 7, 3, 4}, {7, 7, 5, 6}, {7, 7, 4, 5}}));
}

TEST(MultiChannelOptimization, FullListStopsInsertingGapFillers) {
    auto s = LineSequence(1319);
    SetOptions(*s, 10, true);
    AddDipoleDipoleLine(*s, 1319, 3, 6);
    ASSERT_EQ(s->QuadripoleCount(), kMaxQuadripoles);
    const auto before = List(*s);
    s->MultiChannelOptimization();
    EXPECT_EQ(s->QuadripoleCount(), kMaxQuadripoles);
    // No gap filler fits into a full list: the list is only reordered.
    auto sorted = [](std::vector<Abmn> v) {
        for (auto& q : v)
            if (q[2] > q[3]) std::swap(q[2], q[3]);
        std::sort(v.begin(), v.end());
        return v;
    };
    EXPECT_EQ(sorted(List(*s)), sorted(before));
    for (int q = 0; q < s->QuadripoleCount(); ++q) ASSERT_NE(s->QuadInfo[q].Level, -1) << q;

    // With room for some, insertion goes on until the list is full.
    auto t = LineSequence(400);
    SetOptions(*t, 10, true);
    AddDipoleDipoleLine(*t, 400, 3, 6);
    const int generated = t->QuadripoleCount();
    for (int q = 0; generated + q < kMaxQuadripoles - 5; ++q)
        AddQuadripole(*t, Abmn{1, 2, 3, 4});  // padding that takes the room
    t->MultiChannelOptimization();
    EXPECT_EQ(t->QuadripoleCount(), kMaxQuadripoles);
}

TEST(MultiChannelOptimization, OffOrEmptyLeavesEverything) {
    for (bool empty : {true, false}) {
        auto s = LineSequence();
        SetOptions(*s, 10, true);
        if (!empty) {
            Add(*s, {{1, 2, 3, 4}, {1, 2, 5, 6}, {3, 4, 6, 5}});
            s->ChannelOptions.MultiChannelOptimization = 0;
        }
        s->MeasurementCycles = 77;
        s->MaxChannelUsed = 7;
        auto before = Copy(*s);
        s->MultiChannelOptimization();
        s->DelPolarEffect();
        EXPECT_TRUE(SameBytes(*s, *before)) << (empty ? "empty" : "off");
    }
}

TEST(DelPolarEffect, GapFillerOnAnElectrodeJustUsedForCurrentIsDeleted) {
    auto s = LineSequence();
    SetOptions(*s, 10, true);
    Add(*s, {{1, 2, 3, 4}, {5, 6, 7, 8}});
    s->InsertQuadripole(2, Abmn{5, 6, 8, 1}.data(), -1, 0, 2, 1);
    Add(*s, {{5, 6, 1, 9}, {10, 11, 12, 13}, {10, 11, 13, 14}, {15, 16, 17, 18}});
    s->MaxChannelUsed = 2;
    s->DelPolarEffect();
    EXPECT_EQ(List(*s), (std::vector<Abmn>{{1, 2, 3, 4}, {5, 6, 7, 8}, {5, 6, 1, 9}, {10, 11, 12, 13},
                                           {10, 11, 13, 14}, {15, 16, 17, 18}}));
}

TEST(DelPolarEffect, OrdinaryMemberGivesWayToTheLastOfItsChain) {
    auto s = LineSequence();
    SetOptions(*s, 10, true);
    Add(*s, {{1, 2, 3, 4}, {5, 6, 2, 7}, {5, 6, 7, 8}, {5, 6, 8, 9}, {10, 11, 12, 13}, {10, 11, 13, 14},
             {15, 16, 17, 18}});
    s->MaxChannelUsed = 3;
    s->DelPolarEffect();
    EXPECT_EQ(List(*s), (std::vector<Abmn>{{1, 2, 3, 4}, {5, 6, 8, 9}, {5, 6, 2, 7}, {5, 6, 7, 8},
                                           {10, 11, 12, 13}, {10, 11, 13, 14}, {15, 16, 17, 18}}));
}

TEST(DelPolarEffect, TrailingGapFillersGoOnePerStartInsideTheRun) {
    auto s = LineSequence();
    SetOptions(*s, 10, true);
    Add(*s, {{1, 2, 3, 4}, {1, 2, 4, 5}});
    Add(*s, {{1, 2, 5, 6}, {1, 2, 6, 7}}, -1);
    Add(*s, {{8, 9, 10, 11}});
    Add(*s, {{12, 13, 14, 15}}, -1);
    Add(*s, {{16, 17, 18, 19}});
    s->MaxChannelUsed = 4;
    s->DelPolarEffect();
    // Starts 0 and 1 delete one trailing gap filler each; the lone gap filler deletes itself.
    EXPECT_EQ(List(*s), (std::vector<Abmn>{{1, 2, 3, 4}, {1, 2, 4, 5}, {8, 9, 10, 11}, {16, 17, 18, 19}}));
    EXPECT_EQ(Levels(*s), (std::vector<int>{1, 1, 1, 1}));
    // The slots freed at the end keep what the step-by-step deletion leaves there.
    EXPECT_EQ(s->Device.Quadripoles[4].A, 16);
}

// The fast walks against the literal ones, on generated lists and on random lists dense in
// chains, repeated electrodes, remote electrodes and gap fillers.
TEST(MultiChannelOptimization, SameResultAsTheStepByStepWalk) {
    struct TCase {
        const char* what;
        int array;  // 1 dipole-dipole, 2 the same stored level by level, 11 multigradient
        int electrodes, maxA, maxN, limit;
        bool fillers;
    };
    const TCase cases[] = {
        {"dipole-dipole, gap fillers, 10 channels", 1, 200, 3, 6, 10, true},
        {"dipole-dipole, no gap fillers", 1, 200, 3, 6, 10, false},
        {"dipole-dipole, 4 channels", 1, 120, 2, 8, 4, true},
        {"multigradient, gap fillers", 11, 120, 2, 6, 10, true},
        {"multigradient, 20 channels", 11, 120, 3, 5, 20, true},
        {"dipole-dipole, 1 channel", 1, 60, 2, 4, 1, true},
        {"dipole-dipole level by level", 2, 200, 3, 6, 10, true},
    };
    for (const TCase& c : cases) {
        auto s = LineSequence(c.electrodes);
        SetOptions(*s, c.limit, c.fillers);
        if (c.array == 1)
            AddDipoleDipoleLine(*s, c.electrodes, c.maxA, c.maxN);
        else if (c.array == 2)
            AddDipoleDipoleLineByLevel(*s, c.electrodes, c.maxA, c.maxN);
        else
            AddMultigradientLine(*s, c.electrodes, c.maxA, c.maxN);
        ExpectSameAsReference(*s, true, c.what);
        // Reversed to MNAB, with remote electrodes in the potential slots.
        s->ReverseQuadripoles();
        ExpectSameAsReference(*s, true, std::string(c.what) + ", reversed");
    }

    std::mt19937 rng(20261210);
    for (int round = 0; round < 300; ++round) {
        auto s = LineSequence(12);
        const int electrodes = 3 + static_cast<int>(rng() % 6);
        const int count = 1 + static_cast<int>(rng() % 120);
        const int limits[] = {1, 2, 3, 5, 10, 20};
        SetOptions(*s, limits[rng() % 6], rng() % 4 != 0);
        auto pick = [&] { return static_cast<std::uint32_t>(rng() % (electrodes + 1)); };  // 0 = remote
        for (int q = 0; q < count; ++q) {
            const Abmn abmn{pick(), pick(), pick(), pick()};
            AddQuadripole(*s, abmn, rng() % 5 == 0 ? -1 : 1, 1);
        }
        ExpectSameAsReference(*s, true, "random list " + std::to_string(round));
        // Polarisation deletion on its own, whatever MaxChannelUsed holds.
        s->MaxChannelUsed = 1 + static_cast<int>(rng() % 6);
        auto fast = Copy(*s), plain = Copy(*s);
        fast->DelPolarEffect();
        PlainDelPolarEffect(*plain);
        ASSERT_TRUE(SameBytes(*fast, *plain)) << "random list " << round << ": polarisation deletion differs";
    }
}

TEST(MultiChannelOptimization, SameResultOnTheFullList) {
    for (int array : {1, 11}) {
        auto s = LineSequence(1319);
        SetOptions(*s, 10, true);
        if (array == 1)
            AddDipoleDipoleLine(*s, 700, 3, 6);
        else
            AddMultigradientLine(*s, 700, 3, 6);
        ExpectSameAsReference(*s, true, array == 1 ? "dipole-dipole" : "multigradient");
    }
}

TEST(DelPolarEffect, CountsFromAForeignFileStayInRange) {
    // MaxChannelUsed of a list that was never counted (0) walks like 1; one beyond the list
    // length like the length itself. A chain limit far below 1 chains nothing.
    auto make = [] {
        auto s = LineSequence();
        SetOptions(*s, 10, true);
        Add(*s, {{1, 2, 3, 4}, {5, 6, 2, 7}, {5, 6, 7, 8}, {10, 11, 12, 13}, {10, 11, 13, 14}, {15, 16, 17, 18}});
        return s;
    };
    auto reference = [&](int used) {
        auto s = make();
        s->MaxChannelUsed = used;
        s->DelPolarEffect();
        return List(*s);
    };
    for (const auto& [foreign, same] : {std::pair{0, 1}, std::pair{-5, 1}, std::pair{INT32_MAX, 6}}) {
        auto s = make();
        s->MaxChannelUsed = foreign;
        s->DelPolarEffect();
        EXPECT_EQ(List(*s), reference(same)) << foreign;
    }
    auto s = make();
    const auto before = List(*s);
    s->ChannelOptions.OptimizationChannel = INT32_MIN;
    s->MultiChannelOptimization();
    EXPECT_EQ(List(*s), before);
}

TEST(MultiChannelOptimization, SameResultOnComputedLists) {
    struct TCase {
        const char* what;
        TGridType grid;
        int nx, ny, array, maxA, maxN;
        bool reverse;
    };
    const TCase cases[] = {
        {"surface dipole-dipole", gtSurface, 16, 12, 1, 2, 5, false},
        {"surface dipole-dipole, reversed", gtSurface, 16, 12, 1, 2, 5, true},
        {"pole-dipole forward, reversed", gtLine, 64, 1, 3, 3, 8, true},
        {"pole-dipole reverse", gtLine, 64, 1, 4, 3, 8, false},
        {"gradient", gtLine, 64, 1, 8, 3, 10, false},
        {"complete pole-pole on a surface", gtSurface, 10, 8, 9, 1, 6, false},
        {"cross-diagonal dipole-dipole", gtSurface, 14, 14, 12, 2, 4, false},
        {"multigradient on a surface", gtSurface, 20, 10, 11, 2, 4, false},
        {"borehole dipole-dipole diagonal", gtBorehole, 4, 30, 1, 2, 4, false},
    };
    for (const TCase& c : cases) {
        auto s = NewSequence();
        PlaceGrid(*s, c.grid, c.nx, c.ny, 5.0f, 5.0f);
        s->SetArrayType(c.array);
        for (int a = 1; a <= c.maxA; ++a) {
            for (int n = 1; n <= c.maxN; ++n) s->SpacingLevels[a - 1].Selected[n - 1] = 1;
            s->SpacingLevels[a - 1].SelectedCount = c.maxN;
        }
        s->ComputeSequence(c.reverse, false);
        ASSERT_GT(s->QuadripoleCount(), 0) << c.what;
        for (int limit : {4, 10}) {
            SetOptions(*s, limit, true);
            ExpectSameAsReference(*s, true, std::string(c.what) + ", " + std::to_string(limit) + " channels");
        }
    }
}
