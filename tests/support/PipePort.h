#pragma once
// A port that talks to the simulated meter through an in-memory pipe: the protocol without a
// device. It behaves as the link whose traits it is given (serial by default).
#include <string>
#include <vector>

#include "tests/support/MemoryPort.h"
#include "tests/support/MeterSim.h"

class TPortPipe : public TPortMemory {
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
    int WriteByte(std::uint8_t b) override;
    int WriteBuffer(const void* data, int n) override;
    int ReadBufferTimed(void* buf, int n, int timeoutMs) override;
    int ReadByteTimed(int timeoutMs) override;
    int ReadByte() override;
    void SetBaudRate(int value) override;
    int RxCount() override;
    std::string InterfaceName() override { return "Pipe"; }
    bool TakeLineStatusError() override;
    void PollIo(int ms) override;
};
