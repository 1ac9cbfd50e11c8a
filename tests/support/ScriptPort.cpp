#include "tests/support/ScriptPort.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "tests/support/UploadSequence.h"

namespace {
constexpr std::uint8_t kLinkBits = 0x03;
constexpr std::uint8_t kTwoSequences = 0x04;
constexpr std::uint8_t kLongRun = 255;  // a length byte that says more of the reply follows
}  // namespace

TScriptOptions DecodeScriptOptions(std::uint8_t options) {
    const int sequences = (options & kTwoSequences) ? 2 : 1;
    switch (options & kLinkBits) {
        case 1: return {&kUSBLink, PortNumberFor(TLinkKind::USB), sequences};
        case 2: return {&kIPLink, PortNumberFor(TLinkKind::IP), sequences};
        default: return {&kSerialLink, PortNumberFor(TLinkKind::Serial), sequences};
    }
}

std::uint8_t EncodeScriptOptions(TLinkKind link, int sequences) {
    const std::uint8_t l = link == TLinkKind::USB ? 1 : link == TLinkKind::IP ? 2 : 0;
    return static_cast<std::uint8_t>(l | (sequences == 2 ? kTwoSequences : 0));
}

TLinkTiming ScriptTiming() {
    TLinkTiming t = TLinkTiming().Scaled(0.001);
    for (int* pause : {&t.WaitUnitMs, &t.CommandGapMs, &t.CommandConfirmMs, &t.SyncProbePauseMs, &t.SyncEscBeforeMs,
                       &t.SyncEscAfterMs, &t.BlockPauseMs})
        *pause = 0;
    t.WaitForLimitMs = -1;
    return t;
}

// ---------------------------------------------------------------- playing a script

TPortScript::TPortScript(const std::uint8_t* script, std::size_t size)
    : TPortMemory(*DecodeScriptOptions(size > 0 ? script[0] : 0).Traits),
      Options(DecodeScriptOptions(size > 0 ? script[0] : 0)),
      Next(size > 0 ? script + 1 : script),
      End(script + size) {}

int TPortScript::Open(int port, int bps, int byteDelayMs, const std::string&, bool, const std::string&) {
    return OpenAs(port, bps, byteDelayMs);
}

void TPortScript::Reply() {
    for (;;) {
        if (Next == End) return;
        const std::uint8_t length = *Next++;
        const std::size_t n = std::min<std::size_t>(length, static_cast<std::size_t>(End - Next));
        Pending.insert(Pending.end(), Next, Next + n);
        Next += n;
        if (length != kLongRun) return;
    }
}

int TPortScript::WriteByte(std::uint8_t b) {
    if (!IsOpen()) return -1;
    Written.push_back(b);
    Reply();
    return 0;
}

int TPortScript::WriteBuffer(const void* data, int n) {
    if (!IsOpen()) return -1;
    const auto* p = static_cast<const std::uint8_t*>(data);
    Written.insert(Written.end(), p, p + std::max(n, 0));
    Reply();
    return n;
}

bool TPortScript::Waiting() {
    if (!Pending.empty()) return true;
    if (Next == End) Close();
    return false;
}

int TPortScript::ReadByteTimed(int) {
    if (!IsOpen() || !Waiting()) return -1;
    const int b = Pending.front();
    Pending.pop_front();
    return b;
}

int TPortScript::ReadBufferTimed(void* buf, int n, int) {
    if (!IsOpen()) return -1;
    if (n <= 0) return 0;
    if (!Waiting()) return IsOpen() ? 0 : -1;
    const std::size_t k = std::min(static_cast<std::size_t>(n), Pending.size());
    std::copy_n(Pending.begin(), k, static_cast<std::uint8_t*>(buf));
    Pending.erase(Pending.begin(), Pending.begin() + static_cast<std::ptrdiff_t>(k));
    return static_cast<int>(k);
}

int TPortScript::ReadByte() {
    if (!IsOpen() || Pending.empty()) return -1;
    const int b = Pending.front();
    Pending.pop_front();
    return b;
}

void TPortScript::PollIo(int ms) {
    // Only a write brings more: the wait either runs out its time or meets the end of the script.
    if (!Waiting() && IsOpen() && ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// ---------------------------------------------------------------- recording one

int TScriptRecorder::WriteByte(std::uint8_t b) {
    const std::size_t before = Meter.Sent.size();
    const int r = TPortPipe::WriteByte(b);
    if (r >= 0) Note(before);
    return r;
}

int TScriptRecorder::WriteBuffer(const void* data, int n) {
    const std::size_t before = Meter.Sent.size();
    const int r = TPortPipe::WriteBuffer(data, n);
    if (r >= 0) Note(before);
    return r;
}

void TScriptRecorder::Note(std::size_t sentBefore) {
    Replies.emplace_back(Meter.Sent.begin() + static_cast<std::ptrdiff_t>(sentBefore), Meter.Sent.end());
}

std::vector<std::uint8_t> TScriptRecorder::Script(int sequences) const {
    std::vector<std::uint8_t> script{EncodeScriptOptions(Traits().Kind, sequences)};
    for (const auto& reply : Replies) {
        std::size_t at = 0;
        for (;;) {
            const std::size_t n = std::min<std::size_t>(reply.size() - at, kLongRun);
            script.push_back(static_cast<std::uint8_t>(n));
            script.insert(script.end(), reply.begin() + static_cast<std::ptrdiff_t>(at),
                          reply.begin() + static_cast<std::ptrdiff_t>(at + n));
            at += n;
            if (n < kLongRun) break;
        }
    }
    return script;
}

std::vector<std::unique_ptr<TElectSequence>> ScriptSequences() {
    std::vector<std::unique_ptr<TElectSequence>> list;
    list.push_back(MakeSequence(12, 20, 4));
    list.push_back(MakeSequence(16, 40, 0));
    return list;
}
