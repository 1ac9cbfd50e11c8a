#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <utility>

#include "tests/engine/SequenceBuilders.h"

TEST(Parameters, ArrayCodeMap) {
    // Index -> meter code on a line grid; -1 = the code stays as it was.
    const int expected[17] = {7, 1, 7, 2, 2, 4, 5, 7, 6, 8, 8, 7, 7, 2, 2, -1, -1};
    for (int t = 0; t < 17; ++t) {
        for (TGridType grid : {gtLine, gtSurface, gtBorehole}) {
            auto s = NewSequence();
            s->Grid.GridType = grid;
            s->Device.DeviceArrayCode = 99;
            s->SetArrayType(t);
            EXPECT_EQ(s->Grid.ArrayType, t);
            const int want = grid == gtBorehole ? 7 : (expected[t] < 0 ? 99 : expected[t]);
            EXPECT_EQ(s->Device.DeviceArrayCode, want) << "type " << t << " grid " << grid;
        }
    }
}

TEST(Parameters, MaxChannelOnlyLimitsWennerTypesOffBoreholes) {
    for (int t = 0; t < 15; ++t) {
        auto s = NewSequence();
        s->Grid.ArrayType = t;
        EXPECT_EQ(s->GetMaxChannel(), (t == 5 || t == 6) ? 1 : 20) << t;
        s->Grid.GridType = gtSurface;
        EXPECT_EQ(s->GetMaxChannel(), (t == 5 || t == 6) ? 1 : 20) << t;
        s->Grid.GridType = gtBorehole;
        EXPECT_EQ(s->GetMaxChannel(), 20) << t;
    }
}

TEST(Parameters, ChannelsAreLoweredNeverRaised) {
    auto s = NewSequence();
    s->ChannelOptions.OptimizationChannel = 8;
    s->SetArrayType(5);
    EXPECT_EQ(s->Device.Channels, 1);
    EXPECT_EQ(s->ChannelOptions.OptimizationChannel, 1);
    s->SetArrayType(1);
    EXPECT_EQ(s->Device.Channels, 1);
    EXPECT_EQ(s->ChannelOptions.OptimizationChannel, 1);

    // The window writes a larger count itself; the limit then caps both at 20.
    s->Device.Channels = 30;
    s->ChannelOptions.OptimizationChannel = 25;
    s->LimitChannel(s->Device.Channels);
    EXPECT_EQ(s->Device.Channels, 20);
    EXPECT_EQ(s->ChannelOptions.OptimizationChannel, 20);
    s->LimitChannel(-3);  // below 1 counts as 1
    EXPECT_EQ(s->Device.Channels, 1);
    EXPECT_EQ(s->ChannelOptions.OptimizationChannel, 1);

    // CheckChannel lowers both to the array's maximum and returns the channel count.
    s->Device.Channels = 12;
    s->ChannelOptions.OptimizationChannel = 14;
    s->Grid.ArrayType = 6;
    EXPECT_EQ(s->CheckChannel(), 1);
    EXPECT_EQ(s->ChannelOptions.OptimizationChannel, 1);

    // Leaving the optimisation limit below the channels is allowed.
    s->Grid.ArrayType = 1;
    s->Device.Channels = 10;
    s->ChannelOptions.OptimizationChannel = 4;
    s->SetArrayType(3);
    EXPECT_EQ(s->Device.Channels, 10);
    EXPECT_EQ(s->ChannelOptions.OptimizationChannel, 4);
}

TEST(Parameters, TimeAndIPModeLoadTimingRows) {
    auto s = NewSequence();
    std::uint32_t ms[23];
    s->SetIPMode(3);  // at 500 ms
    s->GetIPTiming(ms);
    const std::uint32_t coleCole500[23] = {500, 280, 160, 80, 180};
    EXPECT_TRUE(std::equal(ms, ms + 23, coleCole500));

    s->SetTime(0);  // 8000 ms, still Cole-Cole
    const std::uint16_t coleCole8000[23] = {800, 534, 2,  4,  6,  8,  10, 12, 15, 18, 22, 25,
                                            28,  32,  36, 40, 45, 50, 58, 70, 85, 101, 118};
    EXPECT_TRUE(std::equal(s->Device.IPTiming, s->Device.IPTiming + 23, coleCole8000));
    EXPECT_EQ(s->Device.TimeIndex(), 0u);
    EXPECT_EQ(s->Device.IPMode(), 3u);

    s->SetIPMode(2);
    const std::uint16_t log8000[23] = {800, 534, 16, 12, 22, 42, 82, 162, 322};
    EXPECT_TRUE(std::equal(s->Device.IPTiming, s->Device.IPTiming + 23, log8000));

    s->SetTime(5);
    const std::uint16_t short250[23] = {25, 13};
    EXPECT_TRUE(std::equal(s->Device.IPTiming, s->Device.IPTiming + 23, short250));

    // Re-selecting the current time or mode keeps the user's own timing.
    const std::int32_t windows[20] = {15, 25, 39};
    s->SetIPTiming(505, 99, 1000, windows);
    s->SetTime(5);
    s->SetIPMode(2);
    s->GetIPTiming(ms);
    const std::uint32_t edited[23] = {500, 90, 1000, 10, 20, 30};
    EXPECT_TRUE(std::equal(ms, ms + 23, edited));

    // Indices without a row are ignored.
    s->SetTime(6);
    s->SetIPMode(5);
    EXPECT_EQ(s->Device.TimeIndex(), 5u);
    EXPECT_EQ(s->Device.IPMode(), 2u);
}

TEST(Parameters, VmnAndVabExcludeEachOther) {
    auto s = NewSequence();
    s->SetVab(3);
    EXPECT_EQ(s->Device.VabChoice(), 4u);
    EXPECT_EQ(s->Device.VmnChoice(), 0u);
    s->SetVmn(4);
    EXPECT_EQ(s->Device.VmnChoice(), 5u);
    EXPECT_EQ(s->Device.VabChoice(), 0u);
    s->SetVab(8);
    s->SetVab(-1);  // clears only its own choice
    EXPECT_EQ(s->Device.VabChoice(), 0u);
    EXPECT_EQ(s->Device.VmnChoice(), 0u);
    s->SetVmn(1);
    s->SetVmn(-1);
    EXPECT_EQ(s->Device.VmnChoice(), 0u);

    s->SetRhoIP(true);
    EXPECT_TRUE(s->IsRhoIP());
    EXPECT_EQ(s->Device.RhoMode(), 0u);
    s->SetRhoIP(false);
    EXPECT_FALSE(s->IsRhoIP());
}

TEST(Parameters, VabMaxInTensOfVolts) {
    struct Case {
        int volts, stored;
    };
    for (Case c : {Case{5, 1}, {10, 1}, {805, 80}, {2550, 255}, {5000, 255}, {-20, 1}}) {
        auto s = NewSequence();
        s->SetVabMax(c.volts);
        EXPECT_EQ(s->Device.VabMax10, c.stored) << c.volts;
        EXPECT_EQ(s->GetVabMax(), c.stored * 10);
    }
}

TEST(Parameters, MeasureTimeOfOneCycle) {
    // 500 ms injection, stacks 3..6: 500 x (4.5 + 2) + 540; the default Vmn choice adds 340.
    auto s = NewSequence();
    EXPECT_EQ(s->GetMeasureTime(), 4130);
    s->SetVmn(-1);
    EXPECT_EQ(s->GetMeasureTime(), 3790);
    s->SetRhoIP(true);
    EXPECT_EQ(s->GetMeasureTime(), 7040);
    s->SetVmn(0);
    EXPECT_EQ(s->GetMeasureTime(), 7380);

    // An odd stack sum keeps its half; the total time truncates nothing.
    s->SetRhoIP(false);
    s->SetVmn(-1);
    s->Device.StackMax = 4;  // 3 + 4 = 7
    s->Device.IPTiming[0] = 3;
    EXPECT_EQ(s->GetMeasureTimeExact(), 30.0L * 5.5L + 540);
    EXPECT_EQ(s->GetMeasureTime(), 705);
    s->MeasurementCycles = 3;
    EXPECT_DOUBLE_EQ(s->GetTotalTime(), 705.0 * 3 / 86400000.0);
}

TEST(Parameters, MeasureTimeOfForeignStackCountsStaysInRange) {
    // Stacks read from a foreign file or set on the sequence directly: the cycle time saturates
    // instead of wrapping round, and it is never negative.
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    struct Case {
        std::int32_t stackMin, stackMax;
        std::uint16_t injection;  // 10-ms units
        std::int32_t ms;
    };
    const Case cases[] = {
        {kMax, kMax, 50, kMax},
        {1000000, 1000000, 800, kMax},
        {kMin, kMin, 50, 0},
        {-20, -20, 65535, 0},
        {0, 0, 65535, 65535 * 10 * 2 + 540},
    };
    for (const Case& c : cases) {
        auto s = NewSequence();
        s->SetVmn(-1);
        s->Device.StackMin = c.stackMin;
        s->Device.StackMax = c.stackMax;
        s->Device.IPTiming[0] = c.injection;
        for (bool rhoIP : {false, true}) {
            s->SetRhoIP(rhoIP);
            const std::int32_t expected = rhoIP && c.ms != kMax && c.ms != 0 ? (c.ms - 540) * 2 + 540 : c.ms;
            EXPECT_EQ(s->GetMeasureTime(), expected) << c.stackMin << " " << c.stackMax << " " << rhoIP;
            s->MeasurementCycles = 1000;
            EXPECT_GE(s->GetTotalTime(), 0.0);
        }
    }
    // A cycle count below zero gives no time either.
    auto s = NewSequence();
    s->MeasurementCycles = -5;
    EXPECT_EQ(s->GetTotalTime(), 0.0);
}

TEST(Parameters, TimingTableRowsForTheWindow) {
    const std::uint16_t* row = IPTimingTableRow(2, 0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row[0], 200);
    EXPECT_EQ(row[1], 126);
    EXPECT_EQ(row[2], 24);
    EXPECT_TRUE(std::all_of(row + 3, row + 23, [](std::uint16_t w) { return w == 8; }));
    const std::uint16_t* semiLog = IPTimingTableRow(3, 1);
    const std::uint16_t expected[23] = {100, 58, 4, 2, 2, 2, 2, 2, 2, 2, 2, 4, 4, 4, 4, 4, 4, 8, 8, 8, 8, 8, 8};
    EXPECT_TRUE(std::equal(semiLog, semiLog + 23, expected));
    for (auto [t, m] : {std::pair{6, 0}, {0, 5}, {-1, 0}, {0, -1}}) EXPECT_EQ(IPTimingTableRow(t, m), nullptr);
}
