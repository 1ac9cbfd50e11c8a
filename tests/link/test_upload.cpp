// The upload of a sequence through the pipe and the simulated meter, as the upload command
// drives it: synchronise, read the version, upload, end with command 0.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "tests/link/LinkRig.h"

namespace {

const char* kOldMessage =
    "The software version of Reskon or Dunel is too old, All fonctionnalities could not be "
    "transfered, Contact Olvane Zerarezizuz for new version.";

struct TUploadRig : TLinkRig {
    std::int32_t version = 0;
    explicit TUploadRig(std::int32_t firmware = 0x20000003) {
        meter.Knobs.Version = firmware;
        version = Connect();
    }
    std::int32_t Upload(TElectSequence& s) { return s.Upload(port, version, nullptr); }
    bool End() { return session.End(); }
};

void ExpectImageOf(const TElectSequence& s, const TMeterSim::TImage& image, bool withRemotesAndGaps) {
    ASSERT_TRUE(image.Complete);
    ASSERT_EQ(image.Header.size(), kDeviceHeaderSize);
    EXPECT_EQ(std::memcmp(image.Header.data(), &s.Device, kDeviceHeaderSize), 0);
    ASSERT_EQ(image.Electrodes.size(), static_cast<std::size_t>(s.Device.LastElectrode + 1));
    EXPECT_EQ(std::memcmp(image.Electrodes.data(), s.Device.Electrodes, image.Electrodes.size() * 12), 0);
    if (withRemotesAndGaps) {
        ASSERT_EQ(image.Remotes.size(), 4u);
        EXPECT_EQ(std::memcmp(image.Remotes.data(), s.RemoteElectrodes, 48), 0);
    } else {
        EXPECT_TRUE(image.Remotes.empty());
    }
    ASSERT_EQ(image.Quads.size(), static_cast<std::size_t>(s.QuadripoleCount()));
    for (std::size_t q = 0; q < image.Quads.size(); ++q) {
        const auto& got = image.Quads[q];
        const auto& want = s.Device.Quadripoles[q];
        ASSERT_EQ((std::vector<int>{got.A, got.B, got.M, got.N}), (std::vector<int>{want.A, want.B, want.M, want.N}))
            << "quadripole " << q;
        ASSERT_EQ(got.GapFiller, withRemotesAndGaps && s.QuadInfo[q].Level < 0) << "quadripole " << q;
    }
}

TEST(Upload, CurrentFirmwareSendsFourBlocksWithGapFillersFlagged) {
    TUploadRig rig;
    auto s = MakeSequence(48, 300, 7);
    auto before = std::make_unique<TElectSequence>(*s);
    EXPECT_EQ(rig.Upload(*s), 0);
    EXPECT_TRUE(rig.End());
    EXPECT_EQ(rig.meter.Commands, Bytes({0xBB, 0x00}));
    ASSERT_EQ(rig.meter.Images.size(), 1u);
    EXPECT_EQ(rig.meter.Images[0].Command, 0xBB);
    ExpectImageOf(*s, rig.meter.Images[0], true);
    EXPECT_EQ(std::memcmp(before.get(), s.get(), sizeof(TElectSequence)), 0) << "the object is not changed";
    EXPECT_TRUE(rig.host.Messages.empty());
    EXPECT_EQ(rig.host.WaitCursorDepth, 0);
}

TEST(Upload, FirmwareTwoSendsThreeBlocksAfterTheMessage) {
    TUploadRig rig(0x20000002);
    auto s = MakeSequence(48, 300, 7);
    EXPECT_EQ(rig.Upload(*s), 0);
    EXPECT_EQ(rig.host.Messages, std::vector<std::string>{kOldMessage});
    EXPECT_EQ(rig.meter.Commands, Bytes({0xAA}));
    ASSERT_EQ(rig.meter.Transfers.size(), 3u);
    ExpectImageOf(*s, rig.meter.Images[0], false);
}

TEST(Upload, OlderFirmwareSendsNothing) {
    for (std::int32_t v : {0x20000001, 0x10000000, std::int32_t(0x80000003)}) {
        SCOPED_TRACE(v);
        TUploadRig rig(v);
        const auto sent = rig.meter.Received.size();
        auto s = MakeSequence(48, 30);
        EXPECT_EQ(rig.Upload(*s), kUploadTooOld);
        EXPECT_EQ(rig.meter.Received.size(), sent);
        EXPECT_TRUE(rig.host.Messages.empty());
    }
}

TEST(Upload, SequencesGetTheNextMemories) {
    TUploadRig rig;
    auto a = MakeSequence(48, 30);
    auto b = MakeSequence(24, 10, 2);
    EXPECT_EQ(rig.Upload(*a), 0);
    EXPECT_EQ(rig.Upload(*b), 1);
    ASSERT_EQ(rig.meter.Images.size(), 2u);
    ExpectImageOf(*b, rig.meter.Images[1], true);
}

TEST(Upload, MemoryFullSendsNoBlock) {
    TUploadRig rig;
    rig.meter.Knobs.MemoryFull = true;
    auto s = MakeSequence(48, 30);
    EXPECT_EQ(rig.Upload(*s), kUploadMemoryFull);
    EXPECT_TRUE(rig.meter.Transfers.empty());
    EXPECT_TRUE(rig.End()) << "the closing command still goes through";
    EXPECT_EQ(rig.meter.Commands, Bytes({0xBB, 0x00}));
}

TEST(Upload, NotComputedSendsNothing) {
    struct TCase {
        const char* name;
        void (*spoil)(TElectSequence&);
    };
    const TCase cases[] = {
        {"list cleared", [](TElectSequence& s) { s.ClearQuadripoles(); }},
        {"grid edited after computation", [](TElectSequence& s) { s.Grid.ElectrodeCount = 47; }},
        {"no depth level selected", [](TElectSequence& s) { s.SpacingLevels[0].SelectedCount = 0; }},
        {"mixed array with an empty list", [](TElectSequence& s) {
             s.Grid.ArrayType = 0;
             s.ClearQuadripoles();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TUploadRig rig;
        const auto sent = rig.meter.Received.size();
        auto s = MakeSequence(48, 30);
        c.spoil(*s);
        EXPECT_EQ(rig.Upload(*s), kUploadNotComputed);
        EXPECT_EQ(rig.meter.Received.size(), sent);
        EXPECT_TRUE(rig.host.Messages.empty()) << "no Err. Buffer";
    }
}

TEST(Upload, MixedArrayIsSentWithoutTheValidityTest) {
    TUploadRig rig;
    auto s = MakeSequence(48, 30);
    s->Grid.ArrayType = 0;
    s->Grid.ElectrodeCount = 12;  // would fail the test
    EXPECT_EQ(rig.Upload(*s), 0);
    ExpectImageOf(*s, rig.meter.Images[0], true);
}

TEST(Upload, ImportedSdCardAndTextFilesAreSent) {
    // Both hold a list that no depth level of this program made: the meter's own image from the
    // card, the quadripoles of a text. Each goes to the meter as it came.
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("planora-upload-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto computed = MakeSequence(24, 40, 5);
    computed->Grid.Nodes[7].Used = 0;  // a line without electrode 7
    computed->Grid.ElectrodeCount = 23;
    computed->ComputeElectrodePositions();
    TUploadRig rig;

    ASSERT_TRUE(computed->SaveToSdCard((dir / "line.sqz").string()));
    std::string name = (dir / "line.sds").string();
    auto fromCard = std::make_unique<TElectSequence>();
    ASSERT_TRUE(fromCard->ImportSdCardFile(name));
    EXPECT_EQ(rig.Upload(*fromCard), 0);
    ExpectImageOf(*fromCard, rig.meter.Images[0], true);

    ASSERT_TRUE(computed->ExportTextFile((dir / "line.txt").string(), "\t"));
    auto fromText = std::make_unique<TElectSequence>();
    ASSERT_TRUE(fromText->ImportTextFile((dir / "line.txt").string()));
    EXPECT_EQ(rig.Upload(*fromText), 1);
    ExpectImageOf(*fromText, rig.meter.Images[1], true);
    EXPECT_TRUE(rig.host.Messages.empty());
    fs::remove_all(dir);
}

TEST(Upload, CountsBeyondTheTablesAreBounded) {
    TUploadRig rig;
    auto s = MakeSequence(48, 30);
    s->Grid.ArrayType = 0;
    s->Device.LastElectrode = 5000;
    s->Device.LastQuadripole = 20000;
    EXPECT_EQ(rig.Upload(*s), 0);
    const auto& image = rig.meter.Images.at(0);
    ASSERT_TRUE(image.Complete);
    EXPECT_EQ(image.LastElectrode(), kMaxElectrodes - 1);
    EXPECT_EQ(image.LastQuadripole(), kMaxQuadripoles - 1);
    EXPECT_EQ(image.Electrodes.size(), static_cast<std::size_t>(kMaxElectrodes));
    EXPECT_EQ(image.Quads.size(), static_cast<std::size_t>(kMaxQuadripoles));
    EXPECT_EQ(s->Device.LastQuadripole, 20000) << "the object is not changed";
}

// Every way the exchange can fail ends with the upload error, and nothing is taken for a
// memory number.
TEST(Upload, FailuresGiveUploadError) {
    struct TCase {
        const char* name;
        void (*fault)(TMeterSim&);
        std::size_t transfers;  // transfers the meter saw begin
        bool quietAfter;        // the program sent nothing after the meter's last byte
    };
    const TCase cases[] = {
        {"the confirmation fails (foreign reply)", [](TMeterSim& m) { m.Knobs.ForeignReply = 0x3F; }, 0, true},
        {"the confirmation fails (six 0xFF)", [](TMeterSim& m) { m.Knobs.FFAnswers = 6; }, 0, true},
        {"the confirmation is garbled, the meter goes on",
         [](TMeterSim& m) { m.Knobs.GarbledConfirmation = 0x3F; }, 1, true},
        {"a status below 0", [](TMeterSim& m) { m.Knobs.Status = -5; }, 0, true},
        {"no status", [](TMeterSim& m) { m.Knobs.SilentAfterCommand = true; }, 0, true},
        {"hang-up before the status", [](TMeterSim& m) { m.Knobs.HangUpAfterCommand = true; }, 0, true},
        {"silence at a block", [](TMeterSim& m) { m.Knobs.SilenceAt = {3, 5}; }, 4, false},
        {"hang-up at a block", [](TMeterSim& m) { m.Knobs.HangUpAt = {1, 2}; }, 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TUploadRig rig;
        c.fault(rig.meter);
        auto s = MakeSequence(120, 2000);
        EXPECT_EQ(rig.Upload(*s), kUploadError);
        EXPECT_EQ(rig.meter.Transfers.size(), c.transfers);
        if (c.quietAfter) {
            EXPECT_FALSE(rig.meter.Wire.back().FromHost);
        }
        EXPECT_EQ(rig.host.WaitCursorDepth, 0);
    }
}

TEST(Upload, LineFaultsThatTheTransferMends) {
    TUploadRig rig;
    rig.meter.Knobs.BadChecksumAt = {-1, 2};
    rig.meter.Knobs.WrongRequestAt = {3, 1};
    rig.meter.Knobs.WrongRequestCount = 7;
    rig.meter.Knobs.FFAnswers = 2;
    auto s = MakeSequence(120, 2000, 5);
    EXPECT_EQ(rig.Upload(*s), 0);
    ExpectImageOf(*s, rig.meter.Images.at(0), true);
    EXPECT_EQ(rig.meter.Transfers[1].BadChecksums, 1);
    EXPECT_EQ(rig.meter.Transfers[3].BadChecksums, 1);
}

TEST(Upload, CancelDuringATransfer) {
    TUploadRig rig;
    auto s = MakeSequence(120, 2000);
    rig.host.OnProcess = [&] {
        if (rig.meter.Transfers.size() == 4) rig.port.Close();
    };
    EXPECT_EQ(rig.Upload(*s), kUploadError);
    EXPECT_EQ(rig.port.GetState(), 0);
    EXPECT_FALSE(rig.meter.Images.at(0).Complete);
    EXPECT_EQ(rig.host.WaitCursorDepth, 0);
}

// ---------------------------------------------------------------- the upload session

// The list the session sends from, and a log that keeps its lines.
struct TSessionList final : TUploadList {
    std::vector<TElectSequence*> Sequences;
    int EntryCount() override { return static_cast<int>(Sequences.size()); }
    TElectSequence* EntryToSend(int i) override { return Sequences[std::size_t(i)]; }
};

struct TLines final : TUploadLog {
    std::vector<std::string> Lines;
    void AddLine(const std::string& text) override { Lines.push_back(text); }
};

// The whole exchange: which entries reach the meter, what ends it, and whether the closing
// command goes out.
TEST(UploadSession, SendsTheListAndEndsWithCommandZero) {
    struct TCase {
        const char* name;
        const TLinkTraits* traits;
        void (*knobs)(TMeterSim::TKnobs&);
        std::vector<bool> computed;  // the list's entries
        TUploadEnd end;
        std::vector<TSequenceResult> results;
        std::vector<std::uint8_t> commands;
        std::string lastLine;
    };
    const TCase cases[] = {
        {"every entry stored", &kSerialLink, [](TMeterSim::TKnobs&) {}, {true, true}, TUploadEnd::Finished,
         {Stored(0, 0), Stored(1, 1)}, Bytes({0xBB, 0xBB, 0x00}), ""},
        {"a not computed entry is skipped", &kUSBLink, [](TMeterSim::TKnobs&) {}, {false, true},
         TUploadEnd::Finished, {Failed(0, TSequenceOutcome::NotComputed), Stored(1, 0)}, Bytes({0xBB, 0x00}), ""},
        {"a full memory ends the loop", &kSerialLink, [](TMeterSim::TKnobs& k) { k.MemoryFull = true; },
         {true, true}, TUploadEnd::Finished, {Failed(0, TSequenceOutcome::MemoryFull)}, Bytes({0xBB, 0x00}), ""},
        {"software too old ends the loop", &kIPLink, [](TMeterSim::TKnobs& k) { k.Version = 0x20000001; },
         {true, true}, TUploadEnd::Finished, {Failed(0, TSequenceOutcome::SoftwareTooOld)}, Bytes({0x00}), ""},
        {"an upload error ends the loop", &kSerialLink, [](TMeterSim::TKnobs& k) { k.ForeignReply = 0x3F; },
         {true, true}, TUploadEnd::Finished, {Failed(0, TSequenceOutcome::UploadError)}, Bytes({0x00}), ""},
        // A 0xFF in a line of the meter's greeting: the TCP/IP link does not synchronise.
        {"no synchronisation sends nothing", &kIPLink, [](TMeterSim::TKnobs& k) { k.SpeedLine = "273\xFF"; },
         {true}, TUploadEnd::CommunicationStopped, {}, {}, "Communication stopped"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TLinkRig rig(*c.traits);
        c.knobs(rig.meter.Knobs);
        std::vector<std::unique_ptr<TElectSequence>> owned;
        TSessionList list;
        for (bool computed : c.computed) {
            owned.push_back(MakeSequence(48, 30));
            if (!computed) owned.back()->ClearQuadripoles();
            list.Sequences.push_back(owned.back().get());
        }
        TLines log;
        TProgressBar progress;
        progress.Pos = 5;
        const TUploadReport r = TUploadSession(&rig.port, log, &progress)
                                    .Run({PortNumberFor(c.traits->Kind), kHighSpeed, "127.0.0.1"}, list);
        EXPECT_EQ(r.End, c.end);
        EXPECT_EQ(r.Results, c.results);
        EXPECT_EQ(rig.meter.Commands, c.commands);
        EXPECT_EQ(r.Ended, !c.commands.empty() && c.commands.back() == 0x00);
        ASSERT_FALSE(log.Lines.empty());
        EXPECT_EQ(log.Lines.back(), c.lastLine);
        EXPECT_EQ(progress.Pos, 0);
        EXPECT_EQ(rig.host.WaitCursorDepth, 0);
    }
}

TEST(UploadSession, NoPortObjectIsARefusedPort) {
    TRecordingHost host;
    TLines log;
    TSessionList list;
    const TUploadReport r = TUploadSession(nullptr, log).Run({kUSBPortNumber, kHighSpeed, ""}, list);
    EXPECT_EQ(r.End, TUploadEnd::PortRefused);
    EXPECT_EQ(host.Messages, std::vector<std::string>{"Interrupted by user, or another software is using the "
                                                      "communication port, close it and try again"});
    EXPECT_EQ(log.Lines, std::vector<std::string>{""});
}

// Commands run inside the waits: an entry that leaves the list while another is being sent is
// not asked for.
TEST(UploadSession, TheListIsReadAfreshAtEveryEntry) {
    TLinkRig rig;
    auto a = MakeSequence(48, 30);
    auto b = MakeSequence(24, 10);
    TSessionList list;
    list.Sequences = {a.get(), b.get()};
    rig.host.OnProcess = [&] {
        if (!rig.meter.Images.empty()) list.Sequences.resize(1);
    };
    TUploadLog quiet;
    const TUploadReport r = TUploadSession(&rig.port, quiet).Run({1, kHighSpeed, ""}, list);
    EXPECT_EQ(r.Results, std::vector<TSequenceResult>{Stored(0, 0)});
    EXPECT_EQ(rig.meter.Images.size(), 1u);
    EXPECT_TRUE(r.Ended);
}

}  // namespace
