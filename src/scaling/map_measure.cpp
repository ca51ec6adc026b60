#include "scaling/map_measure.h"

#include "fit/layout_fitness.h"

#include <cmath>

namespace tessarin {

bool AtLeastAsGood(Improvement improvement, double value, double reference)
{
    return improvement == Improvement::Higher ? value >= reference : value <= reference;
}

bool Better(Improvement improvement, double value, double reference)
{
    return improvement == Improvement::Higher ? value > reference : value < reference;
}

bool ClearlyBetter(Improvement improvement, double value, double reference)
{
    const double margin = 1e-9 * std::fabs(reference);
    return improvement == Improvement::Higher ? value > reference + margin : value < reference - margin;
}

MapMeasure FitMeasure(const DistanceData &data)
{
    MapMeasure measure;
    measure.improvement = Improvement::Higher;
    measure.score = [&data](const Layout &layout) { return LayoutFitness(data, layout); };
    measure.scoreIsFit = true;
    // Below any fit, which lies in [-1, 1].
    measure.worst = -2.0;
    measure.lineSearchTries = 20;
    measure.stepBySpread = false;
    return measure;
}

} // namespace tessarin
