#include "run/run_fit.h"

#include "run/run_observer.h"
#include "search/layout_search.h"

#include <algorithm>
#include <chrono>

namespace tessarin {

SearchOutcome RunFit(const DistanceData &data, Layout &best, RandomSource &random, const SearchSettings &settings,
                     RunObserver &observer)
{
    const auto started = std::chrono::steady_clock::now();
    const int n = CheckedItemCount(data);
    const std::size_t size = 2 * static_cast<std::size_t>(n) + 1;
    best.resize(size, 0.0f);

    LayoutSearch search(data, best, random);
    SearchOutcome outcome;
    // The map the observer was last handed; the caller already has `best`.
    Layout shown = best;
    for (long long g = 1; static_cast<double>(g) <= settings.generations; ++g) {
        outcome.generations = g;
        if (search.step(g)) {
            std::copy(search.bestLayout(), search.bestLayout() + size, shown.begin());
            observer.improved(shown, search.bestFit());
        }
        if (g % 10 == 0) {
            observer.progress("search", static_cast<int>(g));
            if (observer.stopRequested()) {
                outcome.stopped = true;
                break;
            }
        }
    }
    if (outcome.generations > 0) {
        // A member may take the lead, or be replaced, at a fit equal to the
        // best so far: no improvement, yet another map. The observer is shown
        // the map the run ends with, so what it drew is what is kept.
        if (!std::equal(shown.begin() + 1, shown.end(), search.bestLayout() + 1)) {
            std::copy(search.bestLayout(), search.bestLayout() + size, shown.begin());
            observer.improved(shown, search.bestFit());
        }
        std::copy(search.bestLayout() + 1, search.bestLayout() + size, best.begin() + 1);
    }
    outcome.record = {"search", std::to_string(outcome.generations) + " generations",
                      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()};
    return outcome;
}

} // namespace tessarin
