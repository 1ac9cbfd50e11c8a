// The serial port over a pseudo-terminal, with the simulated meter on the other end.
#include <QSerialPort>

#include <gtest/gtest.h>

#include "tests/support/MeterLinks.h"
#include "link/Portcom.h"
#include "link/Portctl.h"
#include "tests/link/transports/TransportRig.h"

namespace {

constexpr int Com = 3;
const std::string ComPrompt =
    "Connect Serial link < COM 3 > between computer and RESKON,\nthen press < OK > button";

struct TPtyRig {
    TCaptionHost host;
    TMeterSim meter;
    TMeterPtyHost line;
    TPortCOM port;

    TPtyRig() {
        AttachMeter(line, meter);
        SetComDevice(Com, line.SlavePath());
        port.Timing = TLinkTiming().Scaled(0.01);
    }
    ~TPtyRig() { SetComDevice(Com, ""); }
};

// True when another program could open the device now.
bool DeviceFree(const std::string& path) {
    QSerialPort other;
    other.setPortName(QString::fromStdString(path));
    const bool opened = other.open(QIODevice::ReadWrite);
    other.close();
    return opened;
}

}  // namespace

TEST(SerialPort, DevicePathComesFromTheSettingFirst) {
    SetComDevice(5, "/dev/ttyMETER");
    EXPECT_EQ(ComDevicePath(5), "/dev/ttyMETER");
    SetComDevice(5, "");
    for (int n : {0, kUSBPortNumber, -1}) EXPECT_EQ(ComDevicePath(n), "") << n;
}

TEST(SerialPort, PortNumbersCountUsbAdaptersThenModemsThenBluetoothThenBuiltIn) {
    std::vector<std::string> paths = {"/dev/ttyS0",   "/dev/ttyUSB10", "/dev/ttyAMA0", "/dev/rfcomm1",
                                      "/dev/ttyUSB2", "/dev/ttyACM0",  "/dev/rfcomm0", "/dev/ttyS1"};
    OrderSerialDevices(paths);
    const std::vector<std::string> want = {"/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0", "/dev/rfcomm0",
                                           "/dev/rfcomm1", "/dev/ttyS0",    "/dev/ttyS1",   "/dev/ttyAMA0"};
    EXPECT_EQ(paths, want);
}

TEST(SerialPort, UploadsASequenceAtEitherSpeed) {
    for (int speed : {kLowSpeed, kHighSpeed}) {
        SCOPED_TRACE(speed);
        TPtyRig rig;
        rig.host.Answers = {true};
        auto s = MakeSequence(24, 700, 9);
        EXPECT_EQ(UploadOne(rig.port, Com, speed, "", *s), Stored(0, 0));
        ASSERT_EQ(rig.meter.Images.size(), 1u);
        ExpectImageOf(*s, rig.meter.Images[0]);
        // The meter heard the line at the speed that Open set on the device.
        EXPECT_EQ(rig.meter.GetLineSpeed(), speed);
        EXPECT_EQ(rig.meter.Commands, Bytes({0xBB, 0x00}));
        EXPECT_EQ(rig.host.Questions, std::vector<std::string>{ComPrompt});
        EXPECT_EQ(rig.host.Captions, std::vector<std::string>{"Communication"});
        EXPECT_EQ(rig.port.GetState(), 0);
    }
}

TEST(SerialPort, SpeedFallbackReachesAMeterAt38400) {
    TPtyRig rig;
    rig.meter.Knobs.RequiredSpeed = 38400;
    rig.host.Answers = {true};
    ASSERT_EQ(rig.port.Open(Com, kLowSpeed, 0, "", false, ""), Com);
    std::string name, speed;
    EXPECT_TRUE(rig.port.Synchronize(name, speed));
    EXPECT_EQ(name, "RESKON");
    EXPECT_EQ(rig.meter.GetLineSpeed(), 38400);
}

TEST(SerialPort, OpenWithoutADeviceAsksFirstThenFails) {
    TPtyRig rig;
    SetComDevice(Com, "/dev/no-such-tty");
    rig.host.Answers = {true};
    EXPECT_EQ(rig.port.Open(Com, kLowSpeed, 0, "", false, ""), 0);
    EXPECT_EQ(rig.host.Questions, std::vector<std::string>{ComPrompt});
    EXPECT_EQ(rig.port.GetState(), 0);
}

TEST(SerialPort, CancelCloseAndReopenLeaveTheDeviceToOthers) {
    TPtyRig rig;
    const std::string path = rig.line.SlavePath();

    rig.host.Answers = {false};
    EXPECT_EQ(rig.port.Open(Com, kLowSpeed, 0, "", false, ""), 0);
    EXPECT_EQ(rig.port.GetState(), -1);
    EXPECT_TRUE(DeviceFree(path));

    // Opening twice: the second Open lets go of the device before taking it again.
    rig.host.Answers = {true, true};
    EXPECT_EQ(rig.port.Open(Com, kLowSpeed, 0, "", false, ""), Com);
    EXPECT_EQ(rig.port.Open(Com, kLowSpeed, 0, "", false, ""), Com);
    EXPECT_FALSE(DeviceFree(path));

    rig.port.Close();
    EXPECT_EQ(rig.port.GetState(), 0);
    EXPECT_TRUE(DeviceFree(path));

    rig.host.Answers = {true};
    EXPECT_EQ(rig.port.Open(Com, kLowSpeed, 0, "", false, ""), Com);
}

TEST(SerialPort, MeterHangingUpMidTransferEndsTheUpload) {
    TPtyRig rig;
    rig.meter.Knobs.HangUpAt = {3, 3};  // the quadripole transfer, at its third block
    rig.host.Answers = {true};
    auto s = MakeSequence(24, 700);
    EXPECT_EQ(UploadOne(rig.port, Com, kHighSpeed, "", *s), Failed(0, TSequenceOutcome::UploadError));
    EXPECT_EQ(rig.port.GetState(), -1);
    try {
        rig.port.GetCom();
        ADD_FAILURE() << "GetCom on a lost link returned";
    } catch (const EPortError& e) {
        EXPECT_STREQ(e.what(), "Port err. Getcom");
    }
    EXPECT_FALSE(rig.port.SendCmd(0, 1000));
}

TEST(SerialPort, CancelEndsAWaitAtOnce) {
    TPtyRig rig;
    rig.port.Timing.GetComLimitMs = 600000;  // only the Cancel can end the wait
    rig.meter.Knobs.SilenceAt = {3, 2};
    rig.host.OnProcess = [&] {
        if (rig.meter.Phase() == TMeterSim::TPhase::Silent) rig.port.Close();
    };
    rig.host.Answers = {true};
    auto s = MakeSequence(24, 700);
    EXPECT_EQ(UploadOne(rig.port, Com, kHighSpeed, "", *s), Failed(0, TSequenceOutcome::UploadError));
    EXPECT_EQ(rig.port.GetState(), 0);
    EXPECT_TRUE(DeviceFree(rig.line.SlavePath()));
}

TEST(SerialPort, RawOperationsOnAClosedPortFail) {
    TPtyRig rig;
    std::uint8_t b[4];
    EXPECT_EQ(rig.port.WriteByte(1), -1);
    EXPECT_EQ(rig.port.WriteBuffer(b, 4), -1);
    EXPECT_EQ(rig.port.ReadByte(), -1);
    EXPECT_EQ(rig.port.ReadByteTimed(1000), -1);
    EXPECT_EQ(rig.port.ReadBufferTimed(b, 4, 1000), -1);
    EXPECT_EQ(rig.port.RxCount(), -1);
    EXPECT_EQ(rig.port.TxCount(), -1);
    EXPECT_EQ(rig.port.DriverVersion(), "NA");
}

TEST(SerialPort, DialsThroughAModemWhenGivenANumber) {
    TCaptionHost host;
    TMeterPtyHost line;
    std::string heard;
    line.OnBytes = [&](const std::uint8_t* d, std::size_t n) {
        heard.append(reinterpret_cast<const char*>(d), n);
        if (heard.size() >= 2 && heard.compare(heard.size() - 2, 2, "\r\n") == 0) {
            const std::string answer = heard.rfind("ATDT") != std::string::npos ? "CONNECT 9600\r\n" : "OK\r\n";
            line.Send(reinterpret_cast<const std::uint8_t*>(answer.data()), answer.size());
        }
    };
    SetComDevice(Com, line.SlavePath());
    TPortCOM port;
    port.Timing = TLinkTiming().Scaled(0.01);
    host.Answers = {true};
    EXPECT_EQ(port.Open(Com, kLowSpeed, 0, "ATS0=0", false, "5550123"), Com);
    EXPECT_EQ(heard, "ATZ\r\nATS0=0\r\nATDT5550123\r\n");
    SetComDevice(Com, "");
}
