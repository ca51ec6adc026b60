#include "app/batch_mode.h"
#include "app/batch_stages.h"

#include "batch_diagnostics.h"

#include "data/distance_file.h"
#include "data/square_matrix_writer.h"
#include "distances/distance_source.h"
#include "data/lenient_number.h"
#include "data/layout_fitness.h"
#include "data/tessarin_error.h"
#include "display/str_n.h"
#include "search/layout_csv.h"
#include "search/layout_search.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <sstream>
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
    BatchHost(std::string generations, bool live)
        : m_generations(std::move(generations)), m_live(live), m_started(std::chrono::steady_clock::now())
    {
    }

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
        // Shown only; the run's length never depends on the clock.
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count();
        std::fprintf(stderr, "\rgeneration%s of %s  fit %s %%  %.1f s   ", m_generation.c_str(),
                     m_generations.c_str(), m_fitText.c_str(), seconds);
        std::fflush(stderr);
        m_shown = true;
    }

    std::string m_generations;
    bool m_live;
    std::chrono::steady_clock::time_point m_started;
    bool m_shown = false;
    std::string m_generation = " 0";
    std::string m_fitText = "0";
};

/// Writes `text` to `path` through a temporary file beside it, so that a
/// failed write leaves no half-written file; a failure names the option,
/// `path` and says what the system said.
void WriteTextFile(const std::string &option, const std::string &path, const std::string &text)
{
    const std::string temporary = path + ".part";
    const auto fail = [&](int error) {
        std::remove(temporary.c_str());
        throw TessarinError(option + " " + path + ": " + std::strerror(error));
    };
    std::FILE *file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        fail(errno);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    int error = written ? 0 : errno;
    // A full disk often shows only when the buffer is flushed at the close.
    const bool closed = std::fclose(file) == 0;
    if (!closed && error == 0)
        error = errno;
    if (!written || !closed)
        fail(error != 0 ? error : EIO);
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
        fail(errno);
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int RunBatch(const BatchOptions &options)
{
    // Refused before the search, not after it.
#ifdef TESSARIN_HAS_WINDOW
    if (!options.image.empty() && !IsMapImageName(options.image))
        throw UsageError("--image " + options.image + ": the name must end in .png or .svg");
#else
    if (!options.image.empty())
        throw UsageError("--image needs the window build (this tessarin was built without Qt)");
#endif
    CheckDiagnosticsOptions(options.diagnostics);

    StressReport report{options.file, {}, 0};
    auto started = std::chrono::steady_clock::now();
    SourcedDistances sourced = ReadDistanceSource(options.file, options.source);
    DistanceData data = std::move(sourced.data);
    const ItemGroups &groups = sourced.groups;
    PrintReadingWarnings(std::cerr, options.file, data);
    if (!options.writeDistances.empty()) {
        std::ostringstream square;
        WriteSquareMatrix(square, data);
        WriteTextFile("--write-distances", options.writeDistances, square.str());
    }
    report.stages.push_back({"reading", std::to_string(data.ItemCount) + " items", secondsSince(started)});
    const int n = data.ItemCount;
    Layout best;
    interrupts = 0;
    BatchStages stages(data, isatty(STDERR_FILENO) != 0, [] { return interrupts.load() > 0; });
    if (options.start == "classical") {
        stages.classicalStart(best);
    } else if (!options.start.empty()) {
        std::vector<std::string> mapNames;
        best = ReadLayoutCsv(options.start, &mapNames);
        CheckLayoutFits(best, mapNames, options.start, n, data.Names, options.file);
    }

    MersenneSource random;
    BatchHost host(options.generations, isatty(STDERR_FILENO) != 0);
    auto previous = std::signal(SIGINT, onInterrupt);
    long long generations = 0;
    const bool mapStages = options.start == "classical" || options.best || options.polish;
    started = std::chrono::steady_clock::now();
    try {
        if (options.best)
            stages.bestMap(best);
        // With the map stages, no generations means no search at all.
        if (!mapStages || LenientNumber(options.generations) >= 1) {
            const auto started = std::chrono::steady_clock::now();
            generations = RunFit(host, data, best, random);
            host.endProgress();
            if (mapStages)
                stages.search(generations,
                              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        }
        if (interrupts.load() == 0 &&
            (options.polish || (options.best && options.generationsGiven && generations > 0)))
            stages.polish(best);
    } catch (...) {
        std::signal(SIGINT, previous);
        host.endProgress();
        throw;
    }
    std::signal(SIGINT, previous);
    host.endProgress();
    const bool interrupted = interrupts.load() > 0;
    if (mapStages) {
        for (const BatchStage &stage : stages.stages())
            report.stages.push_back({stage.name, stage.detail, stage.seconds});
    } else {
        report.stages.push_back({"search", std::to_string(generations) + " generations", secondsSince(started)});
    }
    report.generations = generations;

    std::vector<std::string> groupOfItem;
    for (int g : groups.groupOf)
        groupOfItem.push_back(groups.names[static_cast<std::size_t>(g)]);
    if (options.coords.empty()) {
        WriteLayoutCsv(std::cout, best, n, data.Names, groupOfItem);
        std::cout.flush();
        if (!std::cout)
            throw TessarinError(std::string("the map could not be written to standard output: ") + std::strerror(errno));
    } else {
        WriteTextFile("--coords", options.coords, LayoutCsvText(best, n, data.Names, groupOfItem));
    }
    const double fit = LayoutFitness(data, best);
#ifdef TESSARIN_HAS_WINDOW
    if (!options.image.empty())
        WriteMapImage(options.image, best, n, fit, data.Names, groups);
#endif
    const std::string stressLine = WriteDiagnostics(options.diagnostics, report, data, best);
    std::cerr << "items: " << n << "\n" << StatisticsNote(options.file, data) << "generations: " << generations << "\n";
    stages.writeSummary(std::cerr);
    if (interrupted)
        std::cerr << "interrupted at generation " << generations << " (Ctrl-C): the map is the best found so far\n";
    std::cerr << stressLine << "\n";
    std::cerr << "fit: " << strN(6, fit * 100.0) << " (" << Significant9(fit) << ")\n";
    return interrupted ? ExitInterrupted : ExitSuccess;
}

int RunBatchMode(const std::vector<std::string> &args)
{
    const CommandLine line = ParseCommandLine(args);
    if (line.mode != CommandLine::Mode::Batch)
        throw UsageError("the batch mode needs --batch FILE");
    return RunBatch(line.batch);
}

void PrintReadingWarnings(std::ostream &out, const std::string &fileName, const DistanceData &data)
{
    constexpr std::size_t shown = 10;
    for (std::size_t k = 0; k < data.Warnings.size() && k < shown; ++k)
        out << "warning: " << fileName << ", line " << data.Warnings[k].line << ": " << data.Warnings[k].text
            << "\n";
    if (data.WarningCount > static_cast<long long>(shown))
        out << "warning: " << fileName << ": " << data.WarningCount - static_cast<long long>(shown)
            << " more warnings, " << data.WarningCount << " in all\n";
}

} // namespace tessarin
