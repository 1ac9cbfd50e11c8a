// A full sequence (16000 quadripoles, electrodes 0..1319) uploaded through the in-memory pipe
// to the simulated meter with the real pauses of the link. The floor is the sum of those
// pauses; the time above it is the link's own cost.
#include <benchmark/benchmark.h>

#include <memory>

#include "Electsequence.h"
#include "MeterSim.h"
#include "PipePort.h"
#include "RecordingHost.h"

namespace {

class TProgressBar : public TProgressSink {
public:
    int Pos = 0;
    void SetRange(int, int) override {}
    void SetPosition(int position) override { Pos = position; }
    int Position() const override { return Pos; }
};

std::unique_ptr<TElectSequence> FullSequence() {
    auto s = std::make_unique<TElectSequence>();
    const int electrodes = kMaxElectrodes - 1;
    s->Grid.NX = electrodes;
    s->Grid.FirstElectrode = 1;
    s->Grid.LastElectrode = electrodes;
    s->Grid.ElectrodeCount = electrodes;
    for (int k = 1; k <= electrodes; ++k) s->Grid.Nodes[k] = TElectGridNode{1, k, 1};
    s->ComputeElectrodePositions();
    s->SpacingLevels[0].Selected[0] = 1;
    s->SpacingLevels[0].SelectedCount = 1;
    for (int q = 0; q < kMaxQuadripoles; ++q) {
        const int a = q % (electrodes - 3) + 1;
        s->Device.Quadripoles[q] = TQuadripole{std::uint16_t(a), std::uint16_t(a + 1), std::uint16_t(a + 2),
                                               std::uint16_t(a + 3)};
        s->QuadInfo[q].Level = std::int16_t(q % 9 == 8 ? -1 : 1);
    }
    s->Device.LastQuadripole = kMaxQuadripoles - 1;
    return s;
}

int Blocks(int bytes) { return (bytes + 527) / 528; }

void BM_UploadFullSequence(benchmark::State& state) {
    TRecordingHost host;
    TMeterSim meter;
    meter.Knobs.Status = 0;  // the meter never fills up
    TPortPipe port(meter);
    port.Open(1, 273000, 0, "", false, "");
    std::string name, speed;
    port.Synchronize(name, speed);
    std::uint8_t version[4];
    port.GetBuffer(version, 4);
    auto s = FullSequence();
    TProgressBar progress;

    const TLinkTiming& t = port.Timing;
    const int transfers = 4;
    const int blocks = Blocks(int(kDeviceHeaderSize)) + Blocks(kMaxElectrodes * 12) + Blocks(48) +
                       Blocks(kMaxQuadripoles * 8);
    const double floorMs =
        t.CommandGapMs + t.CommandConfirmMs + transfers * t.BlockPauseMs + blocks * t.BlockPauseMs;

    for (auto _ : state) {
        const std::int32_t r = s->Upload(port, 0x20000003, &progress);
        if (r != 0 || meter.Images.empty() || !meter.Images.back().Complete) {
            state.SkipWithError("upload failed");
            break;
        }
        state.PauseTiming();
        meter.ClearRecords();
        state.ResumeTiming();
    }
    state.counters["pause_floor_ms"] = floorMs;
    state.counters["blocks"] = blocks;
}

}  // namespace

BENCHMARK(BM_UploadFullSequence)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

BENCHMARK_MAIN();
