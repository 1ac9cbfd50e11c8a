// Command handshake, line reads and the behaviour of every wait on a closed or silent link.
#include <gtest/gtest.h>

#include "tests/link/LinkRig.h"

namespace {

struct TSetCmdCase {
    const char* name;
    int probeEchoAt;
    int silentExchanges;
    int ffAnswers;
    int foreignReply;
    bool result;
    int probes;  // probes the meter received
    int pairs;   // command/complement pairs the meter received
};

const TSetCmdCase kSetCmdCases[] = {
    {"echo on probe 1", 1, 0, 0, -1, true, 1, 1},
    {"echo on probe 78", 78, 0, 0, -1, true, 78, 1},
    {"echo on probe 79 is too late", 79, 0, 0, -1, false, 79, 0},
    {"no echo: 82 probes", 0, 0, 0, -1, false, 82, 0},
    {"six 0xFF answers", 1, 0, 6, -1, false, 1, 6},
    {"six exchanges unanswered", 1, 6, 0, -1, false, 1, 6},
    {"a foreign reply ends at once", 1, 0, 0, 0x3F, false, 1, 1},
    {"confirmation on the third exchange", 1, 0, 2, -1, true, 1, 3},
    {"confirmation on the sixth exchange", 1, 3, 2, -1, true, 1, 6},
};

TEST(SetCmd, ProbesExchangesAndResult) {
    for (const auto& c : kSetCmdCases) {
        SCOPED_TRACE(c.name);
        TLinkRig rig;
        rig.meter.EnterPrompt(false);
        rig.meter.Knobs.ProbeEchoAt = c.probeEchoAt;
        rig.meter.Knobs.SilentExchanges = c.silentExchanges;
        rig.meter.Knobs.FFAnswers = c.ffAnswers;
        rig.meter.Knobs.ForeignReply = c.foreignReply;

        EXPECT_EQ(rig.port.SetCmd(0xBB, 1), c.result);
        EXPECT_EQ(rig.CountReceived(0x40), c.probes);
        EXPECT_EQ(rig.CountReceived(0xBB), c.pairs);
        EXPECT_EQ(rig.CountReceived(0x44), c.pairs);  // the complement 0xFF - 0xBB
        EXPECT_EQ(rig.meter.Commands.size(), c.result ? 1u : 0u);
        EXPECT_EQ(rig.host.WaitCursorDepth, 0);
    }
}

TEST(SetCmd, WireOrderProbesThenCommandThenComplement) {
    TLinkRig rig;
    rig.meter.EnterPrompt(false);
    rig.meter.Knobs.ProbeEchoAt = 3;
    rig.meter.Knobs.FFAnswers = 1;
    ASSERT_TRUE(rig.port.SetCmd(0x00, 1));
    EXPECT_EQ(rig.meter.Received, Bytes({0x40, 0x40, 0x40, 0x00, 0xFF, 0x00, 0xFF}));
    EXPECT_EQ(rig.meter.Sent, Bytes({0x40, 0xFF, 0x00}));
}

TEST(SetCmd, ClosedPortThrowsAndRestoresTheCursor) {
    TLinkRig rig;
    rig.port.Close();
    try {
        rig.port.SetCmd(0xBB, 1);
        FAIL() << "no exception";
    } catch (const EPortError& e) {
        EXPECT_STREQ(e.what(), "Port err. Setcmd");
    }
    EXPECT_EQ(rig.host.WaitCursorDepth, 0);
    EXPECT_TRUE(rig.meter.Received.empty());
}

TEST(SendCmd, WaitsForThePromptThroughNoise) {
    TLinkRig rig;
    rig.meter.Knobs.NoiseBeforePrompt = 5000;
    rig.meter.EnterPrompt(true);
    rig.meter.Inject("tail");
    ASSERT_TRUE(rig.port.SendCmd(0xBB, 1));
    EXPECT_EQ(rig.meter.Commands, Bytes({0xBB}));
}

TEST(SendCmd, NoPromptStillRunsTheHandshakeAfterTheLimit) {
    TLinkRig rig;
    rig.meter.EnterPrompt(false);
    rig.meter.Inject(":");  // half a prompt
    EXPECT_TRUE(rig.port.SendCmd(0xAA, 1));
    EXPECT_EQ(rig.meter.Commands, Bytes({0xAA}));
}

TEST(WaitFor, TargetSplitAcrossReadsAndBytesAfterItStay) {
    TLinkRig rig;
    rig.meter.Inject("xxCONNXCONNECT 9600\r\n");
    EXPECT_TRUE(rig.port.WaitFor("CONNECT"));
    std::string rest;
    EXPECT_TRUE(rig.port.GetString(rest, 40, 1));
    EXPECT_EQ(rest, " 9600");
}

TEST(WaitFor, ClosedLinkFalseOrWaitErrorByLink) {
    for (const auto* traits : {&kSerialLink, &kUSBLink, &kIPLink}) {
        TLinkRig rig(*traits);
        rig.port.Close();
        if (traits->WaitForThrows) {
            EXPECT_THROW(rig.port.WaitFor(":>"), EPortError);
        } else {
            EXPECT_FALSE(rig.port.WaitFor(":>"));
        }
    }
}

struct TLineCase {
    const char* name;
    std::string line;
    int maxLen;
    bool result;
    std::string text;
    std::string left;  // what a second read of the line gives
};

TEST(GetString, LinesLimitsAndTimeouts) {
    const std::string fifty(50, 'a');
    const TLineCase cases[] = {
        {"CR and LF are not stored", "273000\r\n", 40, true, "273000", ""},
        {"a long line is cut, the rest stays", fifty + "\r\n", 40, true, std::string(40, 'a'),
         std::string(10, 'a')},
        {"CR counts towards the limit", "abc\r\n", 4, true, "abc", ""},
        {"no line end: false and empty", "abc", 40, false, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLinkRig rig;
        rig.meter.Inject(c.line);
        std::string text = "old";
        EXPECT_EQ(rig.port.GetString(text, c.maxLen, 1), c.result);
        EXPECT_EQ(text, c.text);
        std::string left;
        rig.port.GetString(left, 40, 1);
        EXPECT_EQ(left, c.left);
    }
}

TEST(GetString, ByteFFEndsALineOnTcpIpOnly) {
    for (const auto* traits : {&kSerialLink, &kIPLink}) {
        TLinkRig rig(*traits);
        rig.meter.Inject("ab\xFF" "c\n");
        std::string text;
        const bool ok = rig.port.GetString(text, 40, 1);
        EXPECT_EQ(ok, !traits->LineEndsAtFF);
        EXPECT_EQ(text, ok ? std::string("ab\xFF" "c") : std::string());
    }
}

// Every wait on a link that is not open: the text it throws with, or no exception.
TEST(ClosedLink, EveryWaitFailsAtOnceWithItsText) {
    struct TCase {
        const TLinkTraits* traits;
        const char* getcom;
        const char* putcom;  // nullptr: nothing happens
    };
    const TCase cases[] = {
        {&kSerialLink, "Port err. Getcom", "Port err. putcom"},
        {&kUSBLink, "Port err. Getcom", "Port err. putcom"},
        {&kIPLink, "Port err. get IP", nullptr},
    };
    auto textOf = [](const std::function<void()>& f) -> std::string {
        try {
            f();
        } catch (const EPortError& e) {
            return e.what();
        }
        return "";
    };
    for (const auto& c : cases) {
        TLinkRig rig(*c.traits);
        rig.port.Close();
        std::uint8_t buf[4];
        std::string s;
        EXPECT_EQ(textOf([&] { rig.port.GetCom(); }), c.getcom);
        EXPECT_EQ(textOf([&] { rig.port.GetBufferTimed(buf, 4, 1); }), c.getcom);
        EXPECT_EQ(textOf([&] { rig.port.GetBuffer(buf, 4); }), c.getcom);
        EXPECT_EQ(textOf([&] { rig.port.PutCom(0x40); }), c.putcom ? c.putcom : "");
        EXPECT_EQ(textOf([&] { rig.port.PutBuffer(buf, 4); }), c.putcom ? c.putcom : "");
        EXPECT_EQ(textOf([&] { rig.port.GetString(s, 40, 1); }), "Port err. getstring");
        EXPECT_EQ(rig.host.ProcessCalls, 0) << "a closed link is seen before any wait";
        EXPECT_TRUE(rig.meter.Received.empty());
        // Zero-length transfers touch nothing, open or closed.
        rig.port.PutBuffer(buf, 0);
        rig.port.GetBuffer(buf, 0);
        rig.port.Close();  // closing a closed port does nothing
        EXPECT_EQ(rig.port.GetState(), 0);
    }
}

// A read that gets fewer bytes than asked throws; short data is never passed on, and a line
// that went down is never read as a 0x00 byte.
TEST(ShortRead, ThrowsOnEveryLink) {
    for (const auto* traits : {&kSerialLink, &kUSBLink, &kIPLink}) {
        for (bool hangUp : {false, true}) {
            SCOPED_TRACE(std::to_string(int(traits->Kind)) + (hangUp ? " hang-up" : " time-out"));
            TLinkRig rig(*traits);
            rig.meter.Inject(std::string("\x07\x00", 2));
            if (hangUp) rig.meter.HangUp();
            std::uint8_t buf[4] = {};
            try {
                rig.port.GetBuffer(buf, 4);
                FAIL() << "short read passed";
            } catch (const EPortError& e) {
                EXPECT_STREQ(e.what(), traits->ReadError);
            }
            EXPECT_EQ(buf[0], 0x07);
            try {
                rig.port.GetCom();
                FAIL() << "a missing byte was read";
            } catch (const EPortError& e) {
                EXPECT_STREQ(e.what(), traits->ReadError);
            }
            EXPECT_EQ(rig.host.WaitCursorDepth, 0);
        }
    }
}

TEST(ShortRead, PartialDataThrowsToo) {
    TLinkRig rig;
    rig.meter.Inject(std::string("\x0C\x00", 2));
    std::uint8_t buf[4];
    EXPECT_THROW(rig.port.GetBuffer(buf, 4), EPortError);
    rig.meter.Inject(std::string("\x0C\x00", 2));
    EXPECT_EQ(rig.port.GetBufferTimed(buf, 4, 1), 2);
}

// The upload window's Cancel closes the port from inside a wait: every wait ends within one
// polling slice, with the real (five-minute) limits in force.
TEST(Cancel, EndsEveryWaitWithinOneSlice) {
    struct TWaitCase {
        const char* name;
        std::function<void(TPortPipe&)> wait;
    };
    const TWaitCase waits[] = {
        {"GetCom", [](TPortPipe& p) { p.GetCom(); }},
        {"GetBuffer", [](TPortPipe& p) { std::uint8_t b[4]; p.GetBuffer(b, 4); }},
        {"GetBufferTimed", [](TPortPipe& p) { std::uint8_t b[4]; p.GetBufferTimed(b, 4, 300000); }},
        {"GetString", [](TPortPipe& p) { std::string s; p.GetString(s, 40, 300000); }},
        {"WaitFor", [](TPortPipe& p) { p.WaitFor(":>"); }},
        {"SetCmd", [](TPortPipe& p) { p.SetCmd(0xBB, 300000); }},
        {"SendCmd", [](TPortPipe& p) { p.SendCmd(0xBB, 300000); }},
        {"Synchronize", [](TPortPipe& p) { std::string a, b; p.Synchronize(a, b); }},
        {"SendStream", [](TPortPipe& p) { std::uint8_t d[3] = {1, 2, 3}; p.UploadBuffer(d, 3, nullptr, nullptr); }},
    };
    for (const auto* traits : {&kSerialLink, &kUSBLink, &kIPLink}) {
        for (const auto& w : waits) {
            SCOPED_TRACE(std::string(w.name) + " on " + std::to_string(int(traits->Kind)));
            TLinkRig rig(*traits);
            rig.port.Timing = TLinkTiming();  // the real limits
            rig.port.Timing.SyncProbePauseMs = 0;
            rig.meter.Knobs.SyncEchoAt = 0;  // silent meter
            rig.meter.Knobs.ProbeEchoAt = 0;
            int afterClose = -1;
            rig.host.OnProcess = [&] {
                if (afterClose >= 0) {
                    ++afterClose;
                } else if (rig.host.ProcessCalls >= 3) {
                    rig.port.Close();
                    afterClose = 0;
                }
            };
            try {
                w.wait(rig.port);
            } catch (const EPortError&) {
            }
            EXPECT_GE(afterClose, 0) << "the wait ended before the Cancel";
            EXPECT_LE(afterClose, 1) << "the wait went on after the Cancel";
            EXPECT_EQ(rig.host.WaitCursorDepth, 0);
        }
    }
}

}  // namespace
