#include "batch_mode.h"

#include "data/tessarin_error.h"

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#ifdef TESSARIN_HAS_WINDOW
#include "window/run_window.h"
#endif

namespace {

[[maybe_unused]] bool hasDisplay()
{
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    const char *x11 = std::getenv("DISPLAY");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    return (platform && *platform) || (x11 && *x11) || (wayland && *wayland);
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string &arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::cout << tessarin::UsageText();
            return 0;
        }
        if (arg == "--version") {
            std::cout << "tessarin " << TESSARIN_VERSION << "\n";
            return 0;
        }
    }
    bool batch = false;
    for (const std::string &arg : args)
        batch = batch || arg == "--batch";
    if (!batch && args.size() > 1) {
        std::cerr << "tessarin: too many arguments (see tessarin --help)\n";
        return 2;
    }
    if (!batch && !args.empty() && args[0].rfind("--", 0) == 0) {
        std::cerr << "tessarin: unknown argument " << args[0] << " (see tessarin --help)\n";
        return 2;
    }
#ifdef TESSARIN_HAS_WINDOW
    if (!batch && hasDisplay())
        return tessarin::RunWindow(argc, argv, args.empty() ? std::string("distance.txt") : args[0]);
#endif
    if (!batch) {
        const std::string file = args.empty() ? std::string("distance.txt") : args[0];
        std::cerr << "tessarin: no display; running the batch mode on " << file << " instead\n";
        args = {"--batch", file};
    }
    try {
        return tessarin::RunBatchMode(args);
    } catch (const tessarin::TessarinError &error) {
        std::cerr << "tessarin: " << error.what() << "\n";
        return 1;
    } catch (const std::exception &error) {
        std::cerr << "tessarin: " << error.what() << "\n";
        return 1;
    }
}
