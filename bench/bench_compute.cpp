// The compute workflow on full lists: generation past 16000 quadripoles, the multi-channel
// optimisation with gap fillers and the polarisation deletion, with the figures.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/Compute.h"
#include "engine/Electsequence.h"

namespace {
// Dipole-dipole with a = 1..3 and n = 1..6 on nx x ny electrodes, 5 m apart: more quadripoles
// than the list holds on both layouts.
std::unique_ptr<TElectSequence> Layout(int nx, int ny) {
    auto s = std::make_unique<TElectSequence>();
    TElectGrid& g = s->Grid;
    g.GridType = ny > 1 ? gtSurface : gtLine;
    g.NX = nx;
    g.NY = ny;
    g.DX = g.DY = 5.0f;
    for (int iy = 1, k = 1; iy <= ny; ++iy)
        for (int ix = 1; ix <= nx; ++ix, ++k) g.Nodes[k] = TElectGridNode{1, ix, iy};
    g.FirstElectrode = 1;
    g.LastElectrode = g.ElectrodeCount = nx * ny;
    s->SetArrayType(atDipoleDipole);
    for (int a = 1; a <= 3; ++a) {
        for (int n = 1; n <= 6; ++n) s->SpacingLevels[a - 1].Selected[n - 1] = 1;
        s->SpacingLevels[a - 1].SelectedCount = 6;
    }
    return s;
}

// Arguments: columns, rows.
void BM_RunComputation(benchmark::State& state) {
    const auto source = Layout(int(state.range(0)), int(state.range(1)));
    auto work = std::make_unique<TElectSequence>();
    const TComputeOptions options;  // optimised, polarisation deleted
    TComputeFigures figures;
    for (auto _ : state) {
        state.PauseTiming();
        *work = *source;
        state.ResumeTiming();
        figures = RunComputation(*work, options);
        benchmark::DoNotOptimize(figures);
    }
    state.counters["generated"] = figures.Original.Quadripoles;
    state.counters["quadripoles"] = figures.Optimised ? figures.Optimised->Quadripoles : 0;
    state.counters["cycles"] = figures.Optimised ? figures.Optimised->Injections : 0;
}
}  // namespace

BENCHMARK(BM_RunComputation)
    ->Args({1319, 1})
    ->Args({48, 27})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
