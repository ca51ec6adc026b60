#include "fit/fit_options.h"

#include <cstdlib>
#include <string_view>
#include <thread>

namespace tessarin {

const char *FitPathName(FitPath path)
{
    switch (path) {
    case FitPath::OneByOne:
        return "single";
    case FitPath::Portable:
        return "portable";
    case FitPath::Avx2:
        return "avx2";
    case FitPath::Avx512:
        return "avx512";
    }
    return "?";
}

bool FitPathSupported(FitPath path)
{
    switch (path) {
    case FitPath::OneByOne:
    case FitPath::Portable:
        return true;
    case FitPath::Avx2:
#if defined(__x86_64__) || defined(__i386__)
        return __builtin_cpu_supports("avx2");
#else
        return false;
#endif
    case FitPath::Avx512:
#if defined(__x86_64__) || defined(__i386__)
        return __builtin_cpu_supports("avx512f");
#else
        return false;
#endif
    }
    return false;
}

FitPath BestFitPath()
{
    if (FitPathSupported(FitPath::Avx512))
        return FitPath::Avx512;
    if (FitPathSupported(FitPath::Avx2))
        return FitPath::Avx2;
    return FitPath::Portable;
}

FitOptions FitOptionsFromEnvironment(FitOptions base, const char *pathValue, const char *threadsValue)
{
    if (pathValue) {
        const std::string_view wanted(pathValue);
        for (FitPath path : {FitPath::OneByOne, FitPath::Portable, FitPath::Avx2, FitPath::Avx512})
            if (wanted == FitPathName(path) && FitPathSupported(path))
                base.path = path;
    }
    if (threadsValue) {
        const std::string_view wanted(threadsValue);
        if (wanted == "1")
            base.threads = 1;
        else if (wanted == "2")
            base.threads = 2;
    }
    return base;
}

const FitOptions &DefaultFitOptions()
{
    static const FitOptions options = [] {
        FitOptions chosen;
        chosen.path = BestFitPath();
        chosen.threads = std::thread::hardware_concurrency() >= 2 ? 2 : 1;
        return FitOptionsFromEnvironment(chosen, std::getenv("TESSARIN_FIT_PATH"),
                                         std::getenv("TESSARIN_FIT_THREADS"));
    }();
    return options;
}

} // namespace tessarin
