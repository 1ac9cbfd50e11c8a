#pragma once
// What the in-memory ports of the tests share: no device, so the line settings are only kept,
// nothing waits to be sent, and the names are fixed. A port over it supplies the bytes.
#include <string>

#include "link/PortNumbers.h"
#include "link/Portvirt.h"

// The port number a link of that kind is opened with (the serial link's first port).
inline int PortNumberFor(TLinkKind kind) {
    switch (kind) {
        case TLinkKind::USB: return kUSBPortNumber;
        case TLinkKind::IP: return kIPPortNumber;
        case TLinkKind::Serial: break;
    }
    return kFirstSerialPortNumber;
}

class TPortMemory : public TPortVirt {
public:
    using TPortVirt::TPortVirt;

    void Close() override {
        if (GetState() <= 0) return;
        SetDtr(0);
        SetRts(0);
        SetState(0);
        WaitCursor(false);
    }
    void SetPortNumber(int value) override { PortNumber = value; }
    void SetBaudRate(int value) override { Baud = value; }
    void SetDtr(int value) override { Dtr = value; }
    void SetRts(int value) override { Rts = value; }
    int GetPortNumber() override { return PortNumber; }
    int GetBaudRate() override { return Baud; }
    int GetDataBits() override { return 8; }
    int GetStopBits() override { return 0; }
    int GetXonXoff() override { return 0; }
    int GetParity() override { return 0; }
    int GetDtrDsr() override { return 0; }
    int GetRtsCts() override { return 0; }
    int GetDtr() override { return Dtr; }
    int GetRts() override { return Rts; }
    int GetDsr() override { return 1; }
    int MaxSpeed() override { return kHighSpeed; }
    std::string DriverVersion() override { return "NA"; }
    std::string AddressText() override { return "127.0.0.1"; }

protected:
    // Open's common part: the settings kept, the port open under its number (1 when none).
    int OpenAs(int port, int bps, int byteDelayMs) {
        ByteDelayMs = byteDelayMs;
        PortNumber = port;
        SetBaudRate(bps);
        SetState(port > 0 ? port : 1);
        return GetState();
    }

private:
    int PortNumber = 0;
    int Baud = 0;
    int Dtr = 0;
    int Rts = 0;
};
