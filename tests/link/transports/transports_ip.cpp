// The TCP/IP port against the simulated meter on 127.0.0.1.
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <vector>

#include "tests/support/MeterLinks.h"
#include "link/Portip.h"
#include "tests/link/transports/TransportRig.h"

namespace {

const std::string IPPrompt = "Connect Netvane on RESKON \nthen press < OK > button";

struct TTcpRig {
    TCaptionHost host;
    TMeterSim meter;
    TMeterTcpHost link;
    TPortIP port;

    TTcpRig() {
        AttachMeter(link, meter);
        port.Timing = TLinkTiming().Scaled(0.01);
        port.TcpPort = link.Port();
    }
};

// A listener on 127.0.0.1 that never accepts, with its accept queue filled: the kernel then
// drops new connection requests instead of refusing them.
class TFullListener {
public:
    TFullListener() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::listen(listener_, 0) != 0)
            return;
        socklen_t len = sizeof a;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        // Fill the queue; the last of these stays pending itself.
        for (int i = 0; i < 3; ++i) {
            int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
            fillers_.push_back(fd);
        }
        // The first filler's handshake completes into the queue; wait for it.
        pollfd first{fillers_[0], POLLOUT, 0};
        ::poll(&first, 1, 1000);
    }
    ~TFullListener() {
        for (int fd : fillers_) ::close(fd);
        if (listener_ >= 0) ::close(listener_);
    }
    bool Ready() const { return port_ != 0; }
    quint16 Port() const { return port_; }

private:
    int listener_ = -1;
    quint16 port_ = 0;
    std::vector<int> fillers_;
};

// Connection attempts the port makes, counted on its socket.
void CountAttempts(TPortIP& port, int& attempts) {
    QObject::connect(port.Socket.get(), &QTcpSocket::stateChanged, [&attempts](QAbstractSocket::SocketState s) {
        if (s == QAbstractSocket::ConnectingState) ++attempts;
    });
}

}  // namespace

TEST(IPPort, UploadsASequenceOverLoopback) {
    TTcpRig rig;
    rig.host.Answers = {true};
    auto s = MakeSequence(30, 900, 5);
    EXPECT_EQ(UploadOne(rig.port, kIPPortNumber, kHighSpeed, "127.0.0.1", *s), Stored(0, 0));
    ASSERT_EQ(rig.meter.Images.size(), 1u);
    ExpectImageOf(*s, rig.meter.Images[0]);
    EXPECT_EQ(rig.meter.Commands, Bytes({0xBB, 0x00}));
    EXPECT_EQ(rig.host.Questions, std::vector<std::string>{IPPrompt});
    EXPECT_EQ(rig.host.Captions, std::vector<std::string>{"connect to 127.0.0.1"});
    EXPECT_EQ(rig.port.GetState(), 0);
}

TEST(IPPort, EmptyAddressMeansTheMetersAccessPoint) {
    TTcpRig rig;
    rig.host.Answers = {false};
    EXPECT_EQ(rig.port.Open(kIPPortNumber, kHighSpeed, 0, "", false, ""), 0);
    EXPECT_EQ(rig.host.Captions, std::vector<std::string>{std::string("connect to ") + DefaultIPAddress});
    EXPECT_EQ(rig.port.GetState(), -1);
}

TEST(IPPort, NoListenerFourAttemptsThenTheMessage) {
    TTcpRig rig;
    rig.port.TcpPort = UnusedTcpPort();
    int attempts = 0;
    CountAttempts(rig.port, attempts);
    rig.host.Answers = {true};
    EXPECT_EQ(rig.port.Open(kIPPortNumber, kHighSpeed, 0, "", false, "127.0.0.1"), 0);
    EXPECT_EQ(attempts, 4);
    EXPECT_EQ(rig.host.Messages, std::vector<std::string>{"Unable to connect to 127.0.0.1"});
    EXPECT_EQ(rig.port.DriverVersion(), "Not connected");
    EXPECT_EQ(rig.port.GetState(), 0);
}

TEST(IPPort, AnAddressThatDoesNotAnswerIsGivenUpInTime) {
    TTcpRig rig;
    // A loopback listener whose accept queue is full drops further connection requests, so
    // the attempts hang until our limit, as with a meter out of reach.
    TFullListener silent;
    ASSERT_TRUE(silent.Ready());
    rig.port.TcpPort = silent.Port();
    rig.port.ConnectLimitMs = 50;
    int attempts = 0;
    CountAttempts(rig.port, attempts);
    rig.host.Answers = {true};
    EXPECT_EQ(rig.port.Open(kIPPortNumber, kHighSpeed, 0, "", false, "127.0.0.1"), 0);
    EXPECT_EQ(attempts, 4);
    EXPECT_EQ(rig.host.Messages, std::vector<std::string>{"Unable to connect to 127.0.0.1"});
}

TEST(IPPort, OpenOnAConnectedSocketConnectsAgain) {
    TTcpRig rig;
    rig.host.Answers = {true, true};
    EXPECT_EQ(rig.port.Open(kIPPortNumber, kHighSpeed, 0, "", false, "127.0.0.1"), kIPPortNumber);
    EXPECT_EQ(rig.port.Open(kIPPortNumber, kHighSpeed, 0, "", false, "127.0.0.1"), kIPPortNumber);
    EXPECT_EQ(rig.link.Connections(), 2);
    EXPECT_EQ(rig.port.DriverVersion(), "127.0.0.1");
    rig.port.Close();
    EXPECT_EQ(rig.port.GetState(), 0);
    rig.host.Answers = {true};
    EXPECT_EQ(rig.port.Open(kIPPortNumber, kHighSpeed, 0, "", false, "127.0.0.1"), kIPPortNumber);
}

TEST(IPPort, MeterHangingUpMidTransferEndsTheUpload) {
    TTcpRig rig;
    rig.meter.Knobs.HangUpAt = {3, 2};
    rig.host.Answers = {true};
    auto s = MakeSequence(30, 900);
    EXPECT_EQ(UploadOne(rig.port, kIPPortNumber, kHighSpeed, "127.0.0.1", *s),
              Failed(0, TSequenceOutcome::UploadError));
    EXPECT_EQ(rig.port.GetState(), -1);
    try {
        rig.port.GetCom();
        ADD_FAILURE() << "GetCom on a lost link returned";
    } catch (const EPortError& e) {
        EXPECT_STREQ(e.what(), "Port err. get IP");
    }
}

TEST(IPPort, WritingAfterTheMeterHungUpDoesNotKillTheProgram) {
    TTcpRig rig;
    rig.host.Answers = {true};
    ASSERT_EQ(rig.port.Open(kIPPortNumber, kHighSpeed, 0, "", false, "127.0.0.1"), kIPPortNumber);
    PumpUntil([&] { return rig.link.Connected(); });
    rig.link.HangUp();
    // Before the port has seen the hang-up, its writes meet a reset connection.
    std::uint8_t block[512] = {};
    for (int i = 0; i < 20; ++i) {
        rig.port.WriteBuffer(block, sizeof block);
        rig.port.WriteByte(0x40);
        rig.port.Wait(1);
    }
    PumpUntil([&] { return rig.port.GetState() < 0; });
    EXPECT_EQ(rig.port.GetState(), -1);
    rig.port.PutCom(0x40);  // nothing happens on a lost link
    rig.port.PutBuffer(block, sizeof block);
}

TEST(IPPort, CancelEndsAWaitAtOnce) {
    TTcpRig rig;
    rig.port.Timing.GetComLimitMs = 600000;  // only the Cancel can end the wait
    rig.meter.Knobs.SilenceAt = {3, 2};
    rig.host.OnProcess = [&] {
        if (rig.meter.Phase() == TMeterSim::TPhase::Silent) rig.port.Close();
    };
    rig.host.Answers = {true};
    auto s = MakeSequence(30, 900);
    EXPECT_EQ(UploadOne(rig.port, kIPPortNumber, kHighSpeed, "127.0.0.1", *s),
              Failed(0, TSequenceOutcome::UploadError));
    EXPECT_EQ(rig.port.GetState(), 0);
}

TEST(IPPort, ClosedPort) {
    TTcpRig rig;
    std::uint8_t b[4] = {};
    EXPECT_EQ(rig.port.WriteByte(1), -1);
    EXPECT_EQ(rig.port.ReadByte(), -1);
    EXPECT_EQ(rig.port.ReadByteTimed(1000), -1);
    EXPECT_EQ(rig.port.ReadBufferTimed(b, 4, 1000), -1);
    EXPECT_EQ(rig.port.RxCount(), -1);
    EXPECT_EQ(rig.port.TxCount(), -1);
    rig.port.PutCom(1);  // does nothing
    EXPECT_THROW(rig.port.GetCom(), EPortError);
    EXPECT_EQ(rig.port.DriverVersion(), "Not connected");
    EXPECT_EQ(rig.port.GetPortNumber(), rig.link.Port());
    EXPECT_EQ(rig.port.GetBaudRate(), kHighSpeed);
}
