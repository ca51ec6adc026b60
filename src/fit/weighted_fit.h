#pragma once

#include "data/distance_data.h"
#include "fit/fit_options.h"

#include <vector>

namespace tessarin {

// The fit measure of a table whose pairs carry weights (DistanceData::
// PairWeights): every sum over the pairs is weighted, and the divisor of the
// corrected terms is K = 2 x the sum of the weights, which is N (N - 1) when
// every weight is 1. With Sd = sum w m, Sdd = sum w m^2, Sdg = sum w g m,
// G = sum w g and Vg = sum w g^2 - G^2 / K:
//   Vd = Sdd - Sd^2 / K,  C = Sdg - G Sd / K,  f = C / sqrt(Vg Vd).
// Pairs of weight 0 are left out, so the distance a table holds for them
// never enters. Every sum is one running sum over the pairs row by row, the
// same operations in the same order on every build, path and thread count;
// only the terms of a row, which depend on one pair each, are formed side by
// side before they are added.

/// The weighted fit of a stored layout (x of item i at [i], y at [N + i]),
/// its map distances formed exactly as LayoutFitness forms them. 0 when the
/// map or the given distances have no spread. The terms are formed on the
/// default path (DefaultFitOptions); the result is the same on every path.
double WeightedLayoutFitness(const DistanceData &data, const float *layout);
/// The same on `path` (OneByOne, or one this CPU lacks, runs as Portable).
double WeightedLayoutFitness(const DistanceData &data, const float *layout, FitPath path);

/// The weighted fit from the three weighted sums.
double WeightedFitFromSums(const DistanceData &data, double sd, double sdd, double sdg);

/// The weighted fit of a 2- or 3-D map in double precision and its gradient,
/// for FitGradient on a weighted table. Its scratch lives as long as it does,
/// so a call allocates nothing. Keeps a reference to `data`, which must
/// outlive it and not change.
///
/// With s = 1 / sqrt(Vg Vd), beta = C / Vd and u_ij the unit vector from j
/// to i (0 when they meet):
///   df/dXi = s [ sum_j w (g - G/K) u_ij - beta sum_j w (Xi - Xj)
///                + beta (Sd / K) sum_j w u_ij ].
/// The per-item sums are running sums too: item i gets its share of the
/// pairs (k, i), k < i, row by row, then those of its own row, in order.
/// The path only chooses the instructions that form a row's terms; the
/// result is the same on every path. One thread: splitting the running sums
/// would change their bits.
class WeightedFitGradient {
public:
    WeightedFitGradient(const DistanceData &data, int dimensions, FitPath path);

    /// f at `coords` (coordinate-major: item j's coordinate d, 0-based, at
    /// [d * N + j]) with `smoothing` added to every squared map distance; the
    /// gradient goes to `gradient` (same shape). 0 and a zero gradient when
    /// the map or the given distances have no spread, and for N < 2.
    double evaluate(const double *coords, double smoothing, double *gradient);

private:
    template <int D>
    void sumRows(const double *coords, double smoothing, double *sums);

    const DistanceData &m_data;
    int m_n;
    int m_dimensions;
    FitPath m_path;
    // Per item and coordinate: sum w (g - G/K) u, sum w u, sum w (Xi - Xj).
    std::vector<double> m_cross, m_unit, m_spring;
    // The terms of one chunk of a row's pairs.
    std::vector<double> m_terms;
};

} // namespace tessarin
