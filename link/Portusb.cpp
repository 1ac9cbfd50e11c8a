#include "link/Portusb.h"

#include <cstdio>

#include "link/Eventpump.h"
#include "engine/Host.h"

namespace {
// Tries to open the device, each after a short pause (USBOpenTryMs).
constexpr int kOpenTries = 501;
}  // namespace

TPortUSB::TPortUSB() : TPortVirt(kUSBLink) {}

TPortUSB::~TPortUSB() { Handle.reset(); }

int TPortUSB::DeviceCount() {
    int count = 0;
    return FtdiLibrary().DeviceCount(count) == TFtdiStatus::Ok ? count : 0;
}

TFtdiStatus TPortUSB::Check(TFtdiStatus s) {
    if (s == TFtdiStatus::Gone) {
        Handle.reset();
        SetState(-1);
    }
    return s;
}

int TPortUSB::Open(int port, int bps, int byteDelayMs, const std::string&, bool, const std::string&) {
    ByteDelayMs = byteDelayMs;
    Handle.reset();
    SetState(-1);
    while (DeviceCount() == 0) {
        if (!Host().Ask("Connect USB link between computer and RESKON,\nthen press < OK > button", "Communication"))
            return 0;
    }
    for (int tries = 0; tries < kOpenTries && !Handle; ++tries) {
        Pause(Timing.USBOpenTryMs);
        Handle = FtdiLibrary().Open(0);
    }
    if (Handle) {
        Check(Handle->SetDtr(false));
        if (Handle) Check(Handle->SetRts(false));
    }
    Wait(1);
    if (!Handle) return 0;
    Speed = bps;
    if (Check(Handle->SetBaudRate(bps)) == TFtdiStatus::Gone) return 0;
    if (Check(Handle->SetTimeouts(Timing.USBDriverLimitMs, Timing.USBDriverLimitMs)) == TFtdiStatus::Gone) return 0;
    SetState(port);
    Dtr = Rts = 1;
    if (Check(Handle->SetDtr(true)) == TFtdiStatus::Gone) return 0;
    if (Check(Handle->SetRts(true)) == TFtdiStatus::Gone) return 0;
    SendDataCharacteristics();
    if (!Handle) return 0;
    Pause(Timing.USBSettleMs);
    return State;
}

void TPortUSB::Close() {
    if (State <= 0) return;
    SetDtr(0);
    SetRts(0);
    Wait(1);
    Handle.reset();
    SetState(0);
    WaitCursor(false);
}

void TPortUSB::FlushInput() {
    if (Handle) Check(Handle->Purge(1));
    Host().ProcessMessages();
}

void TPortUSB::ClearTxBuffer() {
    if (Live()) Check(Handle->Purge(2));
}

int TPortUSB::WriteByte(std::uint8_t b) {
    if (!Live()) return -1;
    int written = 0;
    return Check(Handle->Write(&b, 1, written)) == TFtdiStatus::Ok && written == 1 ? 0 : -1;
}

int TPortUSB::WriteBuffer(const void* data, int n) {
    if (!Live()) return -1;
    int written = 0;
    if (Check(Handle->Write(static_cast<const std::uint8_t*>(data), n, written)) != TFtdiStatus::Ok) return -1;
    return written > 0 ? written : -1;
}

int TPortUSB::ReadBufferTimed(void* buf, int n, int timeoutMs) {
    if (!Live()) return -1;
    if (n <= 0) return 0;
    Check(Handle->SetTimeouts(timeoutMs, Timing.USBDriverLimitMs));
    // The driver's read would block for the whole limit; waiting here keeps the window alive
    // and lets Cancel end the read.
    WaitRx(n, timeoutMs);
    if (!Handle) return 0;
    int got = 0;
    if (Check(Handle->Read(static_cast<std::uint8_t*>(buf), n, got)) != TFtdiStatus::Ok) return 0;
    return got;
}

int TPortUSB::ReadByteTimed(int timeoutMs) {
    if (!Live()) return -1;
    Check(Handle->SetTimeouts(timeoutMs, Timing.USBDriverLimitMs));
    if (WaitRx(1, timeoutMs) != TWaitEnd::Ready) return -1;
    return ReadByte();
}

int TPortUSB::ReadByte() {
    if (!Live()) return -1;
    std::uint8_t b = 0;
    int got = 0;
    if (Check(Handle->Read(&b, 1, got)) != TFtdiStatus::Ok || got != 1) return -1;
    return b;
}

int TPortUSB::RxCount() {
    if (!Live()) return -1;
    std::uint32_t n = 0;
    if (Check(Handle->GetQueueStatus(n)) != TFtdiStatus::Ok) return IsOpen() ? 0 : -1;
    return static_cast<int>(n);
}

int TPortUSB::TxCount() {
    if (!Live()) return -1;
    std::uint32_t rx = 0, tx = 0, events = 0;
    if (Check(Handle->GetStatus(rx, tx, events)) != TFtdiStatus::Ok) return IsOpen() ? 0 : -1;
    return static_cast<int>(tx);
}

void TPortUSB::SetBaudRate(int value) {
    if (!Live()) return;
    Speed = value;
    Check(Handle->SetBaudRate(value));
}

void TPortUSB::SendDataCharacteristics() {
    if (Handle)
        Check(Handle->SetDataCharacteristics(static_cast<std::uint8_t>(DataBits), static_cast<std::uint8_t>(StopBits),
                                             static_cast<std::uint8_t>(Parity)));
}

void TPortUSB::SetParity(int value) {
    if (!Live()) return;
    Parity = value >= 1 && value <= 4 ? value : 0;
    SendDataCharacteristics();
}

void TPortUSB::SetDataBits(int value) {
    if (!Live()) return;
    DataBits = value == 7 ? 7 : 8;
    SendDataCharacteristics();
}

void TPortUSB::SetStopBits(int value) {
    if (!Live()) return;
    StopBits = value == 2 ? 2 : 0;
    SendDataCharacteristics();
}

// At most one flow flag is set; NoFlow is set exactly when none is.
void TPortUSB::SetFlow(int& flag, int value, std::uint16_t mode) {
    XonXoff = DtrDsr = RtsCts = 0;
    flag = value != 0 ? 1 : 0;
    NoFlow = 1 - flag;
    const bool xon = flag && mode == 0x400;
    Check(Handle->SetFlowControl(flag ? mode : 0, xon ? 0x11 : 0, xon ? 0x13 : 0));
}

void TPortUSB::SetXonXoff(int value) {
    if (Live()) SetFlow(XonXoff, value, 0x400);
}

void TPortUSB::SetDtrDsr(int value) {
    if (Live()) SetFlow(DtrDsr, value, 0x200);
}

void TPortUSB::SetRtsCts(int value) {
    if (Live()) SetFlow(RtsCts, value, 0x100);
}

void TPortUSB::SetDtr(int value) {
    if (!Live()) return;
    Dtr = value;
    Check(Handle->SetDtr(value != 0));
}

void TPortUSB::SetRts(int value) {
    if (!Live()) return;
    Rts = value;
    Check(Handle->SetRts(value != 0));
}

int TPortUSB::GetDsr() {
    if (!Handle) return 0;
    std::uint32_t status = 0;
    if (Check(Handle->GetModemStatus(status)) != TFtdiStatus::Ok) return 0;
    return (status & 0x20) ? 1 : 0;
}

void TPortUSB::SetLatency(int ms) {
    if (Handle) Check(Handle->SetLatencyTimer(ms));
}

std::string TPortUSB::DriverVersion() {
    if (!Live()) return "NA";
    std::uint32_t drv = 0, lib = 0;
    if (Check(Handle->GetDriverVersion(drv)) != TFtdiStatus::Ok) return "Unknown";
    char text[64];
    auto b = [](std::uint32_t v, int i) { return static_cast<unsigned>((v >> (8 * i)) & 0xFF); };
    if (FtdiLibrary().GetLibraryVersion(lib) == TFtdiStatus::Ok)
        std::snprintf(text, sizeof text, "DRV v%x.%02x.%02x\nDLL v%x.%02x.%02x", b(drv, 2), b(drv, 1), b(drv, 0),
                      b(lib, 2), b(lib, 1), b(lib, 0));
    else
        std::snprintf(text, sizeof text, "DRV v%x.%02x.%02x", b(drv, 2), b(drv, 1), b(drv, 0));
    return text;
}

void TPortUSB::PollIo(int ms) {
    // Draining the converter while waiting keeps its small receive buffer from overflowing.
    if (Live()) {
        if (Check(Handle->Poll(ms)) == TFtdiStatus::Ok) return;
    }
    PumpEvents(ms);
}
