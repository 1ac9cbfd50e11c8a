// A full sequence (16000 quadripoles, electrodes 0..1319) uploaded through the in-memory pipe
// to the simulated meter with the real pauses of the link. The floor is the sum of those
// pauses; the time above it is the link's own cost.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/Electsequence.h"
#include "tests/support/MeterSim.h"
#include "tests/support/PipePort.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/UploadSequence.h"

namespace {


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
    auto s = FullUploadSequence();
    TProgressBar progress;

    const double floorMs = UploadPauseFloorMs(port.Timing);

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
}

}  // namespace

BENCHMARK(BM_UploadFullSequence)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

BENCHMARK_MAIN();
