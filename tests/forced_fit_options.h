#pragma once

#include "fit/fit_options.h"

namespace tessarin::testing {

/// Options that force `path` and, with 2 threads, the split at any size.
inline FitOptions Forced(FitPath path, int threads)
{
    FitOptions options;
    options.path = path;
    options.threads = threads;
    options.minItemsForThreads = 2;
    return options;
}

} // namespace tessarin::testing
