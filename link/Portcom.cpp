#include "link/Portcom.h"

#include <exception>

#include "link/Eventpump.h"
#include "engine/Host.h"
#include "link/Portctl.h"

TPortCOM::TPortCOM() : TPortVirt(kSerialLink) {
    try {
        Control = std::make_unique<TPortCtl>();
        // A device that vanishes (unplugged adapter, dropped Bluetooth link) ends every wait.
        Control->OnLost = [this] { SetState(-1); };
    } catch (const std::exception& e) {
        Host().ShowMessage(e.what());
    }
}

TPortCOM::~TPortCOM() { Control.reset(); }

int TPortCOM::Open(int port, int bps, int byteDelayMs, const std::string& initText, bool waitDsr,
                   const std::string& phone) {
    ByteDelayMs = byteDelayMs;
    if (!Control) throw EPortError("Port err. no serial control");
    Control->Close();
    SetPortNumber(port);
    SetRtsCts(0);
    SetDtrDsr(0);
    SetRts(0);
    SetDtr(0);
    SetXonXoff(0);
    SetState(0);
    SetBaudRate(bps);
    if (!Host().Ask("Connect Serial link < COM " + std::to_string(port) +
                        " > between computer and RESKON,\nthen press < OK > button",
                    "Communication")) {
        SetState(-1);
        return 0;
    }
    if (Control->Open() == 0) {
        ClearTxBuffer();
        FlushInput();
        return State;
    }
    // Line pulse: the meter's interface wakes on DTR/RTS going up. Devices without modem
    // lines (pseudo-terminals) ignore it.
    SetState(-1);
    SetDtr(0);
    SetRts(0);
    ClearTxBuffer();
    Wait(1);
    Host().ProcessMessages();
    SetRts(1);
    SetDtr(1);
    if (waitDsr && GetDsr() == 0) {
        Host().ProcessMessages();
        Control->Close();
        return 0;
    }
    SetState(port);
    if (!phone.empty()) {
        auto say = [this](const std::string& text) { WriteBuffer(text.data(), static_cast<int>(text.size())); };
        say("ATZ\r\n");
        if (!WaitFor("OK") || !WaitFor("\n")) return 0;
        if (!initText.empty()) {
            say(initText + "\r\n");
            if (!WaitFor("OK") || !WaitFor("\n")) return 0;
        }
        say("ATDT" + phone + "\r\n");
        if (!WaitFor("CONNECT") || !WaitFor("\n")) return 0;
        Wait(1);
    }
    ClearTxBuffer();
    FlushInput();
    return State;
}

void TPortCOM::Close() {
    if (State > 0) {
        SetDtr(0);
        SetRts(0);
        Wait(1);
        SetState(0);
        WaitCursor(false);
    }
    // The device is given back at once, so that another program can use it after a Cancel.
    if (Control) Control->Close();
}

void TPortCOM::ClearTxBuffer() {
    if (Control) Control->ClearTxBuffer();
}

int TPortCOM::WriteByte(std::uint8_t b) { return IsOpen() && Control ? Control->WriteByte(b) : -1; }

int TPortCOM::WriteBuffer(const void* data, int n) {
    if (!IsOpen() || !Control) return -1;
    return Control->WriteByteBuffer(static_cast<const std::uint8_t*>(data), n);
}

int TPortCOM::ReadBufferTimed(void* buf, int n, int timeoutMs) {
    if (!IsOpen() || !Control) return -1;
    if (n <= 0) return 0;
    WaitRx(n, timeoutMs);
    return Control->ReadWaiting(static_cast<std::uint8_t*>(buf), n);
}

int TPortCOM::ReadByteTimed(int timeoutMs) {
    if (!IsOpen() || !Control) return -1;
    if (WaitRx(1, timeoutMs) != TWaitEnd::Ready) return -1;
    return Control->ReadByte();
}

int TPortCOM::ReadByte() { return IsOpen() && Control ? Control->ReadByte() : -1; }

int TPortCOM::RxCount() { return IsOpen() && Control ? Control->RxCount() : -1; }

int TPortCOM::TxCount() { return IsOpen() && Control ? Control->TxCount() : -1; }

void TPortCOM::SetPortNumber(int value) {
    if (Control) Control->SetPortNumber(value);
}
void TPortCOM::SetBaudRate(int value) {
    if (Control) Control->SetBaudRate(value);
}
void TPortCOM::SetParity(int value) {
    if (Control) Control->SetParity(value);
}
void TPortCOM::SetDataBits(int value) {
    if (Control) Control->SetDataBits(value);
}
void TPortCOM::SetStopBits(int value) {
    if (Control) Control->SetStopBits(value);
}
void TPortCOM::SetXonXoff(int value) {
    if (Control) Control->SetXonXoff(value);
}
void TPortCOM::SetDtrDsr(int value) {
    if (Control) Control->SetDtrDsr(value);
}
void TPortCOM::SetRtsCts(int value) {
    if (Control) Control->SetRtsCts(value);
}
void TPortCOM::SetDtr(int value) {
    if (Control) Control->SetDtr(value);
}
void TPortCOM::SetRts(int value) {
    if (Control) Control->SetRts(value);
}

int TPortCOM::GetPortNumber() { return Control ? Control->GetPortNumber() : 0; }
int TPortCOM::GetBaudRate() { return Control ? Control->GetBaudRate() : 0; }
int TPortCOM::GetDataBits() { return Control ? Control->GetDataBits() : 0; }
int TPortCOM::GetStopBits() { return Control ? Control->GetStopBits() : 0; }
int TPortCOM::GetXonXoff() { return Control ? Control->GetXonXoff() : 0; }
int TPortCOM::GetParity() { return Control ? Control->GetParity() : 0; }
int TPortCOM::GetDtrDsr() { return Control ? Control->GetDtrDsr() : 0; }
int TPortCOM::GetRtsCts() { return Control ? Control->GetRtsCts() : 0; }
int TPortCOM::GetDtr() { return Control ? Control->GetDtr() : 0; }
int TPortCOM::GetRts() { return Control ? Control->GetRts() : 0; }
int TPortCOM::GetDsr() { return Control ? Control->GetDsr() : 0; }

bool TPortCOM::TakeLineStatusError() {
    if (!Control) return false;
    bool error = false;
    for (int id : {17, 18, 16, 15}) error = error || Control->LineStatus(id) != 0;
    if (error) Control->ClearLineStatus();
    return error;
}

void TPortCOM::PollIo(int ms) { PumpEvents(ms); }
