// The second-model export: writing the .sqt file of a full list.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "export/ReskonSolvy.h"
#include "export/SolvySettings.h"

namespace {
// Keeps the benchmark away from the user's settings.
class TNullStore : public TSolvyConfigStore {
public:
    std::optional<std::vector<std::uint8_t>> Read() override { return std::nullopt; }
    void Write(const std::uint8_t*, std::size_t) override {}
};

void BM_SaveFullSqt(benchmark::State& state) {
    auto s = std::make_unique<TElectSequence>();
    const int electrodes = kMaxElectrodes - 1;
    s->Grid.NX = electrodes;
    for (int k = 1; k <= electrodes; ++k) s->Grid.Nodes[k] = TElectGridNode{1, k, 1};
    s->Grid.FirstElectrode = 1;
    s->Grid.LastElectrode = s->Grid.ElectrodeCount = electrodes;
    s->ComputeElectrodePositions();
    for (int q = 0; q < kMaxQuadripoles; ++q) {
        const std::uint32_t a = 1 + q % 1000, n = 1 + q % 7;
        const std::uint32_t abmn[4] = {a, a + 1, a + 1 + n, a + 2 + n};
        s->InsertQuadripole(q, abmn, q % 50 == 0 ? -1 : 1, 1, 1, 0);
    }
    TNullStore store;
    TReskonSolvy model(s.get(), &store);
    model.LoadFromSequence();
    const std::string name =
        (std::filesystem::temp_directory_path() / ("bench_export_" + std::to_string(getpid()) + ".sqt")).string();
    for (auto _ : state) benchmark::DoNotOptimize(model.SaveSqt(name));
    std::filesystem::remove(name);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * (10400 + 40 * electrodes + 24 * kMaxQuadripoles));
}
BENCHMARK(BM_SaveFullSqt)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
