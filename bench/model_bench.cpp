// Speed of the stress models: the loss-and-gradient pass per model and
// thread count, and each model's whole best map on clustered tables of 300
// and 1797 items, timed in the same run as the fit's best map.
//
// Counter ns_per_pair: wall time in nanoseconds per pair for one pass (an
// inverted rate: "1.2s" reads as 1.2 ns). BM_ModelBestMap's counters: the
// model's stress, and seconds and vs_fit, its time and that time over the fit's best map's measured
// just before it (the model's route b makes its own fit's best map, so the
// ratio includes it).

#include "data/distance_data.h"
#include "models/model_best_map.h"
#include "models/model_loss.h"
#include "scaling/best_map.h"

#include "clustered_tables.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace tessarin;
using bench::ClusteredTable;

double secondsOf(const std::function<void()> &work)
{
    const auto started = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

// Arguments: model (1 ratio .. 4 Sammon), path (1 portable, 2 avx2, 3
// avx512), threads, N.
void BM_ModelLossPass(benchmark::State &state)
{
    const ModelSetting setting{static_cast<StressModel>(state.range(0)), TieApproach::Primary};
    const auto path = static_cast<FitPath>(state.range(1));
    const int n = static_cast<int>(state.range(3));
    if (!FitPathSupported(path)) {
        state.SkipWithError("this CPU lacks the path");
        return;
    }
    GradientOptions options;
    options.path = path;
    options.threads = static_cast<int>(state.range(2));
    const DistanceData &data = ClusteredTable(n);
    ModelLoss loss(data, setting, 2, nullptr, options);
    std::vector<double> coords(2 * static_cast<std::size_t>(n)), gradient(coords.size());
    std::mt19937 engine(5);
    std::uniform_real_distribution<double> uniform(0.0, 1000.0);
    for (double &c : coords)
        c = uniform(engine);
    for (auto _ : state) {
        benchmark::DoNotOptimize(loss.evaluate(coords.data(), gradient.data()));
        benchmark::ClobberMemory();
    }
    const double pairs = static_cast<double>(n) * (n - 1) / 2;
    state.counters["ns_per_pair"] =
        benchmark::Counter(pairs * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetLabel(std::string(ModelKey(setting.model)) + ", " + FitPathName(path) + ", " +
                   std::to_string(options.threads) + " thread(s)");
}

void PassArguments(benchmark::internal::Benchmark *b)
{
    for (int model : {1, 2, 3, 4}) {
        for (int path : {1, 2, 3})
            b->Args({model, path, 1, 1797});
        b->Args({model, 3, 2, 1797});
        b->Args({model, 3, 1, 300});
    }
    b->ArgNames({"model", "path", "threads", "N"});
}

// Arguments: model (1 ratio .. 4 Sammon), N.
void BM_ModelBestMap(benchmark::State &state)
{
    const ModelSetting setting{static_cast<StressModel>(state.range(0)), TieApproach::Primary};
    const int n = static_cast<int>(state.range(1));
    const DistanceData &data = ClusteredTable(n);
    double fitSeconds = 0.0, modelSeconds = 0.0;
    ModelBestMapResult result;
    for (auto _ : state) {
        fitSeconds = secondsOf([&] { benchmark::DoNotOptimize(FindBestMap(data).fit); });
        modelSeconds = secondsOf([&] { result = FindBestModelMap(data, setting); });
    }
    state.counters["stress"] = result.stress;
    state.counters["seconds"] = modelSeconds;
    state.counters["fit_seconds"] = fitSeconds;
    state.counters["vs_fit"] = modelSeconds / fitSeconds;
    state.SetLabel(std::string(ModelKey(setting.model)) + ", route " + result.winner + " won");
}

void BestMapArguments(benchmark::internal::Benchmark *b)
{
    for (int n : {300, 1797})
        for (int model : {1, 2, 3, 4})
            b->Args({model, n});
    b->ArgNames({"model", "N"});
}

} // namespace

BENCHMARK(BM_ModelLossPass)->Apply(PassArguments)->UseRealTime();
BENCHMARK(BM_ModelBestMap)->Apply(BestMapArguments)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
