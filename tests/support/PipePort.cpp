#include "tests/support/PipePort.h"

#include <algorithm>
#include <chrono>
#include <thread>

TPortPipe::TPortPipe(TMeterSim& meter, const TLinkTraits& traits) : TPortMemory(traits), Meter(meter) {}

TPortPipe::~TPortPipe() = default;

int TPortPipe::Open(int port, int bps, int byteDelayMs, const std::string&, bool, const std::string&) {
    return OpenAs(port, bps, byteDelayMs);
}

int TPortPipe::WriteByte(std::uint8_t b) {
    if (!IsOpen()) return -1;
    ++WriteCalls;
    if (!Meter.HungUp()) Meter.Feed(b);
    return 0;
}

int TPortPipe::WriteBuffer(const void* data, int n) {
    if (!IsOpen()) return -1;
    ++WriteCalls;
    if (!Meter.HungUp()) Meter.Feed(static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(n));
    return n;
}

int TPortPipe::RxCount() {
    if (!IsOpen()) return -1;
    return static_cast<int>(Meter.Available());
}

int TPortPipe::ReadByteTimed(int timeoutMs) {
    if (!IsOpen()) return -1;
    // A line that went down has nothing more to give: no wait, and never a 0x00.
    if (Meter.Available() == 0 && Meter.HungUp()) return -1;
    if (WaitRx(1, timeoutMs) != TWaitEnd::Ready) return -1;
    return Meter.ReadByte();
}

int TPortPipe::ReadBufferTimed(void* buf, int n, int timeoutMs) {
    if (!IsOpen()) return -1;
    if (n <= 0) return 0;
    if (!Meter.HungUp()) WaitRx(n, timeoutMs);
    if (!IsOpen()) return -1;
    return static_cast<int>(Meter.Read(static_cast<std::uint8_t*>(buf), static_cast<std::size_t>(n)));
}

int TPortPipe::ReadByte() {
    if (!IsOpen()) return -1;
    return Meter.ReadByte();
}

void TPortPipe::SetBaudRate(int value) {
    TPortMemory::SetBaudRate(value);
    SpeedLog.push_back({value, Meter.Received.size()});
    Meter.SetLineSpeed(value);
}

bool TPortPipe::TakeLineStatusError() {
    if (LineErrorAttempts <= 0) return false;
    --LineErrorAttempts;
    return true;
}

void TPortPipe::PollIo(int ms) {
    // The meter answers as soon as it is fed, so nothing arrives while waiting: the time of
    // the wait simply passes.
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
