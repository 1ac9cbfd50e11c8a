#pragma once
// A port that talks to the simulated meter through an in-memory pipe: the protocol without a
// device. It behaves as the link whose traits it is given (serial by default).
#include <string>
#include <vector>

#include "MeterSim.h"
#include "Portvirt.h"

class TPortPipe : public TPortVirt {
public:
    explicit TPortPipe(TMeterSim& meter, const TLinkTraits& traits = kSerialLink);
    ~TPortPipe() override;

    TMeterSim& Meter;
    int LineErrorAttempts = 0;     // the next n line-status tests report an error
    struct TSpeedChange {
        int Speed;
        std::size_t AtByte;  // bytes the meter had received when the speed was set
        bool operator==(const TSpeedChange&) const = default;
    };
    std::vector<TSpeedChange> SpeedLog;  // every SetBaudRate, in order
    int WriteCalls = 0;            // raw writes (WriteByte and WriteBuffer calls)

    int Open(int port, int bps, int byteDelayMs, const std::string& initText, bool waitDsr,
             const std::string& phoneOrAddress) override;
    void Close() override;
    void ClearTxBuffer() override {}
    int WriteByte(std::uint8_t b) override;
    int WriteBuffer(const void* data, int n) override;
    int ReadBufferTimed(void* buf, int n, int timeoutMs) override;
    int ReadByteTimed(int timeoutMs) override;
    int ReadByte() override;
    void SetPortNumber(int value) override { PortNumber = value; }
    void SetBaudRate(int value) override;
    void SetParity(int) override {}
    void SetDataBits(int) override {}
    void SetStopBits(int) override {}
    void SetXonXoff(int) override {}
    void SetDtrDsr(int) override {}
    void SetRtsCts(int) override {}
    void SetDtr(int value) override { Dtr = value; }
    void SetRts(int value) override { Rts = value; }
    int RxCount() override;
    int TxCount() override { return IsOpen() ? 0 : -1; }
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
    int MaxSpeed() override { return 273000; }
    std::string InterfaceName() override { return "Pipe"; }
    std::string DriverVersion() override { return "NA"; }
    bool TakeLineStatusError() override;
    std::string AddressText() override { return "127.0.0.1"; }
    void PollIo(int ms) override;

private:
    int PortNumber = 0;
    int Baud = 0;
    int Dtr = 0;
    int Rts = 0;
};
