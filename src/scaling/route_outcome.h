#pragma once

#include <string>

namespace tessarin {

/// One route a best-map search tried.
struct RouteOutcome {
    /// "a" .. "e", and what the route does, for a summary ("2-D classical
    /// start, polished").
    std::string name;
    std::string description;
    /// The best score of the route's maps under the search's measure: the
    /// LayoutFitness for FindBestMap, the stress for FindBestModelMap
    /// (MapMeasure::worst when the route kept none).
    double score = 0.0;
    /// Polish iterations the route took, all its polishes together.
    int iterations = 0;
    /// Wall time the route took, for reports only (no budget depends on it).
    double seconds = 0.0;
};

} // namespace tessarin
