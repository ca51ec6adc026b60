#pragma once

#include "data/distance_data.h"
#include "diagnostics/map_stress.h"
#include "models/model_stress.h"
#include "models/stress_model.h"
#include "run/stage_record.h"

#include <optional>
#include <string>
#include <vector>

namespace tessarin {

/// What a batch run's report tells.
struct StressReport {
    std::string file;
    std::vector<StageRecord> stages;
    long long generations = 0;
    /// The model the run fitted, when one was asked for: the report then
    /// gains `model` (its name, the ties, the stress of the map under it and
    /// the stress per point under it).
    std::optional<ModelSetting> model = std::nullopt;
};

/// The report as one JSON object: the file, N, the pairs (and when some weigh
/// 0, `usedPairs`, those that weigh more, and `missingPairs`), every stage with
/// its time, the generations, the fit, the stress figures and the Shepard
/// line, and the stress per point of every item (with its name when the
/// table names its items); with a model, `modelFigures` are the map's under
/// it (ignored for the fit model).
std::string StressReportJson(const StressReport &report, const DistanceData &data, const StressFigures &figures,
                             const ModelStressFigures *modelFigures = nullptr);

} // namespace tessarin
