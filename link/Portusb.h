#pragma once
// The USB link: an FTDI USB serial converter (through Ftdidevice.h).
#include <memory>
#include <string>

#include "link/Ftdidevice.h"
#include "link/PortNumbers.h"
#include "link/Portvirt.h"

class TPortUSB : public TPortVirt {
public:
    TPortUSB();
    ~TPortUSB() override;

    // Number of FTDI converters present; 0 when they cannot be counted.
    static int DeviceCount();

    // The opened device; null when none is held.
    std::unique_ptr<TFtdiDevice> Handle;
    int DataBits = 8;
    int StopBits = 0;  // 0 one stop bit, 2 two
    int Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int XonXoff = 0, DtrDsr = 0, RtsCts = 0, NoFlow = 1;
    int Dtr = 0, Rts = 0;
    // The speed in use: Open's, or the last one set. Synchronize's speed fallback goes back to it.
    int Speed = 0;

    int Open(int port, int bps, int byteDelayMs, const std::string& initText, bool waitDsr,
             const std::string& phoneOrAddress) override;
    void Close() override;
    void FlushInput() override;
    void ClearTxBuffer() override;
    int WriteByte(std::uint8_t b) override;
    int WriteBuffer(const void* data, int n) override;
    int ReadBufferTimed(void* buf, int n, int timeoutMs) override;
    int ReadByteTimed(int timeoutMs) override;
    int ReadByte() override;
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
    int GetPortNumber() override { return 0; }
    int GetBaudRate() override { return Speed; }
    int GetDataBits() override { return DataBits == 7 ? 7 : 8; }
    int GetStopBits() override { return StopBits == 2 ? 2 : 1; }
    int GetXonXoff() override { return XonXoff; }
    int GetParity() override { return Parity >= 1 && Parity <= 4 ? Parity : 0; }
    int GetDtrDsr() override { return DtrDsr; }
    int GetRtsCts() override { return RtsCts; }
    int GetDtr() override { return Dtr; }
    int GetRts() override { return Rts; }
    int GetDsr() override;
    void SetLatency(int ms) override;
    int MaxSpeed() override { return kHighSpeed; }
    std::string InterfaceName() override { return "USB"; }
    std::string DriverVersion() override;
    void PollIo(int ms) override;

private:
    // Passes a device result on; an unplugged device is let go and the link marked lost.
    TFtdiStatus Check(TFtdiStatus s);
    bool Live() { return IsOpen() && Handle; }
    void SetFlow(int& flag, int value, std::uint16_t mode);
    void SendDataCharacteristics();
};
