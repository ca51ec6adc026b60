// Speed of the weighted fit measure beside the unweighted fit of the same
// table, measured in the same run. The table has distances uniform on
// 1..1000; its weights leave about 10 % of the pairs out (weight 0) and are
// uniform on 0.5..2 elsewhere.
//
//   BM_WeightedFitScore/way:0/N     LayoutFitness on the table without
//                                   weights: the fused single-layout loop
//                                   (the reference);
//   BM_WeightedFitScore/way:1/N     FitBatch on the table without weights,
//                                   best path, 1 thread: how a search scores it;
//   BM_WeightedFitScore/way:2/N     LayoutFitness on the table with weights:
//                                   a row's terms side by side, then the
//                                   running sums in pair order;
//   BM_WeightedFitScore/way:3/N     FitBatch on the table with weights, best
//                                   path, 1 thread: each lane one layout's
//                                   running sums, as the search scores it;
//   BM_WeightedFitScore/way:4/N     the plain weighted loop, one pair after
//                                   another (reference_weighted_fit.h): what
//                                   ways 2 and 3 replaced;
//   BM_WeightedFitGradient/way:0/N  FitGradient without weights, best path,
//                                   1 thread (the reference);
//   BM_WeightedFitGradient/way:1/N  the same with weights (WeightedFitGradient);
//   BM_WeightedFitGradient/way:2/N  the plain weighted loop it replaced.
//
// Counters: "ratio", the time over way 0's for the same N; ns_per_pair_trial
// (the score: 8 maps a call) or ns_per_pair (the gradient: one map), an
// inverted rate ("0.29s" reads as 0.29 ns); zero_share, the share of pairs
// that weigh 0.

#include "data/distance_data.h"
#include "data/pair_weights.h"
#include "fit/fit_gradient.h"
#include "fit/fit_kernel.h"
#include "fit/layout_fitness.h"

#include "random_tables.h"
#include "reference_ratio.h"
#include "reference_weighted_fit.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace tessarin;

constexpr int Trials = 8;

/// The table of RandomDistances(n) with its weights: pairs of weight 0 with
/// probability 0.1, the others uniform on 0.5..2, the same on every run.
DistanceData WeightedTable(int n)
{
    DistanceData data = bench::RandomDistances(n);
    std::mt19937 engine(2024);
    std::bernoulli_distribution leftOut(0.1);
    std::uniform_real_distribution<float> weight(0.5f, 2.0f);
    std::vector<float> weights(static_cast<std::size_t>(n) * (n - 1) / 2);
    for (float &w : weights) {
        const bool out = leftOut(engine);
        const float kept = weight(engine);
        w = out ? 0.0f : kept;
    }
    SetPairWeights(data, std::move(weights), "the benchmark's weights");
    return data;
}

const DistanceData &Table(int n, bool weighted)
{
    static std::map<std::pair<int, bool>, DistanceData> tables;
    auto found = tables.find({n, weighted});
    if (found == tables.end())
        found = tables.emplace(std::make_pair(n, weighted), weighted ? WeightedTable(n) : bench::RandomDistances(n))
                    .first;
    return found->second;
}

void SetCounters(benchmark::State &state, const DistanceData &data, double mapsPerIteration, const char *name)
{
    const int n = data.ItemCount;
    const double pairs = static_cast<double>(n) * (n - 1) / 2;
    state.counters[name] = benchmark::Counter(pairs * mapsPerIteration * 1e-9,
                                              benchmark::Counter::kIsIterationInvariantRate |
                                                  benchmark::Counter::kInvert);
    state.counters["zero_share"] = static_cast<double>(data.MissingPairs) / pairs;
}

void BM_WeightedFitScore(benchmark::State &state)
{
    const int way = static_cast<int>(state.range(0));
    const int n = static_cast<int>(state.range(1));
    const DistanceData &data = Table(n, way >= 2);
    const auto layouts = bench::RandomLayouts(n, Trials);
    const float *pointers[Trials];
    for (int k = 0; k < Trials; ++k)
        pointers[k] = layouts[k].data();
    FitOptions options;
    options.path = BestFitPath();
    options.threads = 1;
    FitBatch batch(data, options);
    double fits[Trials];
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (way == 1 || way == 3) {
            batch.score(pointers, Trials, fits);
        } else if (way == 4) {
            for (int k = 0; k < Trials; ++k)
                fits[k] = testing::ReferenceWeightedLayoutFitness(data, pointers[k]);
        } else {
            for (int k = 0; k < Trials; ++k)
                fits[k] = LayoutFitness(data, pointers[k]);
        }
        benchmark::DoNotOptimize(fits);
        benchmark::ClobberMemory();
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    bench::RecordAgainstReference(state, "score", way, n, took.count() / static_cast<double>(state.iterations()));
    SetCounters(state, data, Trials, "ns_per_pair_trial");
    const std::string batchName = std::string("FitBatch ") + FitPathName(options.path) + ", 1 thread";
    state.SetLabel(way == 0   ? "unweighted, LayoutFitness (reference)"
                   : way == 1 ? "unweighted, " + batchName
                   : way == 2 ? "weighted, LayoutFitness"
                   : way == 3 ? "weighted, " + batchName
                              : "weighted, the plain loop");
}

void BM_WeightedFitGradient(benchmark::State &state)
{
    const int way = static_cast<int>(state.range(0));
    const int n = static_cast<int>(state.range(1));
    const DistanceData &data = Table(n, way >= 1);
    const std::vector<float> layout = bench::RandomLayouts(n, 1).front();
    std::vector<double> coords(2 * static_cast<std::size_t>(n)), gradient(coords.size());
    for (int j = 0; j < n; ++j) {
        coords[static_cast<std::size_t>(j)] = layout[static_cast<std::size_t>(j) + 1];
        coords[static_cast<std::size_t>(n + j)] = layout[static_cast<std::size_t>(n + j) + 1];
    }
    FitOptions options;
    options.path = BestFitPath();
    options.threads = 1;
    FitGradient fitGradient(data, 2, options);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (way == 2)
            benchmark::DoNotOptimize(
                testing::ReferenceWeightedFitAndGradient(data, 2, coords.data(), 0.0, gradient.data()));
        else
            benchmark::DoNotOptimize(fitGradient.evaluate(coords.data(), 0.0, gradient.data()));
        benchmark::ClobberMemory();
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    bench::RecordAgainstReference(state, "gradient", way, n, took.count() / static_cast<double>(state.iterations()));
    SetCounters(state, data, 1, "ns_per_pair");
    state.SetLabel(way == 0   ? std::string("unweighted, ") + FitPathName(options.path) + ", 1 thread (reference)"
                   : way == 1 ? "weighted, " + std::string(FitPathName(options.path))
                              : "weighted, the plain loop");
}

} // namespace

// Way 0 first for every N: the others need its time.
BENCHMARK(BM_WeightedFitScore)
    ->ArgNames({"way", "N"})
    ->Args({0, 300})
    ->Args({1, 300})
    ->Args({2, 300})
    ->Args({3, 300})
    ->Args({4, 300})
    ->Args({0, 1797})
    ->Args({1, 1797})
    ->Args({2, 1797})
    ->Args({3, 1797})
    ->Args({4, 1797})
    ->UseRealTime();
BENCHMARK(BM_WeightedFitGradient)
    ->ArgNames({"way", "N"})
    ->Args({0, 300})
    ->Args({1, 300})
    ->Args({2, 300})
    ->Args({0, 1797})
    ->Args({1, 1797})
    ->Args({2, 1797})
    ->UseRealTime();
