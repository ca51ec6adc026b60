// Fixed-seed tables and maps the benchmarks time their work on.
#pragma once

#include "data/distance_data.h"
#include "data/distance_statistics.h"

#include <cstddef>
#include <random>
#include <vector>

namespace tessarin::bench {

/// The table of N items whose distance between items i < j (1-based) is
/// distance(i, j), called pair after pair in row order, with the statistics
/// the readers give it.
template <class Distance>
DistanceData TableOf(int n, Distance distance)
{
    DistanceData data;
    data.ItemCount = static_cast<short>(n);
    data.Distances.assign(static_cast<std::size_t>(n + 1) * (n + 1), 0.0f);
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            const float g = distance(i, j);
            data.Distances[static_cast<std::size_t>(i) * (n + 1) + j] = g;
            data.Distances[static_cast<std::size_t>(j) * (n + 1) + i] = g;
        }
    ComputeDistanceStatistics(data, "a generated table");
    data.packPairs();
    return data;
}

/// A table of N items whose distances are uniform on 1..1000, the same on
/// every run.
inline DistanceData RandomDistances(int n)
{
    std::mt19937 engine(12345);
    std::uniform_real_distribution<float> uniform(1.0f, 1000.0f);
    return TableOf(n, [&](int, int) { return uniform(engine); });
}

/// `count` maps of N items with coordinates uniform on 0..1000.
inline std::vector<std::vector<float>> RandomLayouts(int n, int count)
{
    std::mt19937 engine(777);
    std::uniform_real_distribution<float> uniform(0.0f, 1000.0f);
    std::vector<std::vector<float>> layouts(static_cast<std::size_t>(count),
                                            std::vector<float>(2 * static_cast<std::size_t>(n) + 1));
    for (auto &layout : layouts)
        for (std::size_t k = 1; k < layout.size(); ++k)
            layout[k] = uniform(engine);
    return layouts;
}

} // namespace tessarin::bench
