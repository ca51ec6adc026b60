#include "app/batch_mode.h"
#include "app/batch_summary.h"
#include "io/distance_reader.h"
#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "scaling/classical_scaling.h"
#include "temp_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace tessarin {
namespace {

using testing::TempFile;

const std::string Cities = std::string(TESSARIN_EXAMPLES_DIR) + "/distance.txt";

struct BatchRun {
    std::string summary;
    std::string map;
};

/// Runs the batch mode on `args` plus --coords into a temporary file; the
/// summary is what it writes to standard error.
BatchRun RunBatch(std::vector<std::string> args)
{
    TempFile coords("", "map.csv");
    args.push_back("--coords");
    args.push_back(coords.path());
    std::ostringstream captured;
    std::streambuf *previous = std::cerr.rdbuf(captured.rdbuf());
    try {
        RunBatchMode(args);
    } catch (...) {
        std::cerr.rdbuf(previous);
        throw;
    }
    std::cerr.rdbuf(previous);
    std::ifstream in(coords.path(), std::ios::binary);
    std::ostringstream map;
    map << in.rdbuf();
    return {captured.str(), map.str()};
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

/// The stage names of a summary, in order ("items", "generations", ...).
std::vector<std::string> Names(const std::string &summary)
{
    std::vector<std::string> names;
    for (const std::string &line : Lines(summary))
        names.push_back(line.substr(0, line.find(':')));
    return names;
}

TEST(BatchStages, SummaryListsWhatRanWithTheFitLast)
{
    struct Case {
        const char *name;
        std::vector<std::string> options;
        std::vector<std::string> stages;
    };
    const std::string a = "route a", b = "route b", c = "route c", d = "route d", e = "route e";
    const Case cases[] = {
        {"no new options", {"--generations", "20"}, {"items", "generations", "stress-1", "fit"}},
        {"classical start, polish, no generations",
         {"--start", "classical", "--polish", "--generations", "0"},
         {"items", "generations", "classical start", "polish", "stress-1", "fit"}},
        {"classical start and generations",
         {"--start", "classical", "--generations", "10"},
         {"items", "generations", "classical start", "search", "stress-1", "fit"}},
        {"best map alone", {"--best"}, {"items", "generations", "best map", a, b, c, d, e, "stress-1", "fit"}},
        {"best map, generations, polish",
         {"--best", "--generations", "10"},
         {"items", "generations", "best map", a, b, c, d, e, "search", "polish", "stress-1", "fit"}},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        std::vector<std::string> args = {"--batch", Cities};
        args.insert(args.end(), test.options.begin(), test.options.end());
        const BatchRun run = RunBatch(args);
        EXPECT_EQ(Names(run.summary), test.stages) << run.summary;
        // Every stage line ends with its time.
        for (const std::string &line : Lines(run.summary)) {
            if (line.rfind("route", 0) == 0 || line.rfind("polish", 0) == 0 || line.rfind("best map", 0) == 0) {
                EXPECT_EQ(line.substr(line.size() - 3), " s)") << line;
            }
        }
    }
}

TEST(BatchStages, NewOptionsAreRepeatableAndNeverWorseThanTheirStart)
{
    const DistanceData data = ReadDistances(Cities);
    const double classical = LayoutFitness(data, ClassicalLayout(data));
    for (const std::vector<std::string> &options :
         {std::vector<std::string>{"--best"}, std::vector<std::string>{"--start", "classical", "--polish", "--generations", "0"}}) {
        SCOPED_TRACE(options[0]);
        std::vector<std::string> args = {"--batch", Cities};
        args.insert(args.end(), options.begin(), options.end());
        const BatchRun first = RunBatch(args);
        const BatchRun second = RunBatch(args);
        EXPECT_EQ(first.map, second.map);
        const std::string last = Lines(first.summary).back();
        ASSERT_EQ(last.rfind("fit: ", 0), 0u);
        const double fit = std::stod(last.substr(last.find('(') + 1));
        EXPECT_GT(fit, classical);
    }
}

TEST(BatchStages, AFileCalledClassicalIsReadWithItsPath)
{
    // "classical" alone asks for the classical start; a path names a file.
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tessarin-classical-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string saved = (folder / "classical").string();
    const BatchRun searched = RunBatch({"--batch", Cities, "--generations", "5"});
    std::ofstream(saved, std::ios::binary) << searched.map;
    const BatchRun fromFile = RunBatch({"--batch", Cities, "--start", saved, "--generations", "0"});
    const BatchRun classical = RunBatch({"--batch", Cities, "--start", "classical", "--generations", "0"});
    std::filesystem::remove_all(folder);
    EXPECT_EQ(fromFile.map, searched.map);
    EXPECT_NE(classical.map, searched.map);
    EXPECT_EQ(Names(fromFile.summary), (std::vector<std::string>{"items", "generations", "stress-1", "fit"}));
}

TEST(BatchStages, StatisticsNoteNamesTheFileAndBothErrors)
{
    DistanceData data;
    EXPECT_EQ(StatisticsNote("big.txt", data), "");
    data.StatisticsFromDoubleSums = true;
    data.SumRelativeError = 0.22;
    data.SquareSumRelativeError = 0.0018;
    EXPECT_EQ(StatisticsNote("big.txt", data),
              "statistics: big.txt: the single-precision sums strayed from the double-precision ones by a relative "
              "0.22 for the distances, 0.0018 for their squares; the double-precision sums were used\n");
}

} // namespace
} // namespace tessarin
