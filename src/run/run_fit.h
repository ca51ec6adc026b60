#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "run/stage_record.h"
#include "base/random_source.h"

namespace tessarin {

class RunObserver;

/// How a search runs.
struct SearchSettings {
    /// The generation count: generations 1, 2, ... run while g <= count, so a
    /// count below 1 runs none and a fractional one its whole part.
    double generations = 1000.0;
};

/// How a search ended.
struct SearchOutcome {
    /// Generations run.
    long long generations = 0;
    /// True when the observer asked to stop.
    bool stopped = false;
    /// "search", "N generations" and the wall time.
    StageRecord record;
};

/// One whole search: seeds member 1 from `best` (resized to 2N positions
/// keeping its values) and runs the generations of `settings`. Every
/// improvement goes to observer.improved(); every 10th generation to
/// observer.progress("search", g), followed by a stop query that ends the run.
/// At the end `best` takes the best member (left as it was when no generation
/// ran); when that member is not the map last handed to improved() (nor the
/// `best` it started from), improved() gets it once more with its fit. Throws TessarinError for a table it cannot search (no items, or more
/// than MaxItemCount); errors of the observer pass to the caller.
SearchOutcome RunFit(const DistanceData &data, Layout &best, RandomSource &random, const SearchSettings &settings,
                     RunObserver &observer);

} // namespace tessarin
