#pragma once
// The Wi-Fi link: a TCP connection to the meter, on its own access point or at an address
// the user gives.
#include <memory>
#include <string>

#include "link/PortNumbers.h"
#include "link/Portvirt.h"

class QTcpSocket;

// The meter's own Wi-Fi access point: a computer that joins the meter's network reaches the
// meter at this address. Used when no address is set.
inline constexpr const char* DefaultIPAddress = "192.168.4.1";
// The TCP port the meter listens on.
inline constexpr int MeterTcpPort = 29461;

class TPortIP : public TPortVirt {
public:
    TPortIP();
    ~TPortIP() override;

    std::unique_ptr<QTcpSocket> Socket;
    // "Not connected", or the address in use.
    std::string StatusText = "Not connected";
    // The meter's TCP port (tests point it at a listener of their own).
    int TcpPort = MeterTcpPort;
    // How long one connection attempt may take: an address that does not answer must not
    // hold the window for the system's own (minutes long) limit.
    int ConnectLimitMs = 3000;

    int Open(int port, int bps, int byteDelayMs, const std::string& initText, bool waitDsr,
             const std::string& address) override;
    void Close() override;
    void FlushInput() override;
    int WriteByte(std::uint8_t b) override;
    int WriteBuffer(const void* data, int n) override;
    int ReadBufferTimed(void* buf, int n, int timeoutMs) override;
    int ReadByteTimed(int timeoutMs) override;
    int ReadByte() override;
    int RxCount() override;
    int GetPortNumber() override { return Socket ? TcpPort : 0; }
    int GetBaudRate() override { return Socket ? kHighSpeed : 0; }
    int GetDataBits() override { return Socket ? 1 : 0; }
    int GetStopBits() override { return Socket ? 1 : 0; }
    int GetXonXoff() override { return Socket ? 1 : 0; }
    int GetParity() override { return Socket ? 1 : 0; }
    int GetDtrDsr() override { return Socket ? 1 : 0; }
    int GetRtsCts() override { return Socket ? 1 : 0; }
    int GetDtr() override { return Socket ? 1 : 0; }
    int GetRts() override { return Socket ? 1 : 0; }
    int GetDsr() override { return Socket ? 1 : 0; }
    int MaxSpeed() override { return kHighSpeed; }
    std::string InterfaceName() override { return "TCP/IP"; }
    std::string DriverVersion() override { return StatusText; }
    std::string AddressText() override { return Address; }
    void PollIo(int ms) override;

private:
    void Drop();  // closes the connection without the pauses of Close

    std::string Address = DefaultIPAddress;
};
