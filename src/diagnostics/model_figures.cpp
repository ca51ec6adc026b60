#include "diagnostics/model_figures.h"

#include "models/model_stress.h"

#include <algorithm>
#include <numeric>

namespace tessarin {

void AddModelFigures(StressFigures &figures, const DistanceData &data, const Layout &layout,
                     const ModelSetting &model)
{
    const ModelStressFigures measured = MeasureModelStress(data, layout, model);
    figures.pointShares = measured.pointShares;
    figures.modelName = ModelFigureName(model.model);
    figures.modelStress = measured.stress;
    figures.modelPath.clear();
    if (measured.disparities.empty())
        return;
    if (model.model != StressModel::Ordinal) {
        // A straight line across the given distances.
        for (double g : {figures.givenLow, figures.givenHigh})
            figures.modelPath.push_back({g, measured.intercept + measured.slope * g});
        return;
    }
    // The steps: the pairs in the order of (given, disparity), a corner
    // wherever either changes.
    std::vector<ShepardPoint> pairs;
    pairs.reserve(measured.disparities.size());
    std::size_t p = 0;
    for (int i = 1; i <= data.ItemCount; ++i)
        for (int j = i + 1; j <= data.ItemCount; ++j, ++p)
            pairs.push_back({data.distance(i, j), measured.disparities[p]});
    std::sort(pairs.begin(), pairs.end(), [](const ShepardPoint &a, const ShepardPoint &b) {
        return a.given < b.given || (a.given == b.given && a.map < b.map);
    });
    for (const ShepardPoint &point : pairs) {
        if (figures.modelPath.empty()) {
            figures.modelPath.push_back(point);
            continue;
        }
        const ShepardPoint last = figures.modelPath.back();
        if (point.given == last.given && point.map == last.map)
            continue;
        if (point.given != last.given && point.map != last.map)
            figures.modelPath.push_back({point.given, last.map}); // along, then up
        figures.modelPath.push_back(point);
    }
}

} // namespace tessarin
