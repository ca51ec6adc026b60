#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "distance_fixture.h"

#include <cmath>
#include <random>
#include <vector>

namespace tessarin::testing {

/// The straight-line distances of `points` (item-major, `dimensions` each),
/// as single-precision table cells, with noise of relative size `noise`.
inline DistanceData PointDistances(const std::vector<double> &points, int dimensions, double noise = 0.0,
                                   unsigned seed = 1)
{
    const int n = static_cast<int>(points.size()) / dimensions;
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> jitter(-noise, noise);
    std::vector<float> upper;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            double squared = 0.0;
            for (int d = 0; d < dimensions; ++d) {
                const double delta = points[i * dimensions + d] - points[j * dimensions + d];
                squared += delta * delta;
            }
            upper.push_back(static_cast<float>(std::sqrt(squared) * (1.0 + jitter(engine))));
        }
    DistanceData data = MakeDistances(n, upper);
    data.packPairs();
    return data;
}

/// `n` points in `dimensions` dimensions drawn around `clusters` centres.
inline std::vector<double> ClusteredPoints(int n, int dimensions, int clusters, unsigned seed)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> centre(0.0, 100.0);
    std::normal_distribution<double> spread(0.0, 8.0);
    std::vector<double> centres(static_cast<std::size_t>(clusters) * dimensions);
    for (double &c : centres)
        c = centre(engine);
    std::vector<double> points(static_cast<std::size_t>(n) * dimensions);
    for (int i = 0; i < n; ++i)
        for (int d = 0; d < dimensions; ++d)
            points[static_cast<std::size_t>(i) * dimensions + d] = centres[(i % clusters) * dimensions + d] + spread(engine);
    return points;
}

/// A map of `n` items with every coordinate drawn evenly from `low`..`high`.
inline Layout RandomLayout(int n, std::mt19937 &engine, float low = 0.0f, float high = 1000.0f)
{
    std::uniform_real_distribution<float> uniform(low, high);
    Layout layout(2 * static_cast<std::size_t>(n) + 1, 0.0f);
    for (std::size_t k = 1; k < layout.size(); ++k)
        layout[k] = uniform(engine);
    return layout;
}

/// The same from a generator of its own, seeded with `seed`.
inline Layout RandomLayout(int n, unsigned seed, float low = 0.0f, float high = 1000.0f)
{
    std::mt19937 engine(seed);
    return RandomLayout(n, engine, low, high);
}

} // namespace tessarin::testing
