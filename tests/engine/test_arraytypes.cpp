// The table of array types: each row as the window's lists, the meter and the second model
// knew the array, and how an index outside a list reads.
#include <gtest/gtest.h>

#include <string>

#include "engine/ArrayTypes.h"
#include "tests/engine/SequenceBuilders.h"

namespace {

struct Row {
    const char* label;
    std::int32_t meterCode;
    unsigned secondModelCode;
    std::int32_t channelLimit;
    TRemoteElectrodes remotes;
    bool fixedVab;
};

void ExpectRows(std::span<const TArrayTypeInfo> table, std::span<const Row> rows) {
    ASSERT_EQ(table.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TArrayTypeInfo& t = table[i];
        const Row& r = rows[i];
        SCOPED_TRACE(std::to_string(i) + " " + r.label);
        EXPECT_EQ(t.Type, static_cast<std::int32_t>(i));
        EXPECT_STREQ(t.Label, r.label);
        EXPECT_EQ(t.MeterCode, r.meterCode);
        EXPECT_EQ(t.SecondModelCode, r.secondModelCode);
        EXPECT_EQ(t.ChannelLimit, r.channelLimit);
        EXPECT_EQ(t.Remotes, r.remotes);
        EXPECT_EQ(t.FixedVab, r.fixedVab);
        EXPECT_EQ(t.Generator == nullptr, i == atMixed);
    }
}

TEST(ArrayTypes, EachRowAsTheListsAndTheMetersKnewIt) {
    const Row surface[] = {
        {"mixed array", 7, 11, 20, reNone, false},
        {"dipole-dipole", 1, 1, 20, reNone, false},
        {"dipole-dipole equatorial", 7, 9, 20, reNone, false},
        {"pole-dipole forward", 2, 2, 20, reA, false},
        {"pole-dipole reverse", 2, 12, 20, reA, false},
        {"Wenner", 4, 4, 1, reNone, false},
        {"Wenner-Schlumberger", 5, 5, 1, reNone, false},
        {"WS reciprocal", 7, 13, 20, reNone, false},
        {"gradient", 6, 6, 20, reAB, false},
        {"complete pole-pole", 8, 8, 20, reAN, true},
        {"cross-diagonal pole-pole", 8, 8, 20, reAN, true},
        {"multigradient", 7, 14, 20, reNone, false},
        {"cross-diagonal dipole-dipole", 7, 1, 20, reNone, false},
        {"cross-diagonal pole-dipole forward", 2, 2, 20, reA, false},
        {"cross-diagonal pole-dipole reverse", 2, 12, 20, reA, false},
    };
    const Row borehole[] = {
        {"mixed array", 7, 11, 20, reNone, false},
        {"dipole-dipole diagonal", 7, 1, 20, reNone, false},
        {"dipole-dipole equatorial", 7, 9, 20, reNone, false},
    };
    {
        SCOPED_TRACE("surface");
        ExpectRows(SurfaceArrayTypes(), surface);
    }
    {
        SCOPED_TRACE("borehole");
        ExpectRows(BoreholeArrayTypes(), borehole);
    }
    // Only Wenner and Wenner-Schlumberger have a polarisation variant.
    for (const TArrayTypeInfo& t : SurfaceArrayTypes())
        EXPECT_EQ(t.DelPolarGenerator != nullptr, t.Type == atWenner || t.Type == atWennerSchlumberger) << t.Label;
    for (const TArrayTypeInfo& t : BoreholeArrayTypes()) EXPECT_EQ(t.DelPolarGenerator, nullptr) << t.Label;
    // The window edits B beside A for the gradient, N (with M on it) for everything else.
    EXPECT_EQ(SecondRemoteRole(reAB), kRemoteB);
    for (TRemoteElectrodes r : {reNone, reA, reAN}) EXPECT_EQ(SecondRemoteRole(r), kRemoteN);
}

TEST(ArrayTypes, AnIndexOutsideItsList) {
    // Beyond the surface list: nothing to generate, generic rules, the meter keeps its code.
    for (std::int32_t t : {-1, atLastArrayType + 1, 1000}) {
        const TArrayTypeInfo& u = SurfaceArrayType(t);
        SCOPED_TRACE(t);
        EXPECT_EQ(u.Generator, nullptr);
        EXPECT_EQ(u.MeterCode, kKeepMeterCode);
        EXPECT_EQ(u.SecondModelCode, 11u);
        EXPECT_EQ(u.ChannelLimit, 20);
        EXPECT_EQ(u.Remotes, reNone);
        EXPECT_FALSE(u.FixedVab);
        EXPECT_EQ(u.Depth, drGeneric);
    }
    // A borehole grid holding an index of the surface list only (a layout switched to a
    // borehole, a file from elsewhere) keeps what that surface array exports, shows and
    // selects, with the borehole's meter code, channels and depth cells, and generates nothing.
    auto s = NewSequence();
    s->Grid.GridType = gtBorehole;
    for (std::int32_t t = batDipoleDipoleEquatorial + 1; t <= atLastArrayType; ++t) {
        s->Grid.ArrayType = t;
        const TArrayTypeInfo& row = ArrayTypeOf(s->Grid);
        const TArrayTypeInfo& surface = SurfaceArrayType(t);
        SCOPED_TRACE(t);
        EXPECT_EQ(row.SecondModelCode, surface.SecondModelCode);
        EXPECT_EQ(row.Remotes, surface.Remotes);
        EXPECT_EQ(row.FixedVab, surface.FixedVab);
        EXPECT_EQ(row.Depth, surface.Depth);
        EXPECT_EQ(row.Levels, surface.Levels);
        EXPECT_EQ(row.MeterCode, 7);
        EXPECT_EQ(row.ChannelLimit, 20);
        EXPECT_EQ(row.CellFit, cfBorehole);
        EXPECT_EQ(row.CellDepth, cdSpread);
        EXPECT_EQ(row.Generator, nullptr);
        EXPECT_EQ(row.DelPolarGenerator, nullptr);
    }
    for (std::int32_t t : {-1, atLastArrayType + 1}) {
        s->Grid.ArrayType = t;
        EXPECT_EQ(ArrayTypeOf(s->Grid).MeterCode, 7) << t;
        EXPECT_EQ(ArrayTypeOf(s->Grid).SecondModelCode, 11u) << t;
        EXPECT_EQ(ArrayTypeOf(s->Grid).Generator, nullptr) << t;
    }
    s->Grid.ArrayType = batDipoleDipoleDiagonal;
    EXPECT_EQ(&ArrayTypeOf(s->Grid), &BoreholeArrayTypes()[batDipoleDipoleDiagonal]);
    s->Grid.GridType = gtSurface;
    EXPECT_EQ(&ArrayTypeOf(s->Grid), &SurfaceArrayTypes()[atDipoleDipole]);
}

}  // namespace
