#pragma once

#include "app/picture_writers.h"

#include <functional>
#include <string>
#include <vector>

namespace tessarin {

/// Opens the window on a file and runs its event loop; returns the exit
/// status. `named` is true when the user named the file.
using WindowRunner = std::function<int(const std::string &file, bool named)>;

/// The whole program after its arguments are split: reads the command line,
/// then shows the help or the version, opens the window (through `window`,
/// empty when there is no window to open: the batch mode then runs on the
/// file instead) or runs the batch mode, with the picture writers of
/// `pictures` (empty without Qt). Errors go to standard error as one
/// "tessarin: ..." line each. Returns the exit status: ExitUsage for a
/// usage error, ExitFailure for a failure, ExitInterrupted after Ctrl-C.
int RunCommandLine(const std::vector<std::string> &args, const WindowRunner &window,
                   const PictureWriters &pictures = {});

} // namespace tessarin
