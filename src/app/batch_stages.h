#pragma once

#include "data/distance_data.h"
#include "data/layout.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tessarin {

/// One stage of a batch run, as the summary reports it.
struct BatchStage {
    /// "classical start", "best map", "route a" .. "route e", "search", "polish".
    std::string name;
    /// What it did ("fit 0.999215603, 38 iterations").
    std::string detail;
    /// Wall time, for the report only.
    double seconds = 0.0;
};

/// Runs the map solvers' stages of a batch run on `data` and keeps the list
/// of what ran for the summary. Each stage replaces the map only by one at
/// least as fit, except the classical start, which is the start.
class BatchStages {
public:
    /// `live`: show the stage and its iteration on standard error as it runs.
    /// `stopRequested` is polled once per iteration.
    BatchStages(const DistanceData &data, bool live, std::function<bool()> stopRequested);

    /// `best` becomes the classical map.
    void classicalStart(Layout &best);
    /// Runs the best-map routes; `best` takes the result unless it fits better.
    void bestMap(Layout &best);
    /// Polishes `best`.
    void polish(Layout &best);
    /// Records the search's stage (its time taken by the caller).
    void search(long long generations, double seconds);

    const std::vector<BatchStage> &stages() const { return m_stages; }

    /// One line per stage: "name: detail (0.123 s)".
    void writeSummary(std::ostream &out) const;

private:
    const DistanceData &m_data;
    bool m_live;
    std::function<bool()> m_stopRequested;
    std::vector<BatchStage> m_stages;
};

/// The summary line that says the reading took its statistics from
/// double-precision sums, naming the file and the two relative errors;
/// empty when it did not.
std::string StatisticsNote(const std::string &fileName, const DistanceData &data);

/// Nine significant digits, the form the summary gives fits in.
std::string Significant9(double value);

} // namespace tessarin
