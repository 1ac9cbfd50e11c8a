#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/engine/SequenceBuilders.h"

namespace {
template <typename T>
T At(const TElectSequence& s, std::size_t offset) {
    T v;
    std::memcpy(&v, reinterpret_cast<const char*>(&s) + offset, sizeof v);
    return v;
}

constexpr std::size_t kDev = 28376;   // device image inside the sequence
constexpr std::size_t kGrid = 12484;  // electrode grid inside the sequence
}  // namespace

TEST(Records, DefaultImage) {
    auto s = NewSequence();
    EXPECT_EQ(sizeof(*s), 492408u);
    for (std::size_t i = 0; i < 2048; ++i) ASSERT_EQ(At<char>(*s, i), '\0') << "text byte " << i;
    EXPECT_EQ(At<std::uint32_t>(*s, 2048), 0x29040001u);
    EXPECT_EQ(At<std::uint32_t>(*s, 2052), 0u);  // MaxDepthX
    EXPECT_EQ(At<std::int32_t>(*s, 2060), 0);   // MeasurementCycles
    // Channel options 1, 10, 1, 1 with zero padding.
    EXPECT_EQ(At<std::uint32_t>(*s, 2068), 1u);
    EXPECT_EQ(At<std::int32_t>(*s, 2072), 10);
    EXPECT_EQ(At<std::int16_t>(*s, 2076), 1);
    EXPECT_EQ(At<std::int16_t>(*s, 2078), 1);
    // Grid defaults.
    EXPECT_EQ(At<std::uint32_t>(*s, kGrid), 0x29040001u);
    EXPECT_EQ(At<std::int32_t>(*s, kGrid + 4), 0);
    EXPECT_EQ(At<float>(*s, kGrid + 8), 5.0f);
    EXPECT_EQ(At<std::int32_t>(*s, kGrid + 16), 48);
    EXPECT_EQ(At<float>(*s, kGrid + 20), 5.0f);
    EXPECT_EQ(At<std::int32_t>(*s, kGrid + 28), 1);
    EXPECT_EQ(At<std::int32_t>(*s, kGrid + 48), 1);
    // Device header.
    EXPECT_EQ(At<std::int32_t>(*s, kDev + 0), 10);
    EXPECT_EQ(At<std::int32_t>(*s, kDev + 8), 65535);
    EXPECT_EQ(At<std::int32_t>(*s, kDev + 12), 3);
    EXPECT_EQ(At<std::int32_t>(*s, kDev + 16), 6);
    EXPECT_EQ(At<float>(*s, kDev + 20), 1.0f);
    EXPECT_EQ(At<std::uint8_t>(*s, kDev + 24), 0x40);  // Vmn choice 2
    EXPECT_EQ(At<std::uint8_t>(*s, kDev + 25), 0x04);  // 500 ms, arithmetic
    EXPECT_EQ(At<std::uint8_t>(*s, kDev + 26), 0x05);  // Rho only, aux 1, no Vab choice
    EXPECT_EQ(At<std::uint8_t>(*s, kDev + 27), 80);
    EXPECT_EQ(At<std::int32_t>(*s, kDev + 28), 1);
    const std::uint16_t timing[23] = {50, 28, 6, 4, 4, 4};
    EXPECT_EQ(std::memcmp(reinterpret_cast<const char*>(s.get()) + kDev + 32, timing, sizeof timing), 0);
    // "NewSeq" written over "ProSeqName": the tail of the old name stays behind the terminator.
    EXPECT_EQ(std::memcmp(reinterpret_cast<const char*>(s.get()) + kDev + 92, "NewSeq\0ame", 10), 0);
    EXPECT_EQ(At<std::uint8_t>(*s, kDev + 103), 0x01);
    EXPECT_EQ(At<std::int32_t>(*s, kDev + 108), 0);
    EXPECT_EQ(At<std::int32_t>(*s, kDev + 112), -1);
    EXPECT_EQ(At<std::uint32_t>(*s, kDev + 136), 0x47C34FFFu);  // electrode 0 X
    EXPECT_EQ(At<std::uint32_t>(*s, kDev + 136 + 12 * 1319), 0x47C34FFFu);
    EXPECT_EQ(At<std::int32_t>(*s, kDev + 143976), 1);
    EXPECT_EQ(At<std::uint32_t>(*s, 172356), 0x497423F0u);       // QuadInfo[0].X
    EXPECT_EQ(At<std::uint32_t>(*s, 492356 - 20 + 8), 0x497423F0u);  // QuadInfo[15999].Depth
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(At<std::uint32_t>(*s, 492356 + 12 * r), 0x47C34FFFu);
        EXPECT_EQ(At<float>(*s, 492356 + 12 * r + 4), 0.0f);
    }
    EXPECT_EQ(At<std::int32_t>(*s, 492404), 0);
}

TEST(Records, TenCharacterNameEndsInTheSpareByte) {
    auto s = NewSequence();
    s->Device.SeqNameEnd = 0x55;
    s->SetSeqName("ABCDEFGHIJKLMN");
    EXPECT_EQ(std::memcmp(s->Device.SeqName, "ABCDEFGHIJ", 10), 0);
    EXPECT_EQ(s->Device.SeqNameEnd, 0);
    EXPECT_EQ(s->GetSeqName(), "ABCDEFGHIJ");
    s->SetSeqName("abc");
    EXPECT_EQ(s->GetSeqName(), "abc");
}

TEST(Records, TextFieldsAreCutAndFileNamesTrimmed) {
    auto s = NewSequence();
    s->SetFileName("  \t/tmp/a b.sqz \r\n");
    EXPECT_STREQ(s->FileName, "/tmp/a b.sqz");
    s->SetComment(std::string(1500, 'c'));
    EXPECT_EQ(s->GetComment(), std::string(1023, 'c'));
    s->SetComment("  kept as given ");
    EXPECT_EQ(s->GetComment(), "  kept as given ");
    // A two-byte character straddling the limit is left out whole.
    s->SetFileName(std::string(1022, 'x') + "\xC3\xA9");
    EXPECT_EQ(std::string(s->FileName), std::string(1022, 'x'));
}

TEST(Records, HeaderBitFieldsKeepForeignBits) {
    TReskonPro d;
    d.Byte24 = 0x1F;
    d.Byte25 = 0xC0;
    d.SetVmnChoice(5);
    d.SetTimeIndex(3);
    d.SetIPMode(4);
    EXPECT_EQ(d.Byte24, 0x1F | (5 << 5));
    EXPECT_EQ(d.Byte25, 0xC0 | 3 | (4 << 3));
    d.SetRhoMode(0);
    d.SetVabChoice(9);
    EXPECT_EQ(d.Byte26, (9 << 4) | (1 << 2));
}

TEST(Records, ClearQuadripolesEmptiesListKeepsSelections) {
    auto s = NewSequence();
    PlaceGrid(*s, gtLine, 10, 1, 1.0f);
    s->SpacingLevels[0].Selected[0] = 1;
    s->SpacingLevels[0].SelectedCount = 1;
    AddQuadripole(*s, {1, 2, 3, 4});
    s->MaxDepthX = 3.0f;
    s->MeasurementCycles = s->MaxChannelUsed = 4;
    ASSERT_TRUE(s->IsValid());
    s->ClearQuadripoles();
    EXPECT_EQ(s->QuadripoleCount(), 0);
    EXPECT_EQ(s->Device.Quadripoles[0].A, 0);
    EXPECT_EQ(Bits(s->QuadInfo[0].X), 0x497423F0u);
    EXPECT_EQ(s->QuadInfo[0].Group, 0);
    EXPECT_EQ(s->MaxDepthX, 0.0f);
    EXPECT_EQ(s->MeasurementCycles, 0);
    EXPECT_EQ(s->MaxChannelUsed, 0);
    EXPECT_EQ(s->SpacingLevels[0].SelectedCount, 1);
    EXPECT_FALSE(s->IsValid());
}

TEST(Records, ElectrodePositionsFromGrid) {
    auto s = NewSequence();
    s->ComputeElectrodePositions();  // nothing placed
    for (const auto& e : s->Device.Electrodes) {
        ASSERT_EQ(Bits(e.X), 0x4B800000u);
        ASSERT_EQ(Bits(e.Y), 0x4B800000u);
        ASSERT_EQ(Bits(e.Z), 0x4B800000u);
    }
    EXPECT_EQ(s->Device.ElectrodeCount, 0);
    EXPECT_EQ(s->Device.LastElectrode, 0);

    // An unused node's marker turns into 0 once the node is used; a line keeps imported Y/Z.
    PlaceGrid(*s, gtLine, 4, 1, 2.5f, 1.0f, 10.0f);
    EXPECT_EQ(s->Device.Electrodes[3].X, 15.0f);
    EXPECT_EQ(s->Device.Electrodes[3].Y, 0.0f);
    EXPECT_EQ(s->Device.Electrodes[3].Z, 0.0f);
    s->Device.Electrodes[3].Z = 7.0f;
    s->ComputeElectrodePositions();
    EXPECT_EQ(s->Device.Electrodes[3].Z, 7.0f);
    EXPECT_EQ(Bits(s->Device.Electrodes[5].X), 0x4B800000u);
    EXPECT_EQ(s->Device.ElectrodeSpacing, 2.5f);
    EXPECT_EQ(s->Device.LastElectrode, 4);
    EXPECT_EQ(s->Device.ElectrodeCount, 4);

    // Surface rows go to Y, borehole rows to Z; the sum is rounded once to f32.
    PlaceGrid(*s, gtSurface, 3, 2, 0.1f, 0.3f, 0.0f, 0.7f);
    EXPECT_EQ(s->Device.Electrodes[6].X, static_cast<float>(2 * static_cast<long double>(0.1f)));
    EXPECT_EQ(s->Device.Electrodes[6].Y, static_cast<float>(static_cast<long double>(0.3f) + 0.7f));
    EXPECT_EQ(s->Device.Electrodes[6].Z, 0.0f);
    PlaceGrid(*s, gtBorehole, 3, 2, 1.0f, 2.0f);
    EXPECT_EQ(s->Device.Electrodes[6].Z, 2.0f);
}

TEST(Records, IsValidOnlyForAComputedUnchangedSequence) {
    struct Case {
        const char* what;
        void (*spoil)(TElectSequence&);
    };
    const Case cases[] = {
        {"first electrode edited", [](TElectSequence& s) { s.Grid.FirstElectrode = 2; }},
        {"last electrode edited", [](TElectSequence& s) { s.Grid.LastElectrode = 9; }},
        {"electrode count edited", [](TElectSequence& s) { s.Grid.ElectrodeCount = 9; }},
        {"spacing edited", [](TElectSequence& s) { s.Grid.DX = 2.0f; }},
        {"duplicates", [](TElectSequence& s) { s.Grid.Duplicates = 1; }},
        {"no cell selected", [](TElectSequence& s) { s.SpacingLevels[2].SelectedCount = 0; }},
        {"empty list", [](TElectSequence& s) { s.ClearQuadripoles(); }},
        {"no channel", [](TElectSequence& s) { s.Device.Channels = 0; }},
    };
    for (const auto& c : cases) {
        auto s = NewSequence();
        PlaceGrid(*s, gtLine, 10, 1, 1.0f);
        s->SpacingLevels[2].SelectedCount = 1;
        AddQuadripole(*s, {1, 2, 3, 4});
        ASSERT_TRUE(s->IsValid());
        c.spoil(*s);
        EXPECT_FALSE(s->IsValid()) << c.what;
    }
}
