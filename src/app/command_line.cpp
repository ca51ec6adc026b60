#include "app/command_line.h"

#include "app/batch_mode.h"
#include "app/batch_options.h"

#include <exception>
#include <iostream>
#include <new>

namespace tessarin {

int RunCommandLine(const std::vector<std::string> &args, const WindowRunner &window, const PictureWriters &pictures)
{
    try {
        CommandLine line = ParseCommandLine(args);
        switch (line.mode) {
        case CommandLine::Mode::Help:
            std::cout << UsageText();
            return ExitSuccess;
        case CommandLine::Mode::Version:
            std::cout << "tessarin " << TESSARIN_VERSION << "\n";
            return ExitSuccess;
        case CommandLine::Mode::Window:
            if (window)
                return window(line.windowFile, line.windowFileNamed);
            std::cerr << "tessarin: no display; running the batch mode on " << line.windowFile << " instead\n";
            line.batch.file = line.windowFile;
            break;
        case CommandLine::Mode::Batch:
            break;
        }
        return RunBatch(line.batch, pictures);
    } catch (const UsageError &error) {
        std::cerr << "tessarin: " << error.what() << " (see tessarin --help)\n";
        return ExitUsage;
    } catch (const std::bad_alloc &) {
        std::cerr << "tessarin: there is not enough memory for this run (the system refused an allocation)\n";
        return ExitFailure;
    } catch (const std::exception &error) {
        std::cerr << "tessarin: " << error.what() << "\n";
        return ExitFailure;
    }
}

} // namespace tessarin
