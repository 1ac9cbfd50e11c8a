#pragma once
// A port on an in-memory pipe to the simulated meter, with a host that can act from inside
// the port's waits (as the upload window's Cancel does).
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Electsequence.h"
#include "MeterSim.h"
#include "PipePort.h"
#include "RecordingHost.h"

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

// A computed-looking sequence: a line of `electrodes` electrodes and `quads` quadripoles, every
// `gapEvery`-th of them (when not 0) a gap filler.
inline std::unique_ptr<TElectSequence> MakeSequence(int electrodes, int quads, int gapEvery = 0) {
    auto s = std::make_unique<TElectSequence>();
    s->Grid.NX = electrodes;
    s->Grid.FirstElectrode = 1;
    s->Grid.LastElectrode = electrodes;
    s->Grid.ElectrodeCount = electrodes;
    for (int k = 1; k <= electrodes; ++k) s->Grid.Nodes[k] = TElectGridNode{1, k, 1};
    s->ComputeElectrodePositions();
    s->SpacingLevels[0].Selected[0] = 1;
    s->SpacingLevels[0].SelectedCount = 1;
    for (int q = 0; q < quads; ++q) {
        const int a = q % (electrodes - 3) + 1;
        s->Device.Quadripoles[q] = TQuadripole{std::uint16_t(a), std::uint16_t(a + 1), std::uint16_t(a + 2),
                                               std::uint16_t(a + 3)};
        const bool gap = gapEvery > 0 && q % gapEvery == gapEvery - 1;
        s->QuadInfo[q].Level = std::int16_t(gap ? -1 : 1);
        s->QuadInfo[q].SpacingCoef = std::uint16_t(gap ? 0 : 1);
    }
    s->Device.LastQuadripole = quads - 1;
    s->RemoteElectrodes[0] = TElectrodeXYZ{-100.0f, 0.0f, 0.0f};
    s->RemoteElectrodes[1] = TElectrodeXYZ{500.0f, 2.5f, 0.0f};
    return s;
}
