#include "data/layout_fitness.h"

#include "data/tessarin_error.h"

#include <cmath>

namespace tessarin {

double LayoutFitness(const DistanceData &data, const float *layout)
{
    const int n = data.ItemCount;
    if (n == 1)
        return 0.0;
    if (n <= 0)
        throw TessarinError("a fit needs distances: no distance file has been read");

    double sd = 0.0;  // sum of map distances
    double sdd = 0.0; // sum of their squares
    double sdg = 0.0; // sum of map distance times given distance
    const std::size_t side = static_cast<std::size_t>(n) + 1;
    for (int i = 1; i <= n; ++i) {
        const float xi = layout[i];
        const float yi = layout[n + i];
        const float *row = data.Distances.data() + static_cast<std::size_t>(i) * side;
        for (int j = i + 1; j <= n; ++j) {
            const float dx = xi - layout[j];
            const float dy = yi - layout[n + j];
            double squared = static_cast<double>(dx) * dx;
            squared = squared + static_cast<double>(dy) * dy;
            const double m = std::sqrt(squared);
            const double g = row[j];
            sd = sd + m;
            sdd = sdd + m * m;
            sdg = sdg + g * m;
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
