#pragma once

#include "app/batch_options.h"
#include "app/picture_writers.h"
#include "data/distance_data.h"

#include <ostream>
#include <string>
#include <vector>

namespace tessarin {

/// Runs the tool without a window: reads the distance file, prints its
/// reading warnings, searches, writes the best map as CSV and a summary on
/// standard error. Returns ExitSuccess, or ExitInterrupted when Ctrl-C ended
/// the search (the map found so far is written all the same). Throws
/// UsageError for an option found wrong only now (an --image name, or a
/// picture asked for without `pictures`), and TessarinError, naming the file
/// and the system's reason, for a failure.
int RunBatch(const BatchOptions &options, const PictureWriters &pictures);

/// Reads `args`, the command-line arguments after the program name (they
/// must hold --batch FILE), and runs RunBatch; throws UsageError for a
/// command line it cannot follow.
int RunBatchMode(const std::vector<std::string> &args, const PictureWriters &pictures = {});

/// Writes the reading warnings of `data` as "warning: FILE, line L: ..."
/// lines, at most 10, then one line with the count of the others.
void PrintReadingWarnings(std::ostream &out, const std::string &fileName, const DistanceData &data);

} // namespace tessarin
