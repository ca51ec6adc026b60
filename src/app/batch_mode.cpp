#include "app/batch_mode.h"

#include "app/batch_diagnostics.h"
#include "app/batch_progress.h"
#include "app/batch_summary.h"
#include "base/number_texts.h"
#include "base/str_n.h"
#include "distances/distance_source.h"
#include "io/distance_file.h"
#include "io/square_matrix_writer.h"
#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "run/map_stage.h"
#include "run/run_fit.h"
#include "io/atomic_file.h"
#include "io/layout_csv.h"
#include "models/model_stress.h"
#include "io/weights_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <unistd.h>


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

} // namespace

int RunBatch(const BatchOptions &options, const PictureWriters &pictures)
{
    // Refused before the search, not after it.
    if (!options.image.empty() && !pictures.map)
        throw UsageError("--image needs the window build (this tessarin was built without Qt)");
    if (!options.image.empty() && !pictures.takes(options.image))
        throw UsageError("--image " + options.image + ": the name must end in .png or .svg");
    if (!options.figure.empty() && !pictures.figure)
        throw UsageError("--figure needs the window build (this tessarin was built without Qt)");
    if (!options.figure.empty() && !pictures.takesFigure(options.figure))
        throw UsageError("--figure " + options.figure + ": the name must end in .pdf, .svg or .png");
    CheckDiagnosticsOptions(options.diagnostics, pictures);

    StressReport report{options.file, {}, 0, std::nullopt};
    const auto started = std::chrono::steady_clock::now();
    SourcedDistances sourced = ReadDistanceSource(options.file, options.source);
    DistanceData data = std::move(sourced.data);
    const ItemGroups &groups = sourced.groups;
    PrintReadingWarnings(std::cerr, options.file, data);
    if (!options.writeDistances.empty()) {
        std::ostringstream square;
        WriteSquareMatrix(square, data);
        // A failed write leaves no half-written file.
        if (const int error = WriteFileAtomically(options.writeDistances, square.str()))
            throw TessarinError("--write-distances " + options.writeDistances + ": " + std::strerror(error));
    }
    if (!options.weights.empty())
        ApplyWeightsFile(data, data.PairWeights, options.weights);
    report.stages.push_back({"reading", std::to_string(data.ItemCount) + " items",
                             std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()});
    const int n = data.ItemCount;
    Layout best;
    interrupts = 0;
    const bool live = isatty(STDERR_FILENO) != 0;
    const auto stop = [] { return interrupts.load() > 0; };
    // The map stages' records, for the summary.
    std::vector<StageRecord> stages;
    const auto runStage = [&](MapStage stage, bool shown) {
        BatchProgress progress(BatchProgress::Shown::MapStage, shown, options.generations, stop);
        MapStageSettings settings;
        settings.model = options.model;
        MapStageOutcome outcome = RunMapStage(stage, data, best, settings, progress);
        stages.insert(stages.end(), outcome.records.begin(), outcome.records.end());
        return outcome;
    };
    if (options.start == "classical") {
        best = runStage(MapStage::ClassicalStart, false).layout;
    } else if (!options.start.empty()) {
        std::vector<std::string> mapNames;
        best = ReadLayoutCsv(options.start, &mapNames);
        CheckLayoutFits(best, mapNames, options.start, n, data.Names, options.file);
    }

    MersenneSource random;
    auto previous = std::signal(SIGINT, onInterrupt);
    long long generations = 0;
    StageRecord search;
    const bool mapStages = options.start == "classical" || options.best || options.polish;
    try {
        if (options.best) {
            // The routes' map unless the start fits better (has no higher
            // stress under a model).
            MapStageOutcome found = runStage(MapStage::BestMap, live);
            const std::size_t size = 2 * static_cast<std::size_t>(n) + 1;
            if (best.size() < size)
                best = std::move(found.layout);
            else if (options.model.model == StressModel::Fit ? found.fit >= LayoutFitness(data, best)
                                                             : found.stress <= ModelStress(data, best, options.model))
                best = std::move(found.layout);
        }
        // With the map stages, no generations means no search at all.
        if (!mapStages || options.generations >= 1) {
            BatchProgress progress(BatchProgress::Shown::Search, live, options.generations, stop);
            const SearchOutcome outcome = RunFit(data, best, random, {options.generations}, progress);
            progress.end();
            generations = outcome.generations;
            search = outcome.record;
            if (mapStages)
                stages.push_back(search);
        }
        if (interrupts.load() == 0 &&
            (options.polish || (options.best && options.generationsGiven && generations > 0)))
            best = runStage(MapStage::Polish, live).layout;
    } catch (...) {
        std::signal(SIGINT, previous);
        throw;
    }
    std::signal(SIGINT, previous);
    const bool interrupted = interrupts.load() > 0;
    if (mapStages)
        report.stages.insert(report.stages.end(), stages.begin(), stages.end());
    else
        report.stages.push_back(search);
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
        // A failed write leaves no half-written file.
        if (const int error = WriteFileAtomically(options.coords, LayoutCsvText(best, n, data.Names, groupOfItem)))
            throw TessarinError("--coords " + options.coords + ": " + std::strerror(error));
    }
    const double fit = LayoutFitness(data, best);
    // One drawing setup for every picture.
    std::shared_ptr<void> drawing;
    if ((!options.image.empty() || !options.diagnostics.shepard.empty() || !options.figure.empty()) &&
        pictures.prepare)
        drawing = pictures.prepare();
    if (!options.image.empty())
        pictures.map(options.image, best, n, fit, data.Names, groups);
    if (options.modelGiven)
        report.model = options.model;
    const std::string stressLine = WriteDiagnostics(options.diagnostics, pictures, report, data, best);
    if (!options.figure.empty()) {
        const std::string file = options.file.substr(options.file.find_last_of('/') + 1);
        std::string percent = strN(6, fit * 100.0);
        percent.erase(0, percent.find_first_not_of(' '));
        std::string caption = file + ": " + std::to_string(n) + " items, fit " + percent + " %, " + stressLine;
        // Under a stress model the caption also names its stress, as the
        // window's status line does.
        if (options.model.model != StressModel::Fit)
            caption += ", " + ModelStatusText(options.model.model, ModelStress(data, best, options.model)) +
                       (options.model.model == StressModel::Ordinal
                            ? std::string(", ") + TiesKey(options.model.ties) + " ties"
                            : std::string());
        pictures.figure(options.figure, best, n, data.Names, caption);
    }
    std::cerr << "items: " << n << "\n"
              << (options.weights.empty() ? std::string() : "weights: " + options.weights + "\n")
              << MissingPairsNote(data) << StatisticsNote(options.file, data) << "generations: " << generations << "\n";
    WriteStageSummary(std::cerr, stages);
    if (interrupted)
        std::cerr << "interrupted at generation " << generations << " (Ctrl-C): the map is the best found so far\n";
    std::cerr << stressLine << "\n";
    if (options.modelGiven)
        std::cerr << ModelSummaryLine(options.model, data, best) << "\n";
    std::cerr << "fit: " << strN(6, fit * 100.0) << " (" << SignificantText(fit, 9) << ")\n";
    return interrupted ? ExitInterrupted : ExitSuccess;
}

int RunBatchMode(const std::vector<std::string> &args, const PictureWriters &pictures)
{
    const CommandLine line = ParseCommandLine(args);
    if (line.mode != CommandLine::Mode::Batch)
        throw UsageError("the batch mode needs --batch FILE");
    return RunBatch(line.batch, pictures);
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
