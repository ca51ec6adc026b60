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

#include "random_tables.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <random>
#include <vector>

namespace {

using namespace tessarin;

/// N items in 6 clusters in 5 dimensions, 5 % noise on the distances, the
/// same for every run (fixed seed); statistics as the reader takes them.
const DistanceData &ClusteredTable(int n)
{
    static std::map<int, DistanceData> tables;
    auto found = tables.find(n);
    if (found != tables.end())
        return found->second;
    std::mt19937 engine(20261207);
    std::uniform_real_distribution<double> centre(0.0, 100.0);
    std::normal_distribution<double> spread(0.0, 8.0);
    std::uniform_real_distribution<double> noise(-0.05, 0.05);
    constexpr int Dims = 5, Clusters = 6;
    std::vector<double> centres(Clusters * Dims), points(static_cast<std::size_t>(n) * Dims);
    for (double &c : centres)
        c = centre(engine);
    for (int i = 0; i < n; ++i)
        for (int d = 0; d < Dims; ++d)
            points[i * Dims + d] = centres[(i % Clusters) * Dims + d] + spread(engine);
    DistanceData data = bench::TableOf(n, [&](int i, int j) {
        double squared = 0.0;
        for (int d = 0; d < Dims; ++d)
            squared += std::pow(points[(i - 1) * Dims + d] - points[(j - 1) * Dims + d], 2);
        return static_cast<float>(std::sqrt(squared) * (1.0 + noise(engine)));
    });
    return tables.emplace(n, std::move(data)).first->second;
}

// Arguments: path (1 portable, 2 avx2, 3 avx512), threads, N.
void BM_FitGradientPass(benchmark::State &state)
{
    const auto path = static_cast<FitPath>(state.range(0));
    const int n = static_cast<int>(state.range(2));
    if (!FitPathSupported(path)) {
        state.SkipWithError("this CPU lacks the path");
        return;
    }
    FitOptions options;
    options.path = path;
    options.threads = static_cast<int>(state.range(1));
    const DistanceData &data = ClusteredTable(n);
    FitGradient fitGradient(data, 2, options);
    std::vector<double> coords(2 * static_cast<std::size_t>(n)), gradient(coords.size());
    std::mt19937 engine(5);
    std::uniform_real_distribution<double> uniform(0.0, 1000.0);
    for (double &c : coords)
        c = uniform(engine);
    for (auto _ : state) {
        benchmark::DoNotOptimize(fitGradient.evaluate(coords.data(), 0.0, gradient.data()));
        benchmark::ClobberMemory();
    }
    const double pairs = static_cast<double>(n) * (n - 1) / 2;
    state.counters["ns_per_pair"] =
        benchmark::Counter(pairs * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetLabel(std::string(FitPathName(path)) + ", " + std::to_string(options.threads) + " thread(s)");
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
