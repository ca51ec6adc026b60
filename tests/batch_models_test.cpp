#include "app/batch_mode.h"
#include "app/batch_options.h"
#include "io/distance_file.h"
#include "batch_capture.h"
#include "temp_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <numeric>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace tessarin {
namespace {

using testing::ReadFileBytes;
using testing::RunBatchCapturingErrors;
using testing::TempFile;

const std::string Cities = std::string(TESSARIN_EXAMPLES_DIR) + "/distance.txt";
const std::string Colours = std::string(TESSARIN_EXAMPLES_DIR) + "/colours.txt";

struct ModelRun {
    std::vector<std::string> summary;
    std::string map;
    std::string report;
};

ModelRun RunModel(std::vector<std::string> args)
{
    TempFile coords("", "map.csv");
    TempFile report("", "report.json");
    args.insert(args.end(), {"--coords", coords.path(), "--report", report.path()});
    const std::string errors = RunBatchCapturingErrors(args);
    ModelRun run;
    std::istringstream lines(errors);
    for (std::string line; std::getline(lines, line);)
        run.summary.push_back(line);
    run.map = ReadFileBytes(coords.path());
    run.report = ReadFileBytes(report.path());
    return run;
}

/// x, y of every item from the CSV the batch mode writes (item,x,y).
std::vector<std::pair<double, double>> MapPoints(const std::string &csv)
{
    std::vector<std::pair<double, double>> points;
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream row(line);
        for (std::string field; std::getline(row, field, ',');)
            fields.push_back(field);
        points.push_back({std::stod(fields[fields.size() - 2]), std::stod(fields.back())});
    }
    return points;
}

/// The model's stress of the map, computed here from the CSV in double
/// precision by the definitions (the ordinal fit by a plain
/// pool-adjacent-violators over the pairs sorted by distance, ties by map
/// distance under the primary approach, pooled first under the secondary).
double IndependentStress(const DistanceData &data, const std::vector<std::pair<double, double>> &points,
                         const std::string &model, const std::string &ties)
{
    const int n = data.ItemCount;
    std::vector<double> g, m;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            g.push_back(data.distance(i, j));
            m.push_back(std::hypot(points[i - 1].first - points[j - 1].first,
                                   points[i - 1].second - points[j - 1].second));
        }
    const std::size_t pairs = g.size();
    double sumMM = 0.0;
    for (double v : m)
        sumMM += v * v;
    std::vector<double> fitted(pairs);
    if (model == "ratio") {
        double gm = 0.0, gg = 0.0;
        for (std::size_t p = 0; p < pairs; ++p) {
            gm += g[p] * m[p];
            gg += g[p] * g[p];
        }
        for (std::size_t p = 0; p < pairs; ++p)
            fitted[p] = gm / gg * g[p];
    } else if (model == "interval") {
        const double mg = std::accumulate(g.begin(), g.end(), 0.0) / pairs;
        const double mm = std::accumulate(m.begin(), m.end(), 0.0) / pairs;
        double gm = 0.0, gg = 0.0;
        for (std::size_t p = 0; p < pairs; ++p) {
            gm += (g[p] - mg) * (m[p] - mm);
            gg += (g[p] - mg) * (g[p] - mg);
        }
        for (std::size_t p = 0; p < pairs; ++p)
            fitted[p] = mm + gm / gg * (g[p] - mg);
    } else if (model == "ordinal") {
        std::vector<std::size_t> order(pairs);
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            if (g[a] != g[b])
                return g[a] < g[b];
            return ties == "primary" ? m[a] < m[b] : a < b;
        });
        // Blocks: (sum, count, members).
        std::vector<std::pair<std::pair<double, double>, std::vector<std::size_t>>> blocks;
        for (std::size_t k = 0; k < pairs;) {
            std::size_t end = k + 1;
            if (ties == "secondary")
                while (end < pairs && g[order[end]] == g[order[k]])
                    ++end;
            std::pair<std::pair<double, double>, std::vector<std::size_t>> block{{0.0, 0.0}, {}};
            for (; k < end; ++k) {
                block.first.first += m[order[k]];
                block.first.second += 1.0;
                block.second.push_back(order[k]);
            }
            blocks.push_back(block);
            while (blocks.size() > 1) {
                auto &last = blocks.back();
                auto &before = blocks[blocks.size() - 2];
                if (before.first.first / before.first.second <= last.first.first / last.first.second)
                    break;
                before.first.first += last.first.first;
                before.first.second += last.first.second;
                before.second.insert(before.second.end(), last.second.begin(), last.second.end());
                blocks.pop_back();
            }
        }
        for (const auto &block : blocks)
            for (std::size_t p : block.second)
                fitted[p] = block.first.first / block.first.second;
    } else { // sammon
        double wm = 0.0, wmm = 0.0, wg = 0.0;
        for (std::size_t p = 0; p < pairs; ++p)
            if (g[p] > 0.0) {
                wm += m[p];
                wmm += m[p] * m[p] / g[p];
                wg += g[p];
            }
        const double c = wm / wmm;
        double e = 0.0;
        for (std::size_t p = 0; p < pairs; ++p)
            if (g[p] > 0.0)
                e += (g[p] - c * m[p]) * (g[p] - c * m[p]) / g[p];
        return e / wg;
    }
    double residual = 0.0;
    for (std::size_t p = 0; p < pairs; ++p)
        residual += (fitted[p] - m[p]) * (fitted[p] - m[p]);
    return std::sqrt(residual / sumMM);
}

double NumberAfter(const std::string &text, const std::string &label)
{
    const std::size_t at = text.rfind(label);
    EXPECT_NE(at, std::string::npos) << label << " in " << text;
    return at == std::string::npos ? -1.0 : std::stod(text.substr(at + label.size()));
}

TEST(BatchModels, ReportTheStressOfTheWrittenMapUnderEachModel)
{
    struct Row {
        std::string file, model, ties;
        /// The summary's words before the stress.
        std::string named;
    };
    const Row rows[] = {
        {Cities, "ratio", "", "model: ratio, stress-1 "},
        {Cities, "interval", "", "model: interval, stress-1 "},
        {Colours, "ordinal", "", "model: ordinal (primary ties), stress-1 "},
        {Colours, "ordinal", "secondary", "model: ordinal (secondary ties), stress-1 "},
        {Colours, "sammon", "", "model: sammon, stress "},
        {Cities, "ordinal", "primary", "model: ordinal (primary ties), stress-1 "},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.file + " " + row.model + " " + row.ties);
        std::vector<std::string> args = {"--batch", row.file, "--model", row.model};
        if (!row.ties.empty())
            args.insert(args.end(), {"--ties", row.ties});
        const ModelRun run = RunModel(args);
        ASSERT_GE(run.summary.size(), 3u);
        // A model alone means --best, without generations; the fit line stays
        // last with the model's line before it.
        EXPECT_EQ(run.summary[1], "generations: 0");
        EXPECT_EQ(run.summary[2].rfind("best map: ", 0), 0u) << run.summary[2];
        EXPECT_EQ(run.summary.back().rfind("fit: ", 0), 0u);
        const std::string &modelLine = run.summary[run.summary.size() - 2];
        ASSERT_EQ(modelLine.rfind(row.named, 0), 0u) << modelLine;
        const double printed = std::stod(modelLine.substr(row.named.size()));

        const DistanceData data = ReadDistanceFile(row.file);
        const std::string ties = row.ties.empty() ? "primary" : row.ties;
        const double independent = IndependentStress(data, MapPoints(run.map), row.model, ties);
        EXPECT_NEAR(printed, independent, 1e-8 * independent + 1e-12);
        EXPECT_NEAR(NumberAfter(run.report, "\"stress\": "), independent, 1e-12 * independent + 1e-15);
        EXPECT_NE(run.report.find("\"name\": \"" + row.model + "\""), std::string::npos);
        EXPECT_NE(run.report.find("\"ties\": \"" + ties + "\""), std::string::npos);
        // The same run again gives the same map, byte for byte.
        EXPECT_EQ(RunModel(args).map, run.map);
    }
}

TEST(BatchModels, PolishFollowsTheModelAndNeverRaisesItsStress)
{
    const ModelRun classical = RunModel({"--batch", Colours, "--start", "classical", "--generations", "0"});
    const ModelRun polished =
        RunModel({"--batch", Colours, "--start", "classical", "--generations", "0", "--polish", "--model", "ordinal"});
    const DistanceData data = ReadDistanceFile(Colours);
    const double before = IndependentStress(data, MapPoints(classical.map), "ordinal", "primary");
    const double after = IndependentStress(data, MapPoints(polished.map), "ordinal", "primary");
    EXPECT_LT(after, before);
    const auto polishLine = std::find_if(polished.summary.begin(), polished.summary.end(),
                                         [](const std::string &line) { return line.rfind("polish: ", 0) == 0; });
    ASSERT_NE(polishLine, polished.summary.end());
    EXPECT_NE(polishLine->find("ordinal (primary ties) stress-1"), std::string::npos) << *polishLine;
    // With --start, --model does not add a best map.
    for (const std::string &line : polished.summary)
        EXPECT_NE(line.rfind("best map: ", 0), 0u) << line;
}

TEST(BatchModels, RefusesUnknownModelsAndTies)
{
    const std::vector<std::vector<std::string>> wrong = {
        {"--batch", Cities, "--model", "nmds"},
        {"--batch", Cities, "--model", "Ordinal"},
        {"--batch", Cities, "--model", ""},
        {"--batch", Cities, "--ties", "tertiary"},
        {"--batch", Cities, "--model", "ordinal", "--model", "ratio"},
        {"--batch", Cities, "--ties"},
    };
    for (const auto &args : wrong) {
        SCOPED_TRACE(args.back());
        EXPECT_THROW(ParseCommandLine(args), UsageError);
    }
    const CommandLine fitAlone = ParseCommandLine({"--batch", Cities, "--model", "fit"});
    EXPECT_TRUE(fitAlone.batch.best);
    EXPECT_EQ(fitAlone.batch.generations, 0.0);
    const CommandLine withPolish = ParseCommandLine({"--batch", Cities, "--model", "ratio", "--polish"});
    EXPECT_FALSE(withPolish.batch.best);
    EXPECT_EQ(withPolish.batch.model.model, StressModel::Ratio);
    const CommandLine secondary = ParseCommandLine({"--batch", Cities, "--ties=secondary", "--model=ordinal"});
    EXPECT_EQ(secondary.batch.model.ties, TieApproach::Secondary);
    EXPECT_FALSE(ParseCommandLine({"--batch", Cities}).batch.modelGiven);
}

} // namespace
} // namespace tessarin
