// Hot paths of the sequence object: filling a full list, counting its cycles, the .sqz file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "engine/Electsequence.h"

namespace {
std::unique_ptr<TElectSequence> LineSequence(int electrodes) {
    auto s = std::make_unique<TElectSequence>();
    s->Grid.NX = electrodes;
    for (int k = 1; k <= electrodes; ++k) s->Grid.Nodes[k] = TElectGridNode{1, k, 1};
    s->Grid.FirstElectrode = 1;
    s->Grid.LastElectrode = s->Grid.ElectrodeCount = electrodes;
    s->ComputeElectrodePositions();
    return s;
}

void Fill(TElectSequence& s) {
    s.ClearQuadripoles();
    for (int q = 0; q < kMaxQuadripoles; ++q) {
        const std::uint32_t a = 1 + q % 60, n = 1 + q % 7;
        const std::uint32_t abmn[4] = {a, a + 1, a + 1 + n, a + 2 + n};
        s.InsertQuadripole(q, abmn, static_cast<std::int32_t>(n), 1, 1, 0);
    }
}

void BM_FillFullList(benchmark::State& state) {
    auto s = LineSequence(96);
    for (auto _ : state) {
        Fill(*s);
        benchmark::DoNotOptimize(s->Device.LastQuadripole);
    }
}
BENCHMARK(BM_FillFullList)->Unit(benchmark::kMillisecond);

void BM_CountMeasurements(benchmark::State& state) {
    auto s = LineSequence(96);
    Fill(*s);
    for (auto _ : state) {
        s->CountMeasurements();
        benchmark::DoNotOptimize(s->MeasurementCycles);
    }
}
BENCHMARK(BM_CountMeasurements)->Unit(benchmark::kMicrosecond);

void BM_SaveAndLoad(benchmark::State& state) {
    auto s = LineSequence(96);
    Fill(*s);
    const std::string path =
        (std::filesystem::temp_directory_path() / ("planora-bench-" + std::to_string(::getpid()) + ".sqz")).string();
    auto loaded = std::make_unique<TElectSequence>();
    for (auto _ : state) {
        s->SaveToFile(path);
        loaded->LoadFromFile(path);
        benchmark::DoNotOptimize(loaded->Device.LastQuadripole);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveAndLoad)->Unit(benchmark::kMillisecond);

// Reading a full sequence's file back, alone: what opening a file and each line of the list at
// start-up cost.
void BM_Load(benchmark::State& state) {
    auto s = LineSequence(96);
    Fill(*s);
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("planora-bench-load-" + std::to_string(::getpid()) + ".sqz"))
                                 .string();
    if (!s->SaveToFile(path)) state.SkipWithError("the file was not written");
    auto loaded = std::make_unique<TElectSequence>();
    for (auto _ : state) {
        loaded->LoadFromFile(path);
        benchmark::DoNotOptimize(loaded->Device.LastQuadripole);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_Load)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
