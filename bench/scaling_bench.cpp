// Speed of the map solvers: the fit-and-gradient pass on each path and
// thread count, and whole Polish and Best map runs on clustered tables.
//
// Counter ns_per_pair: wall time in nanoseconds per pair for one pass (the
// library prints an inverted rate with an "s" after it: "0.29s" reads as
// 0.29 ns). Counter fit: the LayoutFitness of the map a run ends with.

#include "data/distance_data.h"
#include "fit/layout_fitness.h"
#include "scaling/best_map.h"
#include "scaling/classical_scaling.h"
#include "fit/fit_gradient.h"
#include "scaling/map_polish.h"

#include "clustered_tables.h"
#include "pass_benchmark.h"
#include "random_tables.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <random>
#include <vector>

namespace {

using namespace tessarin;
using bench::ClusteredTable;

// Arguments: path (1 portable, 2 avx2, 3 avx512), threads, N.
void BM_FitGradientPass(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(2));
    const std::optional<FitOptions> options = bench::PathOptions(state, state.range(0), state.range(1));
    if (!options)
        return;
    const DistanceData &data = ClusteredTable(n);
    FitGradient fitGradient(data, 2, *options);
    const std::vector<double> coords = bench::RandomCoords(n);
    std::vector<double> gradient(coords.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(fitGradient.evaluate(coords.data(), 0.0, gradient.data()));
        benchmark::ClobberMemory();
    }
    bench::SetNsPerPair(state, n);
    state.SetLabel(std::string(FitPathName(options->path)) + ", " + std::to_string(options->threads) + " thread(s)");
}

void GradientArguments(benchmark::internal::Benchmark *b)
{
    for (int path : {3, 2, 1})
        for (int threads : {1, 2})
            for (int n : {300, 1000, 3000})
                b->Args({path, threads, n});
    b->ArgNames({"path", "threads", "N"});
}

// The classical start and its polish, as --start classical --polish runs them.
void BM_ClassicalPolishRun(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    const DistanceData &data = ClusteredTable(n);
    PolishResult result;
    for (auto _ : state)
        result = PolishLayout(data, ClassicalLayout(data));
    state.counters["fit"] = result.fit;
    state.counters["iterations"] = result.iterations;
}

void BM_BestMapRun(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    const DistanceData &data = ClusteredTable(n);
    BestMapResult result;
    for (auto _ : state)
        result = FindBestMap(data);
    state.counters["fit"] = result.fit;
    state.counters["classical_fit"] = LayoutFitness(data, ClassicalLayout(data));
    state.SetLabel("route " + result.winner + " won");
}

} // namespace

BENCHMARK(BM_FitGradientPass)->Apply(GradientArguments)->UseRealTime();
BENCHMARK(BM_ClassicalPolishRun)->ArgName("N")->Arg(300)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BestMapRun)->ArgName("N")->Arg(300)->Arg(1000)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
