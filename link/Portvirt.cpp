#include "link/Portvirt.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "engine/Host.h"

namespace {
using Clock = std::chrono::steady_clock;

long long ElapsedMs(Clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

constexpr std::uint8_t kProbe = 0x40;
constexpr std::uint8_t kEsc = 0x1B;
constexpr int kBlockMax = 528;
constexpr int kLastRequest = 127;
// SetCmd: probes sent at most before the command, and the count of unanswered ones from which
// an echo comes too late; then the command/complement exchanges tried at most.
constexpr int kMaxProbes = 82;
constexpr int kLateEcho = 78;
constexpr int kCommandExchanges = 6;
// Synchronize: the attempt from which the fallback speed is used.
constexpr int kFallbackAttempt = 11;
// The longest of the meter's two text lines at synchronisation.
constexpr int kMeterLineLength = 40;
// Block transfer: out-of-order requests in a row from which the wait cursor goes.
constexpr int kWrongRequestsShown = 5;

// Restores the default cursor on every way out of a scope that showed the hourglass.
struct TWaitCursorScope {
    TWaitCursorScope() = default;
    TWaitCursorScope(const TWaitCursorScope&) = delete;
    TWaitCursorScope& operator=(const TWaitCursorScope&) = delete;
    ~TWaitCursorScope();
};
}  // namespace

// Every field must be listed below.
static_assert(sizeof(TLinkTiming) == 24 * sizeof(int), "a new timing field needs its place in Scaled");

TLinkTiming TLinkTiming::Scaled(double factor) const {
    TLinkTiming t = *this;
    for (int* v : {&t.PollSliceMs, &t.WaitUnitMs, &t.CommandTimeoutMs, &t.CommandGapMs,
                   &t.CommandConfirmMs, &t.WaitForLimitMs, &t.GetComLimitMs, &t.GetBufferIPLimitMs,
                   &t.SyncProbePauseMs, &t.SyncSerialReadMs, &t.SyncDrainMs, &t.SyncAnswerMs,
                   &t.SyncLineMs, &t.SyncEscTimeoutMs, &t.SyncEscBeforeMs, &t.SyncEscAfterMs,
                   &t.BlockPauseMs, &t.USBOpenTryMs, &t.USBSettleMs, &t.USBDriverLimitMs,
                   &t.IPConstructMs, &t.IPConnectRetryMs, &t.IPCloseMs, &t.IPDestroyMs}) {
        if (*v > 0) *v = std::max(1, static_cast<int>(std::lround(*v * factor)));
    }
    return t;
}

// ---------------------------------------------------------------- basics

TPortVirt::TPortVirt(const TLinkTraits& traits) : LinkTraits(traits) {}

TPortVirt::~TPortVirt() = default;

void TPortVirt::SetState(int value) { State = value; }
int TPortVirt::GetState() { return State; }
void TPortVirt::SetLatency(int) {}

bool TPortVirt::TakeLineStatusError() { return false; }
std::string TPortVirt::AddressText() { return {}; }
void TPortVirt::PollIo(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int TPortVirt::WriteBuffer(const void* data, int n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    int done = 0;
    while (done < n) {
        if (WriteByte(p[done]) < 0) return done > 0 ? done : -1;
        ++done;
    }
    return done;
}

void TPortVirt::Wait(int seconds) { Pause(seconds * Timing.WaitUnitMs); }

void TPortVirt::Pause(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

namespace {
bool cursorShown = false;
}

void TPortVirt::WaitCursor(bool on) {
    if (on == cursorShown) return;
    cursorShown = on;
    Host().SetWaitCursor(on);
}

TWaitCursorScope::~TWaitCursorScope() {
    if (cursorShown) {
        cursorShown = false;
        Host().SetWaitCursor(false);
    }
}

void TPortVirt::Fail(const char* text) {
    WaitCursor(false);
    throw EPortError(text);
}

TPortVirt::TWaitEnd TPortVirt::WaitRx(int n, int limitMs) {
    const auto start = Clock::now();
    for (;;) {
        if (RxCount() >= n) return TWaitEnd::Ready;
        Host().ProcessMessages();
        if (!IsOpen()) return TWaitEnd::Closed;
        if (RxCount() >= n) return TWaitEnd::Ready;
        const long long left = limitMs - ElapsedMs(start);
        if (left <= 0) return TWaitEnd::TimedOut;
        PollIo(static_cast<int>(std::min<long long>(left, std::max(1, Timing.PollSliceMs))));
    }
}

void TPortVirt::WaitTransmitted() {
    if (!LinkTraits.WaitTransmit) return;
    for (;;) {
        Host().ProcessMessages();
        if (!IsOpen()) Fail(PortErr::Transmit);
        if (TxCount() <= 0) return;
        PollIo(std::max(1, Timing.PollSliceMs));
    }
}

// ---------------------------------------------------------------- byte input and output

void TPortVirt::PutCom(std::uint8_t b) {
    if (!IsOpen()) {
        if (LinkTraits.IgnorePutWhenClosed) return;
        Fail(LinkTraits.WriteError);
    }
    if (LinkTraits.RetryWrite) {
        while (WriteByte(b) < 0) {
            if (!IsOpen()) Fail(LinkTraits.WriteError);
            Host().ProcessMessages();
            if (!IsOpen()) Fail(LinkTraits.WriteError);
        }
    } else if (WriteByte(b) < 0) {
        WaitCursor(false);
        if (IsOpen()) throw EPortError(LinkTraits.WriteError);
        return;
    }
    WaitTransmitted();
    Pause(ByteDelayMs);
}

void TPortVirt::PutBuffer(const void* data, int n) {
    if (n <= 0) return;
    const auto* p = static_cast<const std::uint8_t*>(data);
    if (ByteDelayMs > 0) {
        for (int i = 0; i < n; ++i) PutCom(p[i]);
        return;
    }
    if (!IsOpen()) {
        if (LinkTraits.IgnorePutWhenClosed) return;
        Fail(LinkTraits.WriteError);
    }
    // One write for the whole buffer: the bytes on the wire are the same as byte by byte, and a
    // slow transmit-queue round trip per byte is avoided.
    int done = 0;
    while (done < n) {
        const int w = WriteBuffer(p + done, n - done);
        if (w > 0) {
            done += w;
            continue;
        }
        if (!LinkTraits.RetryWrite) {
            WaitCursor(false);
            if (IsOpen()) throw EPortError(LinkTraits.WriteError);
            return;
        }
        if (!IsOpen()) Fail(LinkTraits.WriteError);
        Host().ProcessMessages();
        if (!IsOpen()) Fail(LinkTraits.WriteError);
    }
    WaitTransmitted();
}

int TPortVirt::GetCom() {
    if (!IsOpen()) Fail(LinkTraits.ReadError);
    const int b = ReadByteTimed(Timing.GetComLimitMs);
    if (b < 0) Fail(LinkTraits.ReadError);
    return b & 0xFF;
}

int TPortVirt::GetBufferTimed(void* buf, int n, int timeoutMs) {
    auto* p = static_cast<std::uint8_t*>(buf);
    int got = 0;
    while (got < n) {
        if (!IsOpen()) Fail(LinkTraits.ReadError);
        const int b = ReadByteTimed(timeoutMs);
        if (b < 0) break;
        p[got++] = static_cast<std::uint8_t>(b);
    }
    return got;
}

void TPortVirt::GetBuffer(void* buf, int n) {
    if (n <= 0) return;
    const int limit = LinkTraits.LongBufferLimit ? Timing.GetBufferIPLimitMs : Timing.GetComLimitMs;
    // Fewer bytes than asked is a failure: short data must never pass for a reply.
    if (GetBufferTimed(buf, n, limit) < n) Fail(LinkTraits.ReadError);
}

void TPortVirt::FlushInput() {
    while (IsOpen() && RxCount() >= 1) {
        if (ReadByte() < 0) break;
        Host().ProcessMessages();
    }
}

// ---------------------------------------------------------------- handshake

bool TPortVirt::GetString(std::string& text, int maxLen, int timeoutMs) {
    if (!IsOpen()) Fail(PortErr::Getstring);
    text.clear();
    for (;;) {
        std::uint8_t c = 0;
        if (ReadBufferTimed(&c, 1, timeoutMs) != 1 || (LinkTraits.LineEndsAtFF && c == 0xFF)) {
            text.clear();
            return false;
        }
        --maxLen;
        if (c != 0x0A && c != 0x0D) text.push_back(static_cast<char>(c));
        if (c == 0x0A || maxLen <= 0) return true;
    }
}

bool TPortVirt::WaitFor(const std::string& target) {
    // Only the last target.size() bytes can complete the target: a noisy line cannot make
    // the kept text grow.
    std::string window;
    auto start = Clock::now();
    for (;;) {
        while (RxCount() < 1) {
            Host().ProcessMessages();
            if (!IsOpen()) {
                WaitCursor(false);
                if (LinkTraits.WaitForThrows) throw EPortError(PortErr::Wait);
                return false;
            }
            if (ElapsedMs(start) > Timing.WaitForLimitMs) return true;
            if (RxCount() < 1) PollIo(std::max(1, Timing.PollSliceMs));
        }
        const int b = ReadByte();
        if (b < 0) continue;
        window.push_back(static_cast<char>(b));
        if (window.size() > target.size()) window.erase(0, window.size() - target.size());
        if (window == target) return true;
    }
}

bool TPortVirt::WaitPrompt() { return WaitFor(":>"); }

bool TPortVirt::SetCmd(int cmd, int timeoutMs) {
    TWaitCursorScope restore;
    WaitCursor(true);
    if (!IsOpen()) Fail(PortErr::Setcmd);
    FlushInput();

    int unanswered = 0;
    for (;;) {
        PutCom(kProbe);
        if (ReadByteTimed(timeoutMs) == kProbe) break;
        if (++unanswered >= kMaxProbes) break;
    }
    ClearTxBuffer();
    if (unanswered >= kLateEcho) {
        WaitCursor(false);
        return false;
    }

    auto writeRaw = [this](std::uint8_t b) {
        do {
            if (!IsOpen()) Fail(PortErr::Setcmd);
            Host().ProcessMessages();
        } while (WriteByte(b) == -1);
    };
    const auto c = static_cast<std::uint8_t>(cmd);
    int reply = -1;
    for (int tries = 0; tries < kCommandExchanges; ++tries) {
        FlushInput();
        writeRaw(c);
        Pause(Timing.CommandGapMs);
        writeRaw(static_cast<std::uint8_t>(0xFF - c));
        reply = ReadByteTimed(timeoutMs);
        Host().ProcessMessages();
        if (reply != 0xFF && reply != -1) break;
    }
    WaitCursor(false);
    if (reply >= 0 && (reply & 0xFF) == c) {
        Pause(Timing.CommandConfirmMs);
        return true;
    }
    return false;
}

bool TPortVirt::SendCmd(int cmd, int timeoutMs) {
    if (!WaitFor(":>")) return false;
    return SetCmd(cmd, timeoutMs);
}

bool TPortVirt::Synchronize(std::string& name, std::string& speed) {
    try {
        const int drainMs = LinkTraits.SyncLongReads ? Timing.SyncSerialReadMs : Timing.SyncDrainMs;
        const int answerMs = LinkTraits.SyncLongReads ? Timing.SyncSerialReadMs : Timing.SyncAnswerMs;
        int attempts = 0;
        int savedSpeed = 0;
        for (;;) {
            Host().ProcessMessages();
            // A link closed from the window (Cancel) ends the attempts here, on every link.
            if (!IsOpen()) Fail(LinkTraits.WriteError);
            while (RxCount() > 0 && IsOpen()) {
                std::uint8_t drop;
                if (ReadBufferTimed(&drop, 1, drainMs) < 1) break;
            }
            PutCom(kProbe);
            Pause(Timing.SyncProbePauseMs);
            int answer = 0;
            if (!(LinkTraits.LineStatusTest && TakeLineStatusError())) {
                const int r = ReadByteTimed(answerMs);
                if (r >= 0) answer = r & 0xFF;
            }
            ++attempts;
            // The echo is tested first: an echo at the attempt that would change the speed or
            // send ESC is a success at the speed in use.
            if (answer == kProbe) break;
            if (LinkTraits.FallbackSpeed > 0 && attempts == kFallbackAttempt) {
                savedSpeed = GetBaudRate();
                SetBaudRate(LinkTraits.FallbackSpeed);
            }
            if (attempts == LinkTraits.EscAttempt) {
                if (LinkTraits.FallbackSpeed > 0 && savedSpeed > 0) SetBaudRate(savedSpeed);
                Pause(Timing.SyncEscBeforeMs);
                const bool escaped = SetCmd(kEsc, Timing.SyncEscTimeoutMs);
                if (!escaped && LinkTraits.EscFailureEnds) return false;
                Pause(Timing.SyncEscAfterMs);
                attempts = 0;
            }
        }
        if (!GetString(speed, kMeterLineLength, Timing.SyncLineMs)) return false;
        if (!GetString(name, kMeterLineLength, Timing.SyncLineMs)) return false;
        if (LinkTraits.SpeedIsAddress) speed = AddressText();
        return true;
    } catch (...) {
        Host().ShowMessage("Unknown Baudrate");
        return false;
    }
}

// ---------------------------------------------------------------- block transfer

std::uint16_t TPortVirt::Checksum16(const void* bytes, int n) {
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    std::uint32_t sum = 0;
    for (int i = 0; i < n; ++i) sum += p[i];
    return static_cast<std::uint16_t>(sum);
}

void TPortVirt::UploadBuffer(const void* data, std::int32_t length, TIndicatorSink* indicator,
                             TProgressSink* progress) {
    if (data) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        Stream.assign(p, p + std::max<std::int32_t>(length, 0));
    }
    if (Stream.empty()) {
        Host().ShowMessage("Err. Buffer");
        return;
    }
    SendStream(progress, indicator);
}

namespace {
void PutLE(TPortVirt& port, std::uint32_t v, int bytes) {
    std::uint8_t b[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                         std::uint8_t(v >> 24)};
    port.PutBuffer(b, bytes);
}
}  // namespace

void TPortVirt::SendStream(TProgressSink* progress, TIndicatorSink* indicator) {
    TWaitCursorScope restore;
    WaitCursor(true);
    const int size = static_cast<int>(Stream.size());
    int position = 0;
    if (progress) {
        progress->SetRange(0, size);
        progress->SetPosition(0);
    }
    std::size_t readPos = 0;
    Remaining = size;
    std::uint16_t next = 0, last = 1;
    int wrongInRow = 0;
    std::uint16_t lengthSum = 0;
    std::uint8_t block[kBlockMax];

    // The meter's start bytes, each echoed; the last one is 0x00.
    for (;;) {
        const int b = GetCom();
        PutCom(static_cast<std::uint8_t>(b));
        if (b == 0) break;
    }
    next = 1;
    Pause(Timing.BlockPauseMs);
    PutLE(*this, static_cast<std::uint32_t>(Remaining), 4);

    for (;;) {
        std::uint8_t rq[2];
        GetBuffer(rq, 2);
        const std::uint16_t r = static_cast<std::uint16_t>(rq[0] | (rq[1] << 8));
        FlushInput();
        PutBuffer(rq, 2);
        if (r != next && r != last) {
            // Out of order: echoed and counted only; the meter goes on asking.
            if (++wrongInRow >= kWrongRequestsShown) {
                WaitCursor(false);
                Host().ProcessMessages();
            }
            if (indicator) indicator->SetVisible(true);
            continue;
        }
        wrongInRow = 0;
        if (indicator) indicator->SetVisible(false);
        const bool fresh = r == next;
        if (fresh) {
            if (Remaining <= 0) break;
            BlockLength = static_cast<std::uint16_t>(std::min(Remaining, kBlockMax));
            lengthSum = static_cast<std::uint16_t>((BlockLength & 0xFF) + (BlockLength >> 8));
            std::memcpy(block, Stream.data() + readPos, BlockLength);
            readPos += BlockLength;
            Host().ProcessMessages();
            Remaining -= BlockLength;
            last = next;
            next = next == kLastRequest ? 1 : static_cast<std::uint16_t>(next + 1);
        }
        PutLE(*this, static_cast<std::uint32_t>(BlockLength) << 6, 2);
        Pause(Timing.BlockPauseMs);
        PutBuffer(block, BlockLength);
        if (fresh && progress) {
            // One step per block: the same end position as a step per byte.
            position += BlockLength;
            if (position > size) position = 0;
            progress->SetPosition(position);
            Host().ProcessMessages();
        }
        PutLE(*this, static_cast<std::uint16_t>(lengthSum + Checksum16(block, BlockLength)), 2);
    }
    if (progress) progress->SetPosition(0);
    WaitCursor(false);
    Host().ProcessMessages();
}
