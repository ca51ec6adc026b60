#include "models/model_polish.h"

#include "fit/layout_fitness.h"
#include "models/model_loss.h"
#include "models/model_measure.h"

namespace tessarin {

ModelPolishResult PolishUnderModel(const DistanceData &data, const Layout &start, const ModelSetting &setting,
                                   RunObserver *observer, const PolishSettings &settings, PairWeights weights)
{
    ModelPolishResult result;
    if (setting.model == StressModel::Fit) {
        const PolishResult plain = PolishLayout(data, start, observer, settings);
        result.layout = plain.layout;
        result.fit = plain.fit;
        result.stress = 1.0 - plain.fit;
        result.iterations = plain.iterations;
        result.stopped = plain.stopped;
        return result;
    }
    CheckPolishStart(data, start);
    ModelLoss loss(data, setting, 2, weights);
    const MeasuredPolish polished =
        PolishMap(data, start, ModelMeasure(loss),
                  [&](const double *coords, double *gradient) { return loss.evaluate(coords, gradient); }, observer,
                  settings);
    result.layout = polished.layout;
    result.stress = polished.score;
    result.fit = LayoutFitness(data, result.layout);
    result.iterations = polished.iterations;
    result.stopped = polished.stopped;
    return result;
}

} // namespace tessarin
