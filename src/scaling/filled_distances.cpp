#include "scaling/filled_distances.h"

#include "data/distance_statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace tessarin {

namespace {

/// Lengths of the shortest paths from `source` (0-based) through present
/// pairs, by Dijkstra's method on the dense table: N steps, each taking the
/// nearest unsettled item (the lowest number among equals).
void shortestPaths(const DistanceData &data, int source, std::vector<double> &length, std::vector<char> &settled)
{
    const int n = data.ItemCount;
    std::fill(length.begin(), length.end(), std::numeric_limits<double>::infinity());
    std::fill(settled.begin(), settled.end(), 0);
    length[static_cast<std::size_t>(source)] = 0.0;
    for (int step = 0; step < n; ++step) {
        int nearest = -1;
        for (int k = 0; k < n; ++k)
            if (!settled[static_cast<std::size_t>(k)] &&
                (nearest < 0 || length[static_cast<std::size_t>(k)] < length[static_cast<std::size_t>(nearest)]))
                nearest = k;
        if (nearest < 0 || std::isinf(length[static_cast<std::size_t>(nearest)]))
            return;
        settled[static_cast<std::size_t>(nearest)] = 1;
        const double base = length[static_cast<std::size_t>(nearest)];
        for (int k = 0; k < n; ++k) {
            if (settled[static_cast<std::size_t>(k)] || data.pairWeight(nearest + 1, k + 1) == 0.0f)
                continue;
            const double through = base + std::max(0.0, static_cast<double>(data.distance(nearest + 1, k + 1)));
            if (through < length[static_cast<std::size_t>(k)])
                length[static_cast<std::size_t>(k)] = through;
        }
    }
}

/// Each item's mean distance to the items it has a present pair with.
std::vector<double> meanPresentDistances(const DistanceData &data)
{
    const int n = data.ItemCount;
    std::vector<double> sum(static_cast<std::size_t>(n) + 1, 0.0), count(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            if (data.pairWeight(i, j) == 0.0f)
                continue;
            const double d = std::max(0.0, static_cast<double>(data.distance(i, j)));
            sum[static_cast<std::size_t>(i)] += d;
            sum[static_cast<std::size_t>(j)] += d;
            count[static_cast<std::size_t>(i)] += 1.0;
            count[static_cast<std::size_t>(j)] += 1.0;
        }
    for (std::size_t i = 1; i < sum.size(); ++i)
        sum[i] = count[i] > 0.0 ? sum[i] / count[i] : 0.0;
    return sum;
}

} // namespace

DistanceData FilledDistances(const DistanceData &data, int pathItemLimit)
{
    DistanceData filled = data;
    if (!data.weighted())
        return filled;
    const int n = data.ItemCount;
    const std::size_t side = static_cast<std::size_t>(n) + 1;
    std::vector<double> length(static_cast<std::size_t>(n));
    std::vector<char> settled(static_cast<std::size_t>(n));
    const bool byPaths = n <= pathItemLimit;
    const std::vector<double> means = byPaths ? std::vector<double>() : meanPresentDistances(data);
    for (int i = 1; i <= n; ++i) {
        if (!byPaths) {
            for (int j = i + 1; j <= n; ++j) {
                if (data.pairWeight(i, j) != 0.0f)
                    continue;
                const float value = static_cast<float>(
                    0.5 * (means[static_cast<std::size_t>(i)] + means[static_cast<std::size_t>(j)]));
                filled.Distances[static_cast<std::size_t>(i) * side + static_cast<std::size_t>(j)] = value;
                filled.Distances[static_cast<std::size_t>(j) * side + static_cast<std::size_t>(i)] = value;
            }
            continue;
        }
        bool holes = false;
        for (int j = i + 1; j <= n && !holes; ++j)
            holes = data.pairWeight(i, j) == 0.0f;
        if (!holes)
            continue;
        shortestPaths(data, i - 1, length, settled);
        for (int j = i + 1; j <= n; ++j) {
            if (data.pairWeight(i, j) != 0.0f)
                continue;
            const double path = length[static_cast<std::size_t>(j) - 1];
            const float value = std::isinf(path) ? 0.0f : static_cast<float>(path);
            filled.Distances[static_cast<std::size_t>(i) * side + static_cast<std::size_t>(j)] = value;
            filled.Distances[static_cast<std::size_t>(j) * side + static_cast<std::size_t>(i)] = value;
        }
    }
    filled.PairWeights.clear();
    filled.MissingPairs = 0;
    filled.WeightTotal = filled.WeightedSum = filled.WeightedSpread = 0.0;
    ComputeDistanceStatistics(filled, "the filled table");
    filled.packPairs();
    return filled;
}

} // namespace tessarin
