#pragma once
// Sequences and a progress bar for the upload tests and benchmarks.
#include <cstdint>
#include <memory>

#include "engine/Electsequence.h"
#include "link/Portvirt.h"

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

// A full sequence: 16000 quadripoles on 1319 electrodes, every ninth a gap filler.
inline std::unique_ptr<TElectSequence> FullUploadSequence() {
    return MakeSequence(kMaxElectrodes - 1, kMaxQuadripoles, 9);
}

class TProgressBar : public TProgressSink {
public:
    int Pos = 0;
    void SetRange(int, int) override {}
    void SetPosition(int position) override { Pos = position; }
    int Position() const override { return Pos; }
};

// The sum of the pauses the link makes while it sends one full sequence: the floor of any
// upload time.
inline double UploadPauseFloorMs(const TLinkTiming& t) {
    auto blocks = [](int bytes) { return (bytes + 527) / 528; };
    const int transfers = 4;
    const int count = blocks(int(kDeviceHeaderSize)) + blocks(kMaxElectrodes * 12) + blocks(48) +
                      blocks(kMaxQuadripoles * 8);
    return t.CommandGapMs + t.CommandConfirmMs + transfers * t.BlockPauseMs + count * t.BlockPauseMs;
}
