#pragma once

#include <string>
#include <vector>

namespace tessarin {

/// Runs the tool without a window: reads a distance file, searches, writes the
/// best map as CSV and a summary. `args` are the command-line arguments after
/// the program name. Returns the process exit status.
int RunBatchMode(const std::vector<std::string> &args);

/// The usage text of the command line.
std::string UsageText();

} // namespace tessarin
