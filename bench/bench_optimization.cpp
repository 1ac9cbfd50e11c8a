// Multi-channel optimisation with polarisation deletion on full lists, and the text import.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "ComputedLists.h"
#include "Electsequence.h"
#include "Host.h"
#include "PlainOptimization.h"

namespace {
class TQuietHost : public THost {
public:
    void ShowMessage(const std::string&) override {}
    bool Ask(const std::string&, const std::string&) override { return false; }
    void ProcessMessages() override {}
    void SetWaitCursor(bool) override {}
};

// A full list of 16000 quadripoles on a line of 1319 electrodes, gap fillers allowed, 10 channels.
std::unique_ptr<TElectSequence> FullList(int array) {
    auto s = std::make_unique<TElectSequence>();
    PlaceLineOfElectrodes(*s, 1319, 5.0f);
    if (array == 1)
        AddDipoleDipoleLine(*s, 1319, 3, 6);
    else
        AddMultigradientLine(*s, 1319, 3, 6);
    s->ChannelOptions.MultiChannelOptimization = 1;
    s->ChannelOptions.AllowDummyQuadripoles = 1;
    s->ChannelOptions.OptimizationChannel = 10;
    return s;
}

template <bool Plain>
void Optimise(benchmark::State& state) {
    const auto source = FullList(static_cast<int>(state.range(0)));
    auto work = std::make_unique<TElectSequence>();
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(static_cast<void*>(work.get()), source.get(), sizeof(TElectSequence));
        state.ResumeTiming();
        if constexpr (Plain) {
            PlainMultiChannelOptimization(*work);
            PlainDelPolarEffect(*work);
        } else {
            work->MultiChannelOptimization();
            work->DelPolarEffect();
        }
        benchmark::DoNotOptimize(work->MeasurementCycles);
    }
    state.counters["quadripoles"] = work->QuadripoleCount();
    state.counters["cycles"] = work->MeasurementCycles;
}

void BM_OptimiseAndDelPolar(benchmark::State& state) { Optimise<false>(state); }
void BM_OptimiseAndDelPolarStepByStep(benchmark::State& state) { Optimise<true>(state); }

void BM_ImportText(benchmark::State& state) {
    TQuietHost host;
    SetHost(&host);
    const auto dir = std::filesystem::temp_directory_path() / ("planora-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string txt = (dir / "line.txt").string();
    FullList(1)->ExportTextFile(txt, "\t");
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<TElectSequence>();
        state.ResumeTiming();
        const bool ok = s->ImportTextFile(txt);
        benchmark::DoNotOptimize(ok);
        if (!ok || s->QuadripoleCount() != kMaxQuadripoles) state.SkipWithError("import failed");
    }
    std::filesystem::remove_all(dir);
    SetHost(nullptr);
}
}  // namespace

// Argument: 1 dipole-dipole, 11 multigradient.
BENCHMARK(BM_OptimiseAndDelPolar)->Arg(1)->Arg(11)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OptimiseAndDelPolarStepByStep)->Arg(1)->Arg(11)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportText)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
