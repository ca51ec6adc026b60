#pragma once

#include "data/distance_data.h"

namespace tessarin {

// The fit measure of a table whose pairs carry weights (DistanceData::
// PairWeights): every sum over the pairs is weighted, and the divisor of the
// corrected terms is K = 2 x the sum of the weights, which is N (N - 1) when
// every weight is 1. With Sd = sum w m, Sdd = sum w m^2, Sdg = sum w g m,
// G = sum w g and Vg = sum w g^2 - G^2 / K:
//   Vd = Sdd - Sd^2 / K,  C = Sdg - G Sd / K,  f = C / sqrt(Vg Vd).
// Pairs of weight 0 are skipped, so the distance a table holds for them never
// enters. One portable loop, pairs row by row: the same bits on every build,
// path and thread count.

/// The weighted fit of a stored layout (x of item i at [i], y at [N + i]),
/// its map distances formed exactly as LayoutFitness forms them. 0 when the
/// map or the given distances have no spread.
double WeightedLayoutFitness(const DistanceData &data, const float *layout);

/// The weighted fit from the three weighted sums.
double WeightedFitFromSums(const DistanceData &data, double sd, double sdd, double sdg);

/// The weighted fit of a 2- or 3-D map in double precision (coordinate-major:
/// item j's coordinate d, 0-based, at [d * N + j]) and its gradient, written
/// to `gradient` (same shape); `smoothing` is added to every squared map
/// distance. With s = 1 / sqrt(Vg Vd), beta = C / Vd and u_ij the unit vector
/// from j to i (0 when they meet):
///   df/dXi = s [ sum_j w (g - G/K) u_ij - beta sum_j w (Xi - Xj)
///                + beta (Sd / K) sum_j w u_ij ].
double WeightedFitAndGradient(const DistanceData &data, int dimensions, const double *coords, double smoothing,
                              double *gradient);

} // namespace tessarin
