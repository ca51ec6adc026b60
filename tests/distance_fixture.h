#pragma once

#include "data/distance_data.h"

#include <random>
#include <vector>

namespace tessarin::testing {

/// Distance data built in memory from the cells above the diagonal, row by
/// row, with the statistics computed the way the reader computes them.
inline DistanceData MakeDistances(int n, const std::vector<float> &upper)
{
    DistanceData data;
    data.ItemCount = static_cast<short>(n);
    data.Distances.assign(static_cast<std::size_t>(n + 1) * (n + 1), 0.0f);
    std::size_t k = 0;
    float sum = 0.0f;
    float squares = 0.0f;
    for (int i = 1; i <= n; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            const float g = upper.at(k++);
            data.Distances[static_cast<std::size_t>(i) * (n + 1) + j] = g;
            data.Distances[static_cast<std::size_t>(j) * (n + 1) + i] = g;
            sum = g + sum;
            const float square = g * g;
            squares = squares + square;
        }
    }
    data.DistanceSum = sum;
    if (n >= 2)
        data.DistanceSpread = squares - static_cast<float>(double(sum) * double(sum) / n / (n - 1));
    return data;
}

/// A table of `n` items with distances drawn uniformly from 1..1000 by a
/// generator with a fixed seed: the same table on every run.
inline DistanceData RandomDistances(int n, unsigned seed = 12345)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<float> uniform(1.0f, 1000.0f);
    std::vector<float> upper(n > 1 ? static_cast<std::size_t>(n) * (n - 1) / 2 : 0);
    for (float &g : upper)
        g = uniform(engine);
    return MakeDistances(n, upper);
}

/// The cells above the diagonal, row by row: what MakeDistances takes.
inline std::vector<float> UpperCells(const DistanceData &data)
{
    std::vector<float> cells;
    for (int i = 1; i <= data.ItemCount; ++i)
        for (int j = i + 1; j <= data.ItemCount; ++j)
            cells.push_back(data.distance(i, j));
    return cells;
}

} // namespace tessarin::testing
