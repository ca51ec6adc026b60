#pragma once

#include "data/distance_data.h"
#include "fit/fit_options.h"
#include "fit/weighted_fit.h"

#include <memory>
#include <vector>

namespace tessarin {

/// The fit measure of a map in 2 or 3 dimensions and its gradient, from one
/// pass over the pairs (one square root and one division a pair), in double
/// precision.
/// Every path and thread count of the options gives the same bits.
///
/// With K = N (N - 1), m the map distances (sqrt(|Xi - Xj|^2 + e^2) with
/// smoothing e^2), G and Vg the table's DistanceSum and DistanceSpread:
/// Sd = sum m, Vd = sum m^2 - Sd^2 / K, C = sum g m - G Sd / K,
/// f = C / sqrt(Vg Vd), and with s = 1 / sqrt(Vg Vd), beta = C / Vd,
/// u_ij = (Xi - Xj) / m_ij (0 when m_ij = 0):
/// df/dXi = s [ sum_j (g_ij - G/K) u_ij - beta (N Xi - sum_k Xk)
///              + beta (Sd / K) sum_j u_ij ].
///
/// The pairs are always split at the same row into two halves whose sums are
/// kept apart and combined in a fixed order, whether one thread or two ran
/// them. A weighted table takes WeightedFitGradient's pass instead. Keeps a
/// reference to `data`, which must outlive it and not change.
class FitGradient {
public:
    FitGradient(const DistanceData &data, int dimensions, const FitOptions &options = DefaultFitOptions());

    /// Returns f at `coords` (coordinate-major: item j's coordinate d, both
    /// 0-based, at [d * N + j]) and writes df/dcoords to `gradient` (same
    /// shape). f and the gradient are 0 when the map or the given distances
    /// have no spread, and for N < 2.
    double evaluate(const double *coords, double smoothing, double *gradient);

    int itemCount() const { return m_n; }
    int dimensions() const { return m_dimensions; }
    const FitOptions &options() const { return m_options; }

    /// The first row of the second half of the pairs (0-based).
    int splitRow() const { return m_split; }

private:
    struct Half {
        std::vector<double> cross;
        std::vector<double> unit;
        double sums[3][8];
    };
    void runHalf(int half, const double *coords, double smoothing);

    const DistanceData &m_data;
    int m_n;
    int m_dimensions;
    FitOptions m_options;
    std::vector<float> m_ownPairs;
    const float *m_pairs = nullptr;
    int m_split = 0;
    Half m_halves[2];
    std::unique_ptr<WeightedFitGradient> m_weighted;
};

} // namespace tessarin
