// Speed of the stress models: the loss-and-gradient pass per model, path and
// thread count; each model's whole best map on clustered tables of 300 and
// 1797 items, timed in the same run as the fit's best map; and the L-BFGS
// polish against SMACOF's Guttman transform.
//
// Counter ns_per_pair: wall time in nanoseconds per pair for one pass (an
// inverted rate: "1.2s" reads as 1.2 ns). BM_ModelBestMap's counters: the
// model's stress, and seconds and vs_fit, its time and that time over the fit's best map's measured
// just before it (the model's route b makes its own fit's best map, so the
// ratio includes it).

#include "data/distance_data.h"
#include "models/model_best_map.h"
#include "models/model_measure.h"
#include "models/model_loss.h"
#include "models/monotone_regression.h"
#include "scaling/classical_scaling.h"
#include "scaling/duplicate_items.h"
#include "scaling/map_axes.h"
#include "scaling/map_descent.h"
#include "scaling/best_map.h"

#include "clustered_tables.h"
#include "pass_benchmark.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <utility>
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
    const int n = static_cast<int>(state.range(3));
    const std::optional<FitOptions> options = bench::PathOptions(state, state.range(1), state.range(2));
    if (!options)
        return;
    const DistanceData &data = ClusteredTable(n);
    ModelLoss loss(data, setting, 2, nullptr, *options);
    const std::vector<double> coords = bench::RandomCoords(n);
    std::vector<double> gradient(coords.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(loss.evaluate(coords.data(), gradient.data()));
        benchmark::ClobberMemory();
    }
    bench::SetNsPerPair(state, n);
    state.SetLabel(std::string(ModelKey(setting.model)) + ", " + FitPathName(options->path) + ", " +
                   std::to_string(options->threads) + " thread(s)");
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

namespace {

/// SMACOF's Guttman transform for comparison (unit weights, 2-D): each
/// iteration fits the disparities to the map distances and moves every item
/// to (1 / N) sum_j (d^_ij / m_ij) (Xi - Xj). Runs until the stress-1 falls
/// to `target` or `cap` iterations; returns the iterations and the stress.
std::pair<int, double> GuttmanToTarget(const DistanceData &data, const ModelSetting &setting,
                                       std::vector<double> coords, double target, int cap)
{
    const int n = data.ItemCount;
    const std::size_t pairs = static_cast<std::size_t>(n) * (n - 1) / 2;
    MonotoneRegression regression(data.PairDistances.data(), pairs, nullptr, setting.ties);
    std::vector<double> map(pairs), fitted(pairs), next(coords.size());
    double gg = 0.0;
    for (float g : data.PairDistances)
        gg += static_cast<double>(g) * g;
    double stress = 1.0;
    for (int iteration = 0; iteration <= cap; ++iteration) {
        std::size_t p = 0;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j, ++p) {
                const double dx = coords[i] - coords[j], dy = coords[n + i] - coords[n + j];
                map[p] = std::sqrt(dx * dx + dy * dy);
            }
        if (setting.model == StressModel::Ordinal) {
            regression.fit(map.data(), fitted.data());
        } else {
            double gm = 0.0;
            for (std::size_t q = 0; q < pairs; ++q)
                gm += data.PairDistances[q] * map[q];
            for (std::size_t q = 0; q < pairs; ++q)
                fitted[q] = gm / gg * data.PairDistances[q];
        }
        double residual = 0.0, mm = 0.0;
        for (std::size_t q = 0; q < pairs; ++q) {
            residual += (fitted[q] - map[q]) * (fitted[q] - map[q]);
            mm += map[q] * map[q];
        }
        stress = std::sqrt(residual / mm);
        if (stress <= target)
            return {iteration, stress};
        std::fill(next.begin(), next.end(), 0.0);
        p = 0;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j, ++p) {
                if (!(map[p] > 0.0))
                    continue;
                const double b = fitted[p] / map[p];
                for (int d = 0; d < 2; ++d) {
                    const double step = b * (coords[d * n + i] - coords[d * n + j]);
                    next[d * n + i] += step;
                    next[d * n + j] -= step;
                }
            }
        for (std::size_t k = 0; k < coords.size(); ++k)
            coords[k] = next[k] / n;
    }
    return {cap, stress};
}

// Arguments: model (1 ratio, 3 ordinal), N. From the classical start: the
// L-BFGS polish to its end, then the Guttman transform run until it reaches
// the polish's final stress within 1e-6 relative (or 20 times the polish's
// passes). Counters: lbfgs_passes (all its loss-and-gradient passes),
// lbfgs_iterations and lbfgs_iterations_to_target (the iteration that first
// came within 1e-6 of its final stress), guttman_passes (each one pass over
// the pairs and one disparity fit), the stresses, and guttman_time_ratio (the
// Guttman run's time over the whole polish's).
void BM_GuttmanVersusLbfgs(benchmark::State &state)
{
    const ModelSetting setting{static_cast<StressModel>(state.range(0)), TieApproach::Primary};
    const int n = static_cast<int>(state.range(1));
    const DistanceData &data = ClusteredTable(n);
    const std::vector<double> start = CoordinateMajor(ClassicalCoordinates(data, 2), n, 2);
    int lbfgsPasses = 0, lbfgsIterations = 0, lbfgsToTarget = 0, guttmanPasses = 0;
    double lbfgsStress = 0.0, guttmanStress = 0.0, lbfgsSeconds = 0.0, guttmanSeconds = 0.0;
    for (auto _ : state) {
        lbfgsSeconds = secondsOf([&] {
            ModelLoss loss(data, setting, 2);
            const DuplicateItems duplicates(data);
            std::vector<double> coords = start;
            std::vector<double> losses;
            const DescentOutcome outcome = DescendMap(
                [&](const double *at, double *gradient) { return loss.evaluate(at, gradient); }, ModelMeasure(loss), 2,
                duplicates, coords, PolishSettings{}, [&](int, const std::vector<double> &, double l) {
                    losses.push_back(l);
                    return true;
                });
            lbfgsPasses = outcome.evaluations;
            lbfgsIterations = outcome.iterations;
            lbfgsStress = loss.stressOf(outcome.value);
            lbfgsToTarget = 0;
            while (lbfgsToTarget < static_cast<int>(losses.size()) &&
                   loss.stressOf(losses[static_cast<std::size_t>(lbfgsToTarget)]) > lbfgsStress * (1.0 + 1e-6))
                ++lbfgsToTarget;
            ++lbfgsToTarget;
        });
        guttmanSeconds = secondsOf([&] {
            const auto reached = GuttmanToTarget(data, setting, start, lbfgsStress * (1.0 + 1e-6), 20 * lbfgsPasses);
            guttmanPasses = reached.first;
            guttmanStress = reached.second;
        });
    }
    state.counters["lbfgs_passes"] = lbfgsPasses;
    state.counters["lbfgs_iterations"] = lbfgsIterations;
    state.counters["lbfgs_iterations_to_target"] = lbfgsToTarget;
    state.counters["lbfgs_stress"] = lbfgsStress;
    state.counters["guttman_passes"] = guttmanPasses;
    state.counters["guttman_stress"] = guttmanStress;
    state.counters["guttman_time_ratio"] = guttmanSeconds / lbfgsSeconds;
    state.SetLabel(ModelKey(setting.model));
}

} // namespace

BENCHMARK(BM_GuttmanVersusLbfgs)->Args({1, 150})->Args({3, 150})->Args({1, 300})->Args({3, 300})->Args({3, 1000})->ArgNames({"model", "N"})
    ->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
