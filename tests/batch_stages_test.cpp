#include "app/batch_mode.h"
#include "app/batch_summary.h"
#include "io/distance_reader.h"
#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "scaling/classical_scaling.h"
#include "batch_capture.h"
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

using testing::ReadFileBytes;
using testing::RunBatchCapturingErrors;
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
    std::string summary = RunBatchCapturingErrors(args);
    return {std::move(summary), ReadFileBytes(coords.path())};
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

namespace tessarin {
namespace {

// Five items on a line and a square beside it; the table with holes and the
// full table with a 0/1 weights file naming the items in another order.
const std::string FullTable = "\"\",A,B,C,D,E\nA,0,1,2,3,4\nB,1,0,1.5,2,3\nC,2,1.5,0,1,2\nD,3,2,1,0,1.2\nE,4,3,2,1.2,0\n";
const std::string HoleTable = "\"\",A,B,C,D,E\nA,0,1,NA,3,4\nB,1,0,1.5,2,NA\nC,NA,1.5,0,1,2\nD,3,2,1,0,1.2\nE,4,NA,2,1.2,0\n";
const std::string ZeroOne = "E\nD 1\nC 1 1\nB 0 1 1\nA 1 1 0 1\n"; // a lower triangle: A-C and B-E left out
const std::string Ones = "E\nD 1\nC 1 1\nB 1 1 1\nA 1 1 1 1\n";

TEST(BatchWeights, TheTableWithHolesAndTheFullTableWithWeightsGiveTheSameMap)
{
    TempFile holes(HoleTable, "holes.csv"), full(FullTable, "full.csv"), weights(ZeroOne, "w.txt"),
        ones(Ones, "ones.txt");
    const std::vector<std::vector<std::string>> commands = {
        {"--generations", "50"}, {"--best"}, {"--start", "classical", "--polish", "--generations", "0"},
        {"--model", "ordinal"}, {"--model", "sammon", "--start", "classical", "--polish", "--generations", "0"}};
    for (const std::vector<std::string> &options : commands) {
        SCOPED_TRACE(options[0]);
        std::vector<std::string> withHoles = {"--batch", holes.path()};
        std::vector<std::string> withWeights = {"--batch", full.path(), "--weights", weights.path()};
        std::vector<std::string> plain = {"--batch", full.path()};
        std::vector<std::string> withOnes = {"--batch", full.path(), "--weights", ones.path()};
        for (auto *args : {&withHoles, &withWeights, &plain, &withOnes})
            args->insert(args->end(), options.begin(), options.end());
        const BatchRun a = RunBatch(withHoles), b = RunBatch(withWeights), c = RunBatch(plain), d = RunBatch(withOnes);
        EXPECT_EQ(a.map, b.map);
        EXPECT_EQ(Lines(a.summary).back(), Lines(b.summary).back());
        EXPECT_NE(a.map, c.map);
        // Weights all 1 are no weights: the plain table's map and fit.
        EXPECT_EQ(c.map, d.map);
        EXPECT_EQ(Lines(c.summary).back(), Lines(d.summary).back());
        // The model's stress line, before the fit's, is the same too.
        EXPECT_EQ(Lines(a.summary).end()[-2], Lines(b.summary).end()[-2]);
        EXPECT_EQ(Lines(a.summary)[1], "missing pairs: 2 of 10, left out of the fit");
        EXPECT_EQ(Lines(b.summary)[1], "weights: " + weights.path());
        EXPECT_EQ(Lines(b.summary)[2], "missing pairs: 2 of 10, left out of the fit");
        EXPECT_EQ(Lines(d.summary)[1], "weights: " + ones.path());
        EXPECT_EQ(Names(d.summary).size(), Names(c.summary).size() + 1);
    }
}

TEST(BatchWeights, WeightsThatDoNotFitAreRefusedNamingTheFile)
{
    TempFile full(FullTable, "full.csv");
    const struct {
        const char *name;
        std::string weights;
        std::string message;
    } cases[] = {
        {"an unknown item", "E\nD 1\nC 1 1\nB 1 1 1\nZ 1 1 1 1\n", "the weights name no item 1 \"A\""},
        // The reader refuses a negative cell before the weights are checked.
        {"a negative weight", "E\nD 1\nC 1 -1\nB 1 1 1\nA 1 1 1 1\n",
         ", line 3: the weight of item 3 \"C\" and item 2 \"D\", \"-1\", is negative: a weight is 0 or more"},
        {"items cut off", "E\nD 1\nC 1 1\nB 0 0 0\nA 0 0 0 1\n", "items A, B have no present pair with the other 3"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile weights(c.weights, "w.txt");
        try {
            RunBatch({"--batch", full.path(), "--weights", weights.path(), "--generations", "0"});
            ADD_FAILURE() << "no error";
        } catch (const TessarinError &error) {
            const std::string message = error.what();
            EXPECT_EQ(message.rfind(weights.path(), 0), 0u) << message;
            EXPECT_NE(message.find(c.message), std::string::npos) << message;
        }
    }
}

} // namespace
} // namespace tessarin
