#include "link/Portip.h"

#include <QTcpSocket>

#include <chrono>
#include <csignal>

#include "link/Eventpump.h"
#include "engine/Host.h"

namespace {
constexpr int kConnectAttempts = 4;
}

TPortIP::TPortIP() : TPortVirt(kIPLink) {
    // A write to a connection the meter has reset must fail, not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        Socket = std::make_unique<QTcpSocket>();
        QTcpSocket* s = Socket.get();
        QObject::connect(s, &QTcpSocket::connected, s, [this] { State = kIPPortNumber; });
        // A dropped connection or a socket error ends every wait; neither raises anything.
        QObject::connect(s, &QTcpSocket::disconnected, s, [this] { State = -1; });
        QObject::connect(s, &QTcpSocket::errorOccurred, s, [this](QAbstractSocket::SocketError) { State = -1; });
        Pause(Timing.IPConstructMs);
    } catch (const std::exception& e) {
        Host().ShowMessage(e.what());
    }
}

TPortIP::~TPortIP() {
    State = 0;
    if (Socket) {
        Drop();
        Host().ProcessMessages();
        Pause(Timing.IPDestroyMs);
        Socket.reset();
    }
}

void TPortIP::Drop() {
    if (!Socket) return;
    // Without this, the disconnect signal of our own close would mark the link lost.
    const int keep = State;
    Socket->abort();
    State = keep;
}

int TPortIP::Open(int port, int, int, const std::string&, bool, const std::string& address) {
    Address = address.empty() ? DefaultIPAddress : address;
    StatusText = Address;
    if (!Socket) throw EPortError("Port err. no socket");
    if (Socket->state() != QAbstractSocket::UnconnectedState) Socket->abort();
    if (port == kIPPortNumber && !Host().Ask("Connect Netvane on RESKON \nthen press < OK > button", "connect to " + StatusText)) {
        State = -1;
        return 0;
    }
    State = 0;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        Socket->connectToHost(QString::fromStdString(Address), static_cast<quint16>(TcpPort));
        const auto start = std::chrono::steady_clock::now();
        // The connect signal sets State to kIPPortNumber, an error to -1.
        while (State == 0) {
            const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - start)
                                   .count();
            if (spent >= ConnectLimitMs) break;
            Host().ProcessMessages();
            PumpEvents(static_cast<int>(std::min<long long>(Timing.PollSliceMs, ConnectLimitMs - spent)));
        }
        if (State == kIPPortNumber) {
            Socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            State = port;
            return port;
        }
        State = 0;
        Drop();
        Host().ProcessMessages();
        Pause(Timing.IPConnectRetryMs);
    }
    Host().ShowMessage("Unable to connect to " + StatusText);
    StatusText = "Not connected";
    return 0;
}

void TPortIP::Close() {
    if (State > 0) {
        State = 0;
        Drop();
        Host().ProcessMessages();
        Pause(Timing.IPCloseMs);
    } else if (Socket && Socket->state() != QAbstractSocket::UnconnectedState) {
        // A link the meter dropped still holds its socket: give it back.
        Drop();
    }
}

void TPortIP::FlushInput() {
    while (IsOpen() && RxCount() >= 1) {
        if (ReadByte() < 0) break;
        Host().ProcessMessages();
    }
}

int TPortIP::WriteByte(std::uint8_t b) {
    // Nothing goes to a closed socket (a write there could only fail or raise SIGPIPE).
    if (!IsOpen() || !Socket) return -1;
    const char c = static_cast<char>(b);
    const qint64 w = Socket->write(&c, 1);
    Socket->flush();
    return static_cast<int>(w);
}

int TPortIP::WriteBuffer(const void* data, int n) {
    if (!IsOpen() || !Socket) return -1;
    const qint64 w = Socket->write(static_cast<const char*>(data), n);
    Socket->flush();
    return static_cast<int>(w);
}

int TPortIP::ReadBufferTimed(void* buf, int n, int timeoutMs) {
    if (!IsOpen() || !Socket) {
        WaitCursor(false);
        return -1;
    }
    if (n <= 0) return 0;
    WaitRx(n, timeoutMs);
    const qint64 r = Socket->read(static_cast<char*>(buf), n);
    return r > 0 ? static_cast<int>(r) : 0;
}

int TPortIP::ReadByteTimed(int timeoutMs) {
    if (!IsOpen() || !Socket) {
        WaitCursor(false);
        return -1;
    }
    if (WaitRx(1, timeoutMs) != TWaitEnd::Ready) return -1;
    return ReadByte();
}

int TPortIP::ReadByte() {
    if (!IsOpen() || !Socket || Socket->bytesAvailable() < 1) return -1;
    char c = 0;
    return Socket->read(&c, 1) == 1 ? static_cast<std::uint8_t>(c) : -1;
}

int TPortIP::RxCount() { return IsOpen() && Socket ? static_cast<int>(Socket->bytesAvailable()) : -1; }

void TPortIP::PollIo(int ms) { PumpEvents(ms); }
