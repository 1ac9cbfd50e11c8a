// The configuration block of the second model: defaults, array codes and the fill from a
// sequence and the last stored configuration.
#include <array>

#include "tests/export/ExportTest.h"
#include "export/SolvySettings.h"

namespace {

class SolvyBlockTest : public ExportTest {};

TEST_F(SolvyBlockTest, NewModelHoldsTheDefaultBlock) {
    TReskonSolvy m(Seq.get());
    const std::uint8_t* b = Bytes(m.Config);
    const std::array<std::uint8_t, 8> head{0xF8, 0x0A, 0x00, 0x02, 0x40, 0xCB, 0x00, 0x00};
    EXPECT_EQ(0, std::memcmp(b, head.data(), head.size()));
    EXPECT_EQ(200u, At<std::uint32_t>(b, 8));
    EXPECT_EQ(126u, At<std::uint32_t>(b, 12));
    EXPECT_EQ(24u, At<std::uint32_t>(b, 16));
    for (int k = 0; k < 20; ++k) EXPECT_EQ(8u, At<std::uint32_t>(b, 20 + 4 * k)) << "window " << k + 1;
    EXPECT_EQ(1000000.0f, At<float>(b, 100));
    EXPECT_EQ(800.0f, At<float>(b, 104));
    EXPECT_EQ(1u, At<std::uint32_t>(b, 108));
    EXPECT_EQ(4u, At<std::uint32_t>(b, 112));
    EXPECT_EQ(16u, At<std::uint32_t>(b, 116));
    EXPECT_EQ(0.0, At<double>(b, 120));
    EXPECT_EQ(0.0, At<double>(b, 128));
    EXPECT_STREQ("0:/SEQ", reinterpret_cast<const char*>(b + 144));
    EXPECT_STREQ("sequence", reinterpret_cast<const char*>(b + 160));
    EXPECT_EQ(20u, At<std::uint16_t>(b, 192));
    EXPECT_EQ(5.0f, At<float>(b, 244));
    // Everything else is zero.
    auto zeroBetween = [b](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            if (b[i] != 0) return false;
        return true;
    };
    EXPECT_TRUE(zeroBetween(136, 144));
    EXPECT_TRUE(zeroBetween(144 + 7, 160));
    EXPECT_TRUE(zeroBetween(160 + 9, 192));
    EXPECT_TRUE(zeroBetween(194, 244));
    EXPECT_TRUE(zeroBetween(248, kSolvyConfigSize));
}

TEST_F(SolvyBlockTest, PresetsHoldTheirFields) {
    struct Row {
        unsigned kind;
        std::array<std::uint8_t, 8> head;
        std::uint32_t cycle, vDelay, mDelay, window, windows, stackMin, stackMax;
        double qr, qm;
    };
    const Row rows[] = {
        {ckAutoResistivity, {0xF8, 0x0A, 0x40, 0x05, 0x40, 0x0B, 0, 0}, 25, 13, 0, 0, 0, 3, 6, 2.0, 0.0},
        {ckAutoFastIP, {0xF8, 0x0A, 0x4A, 0x04, 0x40, 0x4B, 0, 0}, 50, 28, 6, 2, 19, 4, 16, 2.0, 2.0},
        {ckAutoStandardIP, {0xF8, 0x0A, 0x0A, 0x02, 0x40, 0x8B, 0, 0}, 200, 126, 24, 8, 20, 4, 16, 2.0, 2.0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.kind);
        const std::uint8_t* p = SolvyPreset(r.kind);
        ASSERT_NE(nullptr, p);
        EXPECT_EQ(0, std::memcmp(p, r.head.data(), 8));
        EXPECT_EQ(r.cycle, At<std::uint32_t>(p, 8));
        EXPECT_EQ(r.vDelay, At<std::uint32_t>(p, 12));
        EXPECT_EQ(r.mDelay, At<std::uint32_t>(p, 16));
        for (std::uint32_t k = 0; k < 20; ++k)
            EXPECT_EQ(k < r.windows ? r.window : 0u, At<std::uint32_t>(p, 20 + 4 * k)) << "window " << k + 1;
        EXPECT_EQ(1000000.0f, At<float>(p, 100));
        EXPECT_EQ(800.0f, At<float>(p, 104));
        EXPECT_EQ(1u, At<std::uint32_t>(p, 108));
        EXPECT_EQ(r.stackMin, At<std::uint32_t>(p, 112));
        EXPECT_EQ(r.stackMax, At<std::uint32_t>(p, 116));
        EXPECT_EQ(r.qr, At<double>(p, 120));
        EXPECT_EQ(r.qm, At<double>(p, 128));
        for (int i = 136; i < 144; ++i) EXPECT_EQ(0, p[i]);
    }
    EXPECT_EQ(nullptr, SolvyPreset(ckManual));
}

TEST(SolvyTimingTable, RowsFollowTimeAndMode) {
    struct Row {
        unsigned time, mode;
        std::vector<std::uint32_t> words;   // leading words; the rest are zero
    };
    const Row rows[] = {
        {0, wmArithmetic, {800, 534, 96, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32}},
        {0, wmSemiLog, {800, 534, 32, 16, 16, 16, 16, 16, 16, 16, 16, 32, 32, 32, 32, 32, 32, 64, 64, 64, 64, 64, 64}},
        {1, wmLog, {400, 262, 16, 12, 22, 42, 82, 162}},
        {1, wmColeCole, {400, 262, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 25, 28, 32, 38, 45, 53}},
        {2, wmSemiLog, {200, 126, 4, 4, 4, 4, 4, 4, 4, 4, 8, 8, 8, 8, 8, 8, 8, 16, 16, 16, 16, 16, 16}},
        {3, wmColeCole, {100, 58, 2, 1, 2, 2, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 7, 8, 9}},
        {4, wmArithmetic, {50, 28, 6, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
        {4, wmColeCole, {50, 28, 16, 8, 18}},
        {5, wmLog, {25, 13}},
        // programmable and the current-regulated full duty mode copy the arithmetic row
        {3, wmProgrammable, {100, 58, 12, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4}},
        {2, wmFullDutyCurrent, {200, 126, 24, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8}},
        {0, wmFullDuty, {800, 534}},
        {1, wmFullDuty, {400, 262}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "time " << r.time << " mode " << r.mode);
        const std::uint32_t* t = SolvyTimingRow(r.time, r.mode);
        ASSERT_NE(nullptr, t);
        for (std::size_t k = 0; k < std::size_t(kSolvyTimingWords); ++k)
            EXPECT_EQ(k < r.words.size() ? r.words[k] : 0u, t[k]) << "word " << k;
    }
    EXPECT_EQ(nullptr, SolvyTimingRow(6, 0));
    EXPECT_EQ(nullptr, SolvyTimingRow(0, 7));
}

TEST(SolvyArrayCode, MapsEveryArrayType) {
    const std::pair<int, unsigned> rows[] = {
        {0, 11}, {1, 1}, {2, 9}, {3, 2}, {4, 12}, {5, 4}, {6, 5}, {7, 13}, {8, 6}, {9, 8},
        {10, 8}, {11, 14}, {12, 1}, {13, 2}, {14, 12}, {15, 11}, {-1, 11}, {1000, 11},
    };
    for (auto [type, code] : rows) EXPECT_EQ(code, TReskonSolvy::ArrayCode(type)) << "array type " << type;
}

TEST_F(SolvyBlockTest, ABoreholeSequenceTakesTheCodeOfItsOwnList) {
    // The borehole list's own arrays, and a surface array left on a borehole grid, which keeps
    // its code.
    const std::pair<int, unsigned> rows[] = {{0, 11}, {1, 1}, {2, 9}, {5, 4}, {8, 6}, {15, 11}};
    Seq->Grid.GridType = gtBorehole;
    for (auto [type, code] : rows) {
        Seq->Grid.ArrayType = type;
        TReskonSolvy m(Seq.get());
        m.LoadFromSequence();
        EXPECT_EQ(code, m.Config.ArrayCode()) << "array type " << type;
    }
}

TEST_F(SolvyBlockTest, WithoutStoredValueTheSequenceFillsTheDefaults) {
    Seq->Device.Channels = 7;
    Seq->Device.StackMin = 2;
    Seq->Device.StackMax = 9;
    Seq->Device.QMax = 2.5f;
    Seq->Grid.ArrayType = 10;   // cross-diagonal pole-pole
    TReskonSolvy m(Seq.get());
    ASSERT_EQ(1, m.LoadFromSequence());
    EXPECT_TRUE(Recorder.Messages.empty());

    const TSolvyConfig& c = m.Config;
    EXPECT_EQ(8u, c.ArrayCode());            // "poly-pole"
    EXPECT_EQ(unsigned(ckManual), c.Kind()); // kept from the default block
    EXPECT_EQ(7u, c.Channels);
    EXPECT_EQ(0u, c.Trigger());
    EXPECT_EQ(2u, c.StackMin);
    EXPECT_EQ(9u, c.StackMax);
    // Rho only: the resistivity limit, 100 % duty cycle.
    EXPECT_EQ(2.5, c.QRMax);
    EXPECT_EQ(0.0, c.QMMax);
    EXPECT_EQ(1u, c.WaveMode());
    // The default Vmn choice "50 mV": Vab regulated at input level 1.
    EXPECT_EQ(0u, c.Regulation());
    EXPECT_EQ(1u, c.InputLevel());
    EXPECT_EQ(800.0f, c.VabMax);
    // 500 ms, full duty timing.
    EXPECT_EQ(4u, c.TimeCode());
    EXPECT_EQ(unsigned(wmFullDuty), c.WindowMode());
    EXPECT_EQ(0, std::memcmp(c.IPTiming, SolvyTimingRow(4, wmFullDuty), sizeof(c.IPTiming)));
    // Untouched fields keep the defaults.
    const TSolvyConfig& d = SolvyDefaultConfig();
    EXPECT_EQ(d.Byte0, c.Byte0);
    EXPECT_EQ(d.Current, c.Current);
    EXPECT_EQ(0, std::memcmp(Bytes(d) + 136, Bytes(c) + 136, kSolvyConfigSize - 136));
}

TEST_F(SolvyBlockTest, InjectionTimeFollowsTheDutyCycle) {
    struct Row {
        bool rhoIP;
        int time, ipMode;
        unsigned code, mode;          // of the block
        int sequenceTime;             // of the sequence afterwards
        std::uint32_t mDelay;
        std::vector<std::uint32_t> windows;
    };
    const Row rows[] = {
        {false, 0, 0, 1, wmFullDuty, 1, 0, {}},                  // no 8000 ms at full duty
        {true, 5, 3, 4, wmColeCole, 4, 16, {8, 18}},             // no 250 ms at half duty
        {true, 2, 4, 2, wmProgrammable, 2, 24, std::vector<std::uint32_t>(20, 8)},   // programmable: arithmetic row
        {false, 5, 0, 5, wmFullDuty, 5, 0, {}},
        {true, 0, 1, 0, wmSemiLog, 0, 32, {16, 16, 16, 16, 16, 16, 16, 16, 32, 32, 32, 32, 32, 32, 64, 64, 64, 64, 64, 64}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "rhoIP " << r.rhoIP << " time " << r.time << " mode " << r.ipMode);
        auto s = std::make_unique<TElectSequence>();
        s->SetRhoIP(r.rhoIP);
        s->Device.SetTimeIndex(unsigned(r.time));
        s->Device.SetIPMode(unsigned(r.ipMode));
        TReskonSolvy m(s.get());
        m.LoadFromSequence();
        EXPECT_EQ(r.code, m.Config.TimeCode());
        EXPECT_EQ(r.mode, m.Config.WindowMode());
        EXPECT_EQ(unsigned(r.sequenceTime), s->Device.TimeIndex());
        EXPECT_EQ(SolvyTimingRow(r.code, 0)[0], m.Config.IPTiming[0]);
        EXPECT_EQ(SolvyTimingRow(r.code, 0)[1], m.Config.IPTiming[1]);
        EXPECT_EQ(r.mDelay, m.Config.IPTiming[2]);
        for (std::size_t k = 0; k < 20; ++k)
            EXPECT_EQ(k < r.windows.size() ? r.windows[k] : 0u, m.Config.IPTiming[3 + k]) << "window " << k + 1;
        EXPECT_EQ(r.rhoIP ? 0u : 1u, m.Config.WaveMode());
    }
}

TEST_F(SolvyBlockTest, RhoAndIPTakesTheIPLimit) {
    Seq->SetRhoIP(true);
    Seq->Device.QMax = 3.0f;
    TReskonSolvy m(Seq.get());
    m.LoadFromSequence();
    EXPECT_EQ(3.0, m.Config.QMMax);
    EXPECT_EQ(0.0, m.Config.QRMax);
    EXPECT_EQ(0u, m.Config.WaveMode());
}

TEST_F(SolvyBlockTest, RegulationFollowsTheVmnAndVabChoices) {
    struct Row {
        int vmn, vab;                 // SetVmn / SetVab choices, -1 = none
        unsigned regulation, vabIndex, inputLevel;
    };
    // The default block holds voltage index 0 and input level 0.
    const Row rows[] = {
        {4, -1, 0, 0, 4},             // "Vp maximum": Vab regulated
        {0, -1, 0, 0, 0},             // "Save energy"
        {-1, 0, 2, 0, 0},             // "12 V": fixed Vab
        {-1, 6, 2, 6, 0},             // "800 V"
        {-1, 7, 2, 7, 0},             // "MAX" lands on "Vab maximun"
        {-1, 8, 4, 0, 0},             // "External DC"
        {-1, -1, 2, 0, 0},            // neither: fixed Vab, the voltage stays as stored
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "vmn " << r.vmn << " vab " << r.vab);
        auto s = std::make_unique<TElectSequence>();
        s->SetVmn(-1);
        s->SetVab(-1);
        if (r.vmn >= 0) s->SetVmn(r.vmn);
        if (r.vab >= 0) s->SetVab(r.vab);
        s->SetVabMax(350);
        TReskonSolvy m(s.get());
        m.LoadFromSequence();
        EXPECT_EQ(r.regulation, m.Config.Regulation());
        EXPECT_EQ(r.vabIndex, m.Config.VabIndex());
        EXPECT_EQ(r.inputLevel, m.Config.InputLevel());
        EXPECT_EQ(r.vmn >= 0 ? 350.0f : 800.0f, m.Config.VabMax);
        EXPECT_EQ(0x0Au & 0x0Fu, m.Config.Byte1 & 0x0Fu);   // the constant bits stay
    }
}

TEST_F(SolvyBlockTest, StoredConfigurationKeepsTheFieldsTheSequenceDoesNotSet) {
    TSolvyConfig stored = SolvyDefaultConfig();
    stored.Byte0 = 0xFB;                  // filter 3
    stored.Byte4 = 0x40 | 0x80 | (2 << 3); // percent, "Synchro Ext"
    stored.Byte5 = (ckAutoStandardIP << 6) | 3;
    stored.Byte6 = 4;
    stored.Current = 5000.0f;
    stored.MaxChain = 7;
    std::memcpy(stored.FileName, "old.sqt", 8);
    Store(Image(stored));

    Seq->Grid.ArrayType = 5;   // Wenner
    TReskonSolvy m(Seq.get());
    m.LoadFromSequence();
    EXPECT_TRUE(Recorder.Messages.empty());
    EXPECT_EQ(0xFB, m.Config.Byte0);
    EXPECT_EQ(1u, m.Config.DeviationUnit());
    EXPECT_EQ(0u, m.Config.Trigger());                 // always "Synchro Auto"
    EXPECT_EQ(unsigned(ckAutoStandardIP), m.Config.Kind());
    EXPECT_EQ(4u, m.Config.ArrayCode());
    EXPECT_EQ(4u, m.Config.FullWave());
    EXPECT_EQ(5000.0f, m.Config.Current);
    EXPECT_EQ(7u, m.Config.MaxChain);
    EXPECT_STREQ("old.sqt", m.Config.FileName);
}

TEST_F(SolvyBlockTest, ShortStoredValueCoversOnlyItsBytes) {
    Store(QByteArray("\x01\x02\x03", 3));
    TReskonSolvy m(nullptr);
    m.LoadFromSequence();
    EXPECT_TRUE(Recorder.Messages.empty());
    EXPECT_EQ(0x01, m.Config.Byte0);
    EXPECT_EQ(0x02, m.Config.Byte1);
    EXPECT_EQ(0x03, m.Config.Byte2);
    EXPECT_EQ(0, std::memcmp(Bytes(SolvyDefaultConfig()) + 3, Bytes(m.Config) + 3, kSolvyConfigSize - 3));
}

TEST_F(SolvyBlockTest, UnreadableStoredValueIsReportedAndIgnored) {
    const QVariant values[] = {QVariant(QString("not binary")), QVariant(QByteArray(273, '\x7F'))};
    for (const QVariant& v : values) {
        SCOPED_TRACE(v.typeName());
        Recorder.Messages.clear();
        Store(v);
        auto s = std::make_unique<TElectSequence>();
        s->Grid.ArrayType = 8;
        TReskonSolvy m(s.get());
        EXPECT_EQ(1, m.LoadFromSequence());
        ASSERT_EQ(1u, Recorder.Messages.size());
        EXPECT_NE(std::string::npos, Recorder.Messages[0].find("ConfigSolvy"));
        // The defaults stay and the sequence still fills its part.
        EXPECT_EQ(SolvyDefaultConfig().Byte0, m.Config.Byte0);
        EXPECT_EQ(SolvyDefaultConfig().Current, m.Config.Current);
        EXPECT_EQ(6u, m.Config.ArrayCode());
    }
}

}  // namespace
