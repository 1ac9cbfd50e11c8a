#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "tests/support/RecordingHost.h"
#include "tests/engine/SequenceBuilders.h"

namespace fs = std::filesystem;

namespace {
class SqzFile : public ::testing::Test {
protected:
    fs::path dir;
    TRecordingHost host;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              ("planora-sqz-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const std::string& leaf) const { return (dir / leaf).string(); }

    static std::vector<char> Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void Write(const std::string& path, const void* data, std::size_t size) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

// A computed-looking sequence with something in every record, including the bytes no
// operation sets.
std::unique_ptr<TElectSequence> Sample() {
    auto s = NewSequence();
    PlaceGrid(*s, gtSurface, 6, 4, 2.5f, 3.0f, 1.0f, -2.0f);
    s->SetArrayType(3);
    s->SetComment("comment\r\nsecond line");
    s->SetSeqName("Sample01");
    s->SetTime(2);
    s->SetIPMode(1);
    s->SetRhoIP(true);
    s->Device.Byte24 |= 0x15;
    s->Device.Byte25 |= 0x80;
    s->Device.HeaderWord88 = 0x12345678;
    s->Device.Pad78[0] = 0xAB;
    s->ChannelOptions.Pad1[1] = 0xCD;
    s->SpacingLevels[2].Selected[4] = 1;
    s->SpacingLevels[2].SelectedCount = 1;
    s->ComputeSpacingLevelDepths(true, 1);
    for (std::uint32_t k = 1; k <= 12; ++k) AddQuadripole(*s, {k, k + 1, k + 3, k + 4}, 2, 3);
    s->CountMeasurements();
    s->RemoteElectrodes[1] = TElectrodeXYZ{-50.0f, 0.0f, 1.0f};
    s->NeedsRecompute = 1;
    return s;
}
}  // namespace

TEST_F(SqzFile, RoundTripIsByteIdenticalButFileName) {
    auto s = Sample();
    const std::string path = Path("sample.sqz");
    ASSERT_TRUE(s->SaveToFile(path));
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_STREQ(s->FileName, path.c_str());
    const auto bytes = Bytes(path);
    ASSERT_EQ(bytes.size(), kSequenceFileSize);
    EXPECT_EQ(std::memcmp(bytes.data(), s.get(), kSequenceFileSize), 0);
    EXPECT_EQ(Entries(), std::vector<std::string>{"sample.sqz"});  // no temporary left behind

    std::strcpy(s->FileName, "elsewhere.sqz");
    auto loaded = NewSequence();
    const int before = host.ProcessCalls;
    ASSERT_TRUE(loaded->LoadFromFile(path));
    EXPECT_GT(host.ProcessCalls, before);
    EXPECT_TRUE(SameBytes(*loaded, *s, sizeof(s->FileName)));
    EXPECT_STREQ(loaded->FileName, path.c_str());

    // The sequence-list constructor reads the same image.
    auto listed = std::make_unique<TElectSequence>(path);
    EXPECT_TRUE(SameBytes(*listed, *loaded));
    EXPECT_TRUE(host.Messages.empty());
}

// A name read back is trimmed: one with a blank or a control character at an end would
// become another file's, so it is neither written nor read.
TEST_F(SqzFile, ANameThatTrimmingWouldChangeIsRefused) {
    auto s = Sample();
    ASSERT_TRUE(s->SaveToFile(Path("blank.sqz")));
    const std::string saved = s->FileName;
    const std::string blanks = "the name begins or ends with a blank: remove it, or choose another name";
    const std::string controls =
        "the name begins or ends with a control character (a tab or a line break): choose another name";
    struct TCase {
        std::string name, why;
    };
    const TCase cases[] = {
        {Path("blank.sqz") + "  ", blanks},
        {" " + Path("blank.sqz"), blanks},
        {Path("blank.sqz") + "\t", controls},
        {Path("line\nbreak.sqz"), "the name holds a line break: choose another name"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        host.Messages.clear();
        EXPECT_FALSE(s->SaveToFile(c.name));
        EXPECT_EQ(host.Messages, std::vector<std::string>{"Can't save sequence with < " + c.name + " > filename\r\n" +
                                                          char(std::toupper(c.why[0])) + c.why.substr(1)});
        EXPECT_EQ(std::string(s->FileName), saved);
        EXPECT_EQ(Entries(), std::vector<std::string>{"blank.sqz"});
    }
    // A file that has such a name is not read as the file trimming gives.
    Write(Path("blank.sqz") + " ", s.get(), kSequenceFileSize);
    host.Messages.clear();
    auto loaded = NewSequence();
    EXPECT_FALSE(loaded->LoadFromFile(Path("blank.sqz") + " "));
    EXPECT_EQ(host.Messages, std::vector<std::string>{Path("blank.sqz") + " \r\n" + blanks});
    EXPECT_STREQ(loaded->FileName, "");
}

TEST_F(SqzFile, SaveOverwritesAndKeepsPermissions) {
    auto s = Sample();
    const std::string path = Path("perm.sqz");
    ASSERT_TRUE(s->SaveToFile(path));
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    s->SetComment("changed");
    ASSERT_TRUE(s->SaveToFile(path));
    EXPECT_EQ(std::memcmp(Bytes(path).data(), s.get(), kSequenceFileSize), 0);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Entries(), std::vector<std::string>{"perm.sqz"});
}

TEST_F(SqzFile, FailedSaveIsReportedAndLeavesNoFile) {
    auto s = Sample();
    const std::string missing = Path("no-such-folder/x.sqz");
    EXPECT_FALSE(s->SaveToFile(missing));
    ASSERT_EQ(host.Messages, std::vector<std::string>{"Can't save sequence with < " + missing +
                                                      " > filename\r\nNo such file or directory"});
    EXPECT_STREQ(s->FileName, missing.c_str());

    // A folder in the way of the target: nothing is written, no temporary stays.
    fs::create_directory(Path("taken.sqz"));
    EXPECT_FALSE(s->SaveToFile(Path("taken.sqz")));
    EXPECT_EQ(host.Messages.size(), 2u);
    EXPECT_EQ(Entries(), std::vector<std::string>{"taken.sqz"});

    // A path longer than the field is refused before the record takes it: cut, it would name
    // another file.
    const std::string longName = Path(std::string(300, 'd')) + "/" + std::string(1500, 'n');
    const std::string before = s->FileName;
    EXPECT_FALSE(s->SaveToFile(longName));
    EXPECT_EQ(std::string(s->FileName), before);
    EXPECT_EQ(host.Messages.back(), "Can't save sequence with < " + longName + " > filename\r\nThe path is " +
                                        std::to_string(longName.size()) +
                                        " bytes long; a sequence keeps at most 1023 bytes of its path: choose a "
                                        "shorter one");
}

TEST_F(SqzFile, WriteFailingPartWayKeepsThePreviousFile) {
    auto s = Sample();
    const std::string path = Path("keep.sqz");
    ASSERT_TRUE(s->SaveToFile(path));
    const auto previous = Bytes(path);

    // Let writes fail once a file grows beyond 64 KiB.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 65536;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    s->SetComment("never stored");
    const bool saved = s->SaveToFile(path);
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(host.Messages,
              std::vector<std::string>{"Can't save sequence with < " + path + " > filename\r\nFile too large"});
    EXPECT_EQ(Bytes(path), previous);
    EXPECT_EQ(Entries(), std::vector<std::string>{"keep.sqz"});
}

TEST_F(SqzFile, SequenceListRefusesMissingAndForeignVersionFiles) {
    const std::string missing = Path("gone.sqz");
    EXPECT_THROW(std::make_unique<TElectSequence>(missing), std::runtime_error);
    ASSERT_EQ(host.Messages, std::vector<std::string>{
                                 missing + "\r\nfile not found\r\nthis file will be excluded from the Sequence list"});

    auto s = Sample();
    for (std::size_t offset : {std::size_t{2048}, offsetof(TElectSequence, Grid)}) {
        host.Messages.clear();
        auto other = std::make_unique<TElectSequence>(*s);
        std::uint32_t version = 0x29030001;
        std::memcpy(reinterpret_cast<char*>(other.get()) + offset, &version, 4);
        const std::string path = Path("old.sqz");
        Write(path, other.get(), kSequenceFileSize);
        EXPECT_THROW(std::make_unique<TElectSequence>(path), std::runtime_error);
        EXPECT_EQ(host.Messages, std::vector<std::string>{
                                     path + "\r\nUnknown file version in Sequence list\r\nthis file will be excluded"});

        // Opened directly, the file is refused as well and the sequence stays as it was.
        host.Messages.clear();
        auto target = Sample();
        auto before = std::make_unique<TElectSequence>(*target);
        EXPECT_FALSE(target->LoadFromFile(path));
        EXPECT_EQ(host.Messages, std::vector<std::string>{path + "\r\nUnknown file version"});
        EXPECT_TRUE(SameBytes(*target, *before));
    }
}

TEST_F(SqzFile, RefusesFilesThatAreNotAWholeSequence) {
    auto good = Sample();
    using Spoil = std::function<void(TElectSequence&)>;
    struct Case {
        const char* what;
        std::size_t size;
        Spoil spoil;
        const char* reason;
    };
    const char* damaged = "\r\nis a damaged sequence file";
    const char* wrongSize = "\r\nis not a sequence file (wrong size)";
    const Case cases[] = {
        {"empty", 0, nullptr, wrongSize},
        {"one byte short", kSequenceFileSize - 1, nullptr, wrongSize},
        {"one byte long", kSequenceFileSize + 1, nullptr, wrongSize},
        {"list past the table", kSequenceFileSize, [](TElectSequence& s) { s.Device.LastQuadripole = 16000; }, damaged},
        {"negative list end", kSequenceFileSize, [](TElectSequence& s) { s.Device.LastQuadripole = -2; }, damaged},
        {"first quadripole past the list", kSequenceFileSize,
         [](TElectSequence& s) { s.Device.FirstQuadripole = 14; }, damaged},
        {"device last electrode", kSequenceFileSize, [](TElectSequence& s) { s.Device.LastElectrode = 1320; }, damaged},
        {"grid last electrode", kSequenceFileSize, [](TElectSequence& s) { s.Grid.LastElectrode = 1320; }, damaged},
        {"electrode count", kSequenceFileSize, [](TElectSequence& s) { s.Grid.ElectrodeCount = -1; }, damaged},
        {"grid type", kSequenceFileSize, [](TElectSequence& s) { s.Grid.GridType = 3; }, damaged},
        {"columns", kSequenceFileSize, [](TElectSequence& s) { s.Grid.NX = 1321; }, damaged},
        {"rows", kSequenceFileSize, [](TElectSequence& s) { s.Grid.NY = 193; }, damaged},
        {"negative rows", kSequenceFileSize, [](TElectSequence& s) { s.Grid.NY = -1; }, damaged},
        {"first electrode", kSequenceFileSize, [](TElectSequence& s) { s.Device.FirstElectrode = 1321; }, damaged},
        {"empty grid's first electrode with electrodes placed", kSequenceFileSize,
         [](TElectSequence& s) { s.Grid.FirstElectrode = 10000; }, damaged},
        {"array type", kSequenceFileSize, [](TElectSequence& s) { s.Grid.ArrayType = 15; }, damaged},
        {"node column", kSequenceFileSize, [](TElectSequence& s) { s.Grid.Nodes[3].IX = 1321; }, damaged},
        {"node row", kSequenceFileSize, [](TElectSequence& s) { s.Grid.Nodes[3].IY = 0; }, damaged},
        {"selected count", kSequenceFileSize, [](TElectSequence& s) { s.SpacingLevels[8].SelectedCount = 129; },
         damaged},
        {"time index", kSequenceFileSize, [](TElectSequence& s) { s.Device.SetTimeIndex(6); }, damaged},
        {"IP mode", kSequenceFileSize, [](TElectSequence& s) { s.Device.SetIPMode(5); }, damaged},
        {"Vmn choice", kSequenceFileSize, [](TElectSequence& s) { s.Device.SetVmnChoice(6); }, damaged},
        {"Vab choice", kSequenceFileSize, [](TElectSequence& s) { s.Device.SetVabChoice(10); }, damaged},
        {"electrode number", kSequenceFileSize, [](TElectSequence& s) { s.Device.Quadripoles[11].N = 1320; },
         damaged},
        {"comment without end", kSequenceFileSize,
         [](TElectSequence& s) { std::memset(s.Comment, 'c', sizeof s.Comment); }, damaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto image = std::make_unique<TElectSequence>(*good);
        if (c.spoil) c.spoil(*image);
        std::vector<char> bytes(c.size, 0);
        if (c.size != 0) std::memcpy(bytes.data(), image.get(), std::min(c.size, kSequenceFileSize));
        const std::string path = Path("bad.sqz");
        Write(path, bytes.data(), bytes.size());

        host.Messages.clear();
        auto target = NewSequence();
        auto before = std::make_unique<TElectSequence>(*target);
        EXPECT_FALSE(target->LoadFromFile(path));
        EXPECT_EQ(host.Messages, std::vector<std::string>{path + c.reason});
        EXPECT_TRUE(SameBytes(*target, *before));

        host.Messages.clear();
        EXPECT_THROW(std::make_unique<TElectSequence>(path), std::runtime_error);
        EXPECT_EQ(host.Messages, std::vector<std::string>{path + c.reason +
                                                          "\r\nthis file will be excluded from the Sequence list"});
    }

    // Entries past the end of the list and unused nodes may hold anything; an import without
    // electrodes leaves the first electrode one past the table; no columns can be typed.
    auto tolerated = std::make_unique<TElectSequence>(*good);
    tolerated->Device.Quadripoles[12].A = 60000;
    tolerated->Grid.Nodes[1319] = TElectGridNode{0, 5000, -7};
    tolerated->Grid.FirstElectrode = tolerated->Device.FirstElectrode = 1320;
    tolerated->Grid.NX = 0;
    Write(Path("ok.sqz"), tolerated.get(), kSequenceFileSize);
    auto target = NewSequence();
    host.Messages.clear();
    EXPECT_TRUE(target->LoadFromFile(Path("ok.sqz")));
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(SqzFile, UnreadableFile) {
    auto target = Sample();
    auto before = std::make_unique<TElectSequence>(*target);
    for (const std::string& path : {Path("absent.sqz"), dir.string()}) {
        host.Messages.clear();
        EXPECT_FALSE(target->LoadFromFile(path));
        EXPECT_EQ(host.Messages, std::vector<std::string>{path + "\r\ncan't be read"});
        EXPECT_TRUE(SameBytes(*target, *before));
    }
    // A folder exists, so the list constructor reads it and refuses it.
    host.Messages.clear();
    EXPECT_THROW(std::make_unique<TElectSequence>(dir.string()), std::runtime_error);
    EXPECT_EQ(host.Messages, std::vector<std::string>{dir.string() +
                                                      "\r\ncan't be read\r\nthis file will be excluded from the Sequence list"});
}
