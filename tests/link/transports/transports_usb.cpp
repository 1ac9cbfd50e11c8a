// The USB port against a scripted FTDI device: every device call is logged, and the device's
// line can lead to the simulated meter.
#include <gtest/gtest.h>

#include <deque>
#include <sstream>

#include "link/Ftdidevice.h"
#include "link/Portusb.h"
#include "tests/link/transports/TransportRig.h"

namespace {

const std::string USBPrompt = "Connect USB link between computer and RESKON,\nthen press < OK > button";

class TFakeFtdi : public TFtdiLibrary {
public:
    std::vector<std::string> Log;
    std::deque<int> Counts;      // answers of DeviceCount; 1 when used up
    int OpenFailures = 0;        // Opens that fail before one succeeds; -1 every one
    TMeterSim* Meter = nullptr;  // the far end of the line, or none
    bool Gone = false;           // the device has been unplugged
    bool DriverVersionFails = false, LibraryVersionFails = false;
    std::uint32_t Driver = 0x021204, Library = 0x010500;

    TFakeFtdi() { SetFtdiLibrary(this); }
    ~TFakeFtdi() override { SetFtdiLibrary(nullptr); }

    template <class... T>
    TFtdiStatus Note(const char* call, T... args) {
        std::ostringstream s;
        s << call;
        ((s << ' ' << args), ...);
        Log.push_back(s.str());
        return Gone ? TFtdiStatus::Gone : TFtdiStatus::Ok;
    }

    TFtdiStatus DeviceCount(int& count) override {
        count = Counts.empty() ? 1 : Counts.front();
        if (!Counts.empty()) Counts.pop_front();
        Log.push_back("DeviceCount");
        return TFtdiStatus::Ok;
    }
    std::unique_ptr<TFtdiDevice> Open(int index) override;
    TFtdiStatus GetLibraryVersion(uint32_t& v) override {
        v = Library;
        return LibraryVersionFails ? TFtdiStatus::Failed : TFtdiStatus::Ok;
    }
};

class TFakeDevice : public TFtdiDevice {
public:
    explicit TFakeDevice(TFakeFtdi& lib) : Lib(lib) {}
    ~TFakeDevice() override { Lib.Log.push_back("Close"); }
    TFakeFtdi& Lib;

    TFtdiStatus SetBaudRate(int bps) override { return Lib.Note("SetBaudRate", bps); }
    TFtdiStatus SetDataCharacteristics(uint8_t b, uint8_t s, uint8_t p) override {
        return Lib.Note("SetDataCharacteristics", int(b), int(s), int(p));
    }
    TFtdiStatus SetFlowControl(uint16_t mode, uint8_t xon, uint8_t xoff) override {
        std::ostringstream hex;
        hex << std::hex << mode << ' ' << int(xon) << ' ' << int(xoff);
        return Lib.Note("SetFlowControl", hex.str());
    }
    TFtdiStatus SetDtr(bool on) override { return Lib.Note("SetDtr", on); }
    TFtdiStatus SetRts(bool on) override { return Lib.Note("SetRts", on); }
    TFtdiStatus GetModemStatus(uint32_t& status) override {
        status = 0x30;
        return Lib.Note("GetModemStatus");
    }
    TFtdiStatus Purge(int mask) override {
        if (Lib.Meter && (mask & 1)) Lib.Meter->DropOutput();
        return Lib.Note("Purge", mask);
    }
    TFtdiStatus SetTimeouts(int r, int w) override { return Lib.Note("SetTimeouts", r, w); }
    // The data calls are many: they are not logged.
    TFtdiStatus GetQueueStatus(uint32_t& rx) override {
        rx = Lib.Meter ? static_cast<uint32_t>(Lib.Meter->Available()) : 0;
        return Lib.Gone ? TFtdiStatus::Gone : TFtdiStatus::Ok;
    }
    TFtdiStatus GetStatus(uint32_t& rx, uint32_t& tx, uint32_t& ev) override {
        tx = ev = 0;
        return GetQueueStatus(rx);
    }
    TFtdiStatus Read(uint8_t* buf, int n, int& got) override {
        got = Lib.Meter && !Lib.Gone ? static_cast<int>(Lib.Meter->Read(buf, static_cast<size_t>(n))) : 0;
        return Lib.Gone ? TFtdiStatus::Gone : TFtdiStatus::Ok;
    }
    TFtdiStatus Poll(int) override { return Lib.Gone ? TFtdiStatus::Gone : TFtdiStatus::Ok; }
    TFtdiStatus Write(const uint8_t* buf, int n, int& written) override {
        written = Lib.Gone ? 0 : n;
        if (Lib.Meter && !Lib.Gone) Lib.Meter->Feed(buf, static_cast<size_t>(n));
        return Lib.Gone ? TFtdiStatus::Gone : TFtdiStatus::Ok;
    }
    TFtdiStatus SetLatencyTimer(int ms) override { return Lib.Note("SetLatencyTimer", ms); }
    TFtdiStatus GetDriverVersion(uint32_t& v) override {
        v = Lib.Driver;
        Lib.Note("GetDriverVersion");
        return Lib.DriverVersionFails ? TFtdiStatus::Failed : TFtdiStatus::Ok;
    }
};

std::unique_ptr<TFtdiDevice> TFakeFtdi::Open(int index) {
    Log.push_back("Open " + std::to_string(index));
    if (OpenFailures != 0) {
        if (OpenFailures > 0) --OpenFailures;
        return nullptr;
    }
    return std::make_unique<TFakeDevice>(*this);
}

struct TUsbRig {
    TCaptionHost host;
    TFakeFtdi ftdi;
    TPortUSB port;
    TUsbRig() { port.Timing = FastTiming(); }
    int Open(int bps = kHighSpeed) { return port.Open(kUSBPortNumber, bps, 0, "", false, ""); }
};

// Every setter and every call that might reach the device, as a closed port sees them.
void TouchEverything(TPortUSB& port) {
    for (int v : {0, 1, 2, 7}) {
        port.SetPortNumber(v);
        port.SetBaudRate(v);
        port.SetParity(v);
        port.SetDataBits(v);
        port.SetStopBits(v);
        port.SetXonXoff(v);
        port.SetDtrDsr(v);
        port.SetRtsCts(v);
        port.SetDtr(v);
        port.SetRts(v);
    }
    port.SetLatency(10);
    port.GetDsr();
    port.FlushInput();
    port.ClearTxBuffer();
    port.DriverVersion();
}

}  // namespace

TEST(USBPort, OpenTalksToTheDeviceInOrder) {
    TUsbRig rig;
    rig.ftdi.OpenFailures = 2;
    const auto& t = rig.port.Timing;
    EXPECT_EQ(rig.Open(kHighSpeed), kUSBPortNumber);
    EXPECT_EQ(rig.port.GetState(), kUSBPortNumber);
    const std::vector<std::string> want = {
        "DeviceCount", "Open 0", "Open 0", "Open 0", "SetDtr 0", "SetRts 0", "SetBaudRate 273000",
        "SetTimeouts " + std::to_string(t.USBDriverLimitMs) + " " + std::to_string(t.USBDriverLimitMs),
        "SetDtr 1", "SetRts 1", "SetDataCharacteristics 8 0 0"};
    EXPECT_EQ(rig.ftdi.Log, want);
    EXPECT_TRUE(rig.host.Questions.empty());
}

TEST(USBPort, WithoutADeviceOpenAsksUntilOneIsThere) {
    struct TCase {
        std::deque<int> counts;
        std::deque<bool> answers;
        int result, state, questions;
    };
    const TCase cases[] = {
        {{0, 0}, {true, false}, 0, -1, 2},  // still none after OK, then Cancel
        {{0, 1}, {true}, kUSBPortNumber, kUSBPortNumber, 1},  // plugged in before OK
    };
    for (const TCase& c : cases) {
        TUsbRig rig;
        rig.ftdi.Counts = c.counts;
        rig.host.Answers = c.answers;
        EXPECT_EQ(rig.Open(), c.result);
        EXPECT_EQ(rig.port.GetState(), c.state);
        EXPECT_EQ(rig.host.Questions, std::vector<std::string>(c.questions, USBPrompt));
        EXPECT_EQ(rig.host.Captions, std::vector<std::string>(c.questions, "Communication"));
    }
}

TEST(USBPort, ADeviceThatNeverOpensIsGivenUpAfter501Tries) {
    TUsbRig rig;
    rig.ftdi.OpenFailures = -1;
    EXPECT_EQ(rig.Open(), 0);
    EXPECT_EQ(rig.port.GetState(), -1);
    std::vector<std::string> want = {"DeviceCount"};
    want.insert(want.end(), 501, "Open 0");
    EXPECT_EQ(rig.ftdi.Log, want);
}

TEST(USBPort, NothingReachesTheDeviceWhileClosed) {
    TUsbRig rig;
    TouchEverything(rig.port);
    EXPECT_TRUE(rig.ftdi.Log.empty());
    EXPECT_EQ(rig.port.DriverVersion(), "NA");
    // Construction values stay.
    EXPECT_EQ(rig.port.GetDataBits(), 8);
    EXPECT_EQ(rig.port.GetStopBits(), 1);
    EXPECT_EQ(rig.port.GetParity(), 0);
    EXPECT_EQ(rig.port.NoFlow, 1);
    EXPECT_EQ(rig.port.XonXoff + rig.port.DtrDsr + rig.port.RtsCts + rig.port.Dtr + rig.port.Rts, 0);

    // The same after a Close: the device has been let go.
    ASSERT_EQ(rig.Open(), kUSBPortNumber);
    rig.port.Close();
    EXPECT_EQ(rig.ftdi.Log.back(), "Close");
    rig.ftdi.Log.clear();
    TouchEverything(rig.port);
    EXPECT_TRUE(rig.ftdi.Log.empty());
}

TEST(USBPort, FlowControlKeepsOneFlag) {
    struct TCase {
        std::vector<std::pair<char, int>> calls;  // X xon/xoff, D dtr/dsr, R rts/cts
        int xon, dtr, rts, none;
        std::string mode;
    };
    const TCase cases[] = {
        {{{'X', 1}}, 1, 0, 0, 0, "SetFlowControl 400 11 13"},
        {{{'X', 1}, {'R', 1}}, 0, 0, 1, 0, "SetFlowControl 100 0 0"},
        {{{'D', 1}}, 0, 1, 0, 0, "SetFlowControl 200 0 0"},
        {{{'R', 1}, {'R', 0}}, 0, 0, 0, 1, "SetFlowControl 0 0 0"},
        {{{'D', 1}, {'X', 0}}, 0, 0, 0, 1, "SetFlowControl 0 0 0"},
    };
    for (const TCase& c : cases) {
        TUsbRig rig;
        ASSERT_EQ(rig.Open(), kUSBPortNumber);
        for (auto [which, v] : c.calls) {
            if (which == 'X') rig.port.SetXonXoff(v);
            if (which == 'D') rig.port.SetDtrDsr(v);
            if (which == 'R') rig.port.SetRtsCts(v);
        }
        EXPECT_EQ(rig.port.XonXoff, c.xon);
        EXPECT_EQ(rig.port.DtrDsr, c.dtr);
        EXPECT_EQ(rig.port.RtsCts, c.rts);
        EXPECT_EQ(rig.port.NoFlow, c.none);
        EXPECT_EQ(rig.ftdi.Log.back(), c.mode);
    }
}

TEST(USBPort, LineSettingsWhileOpen) {
    TUsbRig rig;
    ASSERT_EQ(rig.Open(), kUSBPortNumber);
    rig.ftdi.Log.clear();
    rig.port.SetParity(9);
    rig.port.SetDataBits(7);
    rig.port.SetStopBits(2);
    rig.port.SetParity(2);
    rig.port.SetLatency(10);
    EXPECT_EQ(rig.port.GetDsr(), 1);
    const std::vector<std::string> want = {"SetDataCharacteristics 8 0 0", "SetDataCharacteristics 7 0 0",
                                           "SetDataCharacteristics 7 2 0", "SetDataCharacteristics 7 2 2",
                                           "SetLatencyTimer 10", "GetModemStatus"};
    EXPECT_EQ(rig.ftdi.Log, want);
    EXPECT_EQ(rig.port.GetStopBits(), 2);
    EXPECT_EQ(rig.port.GetDataBits(), 7);
}

TEST(USBPort, DriverVersionText) {
    struct TCase {
        bool driverFails, libraryFails;
        std::string text;
    };
    const TCase cases[] = {
        {false, false, "DRV v2.12.04\nDLL v1.05.00"},
        {false, true, "DRV v2.12.04"},
        {true, false, "Unknown"},
    };
    for (const TCase& c : cases) {
        TUsbRig rig;
        ASSERT_EQ(rig.Open(), kUSBPortNumber);
        rig.ftdi.DriverVersionFails = c.driverFails;
        rig.ftdi.LibraryVersionFails = c.libraryFails;
        EXPECT_EQ(rig.port.DriverVersion(), c.text);
    }
}

TEST(USBPort, OpenCloseOpenTakesTheDeviceAnew) {
    TUsbRig rig;
    ASSERT_EQ(rig.Open(), kUSBPortNumber);
    rig.port.Close();
    rig.ftdi.Log.clear();
    ASSERT_EQ(rig.Open(), kUSBPortNumber);
    EXPECT_EQ(std::count(rig.ftdi.Log.begin(), rig.ftdi.Log.end(), "Close"), 0);
    EXPECT_EQ(rig.ftdi.Log[1], "Open 0");
}

TEST(USBPort, UploadsASequenceThroughTheDevice) {
    TUsbRig rig;
    TMeterSim meter;
    rig.ftdi.Meter = &meter;
    auto s = MakeSequence(16, 600, 4);
    EXPECT_EQ(UploadOne(rig.port, kUSBPortNumber, kHighSpeed, "", *s), Stored(0, 0));
    ASSERT_EQ(meter.Images.size(), 1u);
    ExpectImageOf(*s, meter.Images[0]);
    EXPECT_EQ(meter.Commands, Bytes({0xBB, 0x00}));
}

TEST(USBPort, AnUnpluggedDeviceEndsEveryWait) {
    TUsbRig rig;
    TMeterSim meter;
    rig.ftdi.Meter = &meter;
    ASSERT_EQ(rig.Open(), kUSBPortNumber);
    rig.ftdi.Gone = true;
    EXPECT_EQ(rig.port.ReadByteTimed(600000), -1);
    EXPECT_EQ(rig.port.GetState(), -1);
    EXPECT_EQ(rig.ftdi.Log.back(), "Close");  // the device is let go at once
    rig.ftdi.Log.clear();
    try {
        rig.port.GetCom();
        ADD_FAILURE() << "GetCom on a lost link returned";
    } catch (const EPortError& e) {
        EXPECT_STREQ(e.what(), "Port err. Getcom");
    }
    try {
        rig.port.WaitFor(":>");
        ADD_FAILURE() << "WaitFor on a lost link returned";
    } catch (const EPortError& e) {
        EXPECT_STREQ(e.what(), "Wait error");
    }
    TouchEverything(rig.port);
    EXPECT_TRUE(rig.ftdi.Log.empty());
}

TEST(USBPort, SynchronizeGoesBackToTheSpeedOfOpen) {
    TUsbRig rig;
    TMeterSim meter;
    meter.Knobs.SyncEchoAt = 0;  // the meter never answers
    meter.Knobs.ProbeEchoAt = 0;
    rig.ftdi.Meter = &meter;
    ASSERT_EQ(rig.Open(kLowSpeed), kUSBPortNumber);
    std::string name, speed;
    EXPECT_FALSE(rig.port.Synchronize(name, speed));
    std::vector<std::string> speeds;
    for (const std::string& l : rig.ftdi.Log)
        if (l.rfind("SetBaudRate", 0) == 0) speeds.push_back(l);
    EXPECT_EQ(speeds, (std::vector<std::string>{"SetBaudRate 19200", "SetBaudRate 115200", "SetBaudRate 19200"}));
    EXPECT_EQ(rig.port.GetBaudRate(), kLowSpeed);
}

TEST(USBPort, TheLibftdiLibraryWithoutAConverter) {
    if (TPortUSB::DeviceCount() > 0) GTEST_SKIP() << "an FTDI converter is plugged in";
    EXPECT_EQ(FtdiLibrary().Open(0), nullptr);
    std::uint32_t version = 0;
    EXPECT_EQ(FtdiLibrary().GetLibraryVersion(version), TFtdiStatus::Ok);
    EXPECT_GE(version, 0x010000u);
}
