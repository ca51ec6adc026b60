// The clustered tables the map solvers' benchmarks run on.
#pragma once

#include "data/distance_data.h"
#include "random_tables.h"

#include <cmath>
#include <map>
#include <random>
#include <vector>

namespace tessarin::bench {

/// N items in 6 clusters in 5 dimensions, 5 % noise on the distances, the
/// same for every run (fixed seed); statistics as the reader takes them.
inline const DistanceData &ClusteredTable(int n)
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

} // namespace tessarin::bench
