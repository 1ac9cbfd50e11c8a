// The user's edits below the window: what each writes, what it keeps in line, when it leaves
// the computed list stale; the settling of a sequence that enters the list; the presets and
// the IP timing rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "engine/ArrayTypes.h"
#include "engine/SequenceEditor.h"
#include "engine/SequenceList.h"
#include "tests/engine/FileFixture.h"
#include "tests/engine/SequenceBuilders.h"

namespace {
// A dipole-dipole line of 24 electrodes whose list is up to date.
std::unique_ptr<TElectSequence> Line() {
    auto s = NewSequence();
    PlaceGrid(*s, gtLine, 24, 1, 2.0f);
    s->SetArrayType(atDipoleDipole);
    AddQuadripole(*s, {1, 2, 3, 4});
    s->NeedsRecompute = 0;
    return s;
}

// The depth tables the grid and the array give.
bool DepthTablesCurrent(const TElectSequence& s) {
    auto expected = std::make_unique<TElectSequence>(s);
    expected->ComputeSpacingLevelDepths(true, kLevels);
    return SameBytes(*expected, s);
}
}  // namespace

TEST(SettleSequence, MakesWhatTheWindowShowsAndChangesNothingTheSecondTime) {
    struct TCase {
        const char* name;
        std::function<void(TElectSequence&)> stored;
        std::function<void(const TElectSequence&)> expect;
    };
    const TCase cases[] = {
        {"an array index beyond the list", [](TElectSequence& s) { s.Grid.ArrayType = 20; },
         [](const TElectSequence& s) {
             EXPECT_EQ(s.Grid.ArrayType, atMixed);
             EXPECT_EQ(s.Device.DeviceArrayCode, 7);
         }},
        {"more channels than the array takes",
         [](TElectSequence& s) {
             s.SetArrayType(atWenner);
             s.Device.Channels = 10;
             s.ChannelOptions.OptimizationChannel = 30;
         },
         [](const TElectSequence& s) {
             EXPECT_EQ(s.Device.Channels, 1);
             EXPECT_EQ(s.ChannelOptions.OptimizationChannel, 1);
         }},
        {"an optimisation beyond the channels",
         [](TElectSequence& s) {
             s.Device.Channels = 4;
             s.ChannelOptions.OptimizationChannel = 12;
         },
         [](const TElectSequence& s) {
             EXPECT_EQ(s.Device.Channels, 4);
             EXPECT_EQ(s.ChannelOptions.OptimizationChannel, 4);
         }},
        {"a meter code of another array", [](TElectSequence& s) { s.Device.DeviceArrayCode = 4; },
         [](const TElectSequence& s) { EXPECT_EQ(s.Device.DeviceArrayCode, 1); }},
        {"an odd Rho mode", [](TElectSequence& s) { s.Device.SetRhoMode(2); },
         [](const TElectSequence& s) { EXPECT_EQ(s.Device.RhoMode(), 0u); }},
        {"both voltages chosen",
         [](TElectSequence& s) {
             s.Device.SetVmnChoice(3);
             s.Device.SetVabChoice(4);
         },
         [](const TElectSequence& s) {
             EXPECT_EQ(s.Device.VmnChoice(), 3u);
             EXPECT_EQ(s.Device.VabChoice(), 0u);
         }},
        {"no voltage chosen",
         [](TElectSequence& s) {
             s.Device.SetVmnChoice(0);
             s.Device.SetVabChoice(0);
         },
         [](const TElectSequence& s) {
             EXPECT_EQ(s.Device.VmnChoice(), 0u);
             EXPECT_EQ(s.Device.VabChoice(), 1u);  // "12 V"
         }},
        {"option flags neither 0 nor 1",
         [](TElectSequence& s) {
             s.ChannelOptions.MultiChannelOptimization = 2;
             s.ChannelOptions.AllowDummyQuadripoles = 1;
             s.ChannelOptions.DelPolarEffect = -1;
         },
         [](const TElectSequence& s) {
             EXPECT_EQ(s.ChannelOptions.MultiChannelOptimization, 0);
             EXPECT_EQ(s.ChannelOptions.AllowDummyQuadripoles, 1);
             EXPECT_EQ(s.ChannelOptions.DelPolarEffect, 0);
         }},
        {"depth tables of nothing", [](TElectSequence& s) { s.ClearSpacingLevelDepths(); },
         [](const TElectSequence& s) { EXPECT_GT(s.SpacingLevels[0].DepthX[0], 0.0f); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto s = Line();
        c.stored(*s);
        SettleSequence(*s);
        c.expect(*s);
        EXPECT_TRUE(DepthTablesCurrent(*s));
        EXPECT_EQ(s->NeedsRecompute, 0);
        EXPECT_EQ(s->QuadripoleCount(), 1);
        auto again = std::make_unique<TElectSequence>(*s);
        SettleSequence(*again);
        EXPECT_TRUE(SameBytes(*again, *s));
    }
}

TEST(SequenceEditor, LayoutEditsKeepTheArrayRulesAndStaleTheListOnlyWhenTheyChangeIt) {
    auto s = Line();
    TSequenceEditor edit(*s);
    TElectGrid& g = s->Grid;

    // The same geometry again: nothing to compute anew.
    edit.SetGridGeometry({.DX = g.DX, .OffsetX = g.OffsetX, .DY = g.DY, .OffsetY = g.OffsetY, .NX = g.NX, .NY = g.NY});
    EXPECT_EQ(s->NeedsRecompute, 0);
    edit.SetGridGeometry({.DX = 3.0f, .OffsetX = 1.0f, .DY = 0.0f, .OffsetY = 0.0f, .NX = 30, .NY = 1});
    EXPECT_EQ(s->NeedsRecompute, 1);
    EXPECT_EQ(g.NX, 30);
    EXPECT_EQ(g.DX, 3.0f);
    EXPECT_TRUE(DepthTablesCurrent(*s));

    // A scan that finds the same electrodes (only the empty-grid marks differ) changes nothing.
    s->NeedsRecompute = 0;
    TElectGrid scan = g;
    scan.FirstElectrode = 1;
    edit.SetElectrodes(scan);
    EXPECT_EQ(s->NeedsRecompute, 0);
    {
        // A new sequence scanned empty keeps every byte.
        auto fresh = NewSequence();
        const std::vector<char> before(reinterpret_cast<const char*>(fresh.get()),
                                       reinterpret_cast<const char*>(fresh.get()) + sizeof(TElectSequence));
        TElectGrid empty = fresh->Grid;
        empty.FirstElectrode = 10000;
        TSequenceEditor(*fresh).SetElectrodes(empty);
        EXPECT_EQ(std::memcmp(before.data(), fresh.get(), sizeof(TElectSequence)), 0);
    }
    scan.Nodes[24].Used = 0;
    scan.ElectrodeCount = 23;
    scan.LastElectrode = 23;
    edit.SetElectrodes(scan);
    EXPECT_EQ(s->NeedsRecompute, 1);
    EXPECT_EQ(g.ElectrodeCount, 23);
    EXPECT_EQ(g.LastElectrode, 23);

    // A borehole has a second axis; Wenner's single channel is a line's rule, not a borehole's.
    s->SetArrayType(atWenner);
    s->Device.Channels = 1;
    s->NeedsRecompute = 0;
    edit.SetGridType(gtBorehole);
    EXPECT_EQ(g.DY, 1.0f);
    EXPECT_EQ(s->Device.DeviceArrayCode, 7);
    EXPECT_EQ(s->NeedsRecompute, 1);
    EXPECT_TRUE(DepthTablesCurrent(*s));
    s->Device.Channels = 12;
    edit.SetGridType(gtLine);
    EXPECT_EQ(s->Device.Channels, 1);
    EXPECT_EQ(s->Device.DeviceArrayCode, 4);
    EXPECT_EQ(g.DY, 1.0f);  // a line keeps the spacing it has
    s->NeedsRecompute = 0;
    edit.SetGridType(gtLine);
    EXPECT_EQ(s->NeedsRecompute, 0);
}

TEST(SequenceEditor, ChoosingAnArrayStartsItsListAnew) {
    struct TCase {
        std::int32_t type;
        std::int32_t channels;
        bool vab;
    };
    for (const TCase& c : {TCase{atDipoleDipole, 10, false}, TCase{atWenner, 1, false}, TCase{atCompletePolePole, 10, true}}) {
        SCOPED_TRACE(c.type);
        auto s = Line();
        s->Device.Channels = 16;
        s->ChannelOptions.OptimizationChannel = 3;
        s->RemoteElectrodes[kRemoteA].X = 4.0f;
        s->SetVmn(2);
        TSequenceEditor(*s).ChooseArrayType(c.type);
        EXPECT_EQ(s->Grid.ArrayType, c.type);
        EXPECT_EQ(s->Device.Channels, c.channels);
        EXPECT_EQ(s->ChannelOptions.OptimizationChannel, c.channels);
        EXPECT_EQ(s->RemoteElectrodes[kRemoteA].X, kNoElectrode);
        EXPECT_EQ(s->QuadripoleCount(), 0);
        EXPECT_EQ(s->Device.VmnChoice() == 0, c.vab);
        EXPECT_EQ(s->Device.VabChoice() != 0, c.vab);
        EXPECT_TRUE(DepthTablesCurrent(*s));
        EXPECT_EQ(s->NeedsRecompute, 1);
    }
    auto hole = Line();
    hole->Grid.GridType = gtBorehole;
    hole->ChannelOptions.OptimizationChannel = 3;
    TSequenceEditor(*hole).ChooseBoreholeArrayType(batDipoleDipoleEquatorial);
    EXPECT_EQ(hole->Grid.ArrayType, batDipoleDipoleEquatorial);
    EXPECT_EQ(hole->ChannelOptions.OptimizationChannel, hole->Device.Channels);
    EXPECT_EQ(hole->QuadripoleCount(), 0);
    EXPECT_TRUE(DepthTablesCurrent(*hole));
    EXPECT_EQ(hole->NeedsRecompute, 1);
}

TEST(SequenceEditor, PresetsSetTheMeterForASurveyInVpMode) {
    struct TCase {
        const TMeterPreset& preset;
        std::int32_t array;
        std::int32_t stackMin, stackMax, channels;
        unsigned vmn, time;
        bool rhoIP;
    };
    const TCase cases[] = {
        {kRhoIPPreset, atDipoleDipole, 4, 8, 10, 5, 2, true},
        {kRhoOnlyPreset, atDipoleDipole, 3, 6, 10, 2, 4, false},
        {kRhoOnlyPreset, atWenner, 3, 6, 1, 2, 4, false},  // a single-channel array keeps its one channel
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.array);
        auto s = Line();
        s->SetArrayType(c.array);
        s->Device.Channels = 1;
        s->ChannelOptions.OptimizationChannel = 20;
        s->SetVab(2);
        s->SetIPMode(3);
        const std::int32_t code = s->Device.DeviceArrayCode;
        TSequenceEditor(*s).ApplyPreset(c.preset);
        const TReskonPro& d = s->Device;
        EXPECT_EQ(d.Channels, c.channels);
        EXPECT_LE(s->ChannelOptions.OptimizationChannel, d.Channels);
        EXPECT_EQ(d.StackMin, c.stackMin);
        EXPECT_EQ(d.StackMax, c.stackMax);
        EXPECT_EQ(d.QMax, 1.0f);
        EXPECT_EQ(d.VmnChoice(), c.vmn);
        EXPECT_EQ(d.VabChoice(), 0u);
        EXPECT_EQ(s->GetVabMax(), 800);
        EXPECT_EQ(d.TimeIndex(), c.time);
        EXPECT_EQ(d.IPMode(), 0u);
        EXPECT_EQ(d.AuxMode(), 1u);
        EXPECT_EQ(s->IsRhoIP(), c.rhoIP);
        EXPECT_TRUE(std::equal(d.IPTiming, d.IPTiming + 23, IPTimingTableRow(int(c.time), 0)));
        EXPECT_EQ(d.DeviceArrayCode, code);
        EXPECT_EQ(s->NeedsRecompute, 0);
    }
}

TEST(IPTiming, TheDelayAndTheWindowsMustFitTheInjection) {
    struct TCase {
        const char* name;
        std::int32_t mdelay;
        std::int32_t window;  // every window
        std::int32_t last;    // window 20
        int refused;
        int firstZeroed;  // windows from this one on are given as 0
    };
    // 2000 ms of injection, 80 ms fixed: with an M delay of 120 the windows may take 1800 ms.
    const TCase cases[] = {
        {"exactly full", 120, 90, 90, 0, kIPWindows},
        {"10 ms too long", 120, 90, 100, 1, 19},
        {"long from window 11 on", 120, 180, 180, 10, 10},
        {"a negative M delay", -10, 10, 10, 1, kIPWindows},
        {"a negative window", 120, 10, -5, 1, 19},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::int32_t windows[kIPWindows];
        std::fill(windows, windows + kIPWindows, c.window);
        windows[kIPWindows - 1] = c.last;
        const TIPTimingCheck check = CheckIPTiming(2000, c.mdelay, windows);
        EXPECT_EQ(check.Refused, c.refused);
        EXPECT_EQ(check.Fits(), c.refused == 0);
        for (int i = 0; i < kIPWindows; ++i) EXPECT_EQ(check.Windows[i], i < c.firstZeroed ? windows[i] : 0) << i;

        // Stored only when it fits, in 10-ms units.
        auto s = Line();
        s->SetTime(2);
        s->SetIPMode(4);
        const std::vector<std::uint16_t> before(s->Device.IPTiming, s->Device.IPTiming + 23);
        EXPECT_EQ(TSequenceEditor(*s).SetProgrammedIPTiming(c.mdelay, windows).Refused, c.refused);
        if (c.refused == 0) {
            EXPECT_EQ(s->Device.IPTiming[2], 12);
            EXPECT_EQ(s->Device.IPTiming[3], 9);
            EXPECT_EQ(s->Device.IPTiming[0], 200);
            EXPECT_EQ(s->Device.IPTiming[1], before[1]);
        } else {
            EXPECT_EQ(std::vector<std::uint16_t>(s->Device.IPTiming, s->Device.IPTiming + 23), before);
        }
    }
}

class SettledListTest : public FileFixture {};

// A sequence enters the list as the window shows it, and that is what counts as saved.
TEST_F(SettledListTest, EntriesAreSettledWhenTheyEnterAndCountAsSaved) {
    auto s = Line();
    s->SetArrayType(atWenner);
    s->Device.Channels = 10;
    s->ClearSpacingLevelDepths();
    ASSERT_TRUE(s->SaveToFile(Path("wenner.sqz")));

    TSequenceList list;
    ASSERT_EQ(list.AppendFromFile(Path("wenner.sqz")), 0);
    ASSERT_TRUE(list.Append(std::make_unique<TElectSequence>(*s)));
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list[std::size_t(i)]->Device.Channels, 1);
        EXPECT_TRUE(DepthTablesCurrent(*list[std::size_t(i)]));
        EXPECT_FALSE(list.Changed(i));
    }
    list[0]->Device.Channels = 10;
    EXPECT_TRUE(list.Changed(0));
    ASSERT_TRUE(list.Reload(0, Path("wenner.sqz")));
    EXPECT_EQ(list[0]->Device.Channels, 1);
    EXPECT_FALSE(list.Changed(0));
}
