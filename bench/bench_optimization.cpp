// Multi-channel optimisation with polarisation deletion on full lists, and the text import.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "tests/support/ComputedLists.h"
#include "engine/Electsequence.h"
#include "engine/Host.h"
#include "tests/support/PlainOptimization.h"

namespace {
class TQuietHost : public THost {
public:
    void ShowMessage(const std::string&) override {}
    bool Ask(const std::string&, const std::string&) override { return false; }
    void ProcessMessages() override {}
    void SetWaitCursor(bool) override {}
};

// Dipole-dipole computed on a surface of 48 x 27 electrodes, cut at 16000 quadripoles: the X and
// Y quadripoles of each node alternate in the list.
void ComputedSurface(TElectSequence& s) {
    TElectGrid& g = s.Grid;
    g.GridType = gtSurface;
    g.NX = 48;
    g.NY = 27;
    g.DX = g.DY = 5.0f;
    for (int iy = 1, k = 1; iy <= 27; ++iy)
        for (int ix = 1; ix <= 48; ++ix, ++k) g.Nodes[k] = TElectGridNode{1, ix, iy};
    g.FirstElectrode = 1;
    g.LastElectrode = g.ElectrodeCount = 48 * 27;
    s.SetArrayType(1);
    for (int a = 1; a <= 3; ++a) {
        for (int n = 1; n <= 6; ++n) s.SpacingLevels[a - 1].Selected[n - 1] = 1;
        s.SpacingLevels[a - 1].SelectedCount = 6;
    }
    s.ComputeElectrodePositions();
    s.ComputeSequence(false, false);
}

// A full list of 16000 quadripoles, gap fillers allowed, 10 channels: on a line of 1319
// electrodes, or computed on a surface.
std::unique_ptr<TElectSequence> FullList(int array) {
    auto s = std::make_unique<TElectSequence>();
    if (array != 3) PlaceLineOfElectrodes(*s, 1319, 5.0f);
    if (array == 3)
        ComputedSurface(*s);
    else if (array == 1)
        AddDipoleDipoleLine(*s, 1319, 3, 6);
    else if (array == 2)
        AddDipoleDipoleLineByLevel(*s, 1319, 3, 6);
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

// Argument: 1 dipole-dipole, 11 multigradient, 2 dipole-dipole stored level by level,
// 3 dipole-dipole computed on a surface.
BENCHMARK(BM_OptimiseAndDelPolar)->Arg(1)->Arg(11)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OptimiseAndDelPolarStepByStep)->Arg(1)->Arg(11)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportText)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
