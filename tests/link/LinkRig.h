#pragma once
// A port on an in-memory pipe to the simulated meter, with a host that can act from inside
// the port's waits (as the upload window's Cancel does).
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "engine/Electsequence.h"
#include "link/PortNumbers.h"
#include "link/UploadSession.h"
#include "tests/support/MeterSim.h"
#include "tests/support/PipePort.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/UploadSequence.h"

class TActingHost : public TRecordingHost {
public:
    std::function<void()> OnProcess;  // runs inside every ProcessMessages
    void ProcessMessages() override {
        TRecordingHost::ProcessMessages();
        if (OnProcess) OnProcess();
    }
};

// Timing of the tests: every pause and limit a thousandth of the real one.
inline TLinkTiming FastTiming() { return TLinkTiming().Scaled(0.001); }

struct TLinkRig {
    TActingHost host;
    TMeterSim meter;
    TPortPipe port;
    TUploadLog log;  // shows nothing
    TUploadSession session{&port, log};

    explicit TLinkRig(const TLinkTraits& traits = kSerialLink, int speed = kHighSpeed) : port(meter, traits) {
        port.Timing = FastTiming();
        port.Open(PortNumberFor(traits.Kind), speed, 0, "", false, "");
    }

    // Bytes the program sent to the meter, from index `from` on.
    std::vector<std::uint8_t> SentFrom(std::size_t from) const {
        return {meter.Received.begin() + static_cast<std::ptrdiff_t>(from), meter.Received.end()};
    }
    int CountReceived(std::uint8_t b) const {
        return static_cast<int>(std::count(meter.Received.begin(), meter.Received.end(), b));
    }
    // The upload command's steps up to the meter's software version (0 when not synchronised).
    std::int32_t Connect() { return session.Connect() ? session.Report().Version : 0; }
};

// One entry's result as the upload session reports it.
inline TSequenceResult Stored(int entry, int memory) { return {entry, TSequenceOutcome::Stored, memory}; }
inline TSequenceResult Failed(int entry, TSequenceOutcome outcome) { return {entry, outcome, -1}; }

inline void PrintTo(const TSequenceResult& r, std::ostream* os) {
    static const char* const names[] = {"Stored", "NotComputed", "SoftwareTooOld", "UploadError", "MemoryFull"};
    *os << "{entry " << r.Entry << ", " << names[static_cast<int>(r.Outcome)] << ", memory " << r.Memory << "}";
}

inline std::vector<std::uint8_t> Bytes(std::initializer_list<int> list) {
    std::vector<std::uint8_t> v;
    for (int b : list) v.push_back(static_cast<std::uint8_t>(b));
    return v;
}

