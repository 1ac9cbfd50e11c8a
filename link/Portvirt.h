#pragma once
// The abstract link to the meter. Everything above the link (handshake, block transfer,
// the engine's upload, the upload command) speaks to TPortVirt only. Plain C++: the Qt
// ports derive from it in their own files.
//
// A derived port supplies the raw operations (Open, Close, WriteByte, the raw reads,
// RxCount, and the line settings and transmit queue it has); the waits, the handshake, the
// synchronisation and the block transfer live here once, and the differences between the
// links are the TLinkTraits data handed to the constructor.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Progress bar handed to the block transfer.
class TProgressSink {
public:
    virtual ~TProgressSink() = default;
    virtual void SetRange(int minimum, int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    virtual int Position() const = 0;
};

// Control made visible while the meter asks for blocks out of order.
class TIndicatorSink {
public:
    virtual ~TIndicatorSink() = default;
    virtual void SetVisible(bool visible) = 0;
};

// Every failure of a wait on a link that is gone, and every short read.
class EPortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The texts the link throws with.
namespace PortErr {
inline constexpr const char* Getcom = "Port err. Getcom";
inline constexpr const char* Putcom = "Port err. putcom";
inline constexpr const char* Transmit = "Port err.";
inline constexpr const char* Getstring = "Port err. getstring";
inline constexpr const char* Setcmd = "Port err. Setcmd";
inline constexpr const char* GetIP = "Port err. get IP";
inline constexpr const char* PutIP = "Port err. put IP";
inline constexpr const char* Wait = "Wait error";
}  // namespace PortErr

// Every timeout and pause of the link, in milliseconds. Tests use Scaled().
struct TLinkTiming {
    int PollSliceMs = 10;            // one slice of every wait; Cancel is seen within one slice
    int WaitUnitMs = 1000;           // one second of TPortVirt::Wait
    int CommandTimeoutMs = 300000;   // the upload's SendCmd limit (sequence commands and command 0)
    int CommandGapMs = 10;           // between a command and its complement
    int CommandConfirmMs = 20;       // after a confirmed command
    int WaitForLimitMs = 300000;     // WaitFor gives up (with true) after this long without a byte
    int GetComLimitMs = 300000;      // one byte of GetCom / GetBuffer
    int GetBufferIPLimitMs = 600000; // one byte of GetBuffer on TCP/IP
    int SyncProbePauseMs = 100;      // after each probe of Synchronize
    int SyncSerialReadMs = 5000;     // serial: drain reads and the probe answer
    int SyncDrainMs = 100;           // USB, TCP/IP: drain reads
    int SyncAnswerMs = 2000;         // USB, TCP/IP: the probe answer
    int SyncLineMs = 15000;          // each of the meter's two text lines
    int SyncEscTimeoutMs = 2000;     // the ESC handshake
    int SyncEscBeforeMs = 100;       // before the ESC handshake
    int SyncEscAfterMs = 1000;       // after the ESC handshake
    int BlockPauseMs = 10;           // after the total length and after each length word
    // The ports' own pauses.
    int USBOpenTryMs = 15;
    int USBSettleMs = 400;
    int USBDriverLimitMs = 500;
    int IPConstructMs = 100;
    int IPConnectRetryMs = 500;
    int IPCloseMs = 500;
    int IPDestroyMs = 200;

    // Every value times factor; a value above 0 stays at least 1 ms.
    TLinkTiming Scaled(double factor) const;
};

enum class TLinkKind { Serial, USB, IP };

// What differs between the serial, USB and TCP/IP links in the common operations.
struct TLinkTraits {
    TLinkKind Kind;
    const char* ReadError;        // GetCom, GetBufferTimed, GetBuffer
    const char* WriteError;       // PutCom, PutBuffer
    bool RetryWrite;              // a failing write is repeated (else one try, then WriteError)
    bool WaitTransmit;            // a write waits for the transmit queue to empty
    bool IgnorePutWhenClosed;     // PutCom on a closed link does nothing
    bool WaitForThrows;           // WaitFor throws "Wait error" when the link closes
    bool LineEndsAtFF;            // GetString ends with false on a received 0xFF
    bool LineStatusTest;          // Synchronize looks at the line-status flags before reading
    bool SyncLongReads;           // Synchronize reads with SyncSerialReadMs
    int FallbackSpeed;            // Synchronize's second speed from the 11th attempt; 0 none
    int EscAttempt;               // attempt count at which Synchronize sends ESC
    bool EscFailureEnds;          // a failed ESC handshake ends Synchronize with false
    bool SpeedIsAddress;          // Synchronize reports the address in place of the speed
    bool LongBufferLimit;         // GetBuffer waits GetBufferIPLimitMs per byte
};

inline constexpr TLinkTraits kSerialLink{
    .Kind = TLinkKind::Serial, .ReadError = PortErr::Getcom, .WriteError = PortErr::Putcom,
    .RetryWrite = true, .WaitTransmit = true, .IgnorePutWhenClosed = false, .WaitForThrows = false,
    .LineEndsAtFF = false, .LineStatusTest = true, .SyncLongReads = true, .FallbackSpeed = 38400,
    .EscAttempt = 20, .EscFailureEnds = false, .SpeedIsAddress = false, .LongBufferLimit = false};
inline constexpr TLinkTraits kUSBLink{
    .Kind = TLinkKind::USB, .ReadError = PortErr::Getcom, .WriteError = PortErr::Putcom,
    .RetryWrite = true, .WaitTransmit = true, .IgnorePutWhenClosed = false, .WaitForThrows = true,
    .LineEndsAtFF = false, .LineStatusTest = false, .SyncLongReads = false, .FallbackSpeed = 115200,
    .EscAttempt = 20, .EscFailureEnds = true, .SpeedIsAddress = false, .LongBufferLimit = false};
inline constexpr TLinkTraits kIPLink{
    .Kind = TLinkKind::IP, .ReadError = PortErr::GetIP, .WriteError = PortErr::PutIP,
    .RetryWrite = false, .WaitTransmit = false, .IgnorePutWhenClosed = true, .WaitForThrows = false,
    .LineEndsAtFF = true, .LineStatusTest = false, .SyncLongReads = false, .FallbackSpeed = 0,
    .EscAttempt = 21, .EscFailureEnds = true, .SpeedIsAddress = true, .LongBufferLimit = true};

class TPortVirt {
public:
    explicit TPortVirt(const TLinkTraits& traits);
    virtual ~TPortVirt();
    TPortVirt(const TPortVirt&) = delete;
    TPortVirt& operator=(const TPortVirt&) = delete;

    // ---- the operations, in their declared order ----
    // Writes n bytes (n <= 0: nothing). With a byte delay, byte by byte with PutCom;
    // otherwise in one write followed by one transmit wait.
    virtual void PutBuffer(const void* data, int n);
    // One byte, blocking (at most GetComLimitMs); throws ReadError when none comes.
    virtual int GetCom();
    virtual void Close() = 0;
    virtual bool GetString(std::string& text, int maxLen, int timeoutMs);
    virtual bool WaitPrompt();
    virtual int Open(int port, int bps, int byteDelayMs, const std::string& initText, bool waitDsr,
                     const std::string& phoneOrAddress) = 0;
    virtual bool SetCmd(int cmd, int timeoutMs);
    virtual bool SendCmd(int cmd, int timeoutMs);
    virtual bool WaitFor(const std::string& text);
    virtual void PutCom(std::uint8_t b);
    // Up to n bytes, each within timeoutMs; the count read.
    virtual int GetBufferTimed(void* buf, int n, int timeoutMs);
    virtual bool Synchronize(std::string& name, std::string& speed);
    // Exactly n bytes; throws ReadError when fewer come.
    virtual void GetBuffer(void* buf, int n);
    virtual void FlushInput();
    // Drops the bytes not yet sent; nothing to drop on a link with no transmit queue of its own.
    virtual void ClearTxBuffer() {}
    // Raw operations: -1 on failure or on a closed link. A derived port makes its timed reads
    // with WaitRx so that they process messages and end when the link closes.
    virtual int WriteByte(std::uint8_t b) = 0;
    virtual int ReadBufferTimed(void* buf, int n, int timeoutMs) = 0;
    virtual int ReadByteTimed(int timeoutMs) = 0;
    // One byte that is waiting, or -1 (never 0 for "nothing came").
    virtual int ReadByte() = 0;
    virtual void SetState(int value);
    // Line settings. A link without such a setting (the Wi-Fi link has none) leaves them as
    // they are here: they do nothing.
    virtual void SetPortNumber(int) {}
    virtual void SetBaudRate(int) {}
    virtual void SetParity(int) {}
    virtual void SetDataBits(int) {}
    virtual void SetStopBits(int) {}
    virtual void SetXonXoff(int) {}
    virtual void SetDtrDsr(int) {}
    virtual void SetRtsCts(int) {}
    virtual void SetDtr(int) {}
    virtual void SetRts(int) {}
    virtual int RxCount() = 0;
    // Bytes waiting to be sent; -1 when closed. Here for a link with no transmit queue of its
    // own: nothing ever waits.
    virtual int TxCount() { return IsOpen() ? 0 : -1; }
    virtual int GetState();
    virtual int GetPortNumber() = 0;
    // The speed in use. Synchronize saves it before its fallback and sets it again at the
    // ESC step, so a link should report the speed Open set (not 0).
    virtual int GetBaudRate() = 0;
    virtual int GetDataBits() = 0;
    virtual int GetStopBits() = 0;
    virtual int GetXonXoff() = 0;
    virtual int GetParity() = 0;
    virtual int GetDtrDsr() = 0;
    virtual int GetRtsCts() = 0;
    virtual int GetDtr() = 0;
    virtual int GetRts() = 0;
    virtual int GetDsr() = 0;
    virtual void SetLatency(int ms);
    virtual int MaxSpeed() = 0;
    virtual std::string InterfaceName() = 0;
    virtual std::string DriverVersion() = 0;

    // ---- hooks of the common code (bodies here; a link overrides what it has) ----
    // Raw write of up to n bytes: the count written, -1 on failure. The body writes byte by byte.
    virtual int WriteBuffer(const void* data, int n);
    // Serial: true when a line-status error flag was set (the flags are then cleared).
    virtual bool TakeLineStatusError();
    // TCP/IP: the address text Synchronize reports in place of the speed.
    virtual std::string AddressText();
    // Waits up to ms for the link to make progress (bytes in, transmit queue out).
    // The body sleeps; a Qt port waits on its device.
    virtual void PollIo(int ms);

    // ---- non-virtual members ----
    void Wait(int seconds);  // seconds x WaitUnitMs, without processing messages
    // Copies data (when not null) into Stream and sends it; "Err. Buffer" when Stream is empty.
    void UploadBuffer(const void* data, std::int32_t length, TIndicatorSink* indicator,
                      TProgressSink* progress);
    void SendStream(TProgressSink* progress, TIndicatorSink* indicator);
    static std::uint16_t Checksum16(const void* bytes, int n);

    const TLinkTraits& Traits() const { return LinkTraits; }

    std::vector<std::uint8_t> Stream;  // the bytes of one block transfer
    TLinkTiming Timing;
    int ByteDelayMs = 0;               // pause after every byte PutCom writes

protected:
    enum class TWaitEnd { Ready, Closed, TimedOut };
    // Polls in slices until RxCount() >= n, the link closes (State <= 0) or limitMs passes.
    // Every slice processes messages first, then tests State, then calls PollIo.
    TWaitEnd WaitRx(int n, int limitMs);
    // Waits while the transmit queue holds bytes; throws "Port err." when the link closes.
    void WaitTransmitted();
    bool IsOpen() { return GetState() > 0; }
    // Default cursor, then EPortError(text).
    [[noreturn]] void Fail(const char* text);
    static void Pause(int ms);  // sleeps, without processing messages
    // Hourglass on or off; repeated calls with the same value reach the host once.
    static void WaitCursor(bool on);

    int State = 0;  // 0 closed, -1 opening / failed / disconnected, > 0 the port number

private:
    TLinkTraits LinkTraits;
    // Kept between the steps of one transfer.
    std::int32_t Remaining = 0;
    std::uint16_t BlockLength = 0;
};
