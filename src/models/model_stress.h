#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "models/stress_model.h"

#include <vector>

namespace tessarin {

/// How a stored map scores under a stress model, computed directly in
/// double precision from the map's coordinates (differences, squares and
/// roots all in double precision, as ModelLoss forms them).
struct ModelStressFigures {
    /// Stress-1 for ratio, interval and ordinal; E for Sammon.
    double stress = 0.0;
    /// The disparities in map units, in pair order (i = 1..N, j = i + 1..N):
    /// b g (ratio), a + b g (interval), the monotone regression (ordinal),
    /// g / c (Sammon: the map distance each pair would have at the best c).
    std::vector<double> disparities;
    /// The line d^ = intercept + slope g for ratio, interval and Sammon.
    double slope = 0.0;
    double intercept = 0.0;
    /// Share in per cent of item i (at index i - 1) in the model's sum of
    /// squared residuals; each pair counts for both of its items, so the
    /// shares sum to 100. All 0 when the map fits exactly.
    std::vector<double> pointShares;
};

/// Measures `layout` (positions 1..2N) under `setting` (not Fit). Throws
/// TessarinError when no table has been read, the layout is not a map of the
/// table's items, the model is Fit or the weights have the wrong count.
ModelStressFigures MeasureModelStress(const DistanceData &data, const Layout &layout, const ModelSetting &setting,
                                      PairWeights weights = nullptr);

/// Only the stress of MeasureModelStress.
double ModelStress(const DistanceData &data, const Layout &layout, const ModelSetting &setting,
                   PairWeights weights = nullptr);

} // namespace tessarin
