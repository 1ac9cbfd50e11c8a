#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "tests/support/ComputedLists.h"
#include "tests/engine/FileFixture.h"
#include "engine/Sdcard.h"
#include "tests/engine/SequenceBuilders.h"

namespace fs = std::filesystem;

namespace {
std::vector<Abmn> List(const TElectSequence& s) {
    std::vector<Abmn> out(static_cast<std::size_t>(s.QuadripoleCount()));
    for (int q = 0; q < s.QuadripoleCount(); ++q) s.GetQuadripole(q, out[q].data());
    return out;
}

template <typename T>
T At(const std::string& bytes, std::size_t offset) {
    T v;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
}

template <typename T>
void Put(std::string& bytes, std::size_t offset, T v) {
    std::memcpy(bytes.data() + offset, &v, sizeof v);
}

// A computed line of 12 electrodes with gap fillers and a remote electrode.
std::unique_ptr<TElectSequence> Sample() {
    auto s = NewSequence();
    PlaceGrid(*s, gtLine, 12, 1, 5.0f);
    AddDipoleDipoleLine(*s, 12, 2, 3);
    s->MultiChannelOptimization();
    s->RemoteElectrodes[1] = TElectrodeXYZ{-500.0f, 20.0f, 0.0f};
    s->SetSeqName("Line7");
    s->Device.StackMax = 9;
    return s;
}

constexpr std::size_t kHeader = 24;  // the device header inside the file
}  // namespace

class SdCard : public FileFixture {};

TEST_F(SdCard, RecordLayoutAndGapFillerFlag) {
    auto s = Sample();
    ASSERT_TRUE(s->SaveToSdCard(Path("profile_north_2024.sqz")));
    const std::string f = Read(Path("profile_north_2024.sds"));
    ASSERT_EQ(f.size(), kSdCardFileSize);
    EXPECT_EQ(At<std::uint32_t>(f, 0), kRecordVersion);
    // The first 19 characters of the file name, then zeros.
    EXPECT_EQ(f.substr(4, 20), std::string("profile_north_2024.") + '\0');
    EXPECT_EQ(std::memcmp(f.data() + kHeader, &s->Device, kDeviceHeaderSize), 0);
    EXPECT_EQ(std::memcmp(f.data() + 160, s->Device.Electrodes, sizeof s->Device.Electrodes), 0);
    int fillers = 0;
    for (int q = 0; q < s->QuadripoleCount(); ++q) {
        const auto a = At<std::uint16_t>(f, 16000 + 8 * q);
        const bool filler = s->QuadInfo[q].Level < 0;
        fillers += filler;
        EXPECT_EQ(a, filler ? s->Device.Quadripoles[q].A | kGapFillerFlag : s->Device.Quadripoles[q].A) << q;
        EXPECT_EQ(std::memcmp(f.data() + 16000 + 8 * q + 2, &s->Device.Quadripoles[q].B, 6), 0) << q;
    }
    EXPECT_GT(fillers, 0);
    EXPECT_EQ(std::memcmp(f.data() + 144000, s->RemoteElectrodes, sizeof s->RemoteElectrodes), 0);
}

TEST_F(SdCard, RoundTripWithGapFillers) {
    auto s = Sample();
    ASSERT_TRUE(s->SaveToSdCard(Path("line.sqz")));
    std::string name = Path("line.sds");
    auto t = NewSequence();
    ASSERT_TRUE(t->ImportSdCardFile(name));
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_EQ(name, Path("lineSdsToSqz.sqz"));
    EXPECT_EQ(List(*t), List(*s));
    for (int q = 0; q < t->QuadripoleCount(); ++q) {
        EXPECT_EQ(t->QuadInfo[q].Level, s->QuadInfo[q].Level < 0 ? -1 : 0) << q;
        EXPECT_EQ(t->QuadInfo[q].SpacingCoef, 65535);
        EXPECT_EQ(t->QuadInfo[q].Group, 1);
        EXPECT_EQ(t->QuadInfo[q].Number, q + 1);
    }
    EXPECT_EQ(t->MeasurementCycles, s->MeasurementCycles);
    EXPECT_EQ(t->Device.StackMax, 9);
    EXPECT_EQ(t->Grid.GridType, gtLine);
    EXPECT_EQ(t->Grid.NX, 12);
    EXPECT_FLOAT_EQ(t->Grid.DX, 5.0f);
    EXPECT_EQ(t->Grid.ArrayType, 0);  // the mixed array of an imported list
    EXPECT_EQ(t->Device.DeviceArrayCode, s->Device.DeviceArrayCode);  // the meter's own, as in the file
    EXPECT_EQ(std::memcmp(t->Device.Electrodes, s->Device.Electrodes, sizeof s->Device.Electrodes), 0);
    EXPECT_EQ(std::memcmp(t->RemoteElectrodes, s->RemoteElectrodes, sizeof s->RemoteElectrodes), 0);
    EXPECT_EQ(t->GetSeqName(), "lineSdsToS");
    EXPECT_EQ(t->GetComment(), "Create with Imported file <-- line.sds -->");
    EXPECT_EQ(t->NeedsRecompute, 0);
    TElectSequence* opened = nullptr;
    EXPECT_NO_THROW(opened = new TElectSequence(name));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(List(*opened), List(*s));
    delete opened;
}

TEST_F(SdCard, NumbersWithoutAnElectrodeStayUnplaced) {
    // A line of 24 without electrode 7, whose entry holds either placeholder: the unused grid
    // node's, or that of an entry never placed.
    for (const float placeholder : {kUnusedNode, kNoElectrode}) {
        auto s = NewSequence();
        PlaceGrid(*s, gtLine, 24, 1, 2.5f, 1.0f, -7.5f);
        s->Grid.Nodes[7].Used = 0;
        s->Grid.ElectrodeCount = 23;
        s->ComputeElectrodePositions();
        if (placeholder == kNoElectrode) s->Device.Electrodes[7] = TElectrodeXYZ{kNoElectrode, 0, 0};
        AddDipoleDipoleLine(*s, 24, 1, 2);
        ASSERT_TRUE(s->SaveToSdCard(Path("gap.sqz")));
        std::string name = Path("gap.sds");
        auto t = NewSequence();
        ASSERT_TRUE(t->ImportSdCardFile(name));
        EXPECT_TRUE(host.Messages.empty());
        EXPECT_EQ(t->Grid.NX, 24);
        EXPECT_EQ(t->Grid.ElectrodeCount, 23);
        EXPECT_EQ(t->Grid.Nodes[7].Used, 0);
        for (int k = 1; k <= 24; ++k) {
            if (k == 7) continue;
            EXPECT_EQ(t->Grid.Nodes[k].IX, k) << k;
            EXPECT_EQ(Bits(t->Device.Electrodes[k].X), Bits(s->Device.Electrodes[k].X)) << k;
        }
        EXPECT_EQ(List(*t), List(*s));
    }
}

TEST_F(SdCard, NameRules) {
    struct TCase {
        const char* saved;
        const char* field;  // name field of the .sds
        const char* sds;
        const char* sqz;  // written by the import
        const char* seqName;
    };
    const TCase cases[] = {
        {"abc.sqz", "abc.sqz", "abc.sds", "abcSdsToSqz.sqz", "abcSdsToSq"},
        {"profile_north_2024.sqz", "profile_north_2024.", "profile_north_2024.sds",
         "profile_north_2024SdsToSqz.sqz", "profile_no"},
        // A two-byte character that would straddle the 19th byte is left out whole.
        {"profile_north_2024\xC3\xA9.sqz", "profile_north_2024", "profile_north_2024\xC3\xA9.sds",
         "profile_north_2024\xC3\xA9SdsToSqz.sqz", "profile_no"},
        {"noext", "noext", "noext.sds", "noextSdsToSqz.sqz", "noextSdsTo"},
    };
    for (const TCase& c : cases) {
        auto s = Sample();
        ASSERT_TRUE(s->SaveToSdCard(Path(c.saved))) << c.saved;
        const std::string f = Read(Path(c.sds));
        ASSERT_EQ(f.size(), kSdCardFileSize) << c.saved;
        std::string field(c.field);
        field.resize(20, '\0');
        EXPECT_EQ(f.substr(4, 20), field) << c.saved;
        std::string name = Path(c.sds);
        auto t = NewSequence();
        ASSERT_TRUE(t->ImportSdCardFile(name)) << c.saved;
        EXPECT_EQ(name, Path(c.sqz));
        EXPECT_TRUE(fs::exists(Path(c.sqz))) << c.saved;
        EXPECT_EQ(t->GetSeqName(), c.seqName);
    }
}

TEST_F(SdCard, GridTypeFromTheSumsOfYAndZ) {
    struct TCase {
        const char* what;
        float y, z;
        TGridType type;
    };
    const TCase cases[] = {
        {"flat line", 0.0f, 0.0f, gtLine},
        {"Y only", 1.0f, 0.0f, gtSurface},
        {"Z only", 0.0f, -2.0f, gtBorehole},
        {"Y and Z both above 0.01", 1.0f, -2.0f, gtLine},
    };
    for (const TCase& c : cases) {
        auto s = NewSequence();
        PlaceGrid(*s, gtLine, 3, 1, 5.0f);
        for (int k = 1; k <= 3; ++k) s->Device.Electrodes[k] = TElectrodeXYZ{5.0f * k, c.y * k, c.z * k};
        ASSERT_TRUE(s->SaveToSdCard(Path("g.sqz")));
        std::string name = Path("g.sds");
        auto t = NewSequence();
        ASSERT_TRUE(t->ImportSdCardFile(name)) << c.what << ": " << (host.Messages.empty() ? "" : host.Messages.back());
        EXPECT_EQ(t->Grid.GridType, c.type) << c.what;
        EXPECT_EQ(t->Grid.NX, 3) << c.what;
        // A line keeps one row, even where the elevations would give a count off the node map.
        EXPECT_EQ(t->Grid.NY, c.type == gtLine ? 1 : 3) << c.what;
    }
}

TEST_F(SdCard, ForeignCountsAreKeptInsideTheTables) {
    auto s = Sample();
    ASSERT_TRUE(s->SaveToSdCard(Path("base.sqz")));
    const std::string base = Read(Path("base.sds"));

    struct TCase {
        const char* what;
        void (*patch)(std::string&);
        int count;  // quadripoles imported
    };
    const TCase cases[] = {
        {"LastQuadripole 20000", [](std::string& f) { Put<std::int32_t>(f, kHeader + 112, 20000); }, kMaxQuadripoles},
        {"LastQuadripole -7", [](std::string& f) { Put<std::int32_t>(f, kHeader + 112, -7); }, 0},
        {"FirstQuadripole 9", [](std::string& f) { Put<std::int32_t>(f, kHeader + 108, 9); }, -1},
        {"ElectrodeCount 5000", [](std::string& f) { Put<std::int32_t>(f, kHeader + 116, 5000); }, -1},
    };
    for (const TCase& c : cases) {
        std::string f = base;
        c.patch(f);
        Write(Path("foreign.sds"), f);
        std::string name = Path("foreign.sds");
        auto t = NewSequence();
        ASSERT_TRUE(t->ImportSdCardFile(name)) << c.what;
        EXPECT_EQ(t->QuadripoleCount(), c.count < 0 ? s->QuadripoleCount() : c.count) << c.what;
        EXPECT_EQ(t->Device.FirstQuadripole, 0) << c.what;
        EXPECT_LE(t->Grid.ElectrodeCount, kMaxElectrodes) << c.what;
        EXPECT_NO_THROW(std::make_unique<TElectSequence>(name)) << c.what;
    }

    // Quadripoles naming electrodes beyond the table are left out, and the user is told.
    std::string f = base;
    Put<std::uint16_t>(f, 16000 + 8 * 2 + 4, 2000);  // M of quadripole 2
    Write(Path("foreign.sds"), f);
    std::string name = Path("foreign.sds");
    auto t = NewSequence();
    host.Messages.clear();
    ASSERT_TRUE(t->ImportSdCardFile(name));
    EXPECT_EQ(t->QuadripoleCount(), s->QuadripoleCount() - 1);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0], Path("foreign.sds") + "\r\n1 quadripoles with electrode numbers above 1319 were left out");
}

TEST_F(SdCard, RefusedFilesWriteNothingAndSayWhy) {
    auto s = Sample();
    ASSERT_TRUE(s->SaveToSdCard(Path("base.sqz")));
    const std::string base = Read(Path("base.sds"));
    struct TCase {
        const char* what;
        std::string bytes;
        const char* detail;
    };
    auto patched = [&](auto patch) {
        std::string f = base;
        patch(f);
        return f;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const TCase cases[] = {
        {"short file", base.substr(0, 1000), "is not a whole SD-card sequence: 1000 of 144048 bytes"},
        {"empty file", "", "is not a whole SD-card sequence: 0 of 144048 bytes"},
        {"no electrodes",
         patched([](std::string& f) {
             Put<std::int32_t>(f, kHeader + 120, 5000);
             Put<std::int32_t>(f, kHeader + 124, 3);
         }),
         "has no electrodes"},
        {"electrode without a position", patched([&](std::string& f) { Put<float>(f, 160 + 12 * 4 + 4, nan); }),
         "electrode 4 has no valid position"},
        {"electrodes beyond the node map", patched([](std::string& f) { Put<float>(f, 160 + 12 * 5, 1e6f); }),
         "columns"},
        {"only placeholders in the range", patched([](std::string& f) {
             Put<std::int32_t>(f, kHeader + 120, 13);
             Put<std::int32_t>(f, kHeader + 124, 99999);
         }),
         "has no electrodes"},
        {"injection time out of range", patched([](std::string& f) { f[kHeader + 25] = 7; }),
         "acquisition parameters out of range"},
    };
    for (const TCase& c : cases) {
        host.Messages.clear();
        Write(Path("bad.sds"), c.bytes);
        Write(Path("badSdsToSqz.sqz"), "an older sequence");
        std::string name = Path("bad.sds");
        auto t = NewSequence();
        EXPECT_FALSE(t->ImportSdCardFile(name)) << c.what;
        EXPECT_EQ(name, Path("bad.sds")) << c.what;
        ASSERT_EQ(host.Messages.size(), 1u) << c.what;
        EXPECT_EQ(host.Messages[0].rfind(Path("bad.sds") + "\r\n", 0), 0u) << c.what;
        EXPECT_NE(host.Messages[0].find(c.detail), std::string::npos) << c.what << ": " << host.Messages[0];
        EXPECT_EQ(Read(Path("badSdsToSqz.sqz")), "an older sequence") << c.what;
    }

    // A missing file: false without a message.
    host.Messages.clear();
    std::string name = Path("absent.sds");
    auto t = NewSequence();
    EXPECT_FALSE(t->ImportSdCardFile(name));
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_FALSE(fs::exists(Path("absentSdsToSqz.sqz")));
}

TEST_F(SdCard, WriteFailureIsReportedAndKeepsTheOldFile) {
    auto s = Sample();
    EXPECT_FALSE(s->SaveToSdCard(Path("missing/line.sqz")));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0],
              "Can't save sequence with < " + Path("missing/line.sds") + " > filename\r\nNo such file or directory");

    // A folder in the way of the .sds: nothing replaces it, no partial file is left.
    fs::create_directories(Path("taken.sds"));
    EXPECT_FALSE(s->SaveToSdCard(Path("taken.sqz")));
    EXPECT_TRUE(fs::is_directory(Path("taken.sds")));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"taken.sds"}));

    // Writing over an older .sds replaces it whole.
    Write(Path("old.sds"), "older");
    EXPECT_TRUE(s->SaveToSdCard(Path("old.sqz")));
    EXPECT_EQ(Read(Path("old.sds")).size(), kSdCardFileSize);
}
