// Meeting the meter: the probe echo, the speed fallback, the ESC recovery and the two lines.
#include <gtest/gtest.h>

#include "tests/link/LinkRig.h"

namespace {

using TSpeeds = std::vector<TPortPipe::TSpeedChange>;

TEST(Synchronize, ReadsSpeedNameAndLeavesTheVersion) {
    for (const auto* traits : {&kSerialLink, &kUSBLink, &kIPLink}) {
        TLinkRig rig(*traits);
        rig.meter.Inject("zz\x40");  // stale bytes: drained before the first probe
        rig.meter.Knobs.Version = 0x20000007;
        std::string name(40, 'Z'), speed(40, 'Z');
        ASSERT_TRUE(rig.port.Synchronize(name, speed));
        EXPECT_EQ(name, "RESKON");
        EXPECT_EQ(speed, traits->SpeedIsAddress ? "127.0.0.1" : "273000");
        EXPECT_EQ(rig.meter.Received, Bytes({0x40}));
        std::uint8_t v[4];
        rig.port.GetBuffer(v, 4);
        EXPECT_EQ(v[0] | v[1] << 8 | v[2] << 16 | v[3] << 24, 0x20000007);
        EXPECT_TRUE(rig.port.WaitPrompt());
        EXPECT_TRUE(rig.host.Messages.empty());
    }
}

// The meter answers the n-th probe. An echo is a success at the speed in use, even on the
// attempt at which the speed would change or ESC would be sent.
TEST(Synchronize, EchoOnAttemptN) {
    struct TCase {
        const TLinkTraits* traits;
        int echoAt;
        TSpeeds speeds;
    };
    const TCase cases[] = {
        {&kSerialLink, 1, {{kHighSpeed, 0}}},
        {&kSerialLink, 10, {{kHighSpeed, 0}}},
        {&kSerialLink, 11, {{kHighSpeed, 0}}},
        {&kSerialLink, 12, {{kHighSpeed, 0}, {38400, 11}}},
        {&kSerialLink, 20, {{kHighSpeed, 0}, {38400, 11}}},
        {&kUSBLink, 11, {{kHighSpeed, 0}}},
        {&kUSBLink, 20, {{kHighSpeed, 0}, {115200, 11}}},
        {&kIPLink, 20, {{kHighSpeed, 0}}},
        {&kIPLink, 21, {{kHighSpeed, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(int(c.traits->Kind)) + " echo at " + std::to_string(c.echoAt));
        TLinkRig rig(*c.traits);
        rig.meter.Knobs.SyncEchoAt = c.echoAt;
        std::string name, speed;
        ASSERT_TRUE(rig.port.Synchronize(name, speed));
        EXPECT_EQ(name, "RESKON");
        EXPECT_EQ(rig.port.SpeedLog, c.speeds);
        EXPECT_EQ(rig.CountReceived(0x40), c.echoAt);
        EXPECT_EQ(rig.CountReceived(0x1B), 0) << "no ESC after an echo";
    }
}

TEST(Synchronize, MeterListeningAtTheFallbackSpeedOnly) {
    TLinkRig rig;
    rig.meter.Knobs.RequiredSpeed = 38400;
    std::string name, speed;
    ASSERT_TRUE(rig.port.Synchronize(name, speed));
    EXPECT_EQ(rig.CountReceived(0x40), 12);
    EXPECT_EQ(rig.port.SpeedLog, (TSpeeds{{kHighSpeed, 0}, {38400, 11}}));
}

// A meter that answers at no speed: attempts at the chosen speed, at the fallback speed, the
// speed set back, the ESC handshake (82 unanswered probes), and the cycle again.
TEST(Synchronize, RecoveryCycleWhenTheMeterNeverAnswers) {
    struct TCase {
        const TLinkTraits* traits;
        TSpeeds speeds;  // over two cycles, where the link has a second one
        bool endsByItself;
    };
    const TCase cases[] = {
        {&kSerialLink,
         {{kHighSpeed, 0}, {38400, 11}, {kHighSpeed, 20}, {38400, 102 + 11}, {kHighSpeed, 102 + 20}},
         false},
        {&kUSBLink, {{kHighSpeed, 0}, {115200, 11}, {kHighSpeed, 20}}, true},
        {&kIPLink, {{kHighSpeed, 0}}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.traits->Kind));
        TLinkRig rig(*c.traits);
        rig.meter.Knobs.SyncEchoAt = 0;
        rig.meter.Knobs.ProbeEchoAt = 0;
        // Cancel once two whole cycles are on the wire.
        rig.host.OnProcess = [&] {
            if (rig.CountReceived(0x40) >= 2 * 102 + 1) rig.port.Close();
        };
        std::string name = "n", speed = "s";
        EXPECT_FALSE(rig.port.Synchronize(name, speed));
        EXPECT_EQ(rig.port.SpeedLog, c.speeds);
        EXPECT_EQ(rig.CountReceived(0x1B), 0) << "an unanswered ESC handshake sends no command";
        if (c.endsByItself) {
            // The failed ESC handshake ends it: the attempts, then 82 probes.
            EXPECT_EQ(rig.CountReceived(0x40), c.traits->EscAttempt + 82);
            EXPECT_TRUE(rig.host.Messages.empty());
        } else {
            EXPECT_EQ(rig.host.Messages, std::vector<std::string>{"Unknown Baudrate"});
        }
    }
}

// The meter comes back to its menu on ESC: the next probe meets it.
TEST(Synchronize, RecoveryByEsc) {
    for (const auto* traits : {&kSerialLink, &kUSBLink, &kIPLink}) {
        SCOPED_TRACE(int(traits->Kind));
        TLinkRig rig(*traits);
        rig.meter.Knobs.SyncEchoAt = 25;  // wakes up during the ESC handshake's probes
        std::string name, speed;
        ASSERT_TRUE(rig.port.Synchronize(name, speed));
        EXPECT_EQ(rig.meter.Commands, Bytes({0x1B}));
        EXPECT_EQ(name, "RESKON");
        EXPECT_EQ(rig.port.GetBaudRate(), kHighSpeed) << "the chosen speed is set back for the ESC";
    }
}

TEST(Synchronize, TheTwoLinesAndTheirLimits) {
    struct TCase {
        const char* name;
        std::string greeting;  // what follows the echo
        bool result;
        std::string speed, meterName;
    };
    const std::string long45(45, '9');
    const TCase cases[] = {
        {"both lines", "19200\r\nDUNEL\r\n", true, "19200", "DUNEL"},
        {"a speed line of 45: the rest is taken as the name", long45 + "\r\nDUNEL\r\n", true,
         std::string(40, '9'), "99999"},
        {"no line at all", "", false, "", "x"},
        {"only the speed line", "19200\r\n", false, "19200", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLinkRig rig;
        rig.meter.Knobs.SyncEchoAt = 0;
        bool injected = false;
        // The meter's answer, put on the line once the probe has gone out.
        rig.host.OnProcess = [&] {
            if (!injected && !rig.meter.Received.empty()) {
                rig.meter.Inject("\x40" + c.greeting);
                injected = true;
            }
        };
        std::string name = "x", speed = "x";
        EXPECT_EQ(rig.port.Synchronize(name, speed), c.result);
        EXPECT_EQ(speed, c.speed);
        EXPECT_EQ(name, c.meterName);
        EXPECT_TRUE(rig.host.Messages.empty());
    }
}

}  // namespace
