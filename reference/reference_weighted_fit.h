// The weighted fit measure and its gradient as one plain loop over the pairs,
// row by row, skipping the pairs of weight 0, as they were written before the
// loops were made fast: the reference their bits are compared with (tests)
// and their time measured against (benchmark). Every sum is one running sum
// in pair order; the fast loops keep each sum's operations and their order.
#pragma once

#include "data/distance_data.h"
#include "fit/map_distances.h"
#include "fit/weighted_fit.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tessarin::testing {

inline double ReferenceWeightedLayoutFitness(const DistanceData &data, const float *layout)
{
    const int n = data.ItemCount;
    if (n < 2)
        return 0.0;
    double sd = 0.0, sdd = 0.0, sdg = 0.0;
    const float *weight = data.PairWeights.data();
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j, ++weight) {
            const double w = *weight;
            if (w == 0.0)
                continue;
            const double m = MapDistance(layout, n, i, j);
            const double g = data.distance(i, j);
            const double wm = w * m;
            sd = sd + wm;
            sdd = sdd + wm * m;
            sdg = sdg + wm * g;
        }
    return WeightedFitFromSums(data, sd, sdd, sdg);
}

inline double ReferenceWeightedFitAndGradient(const DistanceData &data, int dimensions, const double *coords,
                                              double smoothing, double *gradient)
{
    const int n = data.ItemCount;
    const std::size_t size = static_cast<std::size_t>(dimensions) * static_cast<std::size_t>(n);
    std::fill(gradient, gradient + size, 0.0);
    if (n < 2)
        return 0.0;
    std::vector<double> cross(size, 0.0), unit(size, 0.0), spring(size, 0.0);
    const double k = 2.0 * data.WeightTotal;
    const double givenMean = data.WeightedSum / k;
    double sd = 0.0, sdd = 0.0, sdg = 0.0;
    const float *weight = data.PairWeights.data();
    const std::size_t side = static_cast<std::size_t>(n);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j, ++weight) {
            const double w = *weight;
            if (w == 0.0)
                continue;
            double dx[3];
            double squared = 0.0;
            for (int d = 0; d < dimensions; ++d) {
                dx[d] = coords[static_cast<std::size_t>(d) * side + i] - coords[static_cast<std::size_t>(d) * side + j];
                squared = squared + dx[d] * dx[d];
            }
            squared = squared + smoothing;
            const double m = std::sqrt(squared);
            const double inverse = m > 0.0 ? 1.0 / m : 0.0;
            const double g = data.distance(i + 1, j + 1);
            sd = sd + w * m;
            sdd = sdd + w * squared;
            sdg = sdg + w * g * m;
            const double share = w * (g - givenMean);
            for (int d = 0; d < dimensions; ++d) {
                const std::size_t a = static_cast<std::size_t>(d) * side + i;
                const std::size_t b = static_cast<std::size_t>(d) * side + j;
                const double u = dx[d] * inverse;
                cross[a] = cross[a] + share * u;
                cross[b] = cross[b] - share * u;
                unit[a] = unit[a] + w * u;
                unit[b] = unit[b] - w * u;
                spring[a] = spring[a] + w * dx[d];
                spring[b] = spring[b] - w * dx[d];
            }
        }
    const double vg = data.WeightedSpread;
    const double vd = sdd - sd * sd / k;
    const double c = sdg - data.WeightedSum * sd / k;
    if (!(vg >= 1e-11) || !(vd > 1e-13 * sdd))
        return 0.0;
    const double s = 1.0 / std::sqrt(vg * vd);
    const double beta = c / vd;
    const double meanShare = beta * (sd / k);
    for (std::size_t a = 0; a < size; ++a)
        gradient[a] = s * ((cross[a] - beta * spring[a]) + meanShare * unit[a]);
    return c * s;
}

} // namespace tessarin::testing
