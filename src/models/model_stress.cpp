#include "models/model_stress.h"

#include "base/tessarin_error.h"
#include "models/monotone_regression.h"

#include <cmath>
#include <string>

namespace tessarin {

ModelStressFigures MeasureModelStress(const DistanceData &data, const Layout &layout, const ModelSetting &setting,
                                      PairWeights weights)
{
    const int n = data.ItemCount;
    if (n <= 0)
        throw TessarinError("a stress needs distances: no distance file has been read");
    if (layout.size() < 2 * static_cast<std::size_t>(n) + 1)
        throw TessarinError("the map holds " + std::to_string((layout.size() > 0 ? layout.size() - 1 : 0) / 2) +
                            " items, but the table has " + std::to_string(n));
    if (setting.model == StressModel::Fit)
        throw TessarinError("the fit measure is not a stress");
    const std::size_t pairs = static_cast<std::size_t>(n) * (n - 1) / 2;
    // Without weights of its own, the stress takes the table's.
    std::vector<double> tableWeights;
    if ((!weights || weights->empty()) && data.weighted()) {
        tableWeights.assign(data.PairWeights.begin(), data.PairWeights.end());
        weights = &tableWeights;
    }
    const bool weighted = weights && !weights->empty();
    if (weighted && weights->size() != pairs)
        throw TessarinError("the pair weights number " + std::to_string(weights->size()) + ", but the table has " +
                            std::to_string(pairs) + " pairs");
    auto weightOf = [&](std::size_t p) { return weighted ? (*weights)[p] : 1.0; };

    std::vector<float> given;
    std::vector<double> map;
    given.reserve(pairs);
    map.reserve(pairs);
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            given.push_back(data.distance(i, j));
            const double dx = static_cast<double>(layout[i]) - layout[j];
            const double dy = static_cast<double>(layout[n + i]) - layout[n + j];
            map.push_back(std::sqrt(dx * dx + dy * dy));
        }

    ModelStressFigures figures;
    figures.disparities.assign(pairs, 0.0);
    std::vector<double> residual(pairs, 0.0); // weighted squared residual of each pair
    double numerator = 0.0, denominator = 0.0;
    switch (setting.model) {
    case StressModel::Ratio: {
        double gm = 0.0, gg = 0.0;
        for (std::size_t p = 0; p < pairs; ++p) {
            gm = gm + weightOf(p) * given[p] * map[p];
            gg = gg + weightOf(p) * given[p] * given[p];
        }
        figures.slope = gg > 0.0 ? gm / gg : 0.0;
        for (std::size_t p = 0; p < pairs; ++p)
            figures.disparities[p] = figures.slope * given[p];
        break;
    }
    case StressModel::Interval: {
        double sw = 0.0, sg = 0.0, sm = 0.0;
        for (std::size_t p = 0; p < pairs; ++p) {
            sw = sw + weightOf(p);
            sg = sg + weightOf(p) * given[p];
            sm = sm + weightOf(p) * map[p];
        }
        const double meanGiven = sw > 0.0 ? sg / sw : 0.0;
        const double meanMap = sw > 0.0 ? sm / sw : 0.0;
        double gm = 0.0, gg = 0.0;
        for (std::size_t p = 0; p < pairs; ++p) {
            const double centred = given[p] - meanGiven;
            gm = gm + weightOf(p) * centred * (map[p] - meanMap);
            gg = gg + weightOf(p) * centred * centred;
        }
        figures.slope = gg > 0.0 ? gm / gg : 0.0;
        figures.intercept = meanMap - figures.slope * meanGiven;
        for (std::size_t p = 0; p < pairs; ++p)
            figures.disparities[p] = figures.intercept + figures.slope * given[p];
        break;
    }
    case StressModel::Ordinal: {
        MonotoneRegression regression(given.data(), pairs, weighted ? weights->data() : nullptr, setting.ties);
        regression.fit(map.data(), figures.disparities.data());
        break;
    }
    case StressModel::Sammon: {
        // E = sum w (g - c m)^2 / g / sum w g, best c = sum w m / sum w m^2 / g.
        double wm = 0.0, wmm = 0.0, wg = 0.0;
        for (std::size_t p = 0; p < pairs; ++p)
            if (given[p] > 0.0f) {
                wm = wm + weightOf(p) * map[p];
                wmm = wmm + weightOf(p) * map[p] * map[p] / given[p];
                wg = wg + weightOf(p) * given[p];
            }
        const double c = wmm > 0.0 ? wm / wmm : 0.0;
        figures.slope = c > 0.0 ? 1.0 / c : 0.0;
        for (std::size_t p = 0; p < pairs; ++p) {
            figures.disparities[p] = figures.slope * given[p];
            if (given[p] > 0.0f) {
                const double r = given[p] - c * map[p];
                residual[p] = weightOf(p) * r * r / given[p];
                numerator = numerator + residual[p];
            }
        }
        denominator = wg;
        break;
    }
    case StressModel::Fit:
        break;
    }
    if (setting.model != StressModel::Sammon) {
        for (std::size_t p = 0; p < pairs; ++p) {
            const double r = figures.disparities[p] - map[p];
            residual[p] = weightOf(p) * r * r;
            numerator = numerator + residual[p];
            denominator = denominator + weightOf(p) * map[p] * map[p];
        }
        figures.stress = denominator > 0.0 ? std::sqrt(numerator / denominator) : 1.0;
    } else {
        figures.stress = denominator > 0.0 && numerator <= denominator ? numerator / denominator : 1.0;
    }

    figures.pointShares.assign(static_cast<std::size_t>(n), 0.0);
    if (numerator > 0.0 && figures.stress >= 1e-12) {
        std::size_t p = 0;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j, ++p) {
                figures.pointShares[static_cast<std::size_t>(i)] += residual[p];
                figures.pointShares[static_cast<std::size_t>(j)] += residual[p];
            }
        for (double &share : figures.pointShares)
            share = share * 50.0 / numerator;
    }
    return figures;
}

double ModelStress(const DistanceData &data, const Layout &layout, const ModelSetting &setting, PairWeights weights)
{
    return MeasureModelStress(data, layout, setting, weights).stress;
}

} // namespace tessarin
