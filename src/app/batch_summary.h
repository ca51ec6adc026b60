#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "models/stress_model.h"
#include "run/stage_record.h"

#include <ostream>
#include <string>
#include <vector>

namespace tessarin {

/// One line per stage: "name: detail (0.123 s)".
void WriteStageSummary(std::ostream &out, const std::vector<StageRecord> &stages);

/// The summary line that says the reading took its statistics from
/// double-precision sums, naming the file and the two relative errors;
/// empty when it did not.
std::string StatisticsNote(const std::string &fileName, const DistanceData &data);

/// "missing pairs: 432 of 1081, left out of the fit" when pairs weigh 0;
/// empty when none does.
std::string MissingPairsNote(const DistanceData &data);

/// The summary line naming the model and the map's stress under it:
/// "model: ordinal (primary ties), stress-1 0.0252501954", "model: sammon,
/// stress 0.00396891234", "model: fit". The stress is computed afresh from
/// the stored map.
std::string ModelSummaryLine(const ModelSetting &model, const DistanceData &data, const Layout &best);

} // namespace tessarin
