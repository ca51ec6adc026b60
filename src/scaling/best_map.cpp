#include "scaling/best_map.h"

#include "base/tessarin_error.h"
#include "fit/fit_gradient.h"
#include "scaling/classical_scaling.h"
#include "scaling/map_axes.h"
#include "scaling/route_runner.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace tessarin {

BestMapSettings BestMapSettingsFor(int itemCount)
{
    // A random start rarely wins on real tables but costs as much as all the
    // other routes together; from a thousand items on, fewer of them, each
    // with a shorter budget, keep Best map within a few seconds.
    BestMapSettings settings;
    settings.randomIterations = 300;
    if (itemCount > 1000) {
        settings.randomStarts = 2;
        settings.randomIterations = 200;
    } else if (itemCount > 500) {
        settings.randomStarts = 4;
    }
    return settings;
}

namespace {

constexpr std::uint64_t RandomStartSeed = 0x0b357a9c3e5d1f27ULL;

} // namespace

BestMapResult FindBestMap(const DistanceData &data, RunObserver *observer)
{
    return FindBestMap(data, observer, BestMapSettingsFor(data.ItemCount));
}

BestMapResult FindBestMap(const DistanceData &data, RunObserver *observer, const BestMapSettings &settings)
{
    const int n = data.ItemCount;
    if (n <= 0)
        throw TessarinError("a best map needs distances: no distance file has been read");
    const MapMeasure measure = FitMeasure(data);
    RouteRunner runner(data, measure, observer, settings.polish);
    FitGradient flat(data, 2);
    std::optional<FitGradient> deep;
    if (settings.deepRoutes)
        deep.emplace(data, 3);
    const std::size_t pairs = n > 1 ? static_cast<std::size_t>(n) * (n - 1) / 2 : 1;
    const double meanGiven = data.weighted() ? data.WeightedSum / data.WeightTotal
                                             : static_cast<double>(data.DistanceSum) / static_cast<double>(pairs);
    const DescentObjective plain = [&](const double *coords, double *gradient) {
        return flat.evaluate(coords, 0.0, gradient);
    };
    const DescentObjective deepPlain = [&](const double *coords, double *gradient) {
        return deep->evaluate(coords, 0.0, gradient);
    };

    const std::vector<double> flatStart = CoordinateMajor(ClassicalCoordinates(data, 2, observer), n, 2);

    runner.route("a", "2-D classical start, polished", [&] {
        std::vector<double> coords = flatStart;
        runner.offer(coords);
        return runner.polishAndOffer(coords, plain, settings.polish.maxIterations);
    });

    if (settings.deepRoutes) {
        std::vector<double> deepPolished;
        runner.route("b", "3-D classical start polished, projected, polished", [&] {
            return runner.polishDeepStart(deepPlain, settings.deepIterations, plain, settings.polish.maxIterations,
                                          deepPolished);
        });

        runner.route("c", "3-D map with its depth held at half, polished, flattened, polished", [&] {
            std::vector<double> coords = deepPolished;
            for (int j = 0; j < n; ++j)
                coords[2 * static_cast<std::size_t>(n) + j] *= 0.5;
            // The depth stays as it is: its part of the gradient is zero.
            const DescentObjective heldDepth = [&](const double *at, double *gradient) {
                const double fit = deep->evaluate(at, 0.0, gradient);
                std::fill(gradient + 2 * static_cast<std::ptrdiff_t>(n), gradient + 3 * static_cast<std::ptrdiff_t>(n),
                          0.0);
                return fit;
            };
            if (!runner.polish(coords, 3, heldDepth, false, settings.deepIterations))
                return false;
            coords.resize(2 * static_cast<std::size_t>(n));
            return runner.polishAndOffer(coords, plain, settings.polish.maxIterations);
        });
    }

    if (settings.smoothingSteps > 0) {
        runner.route("d", "distance smoothing from the classical start, then polished", [&] {
            std::vector<double> coords = flatStart;
            double epsilon = 0.5 * meanGiven;
            for (int k = 0; k < settings.smoothingSteps; ++k) {
                const double smoothing = epsilon * epsilon;
                const DescentObjective smooth = [&](const double *at, double *gradient) {
                    return flat.evaluate(at, smoothing, gradient);
                };
                if (!runner.polish(coords, 2, smooth, true, settings.smoothingIterations))
                    return false;
                epsilon = epsilon * 0.3;
            }
            return runner.polishAndOffer(coords, plain, settings.polish.maxIterations);
        });
    }

    if (settings.randomStarts > 0) {
        runner.route("e", std::to_string(settings.randomStarts) + " random starts, each polished", [&] {
            return runner.polishRandomStarts(RandomStartSeed, settings.randomStarts, 2.0 * meanGiven, plain,
                                             settings.randomIterations);
        });
    }

    BestMapResult result;
    result.layout = runner.bestLayout();
    result.fit = runner.bestScore();
    result.winner = runner.winner();
    result.stopped = runner.stopped();
    result.routes = runner.routes();
    return result;
}

} // namespace tessarin
