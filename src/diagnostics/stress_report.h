#pragma once

#include "data/distance_data.h"
#include "diagnostics/map_stress.h"
#include "run/stage_record.h"

#include <string>
#include <vector>

namespace tessarin {

/// What a batch run's report tells.
struct StressReport {
    std::string file;
    std::vector<StageRecord> stages;
    long long generations = 0;
};

/// The report as one JSON object: the file, N, the pairs, every stage with
/// its time, the generations, the fit, the stress figures and the Shepard
/// line, and the stress per point of every item (with its name when the
/// table names its items).
std::string StressReportJson(const StressReport &report, const DistanceData &data, const StressFigures &figures);

} // namespace tessarin
