#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "models/stress_model.h"

#include <QString>

#include <optional>

namespace tessarin {

/// The line that shows a map's figure under a stress model, as the main
/// window's status line and the map explorer show it: ModelStatusText
/// ("Ordinal stress-1 0.0253 (good)") followed by the ties of an ordinal
/// model (", primary ties"); the figure's name alone in place of the
/// figure when `stress` is not given. Empty under Fit.
QString ModelStatusLine(const ModelSetting &setting, std::optional<double> stress);

/// The line of `layout` measured under `setting`; the figure's name alone
/// when `layout` is not a map of the table's items (no map yet). Empty
/// under Fit.
QString MeasuredModelStatusLine(const DistanceData &data, const Layout &layout, const ModelSetting &setting);

} // namespace tessarin
