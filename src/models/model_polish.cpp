#include "models/model_polish.h"

#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "models/model_loss.h"
#include "models/model_measure.h"
#include "models/stored_model_stress.h"
#include "scaling/classical_scaling.h"
#include "scaling/duplicate_items.h"
#include "scaling/map_axes.h"
#include "run/run_observer.h"

#include <string>

namespace tessarin {

namespace {

bool allOnePoint(const std::vector<double> &coords, int n)
{
    for (int d = 0; d < 2; ++d)
        for (int j = 1; j < n; ++j)
            if (coords[static_cast<std::size_t>(d) * n + j] != coords[static_cast<std::size_t>(d) * n])
                return false;
    return true;
}

} // namespace

ModelPolishResult PolishUnderModel(const DistanceData &data, const Layout &start, const ModelSetting &setting,
                                   RunObserver *observer, const PolishSettings &settings, PairWeights weights)
{
    if (setting.model == StressModel::Fit) {
        const PolishResult plain = PolishLayout(data, start, observer, settings);
        ModelPolishResult result;
        result.layout = plain.layout;
        result.fit = plain.fit;
        result.stress = 1.0 - plain.fit;
        result.iterations = plain.iterations;
        result.stopped = plain.stopped;
        return result;
    }
    const int n = data.ItemCount;
    if (n <= 0)
        throw TessarinError("a polish needs distances: no distance file has been read");
    if (start.size() < 2 * static_cast<std::size_t>(n) + 1)
        throw TessarinError("the map to polish holds " + std::to_string((start.size() > 0 ? start.size() - 1 : 0) / 2) +
                            " items, but the table has " + std::to_string(n));
    ModelLoss loss(data, setting, 2, weights);
    ModelPolishResult result;
    result.layout.assign(start.begin(), start.begin() + 2 * static_cast<std::ptrdiff_t>(n) + 1);
    result.stress = StoredModelStress(loss, result.layout);
    result.fit = LayoutFitness(data, result.layout);
    if (n < 2)
        return result;

    std::vector<double> coords = StoredCoordinates(result.layout, n);
    if (allOnePoint(coords, n))
        coords = CoordinateMajor(ClassicalCoordinates(data, 2, observer), n, 2);

    const DuplicateItems duplicates(data);
    const double startStress = result.stress;
    const Layout startLayout = result.layout;
    const double startFit = result.fit;
    const DescentHook hook = [&](int iteration, const std::vector<double> &now, double) {
        if (!observer)
            return true;
        observer->progress("polish", iteration);
        if (observer->wantsMap()) {
            const Layout layout = StoredLayout(ItemMajor(now, n, 2), n);
            if (StoredModelStress(loss, layout) <= startStress)
                observer->improved(layout, LayoutFitness(data, layout));
            else
                observer->improved(startLayout, startFit);
        }
        return !observer->stopRequested();
    };
    const DescentOutcome outcome =
        DescendMap([&](const double *at, double *gradient) { return loss.evaluate(at, gradient); }, ModelMeasure(loss), 2,
                   duplicates, coords, settings, hook);
    result.iterations = outcome.iterations;
    result.stopped = outcome.stopped;

    Layout polished = StoredLayout(ItemMajor(coords, n, 2), n);
    const double stress = StoredModelStress(loss, polished);
    if (stress <= startStress) {
        result.layout = std::move(polished);
        result.stress = stress;
        result.fit = LayoutFitness(data, result.layout);
    }
    return result;
}

} // namespace tessarin
