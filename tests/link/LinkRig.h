#pragma once
// A port on an in-memory pipe to the simulated meter, with a host that can act from inside
// the port's waits (as the upload window's Cancel does).
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Electsequence.h"
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

    explicit TLinkRig(const TLinkTraits& traits = kSerialLink, int speed = 273000) : port(meter, traits) {
        port.Timing = FastTiming();
        port.Open(traits.Kind == TLinkKind::IP ? 100 : traits.Kind == TLinkKind::USB ? 99 : 1, speed, 0,
                  "", false, "");
    }

    // Bytes the program sent to the meter, from index `from` on.
    std::vector<std::uint8_t> SentFrom(std::size_t from) const {
        return {meter.Received.begin() + static_cast<std::ptrdiff_t>(from), meter.Received.end()};
    }
    int CountReceived(std::uint8_t b) const {
        return static_cast<int>(std::count(meter.Received.begin(), meter.Received.end(), b));
    }
    // Runs the steps of the upload command up to the version: synchronise, read the version.
    std::int32_t Connect() {
        std::string name, speed;
        if (!port.Synchronize(name, speed)) return 0;
        std::uint8_t v[4];
        port.GetBuffer(v, 4);
        return static_cast<std::int32_t>(v[0] | (v[1] << 8) | (v[2] << 16) | (std::uint32_t(v[3]) << 24));
    }
};

inline std::vector<std::uint8_t> Bytes(std::initializer_list<int> list) {
    std::vector<std::uint8_t> v;
    for (int b : list) v.push_back(static_cast<std::uint8_t>(b));
    return v;
}

