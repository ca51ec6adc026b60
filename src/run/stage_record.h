#pragma once

#include <string>

namespace tessarin {

/// What one stage of a run did, as the batch summary and the report tell it.
struct StageRecord {
    /// "reading", "classical start", "best map", "route a" .. "route e",
    /// "search", "polish".
    std::string name;
    /// What it did ("fit 0.999215603, 38 iterations", "1000 generations").
    std::string detail;
    /// Wall time, for the summary and the report only (no budget depends on it).
    double seconds = 0.0;
};

} // namespace tessarin
