#pragma once

#include "data/distance_data.h"
#include "models/monotone_regression.h"
#include "models/stress_model.h"
#include "fit/fit_options.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tessarin {

/// The loss of a stress model at a map in 2 or 3 dimensions and its
/// gradient, in double precision, with the disparities fitted afresh at each
/// evaluation: stress-1 squared for ratio, interval and ordinal, the Sammon
/// criterion E for Sammon. Every loss is unchanged when the map is scaled,
/// rotated or moved.
///
/// The disparities are the least-squares best fit to the map distances, so
/// the gradient is that of the loss with the disparities held (the fit's own
/// change contributes nothing): with R = sum w m^2 and S^2 = sum w (d^ - m)^2
/// / R, dS^2/dm = -2 w (d^ - (1 - S^2) m) / R.
///
/// One pass over the pairs (for ordinal first the map distances in the order
/// of the given distances, the monotone regression on them, the disparities
/// taken back to pair order), split at the same row into two halves whose
/// sums are combined in a fixed order, whether one thread or two ran them;
/// the portable, AVX2 and AVX-512 paths run the same 8 lanes in the same
/// order and give the same bits.
/// Keeps a reference to `data`, which must outlive it and not change.
class ModelLoss {
public:
    /// Throws TessarinError for the fit model (see FitGradient), for
    /// dimensions other than 2 and 3, and for weights of the wrong count.
    ModelLoss(const DistanceData &data, const ModelSetting &setting, int dimensions, PairWeights weights = nullptr,
              const FitOptions &options = DefaultFitOptions());
    ~ModelLoss();

    /// The loss at `coords` (coordinate-major: item j's coordinate d at
    /// [d * N + j], 0-based) with its gradient in `gradient` (same shape).
    /// A map with every item on one point has loss 1 and gradient 0, as has
    /// any map when N < 2 or no pair counts.
    double evaluate(const double *coords, double *gradient);

    /// The figure a loss stands for: its root for the stress-1 models, the
    /// loss itself for Sammon.
    double stressOf(double loss) const;

    int itemCount() const { return m_n; }
    int dimensions() const { return m_dimensions; }
    const ModelSetting &setting() const { return m_setting; }
    /// The first row of the second half of the pairs (0-based).
    int splitRow() const { return m_split; }

private:
    struct Half {
        std::vector<double> target, unit, spread; // per item, dimensions x N
        double sums[3][8];
    };
    void runHalf(int half, const double *coords);
    void orderedDistancesHalf(int half, const double *coords);
    void targetsHalf(int half);

    const DistanceData &m_data;
    ModelSetting m_setting;
    int m_n;
    int m_dimensions;
    FitOptions m_options;
    std::size_t m_pairs = 0;
    int m_split = 0;
    bool m_weighted = false;
    std::vector<double> m_weights;
    /// Per pair: the target t and the weights t0 and v of the pass.
    std::vector<double> m_target, m_unitWeight, m_spreadWeight;
    /// The constants of the loss: ratio Q = sum w g^2; interval W = sum w and
    /// Qc = sum w (g - mean)^2; Sammon Q = sum w g over g > 0.
    double m_q = 0.0, m_w = 0.0;
    bool m_anyPair = false;
    /// Ordinal only: the regression; the items of each pair (0-based) in
    /// the regression's order; the map distances and disparities in that
    /// order; each pair's position in it (NoPosition for weight 0).
    std::unique_ptr<MonotoneRegression> m_regression;
    std::vector<std::uint16_t> m_orderedFirst, m_orderedSecond;
    std::vector<double> m_orderedMap, m_orderedFitted;
    std::vector<std::uint32_t> m_position;
    Half m_halves[2];
};

} // namespace tessarin
