#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tessarin {

/// What a map is fitted to. Fit is the tool's own fit measure; the others
/// minimise a stress between the map distances m and disparities d^ fitted
/// to m within the model's family (least squares weighted by w):
/// - Ratio: d^ = b g (g the given distance);
/// - Interval: d^ = a + b g;
/// - Ordinal: d^ non-decreasing in g (monotone regression);
/// - Sammon: the criterion of Sammon's mapping,
///   E = sum w (g - c m)^2 / g / sum w g at the best c, pairs with g = 0 left out.
/// Ratio, interval and ordinal are scored by Kruskal's stress-1,
/// sqrt(sum w (d^ - m)^2 / sum w m^2).
enum class StressModel { Fit, Ratio, Interval, Ordinal, Sammon };

/// How the ordinal model treats pairs with equal given distances: Primary
/// lets them take unequal disparities (a block of ties is taken in the order
/// of its map distances); Secondary gives them one disparity.
enum class TieApproach { Primary, Secondary };

struct ModelSetting {
    StressModel model = StressModel::Fit;
    TieApproach ties = TieApproach::Primary;
};

/// "fit", "ratio", "interval", "ordinal", "sammon".
const char *ModelKey(StressModel model);
/// "primary", "secondary".
const char *TiesKey(TieApproach ties);
/// The model of a key as ModelKey writes it; nothing for any other text.
std::optional<StressModel> ModelFromKey(const std::string &key);
std::optional<TieApproach> TiesFromKey(const std::string &key);

/// "Fit", "Ratio stress-1", "Interval stress-1", "Ordinal stress-1",
/// "Sammon stress": the name of the figure a model minimises.
const char *ModelFigureName(StressModel model);

/// Kruskal's verbal guide to stress-1: "excellent" up to 0.025, "good" up to
/// 0.05, "fair" up to 0.1, "poor" up to 0.2, "bad" above.
const char *StressVerdict(double stress);

/// The line that names a map's figure under a stress model, for a status
/// line: "Ordinal stress-1 0.0231 (excellent)" (4 decimals; Kruskal's guide
/// for the stress-1 models, none for Sammon's criterion). Empty for Fit.
std::string ModelStatusText(StressModel model, double stress);

/// Weights of the pairs in pair order (i = 1..N, j = i + 1..N); a null
/// pointer or an empty vector means every weight is 1.
using PairWeights = const std::vector<double> *;

} // namespace tessarin
