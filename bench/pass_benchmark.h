// What the benchmarks of one pass over the pairs share: the options of the
// path and thread count they are given, a fixed map to evaluate, and the
// counter ns_per_pair.
#pragma once

#include "fit/fit_options.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace tessarin::bench {

/// The options of path `path` (1 portable, 2 avx2, 3 avx512) with `threads`
/// threads; nothing, with the benchmark skipped, when this CPU lacks the
/// path.
inline std::optional<FitOptions> PathOptions(benchmark::State &state, std::int64_t path, std::int64_t threads)
{
    FitOptions options;
    options.path = static_cast<FitPath>(path);
    if (!FitPathSupported(options.path)) {
        state.SkipWithError("this CPU lacks the path");
        return std::nullopt;
    }
    options.threads = static_cast<int>(threads);
    return options;
}

/// A 2-D map of `n` items, coordinate-major, uniform on 0..1000, the same on
/// every run.
inline std::vector<double> RandomCoords(int n)
{
    std::mt19937 engine(5);
    std::uniform_real_distribution<double> uniform(0.0, 1000.0);
    std::vector<double> coords(2 * static_cast<std::size_t>(n));
    for (double &c : coords)
        c = uniform(engine);
    return coords;
}

/// The counter ns_per_pair: wall time in nanoseconds per pair for one pass
/// over the `n` items' pairs each iteration (an inverted rate).
inline void SetNsPerPair(benchmark::State &state, int n)
{
    const double pairs = static_cast<double>(n) * (n - 1) / 2;
    state.counters["ns_per_pair"] =
        benchmark::Counter(pairs * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace tessarin::bench
