// A full sequence (16000 quadripoles, electrodes 0..1319) uploaded through the in-memory pipe
// to the simulated meter with the real pauses of the link. The floor is the sum of those
// pauses; the time above it is the link's own cost.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/Electsequence.h"
#include "link/PortNumbers.h"
#include "link/UploadSession.h"
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
    TUploadLog quiet;
    TProgressBar progress;
    TUploadSession session(&port, quiet, &progress);
    if (!session.Open({kFirstSerialPortNumber, kHighSpeed, ""}) || !session.Connect()) {
        state.SkipWithError("no meter");
        return;
    }
    auto s = FullUploadSequence();

    const double floorMs = UploadPauseFloorMs(port.Timing);

    for (auto _ : state) {
        const TSequenceResult r = session.Send(0, *s);
        if (r.Outcome != TSequenceOutcome::Stored || meter.Images.empty() || !meter.Images.back().Complete) {
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
