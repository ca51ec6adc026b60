#include "batch_mode.h"
#include "batch_stages.h"

#include "data/distance_reader.h"
#include "data/lenient_number.h"
#include "data/layout_fitness.h"
#include "data/tessarin_error.h"
#include "display/str_n.h"
#include "search/layout_csv.h"
#include "search/layout_search.h"

#include <atomic>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <unistd.h>

#ifdef TESSARIN_HAS_WINDOW
#include "window/map_export.h"
#endif

namespace tessarin {

namespace {

std::atomic<int> interrupts{0};

extern "C" void onInterrupt(int)
{
    // The first Ctrl-C asks the search to stop at its next check; a second
    // one ends the program the usual way.
    if (interrupts.fetch_add(1) >= 1) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
}

class BatchHost final : public SearchHost {
public:
    BatchHost(std::string generations, bool live) : m_generations(std::move(generations)), m_live(live) {}

    void setOpenEnabled(bool) override {}
    void prepareMap() override {}
    void setBusy(bool) override {}
    std::string generationsText() override { return m_generations; }
    void drawImprovement(const float *, int, double fit) override
    {
        m_fitText = strN(6, fit * 100.0);
        showProgress();
    }
    void showGeneration(const std::string &text) override
    {
        m_generation = text;
        showProgress();
    }
    void processEvents() override {}
    bool stopRequested() override { return interrupts.load() > 0; }

    void endProgress()
    {
        if (m_live && m_shown)
            std::fputs("\n", stderr);
        m_shown = false;
    }

private:
    void showProgress()
    {
        if (!m_live)
            return;
        std::fprintf(stderr, "\rgeneration%s  fit %s %%   ", m_generation.c_str(), m_fitText.c_str());
        std::fflush(stderr);
        m_shown = true;
    }

    std::string m_generations;
    bool m_live;
    bool m_shown = false;
    std::string m_generation = " 0";
    std::string m_fitText = "0";
};

struct Options {
    std::string file;
    std::string generations = "1000";
    std::string start;
    std::string coords;
    std::string image;
    bool generationsGiven = false;
    bool best = false;
    bool polish = false;
    bool stages() const { return start == "classical" || best || polish; }
};

} // namespace

std::string UsageText()
{
    return "Usage: tessarin [FILE]\n"
           "       tessarin --batch FILE [--generations N] [--start MAP.csv|classical] [--best]\n"
           "                     [--polish] [--coords OUT.csv] [--image MAP.png|MAP.svg]\n"
           "\n"
           "Without --batch, opens the window on FILE (default distance.txt in the\n"
           "current folder) and fits a map to it.\n"
           "\n"
           "  --batch FILE        fit a map to FILE without a window; print the map as\n"
           "                      CSV (item,x,y) on standard output and a summary on\n"
           "                      standard error\n"
           "  --generations N     generations to run (default 1000)\n"
           "  --start MAP.csv     start from a map saved by an earlier run\n"
           "  --start classical   start from the classical scaling map (a file called\n"
           "                      classical is read as ./classical)\n"
           "  --best              find the best map first (classical start and several\n"
           "                      polished routes); the generations then follow only\n"
           "                      when --generations is given, and a polish ends the run\n"
           "  --polish            polish the map after the generations (maximise the\n"
           "                      fit directly)\n"
           "  --coords OUT.csv    write the CSV to OUT.csv instead of standard output\n"
           "  --image MAP.png     also draw the map as the window does with its default\n"
           "  --image MAP.svg     settings, as PNG (333 pixels a side) or SVG\n"
           "  --help              show this text\n"
           "  --version           show the version\n"
           "\n"
           "Ctrl-C during a batch run stops the search at its next 10th generation\n"
           "and still writes the best map found.\n";
}

int RunBatchMode(const std::vector<std::string> &args)
{
    Options options;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string &arg = args[k];
        auto value = [&](const char *name) -> std::string {
            if (k + 1 >= args.size())
                throw TessarinError(std::string(name) + " needs a value");
            return args[++k];
        };
        if (arg == "--batch")
            options.file = value("--batch");
        else if (arg == "--generations") {
            options.generations = value("--generations");
            options.generationsGiven = true;
        } else if (arg == "--best")
            options.best = true;
        else if (arg == "--polish")
            options.polish = true;
        else if (arg == "--start")
            options.start = value("--start");
        else if (arg == "--coords")
            options.coords = value("--coords");
        else if (arg == "--image")
            options.image = value("--image");
        else
            throw TessarinError("unknown argument " + arg + " (see tessarin --help)");
    }
    if (options.file.empty())
        throw TessarinError("--batch needs a distance file");
    if (options.best && !options.generationsGiven)
        options.generations = "0";
    // Refused before the search, not after it.
#ifdef TESSARIN_HAS_WINDOW
    if (!options.image.empty() && !IsMapImageName(options.image))
        throw TessarinError("--image " + options.image + ": the name must end in .png or .svg");
#else
    if (!options.image.empty())
        throw TessarinError("--image needs the window build (this tessarin was built without Qt)");
#endif

    DistanceData data = ReadDistances(options.file);
    const int n = data.ItemCount;
    Layout best;
    interrupts = 0;
    BatchStages stages(data, isatty(STDERR_FILENO) != 0, [] { return interrupts.load() > 0; });
    if (options.start == "classical") {
        stages.classicalStart(best);
    } else if (!options.start.empty()) {
        best = ReadLayoutCsv(options.start);
        const std::size_t items = (best.size() - 1) / 2;
        if (items != static_cast<std::size_t>(n))
            throw TessarinError(options.start + " holds a map of " + std::to_string(items) + " items, but " +
                                options.file + " has " + std::to_string(n));
    }

    MersenneSource random;
    BatchHost host(options.generations, isatty(STDERR_FILENO) != 0);
    auto previous = std::signal(SIGINT, onInterrupt);
    long long generations = 0;
    try {
        if (options.best)
            stages.bestMap(best);
        // With the map stages, no generations means no search at all.
        if (!options.stages() || LenientNumber(options.generations) >= 1) {
            const auto started = std::chrono::steady_clock::now();
            generations = RunFit(host, data, best, random);
            if (options.stages())
                stages.search(generations, std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        }
        host.endProgress();
        if (options.polish || (options.best && options.generationsGiven && generations > 0))
            stages.polish(best);
    } catch (...) {
        std::signal(SIGINT, previous);
        host.endProgress();
        throw;
    }
    std::signal(SIGINT, previous);

    if (options.coords.empty()) {
        WriteLayoutCsv(std::cout, best, n);
        std::cout.flush();
        if (!std::cout)
            throw TessarinError("the map could not be written to standard output");
    } else {
        const std::string temporary = options.coords + ".part";
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            WriteLayoutCsv(out, best, n);
            out.close();
            if (!out) {
                std::remove(temporary.c_str());
                throw TessarinError(options.coords + ": the map could not be written");
            }
        }
        if (std::rename(temporary.c_str(), options.coords.c_str()) != 0) {
            std::remove(temporary.c_str());
            throw TessarinError(options.coords + ": the map could not be written");
        }
    }
    const double fit = LayoutFitness(data, best);
#ifdef TESSARIN_HAS_WINDOW
    if (!options.image.empty())
        WriteMapImage(options.image, best, n, fit);
#endif
    std::cerr << "items: " << n << "\n" << StatisticsNote(options.file, data) << "generations: " << generations << "\n";
    stages.writeSummary(std::cerr);
    std::cerr << "fit: " << strN(6, fit * 100.0) << " (" << Significant9(fit) << ")\n";
    return 0;
}

} // namespace tessarin
