#pragma once
// The few calls of an FTDI USB serial converter that the USB port makes, behind an interface
// of ours so that tests can put a scripted device in its place. One TFtdiDevice object is one
// opened device: no call can reach the driver without an open device, and destroying the
// object closes it. The library object counts and opens devices.
#include <cstdint>
#include <memory>

enum class TFtdiStatus {
    Ok,
    Failed,  // the call did not succeed; the device is still there
    Gone,    // the device has been unplugged (or its USB link is dead)
};

class TFtdiDevice {
public:
    virtual ~TFtdiDevice() = default;  // closes the device

    virtual TFtdiStatus SetBaudRate(int bps) = 0;
    // bits 7 or 8; stopBits 0 one, 1 one and a half, 2 two; parity 0 none, 1 odd, 2 even, 3 mark, 4 space
    virtual TFtdiStatus SetDataCharacteristics(uint8_t bits, uint8_t stopBits, uint8_t parity) = 0;
    // mode 0 none, 0x100 RTS/CTS, 0x200 DTR/DSR, 0x400 XON/XOFF with the two characters
    virtual TFtdiStatus SetFlowControl(uint16_t mode, uint8_t xon, uint8_t xoff) = 0;
    virtual TFtdiStatus SetDtr(bool on) = 0;
    virtual TFtdiStatus SetRts(bool on) = 0;
    // Low byte: modem lines (0x10 CTS, 0x20 DSR, 0x40 RI, 0x80 DCD); next byte: line status.
    virtual TFtdiStatus GetModemStatus(uint32_t& status) = 0;
    // mask 1 drops received bytes, 2 drops bytes not yet sent.
    virtual TFtdiStatus Purge(int mask) = 0;
    virtual TFtdiStatus SetTimeouts(int readMs, int writeMs) = 0;
    // Bytes received and not yet read.
    virtual TFtdiStatus GetQueueStatus(uint32_t& rxCount) = 0;
    virtual TFtdiStatus GetStatus(uint32_t& rxCount, uint32_t& txCount, uint32_t& events) = 0;
    // Reads up to n bytes; returns with what has come within a short slice (at most the read
    // limit), so that the caller can keep the window alive between calls.
    virtual TFtdiStatus Read(uint8_t* buf, int n, int& got) = 0;
    // Waits at most ms for bytes to come into the receive queue (returns sooner when some do).
    virtual TFtdiStatus Poll(int ms) = 0;
    virtual TFtdiStatus Write(const uint8_t* buf, int n, int& written) = 0;
    virtual TFtdiStatus SetLatencyTimer(int ms) = 0;
    // Version of the USB driver layer, 0x00MMmmpp.
    virtual TFtdiStatus GetDriverVersion(uint32_t& version) = 0;
};

class TFtdiLibrary {
public:
    virtual ~TFtdiLibrary() = default;
    // Number of FTDI converters present; Failed when the bus cannot be listed.
    virtual TFtdiStatus DeviceCount(int& count) = 0;
    // Opens the index-th device (0 = first); null when it cannot be opened.
    virtual std::unique_ptr<TFtdiDevice> Open(int index) = 0;
    // Version of the library, 0x00MMmmpp.
    virtual TFtdiStatus GetLibraryVersion(uint32_t& version) = 0;
};

// The library in use: the libftdi one unless another has been installed.
TFtdiLibrary& FtdiLibrary();
// Installs lib; nullptr restores the libftdi one. The caller keeps ownership.
void SetFtdiLibrary(TFtdiLibrary* lib);

// FTDI's own vendor id, and the product ids that FTDI converters carry out of the factory.
inline constexpr int FtdiVendorId = 0x0403;
inline constexpr int FtdiDefaultProductIds[] = {0x6001, 0x6010, 0x6011, 0x6014, 0x6015};
