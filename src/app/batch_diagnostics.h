#pragma once

#include "data/distance_data.h"
#include "app/picture_writers.h"
#include "data/layout.h"
#include "diagnostics/stress_report.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tessarin {

/// The batch mode's options about how good the map is.
struct DiagnosticsOptions {
    std::string shepard; // --shepard FILE.png|svg
    std::string report;  // --report FILE.json
};

/// Refuses, before any search, names the outputs cannot take (UsageError).
void CheckDiagnosticsOptions(const DiagnosticsOptions &options, const PictureWriters &pictures);

/// Measures the map, writes the diagram and the report when asked, and
/// returns the summary's stress line ("stress-1: 0.0453123456"). The report
/// lists `stages` and then the measuring itself.
std::string WriteDiagnostics(const DiagnosticsOptions &options, const PictureWriters &pictures, StressReport report,
                             const DistanceData &data, const Layout &best);

/// The usage lines of the two options.
std::string DiagnosticsUsage();

} // namespace tessarin
