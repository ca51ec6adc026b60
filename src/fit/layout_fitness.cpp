#include "fit/layout_fitness.h"

#include "fit/map_distances.h"
#include "fit/weighted_fit.h"
#include "base/tessarin_error.h"

#include <algorithm>
#include <cmath>

namespace tessarin {

double LayoutFitness(const DistanceData &data, const float *layout)
{
    const int n = data.ItemCount;
    if (n == 1)
        return 0.0;
    if (n <= 0)
        throw TessarinError("a fit needs distances: no distance file has been read");
    if (data.weighted())
        return WeightedLayoutFitness(data, layout);

    double sd = 0.0;  // sum of map distances
    double sdd = 0.0; // sum of their squares
    double sdg = 0.0; // sum of map distance times given distance
    const std::size_t side = static_cast<std::size_t>(n) + 1;
    // Each row in chunks: first the chunk's map distances, a loop without a
    // running sum that the compiler can vectorise, then the sums in pair
    // order, exactly as one loop would add them.
    constexpr int Chunk = 256;
    double m[Chunk];
    for (int i = 1; i <= n; ++i) {
        const float *row = data.Distances.data() + static_cast<std::size_t>(i) * side;
        for (int from = i + 1; from <= n; from += Chunk) {
            const int count = std::min(Chunk, n - from + 1);
            RowMapDistances(layout, n, i, from, count, m);
            const float *given = row + from;
            for (int k = 0; k < count; ++k) {
                const double g = given[k];
                sd = sd + m[k];
                sdd = sdd + m[k] * m[k];
                sdg = sdg + g * m[k];
            }
        }
    }
    return FitFromSums(data, sd, sdd, sdg);
}

double FitFromSums(const DistanceData &data, double sd, double sdd, double sdg)
{
    const int n = data.ItemCount;
    const double vd = sdd - ((sd * sd) / n) / (n - 1);
    const double c = sdg - ((static_cast<double>(data.DistanceSum) * sd) / n) / (n - 1);
    const float vg = data.DistanceSpread;
    // Both tests are made; the first in single precision, as the spread is stored.
    const bool flatGiven = vg < 1e-11f;
    const bool flatMap = vd < 1e-11;
    if (flatGiven || flatMap)
        return 0.0;
    return c / std::sqrt(static_cast<double>(vg) * vd);
}

} // namespace tessarin
