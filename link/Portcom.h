#pragma once
// The serial link: a serial device, or the virtual serial port of a Bluetooth link (port
// numbers 1..98). The device of a port number is chosen by ComDevicePath (Portctl.h).
#include <memory>
#include <string>

#include "link/Portvirt.h"

class TPortCtl;

class TPortCOM : public TPortVirt {
public:
    TPortCOM();
    ~TPortCOM() override;

    // The serial-port control; null when it could not be created.
    std::unique_ptr<TPortCtl> Control;

    int Open(int port, int bps, int byteDelayMs, const std::string& initText, bool waitDsr,
             const std::string& phoneOrAddress) override;
    void Close() override;
    void ClearTxBuffer() override;
    int WriteByte(std::uint8_t b) override;
    int WriteBuffer(const void* data, int n) override;
    int ReadBufferTimed(void* buf, int n, int timeoutMs) override;
    int ReadByteTimed(int timeoutMs) override;
    int ReadByte() override;
    void SetPortNumber(int value) override;
    void SetBaudRate(int value) override;
    void SetParity(int value) override;
    void SetDataBits(int value) override;
    void SetStopBits(int value) override;
    void SetXonXoff(int value) override;
    void SetDtrDsr(int value) override;
    void SetRtsCts(int value) override;
    void SetDtr(int value) override;
    void SetRts(int value) override;
    int RxCount() override;
    int TxCount() override;
    int GetPortNumber() override;
    int GetBaudRate() override;
    int GetDataBits() override;
    int GetStopBits() override;
    int GetXonXoff() override;
    int GetParity() override;
    int GetDtrDsr() override;
    int GetRtsCts() override;
    int GetDtr() override;
    int GetRts() override;
    int GetDsr() override;
    int MaxSpeed() override { return 115200; }
    std::string InterfaceName() override { return "RS232"; }
    std::string DriverVersion() override { return "NA"; }
    bool TakeLineStatusError() override;
    void PollIo(int ms) override;
};
