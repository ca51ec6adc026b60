#pragma once

#include "app/batch_mode.h"

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace tessarin::testing {

/// Runs the batch mode on `args` and returns what it writes to standard
/// error; an exception passes through with standard error given back.
inline std::string RunBatchCapturingErrors(const std::vector<std::string> &args)
{
    std::ostringstream captured;
    std::streambuf *previous = std::cerr.rdbuf(captured.rdbuf());
    try {
        RunBatchMode(args);
    } catch (...) {
        std::cerr.rdbuf(previous);
        throw;
    }
    std::cerr.rdbuf(previous);
    return captured.str();
}

} // namespace tessarin::testing
