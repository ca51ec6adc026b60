// Speed of the fit: the literal two-pass form, the single-layout fit and the
// batched fit on each path and thread count, and whole search runs.
//
// Counter ns_per_pair_trial: wall time in nanoseconds per pair and per
// trial scored (a trial is one layout; every benchmark scores 8 a call). The
// library prints an inverted rate with an "s" after it: "0.29s" reads as
// 0.29 ns.

#include "data/distance_data.h"
#include "fit/layout_fitness.h"
#include "fit/fit_kernel.h"
#include "search/layout_search.h"
#include "base/random_source.h"

#include "pass_benchmark.h"
#include "random_tables.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <vector>

namespace {

using namespace tessarin;
using bench::RandomDistances;

constexpr int Trials = 8;

std::vector<std::vector<float>> RandomLayouts(int n)
{
    return bench::RandomLayouts(n, Trials);
}

/// The fit measure step by step: a fresh (N + 1) x (N + 1) double matrix per
/// call, the map distances in one pass, the sums in a second.
double LiteralTwoPassFit(const DistanceData &data, const float *layout)
{
    const int n = data.ItemCount;
    if (n == 1)
        return 0.0;
    const std::size_t side = static_cast<std::size_t>(n) + 1;
    std::vector<double> matrix(side * side, 0.0);
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            const float dx = layout[i] - layout[j];
            const float dy = layout[n + i] - layout[n + j];
            double &cell = matrix[i * side + j];
            cell = static_cast<double>(dx) * dx;
            cell = cell + static_cast<double>(dy) * dy;
            cell = std::sqrt(cell);
        }
    double sd = 0.0, sdd = 0.0, sdg = 0.0;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            const double m = matrix[i * side + j];
            const double g = data.Distances[i * side + j];
            sd = sd + m;
            sdd = sdd + m * m;
            sdg = sdg + g * m;
        }
    const double vd = sdd - ((sd * sd) / n) / (n - 1);
    const double c = sdg - ((static_cast<double>(data.DistanceSum) * sd) / n) / (n - 1);
    const float vg = data.DistanceSpread;
    const bool flatGiven = vg < 1e-11f;
    const bool flatMap = vd < 1e-11;
    if (flatGiven || flatMap)
        return 0.0;
    return c / std::sqrt(static_cast<double>(vg) * vd);
}

void SetPairTrialCounter(benchmark::State &state, int n)
{
    const double pairTrials = static_cast<double>(n) * (n - 1) / 2 * Trials;
    state.counters["ns_per_pair_trial"] = benchmark::Counter(
        pairTrials * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_LiteralFitScore(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    const DistanceData data = RandomDistances(n);
    const auto layouts = RandomLayouts(n);
    for (auto _ : state)
        for (const auto &layout : layouts)
            benchmark::DoNotOptimize(LiteralTwoPassFit(data, layout.data()));
    SetPairTrialCounter(state, n);
}

void BM_FusedFitScore(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    const DistanceData data = RandomDistances(n);
    const auto layouts = RandomLayouts(n);
    for (auto _ : state)
        for (const auto &layout : layouts)
            benchmark::DoNotOptimize(LayoutFitness(data, layout.data()));
    SetPairTrialCounter(state, n);
}

// Arguments: path (1 portable, 2 avx2, 3 avx512), threads, N. With 2 threads
// the helper takes half the trials only from the default item count on, as
// in a search.
void BM_BatchFitScore(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(2));
    const std::optional<FitOptions> options = bench::PathOptions(state, state.range(0), state.range(1));
    if (!options)
        return;
    const DistanceData data = RandomDistances(n);
    const auto layouts = RandomLayouts(n);
    const float *pointers[Trials];
    for (int k = 0; k < Trials; ++k)
        pointers[k] = layouts[k].data();
    double fits[Trials];
    FitBatch batch(data, *options);
    for (auto _ : state) {
        batch.score(pointers, Trials, fits);
        benchmark::DoNotOptimize(fits);
    }
    // Not a test, but a slow path that gave other bits would make the figure meaningless.
    for (int k = 0; k < Trials; ++k) {
        const double expected = LayoutFitness(data, layouts[k].data());
        if (std::memcmp(&fits[k], &expected, sizeof expected) != 0)
            state.SkipWithError("batched fit differs from the single-layout fit");
    }
    SetPairTrialCounter(state, n);
    state.SetLabel(std::string(FitPathName(options->path)) + ", " + std::to_string(options->threads) + " thread(s)");
}

void BatchArguments(benchmark::internal::Benchmark *b)
{
    for (int path : {3, 2, 1})
        for (int threads : {1, 2})
            for (int n : {10, 50, 200, 1000, 3000})
                b->Args({path, threads, n});
    b->ArgNames({"path", "threads", "N"});
}

/// Final genes and fits of a search run, to compare the two ways of scoring.
std::map<int, std::vector<float>> &RunResults()
{
    static std::map<int, std::vector<float>> results;
    return results;
}

// Arguments: N, mode (0: one trial at a time with LayoutFitness; 1: batched,
// best path, 1 thread; 2: batched, best path, 2 threads). 1000 generations.
void BM_SearchRun(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    const int mode = static_cast<int>(state.range(1));
    const DistanceData data = RandomDistances(n);
    FitOptions options;
    options.path = mode == 0 ? FitPath::OneByOne : BestFitPath();
    options.threads = mode == 2 ? 2 : 1;
    std::vector<float> state_after;
    for (auto _ : state) {
        MersenneSource random;
        Layout seed(2 * static_cast<std::size_t>(n) + 1, 0.0f);
        LayoutSearch search(data, seed, random, options);
        for (int g = 1; g <= 1000; ++g)
            search.step(g);
        state.PauseTiming();
        state_after.clear();
        for (int r = 1; r <= LayoutSearch::PopulationSize; ++r) {
            const double fit = search.fit(r);
            float halves[2];
            std::memcpy(halves, &fit, sizeof fit);
            state_after.insert(state_after.end(), halves, halves + 2);
            state_after.insert(state_after.end(), search.member(r) + 1, search.member(r) + 1 + 2 * n);
        }
        state.counters["best_fit"] = search.bestFit();
        const double pairs = static_cast<double>(n) * (n - 1) / 2;
        state.counters["pairs_per_second"] =
            benchmark::Counter((8.0 + 8.0 * 1000) * pairs, benchmark::Counter::kIsIterationInvariantRate);
        state.ResumeTiming();
    }
    auto &results = RunResults();
    if (mode == 0)
        results[n] = state_after;
    else if (results.count(n))
        state.counters["same_as_one_by_one"] = results[n] == state_after ? 1 : 0;
    state.SetLabel(mode == 0 ? "one trial at a time"
                             : std::string("batched, ") + FitPathName(options.path) + ", " +
                                   std::to_string(options.threads) + " thread(s)");
}

} // namespace

BENCHMARK(BM_LiteralFitScore)->ArgName("N")->Arg(10)->Arg(50)->Arg(100)->Arg(200)->Arg(1000)->Arg(3000)->UseRealTime();
BENCHMARK(BM_FusedFitScore)->ArgName("N")->Arg(10)->Arg(50)->Arg(100)->Arg(200)->Arg(1000)->Arg(3000)->UseRealTime();
BENCHMARK(BM_BatchFitScore)->Apply(BatchArguments)->UseRealTime();
BENCHMARK(BM_SearchRun)
    ->ArgNames({"N", "mode"})
    ->Args({100, 0})
    ->Args({100, 1})
    ->Args({100, 2})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({1000, 2})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
