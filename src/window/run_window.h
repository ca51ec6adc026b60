#pragma once

#include <string>

namespace tessarin {

/// Runs the tool as a window: creates the application and the main window,
/// runs the start-up sequence on `startFile` and then the event loop until the
/// window is closed. Returns the program's exit code. When the user named the
/// file (`named`), a file that cannot be read is also shown in a message box.
///
/// With TESSARIN_SCREENSHOT set to a file name, the window is saved to that
/// PNG file once the start-up search has ended, and the program ends.
int RunWindow(int argc, char **argv, const std::string &startFile, bool named = false);

} // namespace tessarin
