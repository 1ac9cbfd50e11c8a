// The .sqt file: layout, names, counts, and what happens when the file or the settings
// cannot be written.
#include <filesystem>

#include "tests/export/ExportTest.h"
#include "export/SolvySettings.h"
#include "tests/support/UserFiles.h"

namespace {

namespace fs = std::filesystem;

// A line of n electrodes 2 m apart, numbered 1..n, with count quadripoles of which every
// fillerEvery-th is a gap filler.
void MakeLine(TElectSequence& s, int n, int count, int fillerEvery) {
    TElectGrid& g = s.Grid;
    g.NX = n;
    g.NY = 1;
    g.DX = 2.0f;
    g.OffsetX = 10.0f;
    for (int k = 1; k <= n; ++k) g.Nodes[k] = TElectGridNode{1, k, 1};
    g.FirstElectrode = 1;
    g.LastElectrode = n;
    g.ElectrodeCount = n;
    s.ComputeElectrodePositions();
    for (int q = 0; q < count; ++q) {
        const std::uint32_t abmn[4] = {std::uint32_t(q % n + 1), std::uint32_t((q + 3) % n + 1),
                                       std::uint32_t((q + 1) % n + 1), std::uint32_t((q + 2) % n + 1)};
        const bool filler = fillerEvery > 0 && q % fillerEvery == fillerEvery - 1;
        s.InsertQuadripole(q, abmn, filler ? -1 : 1, filler ? 0 : 1, 1, std::uint16_t(q));
    }
}

class SqtFileTest : public ExportTest {};

TEST_F(SqtFileTest, FileHoldsHeaderElectrodesAndQuadripoles) {
    MakeLine(*Seq, 48, 300, 25);   // 12 gap fillers
    Seq->MeasurementCycles = 240;
    Seq->MaxChannelUsed = 0x10009;   // only the low 16 bits are kept
    Seq->RemoteElectrodes[1] = TElectrodeXYZ{-500.0f, 1.5f, 0.25f};
    Seq->Device.Electrodes[7] = TElectrodeXYZ{kNoElectrode, 0.0f, 0.0f};   // not placed
    TReskonSolvy m(Seq.get());
    m.LoadFromSequence();
    const std::string name = Path("line.sqt");
    ASSERT_TRUE(m.SaveSqt(name));
    EXPECT_TRUE(Recorder.Messages.empty());

    const auto f = ReadAll(name);
    ASSERT_EQ(19520u, f.size());   // 10400 + 40 x 48 + 24 x 300
    EXPECT_EQ(0x20000003u, At<std::uint32_t>(f, 0));
    EXPECT_EQ(0, std::memcmp(f.data() + 4, &m.Config, kSolvyConfigSize));
    for (std::size_t i = 276; i < 10240; ++i) ASSERT_EQ(0, f[i]) << "byte " << i;

    // Block fields, at their file offsets (block offset + 4).
    EXPECT_STREQ("0:/SEQ", reinterpret_cast<const char*>(f.data() + 4 + 144));
    EXPECT_STREQ("line.sqt", reinterpret_cast<const char*>(f.data() + 4 + 160));
    EXPECT_EQ(9u, At<std::uint16_t>(f, 4 + 192));
    EXPECT_EQ(300u, At<std::uint32_t>(f, 4 + 200));
    EXPECT_EQ(0u, At<std::uint32_t>(f, 4 + 204));
    EXPECT_EQ(1u, At<std::uint32_t>(f, 4 + 208));
    EXPECT_EQ(300u, At<std::uint32_t>(f, 4 + 212));
    EXPECT_EQ(48u, At<std::uint16_t>(f, 4 + 216));
    EXPECT_EQ(1u, At<std::uint16_t>(f, 4 + 220));
    EXPECT_EQ(48u, At<std::uint16_t>(f, 4 + 224));
    EXPECT_EQ(12u, At<std::uint32_t>(f, 4 + 228));
    EXPECT_EQ(240u, At<std::uint32_t>(f, 4 + 232));
    EXPECT_EQ(0u, At<std::uint32_t>(f, 4 + 236));
    EXPECT_EQ(2.0f, At<float>(f, 4 + 244));
    EXPECT_EQ(10240u, At<std::uint32_t>(f, 4 + 256));
    EXPECT_EQ(10400u, At<std::uint32_t>(f, 4 + 260));
    EXPECT_EQ(12320u, At<std::uint32_t>(f, 4 + 264));

    // Electrode records: remote B, a placed electrode, an unplaced one.
    auto electrode = [&f](std::size_t at, double x, double y, double z, std::uint32_t number) {
        EXPECT_EQ(x, At<double>(f, at));
        EXPECT_EQ(y, At<double>(f, at + 8));
        EXPECT_EQ(z, At<double>(f, at + 16));
        EXPECT_EQ(0u, At<std::uint32_t>(f, at + 24));
        EXPECT_EQ(0u, At<std::uint32_t>(f, at + 28));
        EXPECT_EQ(0x02u, At<std::uint32_t>(f, at + 32));   // flag byte and three zeros
        EXPECT_EQ(number, At<std::uint32_t>(f, at + 36));
    };
    electrode(10240 + 40, -500.0, 1.5, 0.25, 0);
    electrode(10240, double(kNoElectrode), 0.0, 0.0, 0);
    electrode(10400, 10.0, 0.0, 0.0, 1);
    electrode(10400 + 40 * 47, 10.0 + 47 * 2.0, 0.0, 0.0, 48);
    electrode(10400 + 40 * 6, double(99999.99f), 0.0, 0.0, 7);

    // Quadripole records in list order; gap fillers flagged.
    std::uint32_t flagged = 0;
    for (int q = 0; q < 300; ++q) {
        const std::size_t at = 12320 + 24 * std::size_t(q);
        EXPECT_EQ(std::uint32_t(q % 48 + 1), At<std::uint32_t>(f, at));
        EXPECT_EQ(std::uint32_t((q + 3) % 48 + 1), At<std::uint32_t>(f, at + 4));
        EXPECT_EQ(std::uint32_t((q + 1) % 48 + 1), At<std::uint32_t>(f, at + 8));
        EXPECT_EQ(std::uint32_t((q + 2) % 48 + 1), At<std::uint32_t>(f, at + 12));
        const std::uint32_t flags = At<std::uint32_t>(f, at + 16);
        EXPECT_EQ(q % 25 == 24 ? 1u : 0u, flags) << "quadripole " << q;
        flagged += flags;
        EXPECT_EQ(0u, At<std::uint32_t>(f, at + 20));
    }
    EXPECT_EQ(12u, flagged);

    // The block becomes the stored configuration.
    EXPECT_EQ(Image(m.Config), StoredValue().toByteArray());
}

TEST_F(SqtFileTest, EmptyListGivesHeaderAndElectrodesOnly) {
    MakeLine(*Seq, 4, 0, 0);
    TReskonSolvy m(Seq.get());
    ASSERT_TRUE(m.SaveSqt(Path("empty.sqt")));
    const auto f = ReadAll(Path("empty.sqt"));
    EXPECT_EQ(10400u + 160u, f.size());
    EXPECT_EQ(0u, At<std::uint32_t>(f, 4 + 200));
    EXPECT_EQ(1u, At<std::uint32_t>(f, 4 + 208));
    EXPECT_EQ(0u, At<std::uint32_t>(f, 4 + 212));
    EXPECT_EQ(0u, At<std::uint32_t>(f, 4 + 228));
}

TEST_F(SqtFileTest, NameTakesTheSqtExtensionAndLosesItsFolder) {
    MakeLine(*Seq, 4, 2, 0);
    fs::create_directory(Path("sub"));
    struct Row {
        std::string given;       // relative to the home folder
        std::string written;
        std::string field;
    };
    const Row rows[] = {
        {"sub/Line1.sqz", "sub/Line1.sqt", "Line1.sqt"},
        {"sub/noext", "sub/noext.sqt", "noext.sqt"},
        {"sub/two.dots.txt", "sub/two.dots.sqt", "two.dots.sqt"},
        {std::string(40, 'n'), std::string(40, 'n') + ".sqt", std::string(31, 'n')},
        // The name chosen is the file written; the block names it as the meter lists it.
        {"sub/Upper.SQT", "sub/Upper.SQT", "Upper.sqt"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.given);
        TReskonSolvy m(Seq.get());
        std::memset(m.Config.FileName, 'x', sizeof(m.Config.FileName));
        ASSERT_TRUE(m.SaveSqt(Path(QString::fromStdString(r.given))));
        EXPECT_TRUE(fs::is_regular_file(Path(QString::fromStdString(r.written))));
        EXPECT_STREQ(r.field.c_str(), m.Config.FileName);
        // Bytes after the terminator keep what they held.
        for (std::size_t i = r.field.size() + 1; i < sizeof(m.Config.FileName); ++i)
            EXPECT_EQ('x', m.Config.FileName[i]) << "byte " << i;
    }
}

TEST_F(SqtFileTest, NameIsNeverCutInsideACharacter) {
    TReskonSolvy m(Seq.get());
    // 30 ASCII bytes, then a two-byte character that would straddle the 31-byte limit.
    const std::string name = std::string(30, 'a') + "\xC3\xA9" + "b";
    ASSERT_TRUE(m.SaveSqt(Path(QString::fromUtf8(name.c_str()))));
    EXPECT_STREQ(std::string(30, 'a').c_str(), m.Config.FileName);
}

TEST_F(SqtFileTest, ReplacesAnExistingFile) {
    MakeLine(*Seq, 4, 3, 0);
    const std::string name = Path("again.sqt");
    { std::ofstream(name) << std::string(30000, 'z'); }
    TReskonSolvy m(Seq.get());
    ASSERT_TRUE(m.SaveSqt(name));
    EXPECT_EQ(10400u + 160u + 72u, fs::file_size(name));
}

TEST_F(SqtFileTest, FailedFileIsReportedAndLeavesNothingBehind) {
    MakeLine(*Seq, 4, 3, 0);
    TReskonSolvy m(Seq.get());
    const std::string name = Path("missing/out.sqt");
    EXPECT_FALSE(m.SaveSqt(name));
    ASSERT_EQ(1u, Recorder.Messages.size());
    EXPECT_NE(std::string::npos, Recorder.Messages[0].find(name));
    EXPECT_FALSE(fs::exists(Path("missing")));
    // The configuration is still kept for the next export.
    EXPECT_EQ(Image(m.Config), StoredValue().toByteArray());
}

TEST_F(SqtFileTest, FailedFileKeepsThePreviousOne) {
    MakeLine(*Seq, 4, 3, 0);
    // A folder where the file should go: the rename over it fails.
    const std::string name = Path("taken.sqt");
    fs::create_directory(name);
    { std::ofstream(Path("taken.sqt/inside")) << "keep"; }
    TReskonSolvy m(Seq.get());
    EXPECT_FALSE(m.SaveSqt(name));
    EXPECT_EQ(1u, Recorder.Messages.size());
    EXPECT_TRUE(fs::is_directory(name));
    EXPECT_TRUE(fs::exists(Path("taken.sqt/inside")));
    for (const auto& e : fs::directory_iterator(Home.path().toStdString()))
        EXPECT_EQ(std::string::npos, e.path().filename().string().find(".tmp")) << e.path();
}

// A name that trimming would change is refused: the file written would be another one.
TEST_F(SqtFileTest, ANameWithABlankAtAnEndIsRefused) {
    MakeLine(*Seq, 4, 2, 0);
    const std::string name = Path("x.sqt") + " ";
    TReskonSolvy m(Seq.get());
    EXPECT_FALSE(m.SaveSqt(name));
    EXPECT_EQ(Recorder.Messages,
              std::vector<std::string>{"Can't save Solvy sequence with < " + name +
                                       " > filename\r\nThe name begins or ends with a blank: remove it, or choose "
                                       "another name"});
    EXPECT_FALSE(fs::exists(Path("x.sqt")));
    EXPECT_FALSE(fs::exists(name));
}

// Whoever runs the tests, root too: the file's mode denies writing, so it is not written.
TEST_F(SqtFileTest, AWriteProtectedFileIsNotReplaced) {
    MakeLine(*Seq, 4, 3, 0);
    const std::string name = Path("kept.sqt");
    const std::string kept = "the user's";
    { std::ofstream(name) << kept; }
    fs::permissions(name, fs::perms(0444));
    TReskonSolvy m(Seq.get());
    EXPECT_FALSE(m.SaveSqt(name));
    EXPECT_EQ(Recorder.Messages, std::vector<std::string>{"Can't save Solvy sequence with < " + name +
                                                          " > filename\r\nThe file is write-protected"});
    EXPECT_EQ(ReadAll(name), std::vector<std::uint8_t>(kept.begin(), kept.end()));
    EXPECT_EQ(ModeOf(name), mode_t(0444));
}

class FailingStore : public TSolvyConfigStore {
public:
    std::optional<std::vector<std::uint8_t>> Read() override { return std::nullopt; }
    void Write(const std::uint8_t*, std::size_t) override { throw TSolvySettingsError("settings are read-only"); }
};

TEST_F(SqtFileTest, FailedSettingsAreReportedButTheFileStands) {
    MakeLine(*Seq, 4, 3, 0);
    FailingStore store;
    TReskonSolvy m(Seq.get(), &store);
    EXPECT_TRUE(m.SaveSqt(Path("kept.sqt")));
    EXPECT_EQ(std::vector<std::string>{"settings are read-only"}, Recorder.Messages);
    EXPECT_EQ(10400u + 160u + 72u, fs::file_size(Path("kept.sqt")));
}

TEST_F(SqtFileTest, SavedBlockIsTheNextStartingPoint) {
    MakeLine(*Seq, 4, 3, 0);
    TReskonSolvy first(Seq.get());
    first.LoadFromSequence();
    first.Config.Byte0 = 0xFD;      // a filter this sequence does not set
    first.Config.Current = 2500000.0f;
    ASSERT_TRUE(first.SaveSqt(Path("one.sqt")));

    TReskonSolvy next(Seq.get());
    next.LoadFromSequence();
    EXPECT_EQ(0xFD, next.Config.Byte0);
    EXPECT_EQ(2500000.0f, next.Config.Current);
    EXPECT_STREQ("one.sqt", next.Config.FileName);
    EXPECT_EQ(first.Config.QuadripoleOffset, next.Config.QuadripoleOffset);
}

TEST_F(SqtFileTest, CountsBeyondTheTablesAreCut) {
    MakeLine(*Seq, 4, 3, 0);
    Seq->Device.LastElectrode = 5000;
    Seq->Device.LastQuadripole = 20000;
    TReskonSolvy m(Seq.get());
    ASSERT_TRUE(m.SaveSqt(Path("big.sqt")));
    EXPECT_EQ(1319u, m.Config.LastElectrode);
    EXPECT_EQ(16000u, m.Config.QuadripoleCount);
    EXPECT_EQ(10400u + 40u * 1319u + 24u * 16000u, fs::file_size(Path("big.sqt")));
}

}  // namespace
