// The block transfer: segmentation, the bytes on the wire, resends, requests out of order.
#include <gtest/gtest.h>

#include <numeric>

#include "tests/link/LinkRig.h"

namespace {

std::vector<std::uint8_t> Image(int n) {
    std::vector<std::uint8_t> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + 3);
    return v;
}

std::vector<std::uint16_t> Numbers(int from, int to) {
    std::vector<std::uint16_t> v;
    for (int i = from; i <= to; ++i) v.push_back(static_cast<std::uint16_t>(i));
    return v;
}

std::vector<std::uint16_t> Concat(std::vector<std::uint16_t> a, const std::vector<std::uint16_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class TRecordingProgress : public TProgressSink {
public:
    int Min = -1, Max = -1, Pos = 0;
    std::vector<int> Positions;
    void SetRange(int minimum, int maximum) override {
        Min = minimum;
        Max = maximum;
    }
    void SetPosition(int position) override {
        Pos = position;
        Positions.push_back(position);
    }
    int Position() const override { return Pos; }
};

class TRecordingIndicator : public TIndicatorSink {
public:
    explicit TRecordingIndicator(const TRecordingHost& h) : host(h) {}
    struct TCall {
        bool visible;
        int cursorDepth;  // the hourglass when the call came
    };
    std::vector<TCall> Calls;
    void SetVisible(bool visible) override { Calls.push_back({visible, host.WaitCursorDepth}); }

private:
    const TRecordingHost& host;
};

TEST(Blocks, SegmentationAndRequestNumbers) {
    struct TCase {
        int size;
        std::vector<std::uint16_t> lengths;
        std::vector<std::uint16_t> requests;
    };
    std::vector<std::uint16_t> full(242, 528);
    full.push_back(224);  // 128000 = 242 x 528 + 224
    const TCase cases[] = {
        {1, {1}, {1, 2}},
        {136, {136}, {1, 2}},
        {527, {527}, {1, 2}},
        {528, {528}, {1, 2}},
        {529, {528, 1}, {1, 2, 3}},
        {128000, full, Concat(Numbers(1, 127), Numbers(1, 117))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        TLinkRig rig;
        const auto image = Image(c.size);
        rig.meter.BeginTransfers(1);
        rig.port.UploadBuffer(image.data(), c.size, nullptr, nullptr);
        ASSERT_EQ(rig.meter.Transfers.size(), 1u);
        const auto& t = rig.meter.Transfers[0];
        EXPECT_TRUE(t.Complete);
        EXPECT_EQ(t.Announced, static_cast<std::uint32_t>(c.size));
        EXPECT_EQ(t.Data, image);
        EXPECT_EQ(t.BlockLengths, c.lengths);
        EXPECT_EQ(t.Requests, c.requests);
        EXPECT_EQ(t.BadChecksums, 0);
        EXPECT_EQ(t.EchoErrors, 0);
        EXPECT_EQ(rig.host.WaitCursorDepth, 0);
        EXPECT_EQ(rig.port.Stream, image) << "the stream keeps the image";
    }
}

// The first block of a 136-byte image, byte for byte.
TEST(Blocks, WorkedExampleOnTheWire) {
    TLinkRig rig;
    const auto image = Image(136);
    rig.meter.BeginTransfers(1);
    rig.port.UploadBuffer(image.data(), 136, nullptr, nullptr);
    const unsigned sum = 0x88 + std::accumulate(image.begin(), image.end(), 0u);
    std::vector<std::uint8_t> expect = Bytes({0x55, 0x00, 0x88, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x22});
    expect.insert(expect.end(), image.begin(), image.end());
    expect.push_back(static_cast<std::uint8_t>(sum));
    expect.push_back(static_cast<std::uint8_t>(sum >> 8));
    expect.push_back(0x02);
    expect.push_back(0x00);
    EXPECT_EQ(rig.meter.Transfers[0].FromHost, expect);
    EXPECT_EQ(rig.meter.Received, expect);
}

TEST(Blocks, LengthWordOfAFullBlock) {
    TLinkRig rig;
    const auto image = Image(528);
    rig.meter.BeginTransfers(1);
    rig.port.UploadBuffer(image.data(), 528, nullptr, nullptr);
    const auto& w = rig.meter.Transfers[0].FromHost;
    ASSERT_GT(w.size(), 12u);
    EXPECT_EQ(Bytes({w[2], w[3], w[4], w[5]}), Bytes({0x10, 0x02, 0x00, 0x00}));  // 528
    EXPECT_EQ(Bytes({w[8], w[9]}), Bytes({0x00, 0x84}));                          // 528 x 64
}

TEST(Blocks, StartBytesAreEchoedUpToTheZero) {
    TLinkRig rig;
    rig.meter.Knobs.StartBytes = Bytes({'R', 'D', 'Y', 0x00});
    const auto image = Image(5);
    rig.meter.BeginTransfers(1);
    rig.port.UploadBuffer(image.data(), 5, nullptr, nullptr);
    const auto& w = rig.meter.Transfers[0].FromHost;
    EXPECT_EQ(Bytes({w[0], w[1], w[2], w[3]}), Bytes({'R', 'D', 'Y', 0x00}));
    EXPECT_EQ(rig.meter.Transfers[0].Data, image);
}

TEST(Blocks, BadChecksumIsAnsweredWithTheSameBlockAgain) {
    struct TCase {
        int block, count;
        std::vector<std::uint16_t> requests;
        std::vector<std::uint16_t> lengths;
    };
    const TCase cases[] = {
        {1, 1, {1, 1, 2, 3}, {528, 528, 72}},
        {2, 2, {1, 2, 2, 2, 3}, {528, 72, 72, 72}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        TLinkRig rig;
        rig.meter.Knobs.BadChecksumAt = {0, c.block};
        rig.meter.Knobs.BadChecksumCount = c.count;
        const auto image = Image(600);
        rig.meter.BeginTransfers(1);
        rig.port.UploadBuffer(image.data(), 600, nullptr, nullptr);
        const auto& t = rig.meter.Transfers[0];
        EXPECT_EQ(t.Requests, c.requests);
        EXPECT_EQ(t.BlockLengths, c.lengths);
        EXPECT_EQ(t.BadChecksums, c.count);
        EXPECT_EQ(t.Data, image);
        EXPECT_TRUE(t.Complete);
    }
}

// Requests out of order get their echo only; from the 5th in a row the hourglass goes and
// the indicator shows at every one.
TEST(Blocks, WrongBlockNumbersAreEchoedOnly) {
    TLinkRig rig;
    rig.meter.Knobs.WrongRequestAt = {0, 2};
    rig.meter.Knobs.WrongRequestCount = 6;
    TRecordingIndicator indicator(rig.host);
    const auto image = Image(1000);
    rig.meter.BeginTransfers(1);
    rig.port.UploadBuffer(image.data(), 1000, &indicator, nullptr);

    const auto& t = rig.meter.Transfers[0];
    EXPECT_EQ(t.Requests, Concat({1}, Concat(std::vector<std::uint16_t>(6, 5), {2, 3})));
    EXPECT_EQ(t.Data, image);
    EXPECT_EQ(t.BlockLengths, (std::vector<std::uint16_t>{528, 472}));
    // start 2, length 4, two blocks of echo + word + data + checksum, six echoes, the last echo
    EXPECT_EQ(t.FromHost.size(), 2u + 4 + (2 + 2 + 528 + 2) + 6 * 2 + (2 + 2 + 472 + 2) + 2);

    ASSERT_EQ(indicator.Calls.size(), 9u);
    EXPECT_FALSE(indicator.Calls[0].visible);  // request 1
    for (int i = 1; i <= 6; ++i) EXPECT_TRUE(indicator.Calls[static_cast<std::size_t>(i)].visible);
    EXPECT_EQ(indicator.Calls[4].cursorDepth, 1) << "4th wrong request: hourglass kept";
    EXPECT_EQ(indicator.Calls[5].cursorDepth, 0) << "5th wrong request: default cursor";
    EXPECT_FALSE(indicator.Calls[7].visible);  // request 2
    EXPECT_EQ(rig.host.WaitCursorDepth, 0);
}

TEST(Blocks, ProgressStepsPerBlockAndEachBlockGoesInOneWrite) {
    TLinkRig rig;
    TRecordingProgress progress;
    const auto image = Image(1200);
    rig.meter.BeginTransfers(1);
    rig.port.UploadBuffer(image.data(), 1200, nullptr, &progress);
    EXPECT_EQ(progress.Min, 0);
    EXPECT_EQ(progress.Max, 1200);
    EXPECT_EQ(progress.Positions, (std::vector<int>{0, 528, 1056, 1200, 0}));
    EXPECT_EQ(rig.meter.Transfers[0].Data, image);
    // Far fewer writes than bytes: a block is one write, whatever its length.
    EXPECT_LT(rig.port.WriteCalls, 30);
}

TEST(Blocks, EmptyStreamShowsErrBufferAndSendsNothing) {
    TLinkRig rig;
    rig.port.UploadBuffer(nullptr, 100, nullptr, nullptr);
    const auto image = Image(10);
    rig.port.UploadBuffer(image.data(), 0, nullptr, nullptr);
    EXPECT_EQ(rig.host.Messages, (std::vector<std::string>{"Err. Buffer", "Err. Buffer"}));
    EXPECT_TRUE(rig.meter.Received.empty());
}

TEST(Blocks, NullDataSendsTheStreamAgain) {
    TLinkRig rig;
    const auto image = Image(40);
    rig.meter.BeginTransfers(2);
    rig.port.UploadBuffer(image.data(), 40, nullptr, nullptr);
    rig.port.UploadBuffer(nullptr, 0, nullptr, nullptr);
    ASSERT_EQ(rig.meter.Transfers.size(), 2u);
    EXPECT_EQ(rig.meter.Transfers[1].Data, image);
    EXPECT_TRUE(rig.host.Messages.empty());
}

TEST(Blocks, SilenceOrHangUpDuringATransferThrows) {
    for (bool hangUp : {false, true}) {
        SCOPED_TRACE(hangUp ? "hang-up" : "silence");
        TLinkRig rig;
        TRecordingProgress progress;
        (hangUp ? rig.meter.Knobs.HangUpAt : rig.meter.Knobs.SilenceAt) = {0, 2};
        const auto image = Image(1200);
        rig.meter.BeginTransfers(1);
        try {
            rig.port.UploadBuffer(image.data(), 1200, nullptr, &progress);
            FAIL() << "no exception";
        } catch (const EPortError& e) {
            EXPECT_STREQ(e.what(), "Port err. Getcom");
        }
        EXPECT_EQ(progress.Pos, 528) << "the bar keeps its position";
        EXPECT_EQ(rig.host.WaitCursorDepth, 0);
    }
}

TEST(Blocks, Checksum16) {
    EXPECT_EQ(TPortVirt::Checksum16("abc", 3), 294);
    const std::vector<std::uint8_t> ff(258, 0xFF);  // 65790 wraps to 254
    EXPECT_EQ(TPortVirt::Checksum16(ff.data(), 258), 254);
    EXPECT_EQ(TPortVirt::Checksum16(nullptr, 0), 0);
}

}  // namespace
