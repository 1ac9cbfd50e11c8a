// Every generator on the largest layouts, with every cell of the depth-level grid selected
// and with one row of every other level.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/Electsequence.h"

namespace {

struct Layout {
    const char* name;
    std::int32_t gridType;
    int nx, ny;
};
constexpr Layout kLine{"line1319", 0, 1319, 1};
constexpr Layout kSurface{"surface48x27", 1, 48, 27};
constexpr Layout kBoreholes8{"borehole8x162", 2, 8, 162};
constexpr Layout kBoreholes36{"borehole36x36", 2, 36, 36};

std::unique_ptr<TElectSequence> Make(const Layout& l, std::int32_t arrayType, bool full) {
    auto s = std::make_unique<TElectSequence>();
    s->Grid.GridType = l.gridType;
    s->Grid.NX = l.nx;
    s->Grid.NY = l.ny;
    s->Grid.ArrayType = arrayType;
    int k = 1;
    for (int iy = 1; iy <= l.ny; ++iy)
        for (int ix = 1; ix <= l.nx; ++ix, ++k) {
            s->Grid.Nodes[k] = TElectGridNode{1, ix, iy};
            s->Grid.LastElectrode = k;
        }
    s->Grid.FirstElectrode = 1;
    s->Grid.ElectrodeCount = k - 1;
    for (int a = 1; a <= 9; ++a)
        for (int n = 1; n <= 128; ++n)
            if (full || (a == 1 && n % 2 == 1)) s->SpacingLevels[a - 1].Selected[n - 1] = 1;
    s->ComputeElectrodePositions();
    return s;
}

void Run(benchmark::State& state, std::int32_t (TElectSequence::*generator)(), Layout l, std::int32_t arrayType,
         bool full) {
    auto s = Make(l, arrayType, full);
    std::int32_t count = 0;
    for (auto _ : state) {
        s->MaxDepthX = s->MaxDepthY = 0;
        count = ((*s).*generator)();
        benchmark::DoNotOptimize(count);
    }
    state.counters["quadripoles"] = count;
}

struct Generator {
    const char* name;
    std::int32_t (TElectSequence::*fn)();
    std::int32_t arrayType;
    bool borehole;
};
const Generator kGenerators[] = {
    {"DipoleDipole", &TElectSequence::ComputeDipoleDipole, 1, false},
    {"DipoleDipoleEquatorial", &TElectSequence::ComputeDipoleDipoleEquatorial, 2, false},
    {"PoleDipoleForward", &TElectSequence::ComputePoleDipoleForward, 3, false},
    {"PoleDipoleReverse", &TElectSequence::ComputePoleDipoleReverse, 4, false},
    {"Wenner", &TElectSequence::ComputeWenner, 5, false},
    {"WennerDelPolar", &TElectSequence::ComputeWennerDelPolar, 5, false},
    {"WennerSchlumberger", &TElectSequence::ComputeWennerSchlumberger, 6, false},
    {"WennerSchlumbergerDelPolar", &TElectSequence::ComputeWennerSchlumbergerDelPolar, 6, false},
    {"WSReciprocal", &TElectSequence::ComputeWSReciprocal, 7, false},
    {"Gradient", &TElectSequence::ComputeGradient, 8, false},
    {"CompletePolePole", &TElectSequence::ComputeCompletePolePole, 9, false},
    {"CrossDiagonalPolePole", &TElectSequence::ComputeCrossDiagonalPolePole, 10, false},
    {"MultiGradient", &TElectSequence::ComputeMultiGradient, 11, false},
    {"CrossDiagonalDipoleDipole", &TElectSequence::ComputeCrossDiagonalDipoleDipole, 12, false},
    {"CrossDiagonalPoleDipoleForward", &TElectSequence::ComputeCrossDiagonalPoleDipoleForward, 13, false},
    {"CrossDiagonalPoleDipoleReverse", &TElectSequence::ComputeCrossDiagonalPoleDipoleReverse, 14, false},
    {"BoreholeDipoleDipoleDiagonal", &TElectSequence::ComputeBoreholeDipoleDipoleDiagonal, 1, true},
    {"BoreholeDipoleDipoleEquatorial", &TElectSequence::ComputeBoreholeDipoleDipoleEquatorial, 2, true},
};

// The whole computation as the compute command runs it: generator, list close, cycle count.
void RunComputeSequence(benchmark::State& state, Layout l, std::int32_t arrayType, bool full) {
    auto s = Make(l, arrayType, full);
    for (auto _ : state) s->ComputeSequence(false, false);
    state.counters["quadripoles"] = s->Device.LastQuadripole + 1;
}

const int kRegistered = [] {
    for (const Generator& g : kGenerators) {
        const Layout* layouts[2] = {&kLine, &kSurface};
        const Layout* boreholes[2] = {&kBoreholes8, &kBoreholes36};
        for (const Layout* l : g.borehole ? boreholes : layouts)
            for (bool full : {true, false})
                benchmark::RegisterBenchmark(
                    (std::string(g.name) + "/" + l->name + (full ? "/all-cells" : "/one-row-odd-levels")).c_str(),
                    Run, g.fn, *l, g.arrayType, full)
                    ->Unit(benchmark::kMillisecond);
    }
    for (bool full : {true, false})
        benchmark::RegisterBenchmark(
            (std::string("ComputeSequence/CompletePolePole/surface48x27") + (full ? "/all-cells" : "/one-row-odd-levels"))
                .c_str(),
            RunComputeSequence, kSurface, 9, full)
            ->Unit(benchmark::kMillisecond);
    return 0;
}();

}  // namespace

BENCHMARK_MAIN();
