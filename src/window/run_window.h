#pragma once

#include <string>

namespace tessarin {

/// Runs the tool as a window: creates the application and the main window,
/// runs the start-up sequence on `startFile` and then the event loop until the
/// window is closed. Returns the program's exit code.
///
/// With TESSARIN_SCREENSHOT set to a file name, the window is saved to that
/// PNG file once the start-up search has ended, and the program ends.
int RunWindow(int argc, char **argv, const std::string &startFile);

} // namespace tessarin
