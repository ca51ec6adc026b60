// The search as the window and the batch mode run it: its reports to the
// observer, Stop, the best map it leaves and its records.
#include "fit/layout_fitness.h"
#include "base/lenient_number.h"
#include "base/tessarin_error.h"
#include "distance_fixture.h"
#include "run/run_fit.h"
#include "run/run_observer.h"
#include "search/layout_search.h"
#include "search_recorder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tessarin {
namespace {

using testing::MakeDistances;
using testing::RandomDistances;
using testing::SearchRecorder;

TEST(RunFit, ReportsProgressEveryTenthGeneration)
{
    const DistanceData data = RandomDistances(5, 1);
    // The counts as the window reads them from its box.
    struct Case {
        std::string count;
        long long ran;
        std::vector<int> shown;
        int stopChecks;
    } cases[] = {
        {"25", 25, {10, 20}, 2}, {"7.9", 7, {}, 0},  {"0", 0, {}, 0},
        {"-1", 0, {}, 0},        {"abc", 0, {}, 0}, {"30", 30, {10, 20, 30}, 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE("count " + c.count);
        SearchRecorder recorder;
        MersenneSource random;
        Layout best;
        const SearchOutcome outcome = RunFit(data, best, random, {LenientNumber(c.count)}, recorder);
        EXPECT_EQ(outcome.generations, c.ran);
        EXPECT_FALSE(outcome.stopped);
        EXPECT_EQ(outcome.record.name, "search");
        EXPECT_EQ(outcome.record.detail, std::to_string(c.ran) + " generations");
        std::vector<std::pair<std::string, int>> shown;
        for (int g : c.shown)
            shown.emplace_back("search", g);
        EXPECT_EQ(recorder.progressCalls, shown);
        EXPECT_EQ(recorder.stopChecks, c.stopChecks);
        EXPECT_EQ(best.size(), 11u);
        EXPECT_EQ(recorder.drawnFits.empty(), c.ran == 0);
        if (c.ran == 0) {
            EXPECT_EQ(best, Layout(11, 0.0f)) << "no generation leaves the map as it was";
        }
    }
}

TEST(RunFit, StopEndsTheRunAtTheNextTenthGeneration)
{
    const DistanceData data = RandomDistances(6, 2);
    {
        // Stop pressed during generation 13: seen at the check after 20.
        SearchRecorder recorder;
        recorder.stop = [&] { return recorder.progressCalls.size() >= 2; };
        MersenneSource random;
        Layout best;
        const SearchOutcome outcome = RunFit(data, best, random, {}, recorder);
        EXPECT_EQ(outcome.generations, 20);
        EXPECT_TRUE(outcome.stopped);
    }
    {
        // Stop already asked for when the run starts.
        SearchRecorder recorder;
        recorder.stop = [] { return true; };
        MersenneSource random;
        Layout best;
        EXPECT_EQ(RunFit(data, best, random, {}, recorder).generations, 10);
        EXPECT_EQ(recorder.progressCalls, (std::vector<std::pair<std::string, int>>{{"search", 10}}));
    }
}

TEST(RunFit, RedrawsOnlyWhenTheBestFitRises)
{
    const DistanceData data = RandomDistances(8, 3);
    SearchRecorder host;
    MersenneSource random;
    Layout best;
    RunFit(data, best, random, {300}, host);
    ASSERT_GE(host.drawnFits.size(), 2u);
    // The last drawing may repeat the fit before it: the map the run ends
    // with, when a member took the lead at an equal fit.
    for (std::size_t k = 1; k + 1 < host.drawnFits.size(); ++k)
        EXPECT_GT(host.drawnFits[k], host.drawnFits[k - 1]);
    EXPECT_GE(host.drawnFits.back(), host.drawnFits[host.drawnFits.size() - 2]);
    // The map kept is the last one drawn, and its fit is the one shown.
    EXPECT_EQ(std::vector<float>(best.begin(), best.end()), host.drawnLayouts.back());
    EXPECT_EQ(LayoutFitness(data, best), host.drawnFits.back());
}

TEST(RunFit, TheMapKeptIsTheLastOneShownWhenTheLeadChangesAtAnEqualFit)
{
    // Near the best map the fit is flat: a trial a few ulps from its member
    // can score exactly the member's fit and replace it, or a member can draw
    // level with the leader, with no rise of the best fit and so no
    // improvement. A run ending there keeps a map it must show once more.
    // Six sites on a line, 30 generations, then a rerun, as in the window.
    const DistanceData line = MakeDistances(6, {3, 4, 5, 6, 7, 2, 3, 4, 5, 2, 3, 4, 1, 2, 1});
    const auto firstRun = [&](MersenneSource &random) {
        Layout best;
        QuietObserver quiet;
        RunFit(line, best, random, {30}, quiet);
        return best;
    };
    long long tie = 0;
    {
        MersenneSource random;
        const Layout seed = firstRun(random);
        LayoutSearch search(line, seed, random);
        std::vector<float> leader(seed.begin(), seed.end());
        for (long long g = 1; g <= 60000 && tie == 0; ++g) {
            const bool improved = search.step(g);
            const std::vector<float> now(search.bestLayout(), search.bestLayout() + seed.size());
            if (!improved && std::vector<float>(now.begin() + 1, now.end()) != std::vector<float>(leader.begin() + 1, leader.end()))
                tie = g;
            leader = now;
        }
    }
    ASSERT_GT(tie, 0) << "the search never changed its leading map at an equal fit";

    MersenneSource random;
    Layout best = firstRun(random);
    SearchRecorder recorder;
    RunFit(line, best, random, {static_cast<double>(tie)}, recorder);
    ASSERT_GE(recorder.drawnLayouts.size(), 2u);
    EXPECT_EQ(std::vector<float>(best.begin() + 1, best.end()),
              std::vector<float>(recorder.drawnLayouts.back().begin() + 1, recorder.drawnLayouts.back().end()));
    EXPECT_EQ(LayoutFitness(line, best), recorder.drawnFits.back());
    EXPECT_EQ(recorder.drawnFits.back(), recorder.drawnFits[recorder.drawnFits.size() - 2])
        << "the map kept is shown at the fit it was taken at";
}

TEST(RunFit, SameInputsGiveTheSameMaps)
{
    const DistanceData data = RandomDistances(12, 4);
    SearchRecorder first, second;
    MersenneSource randomA, randomB;
    Layout bestA, bestB;
    RunFit(data, bestA, randomA, {200}, first);
    RunFit(data, bestB, randomB, {200}, second);
    EXPECT_EQ(first.drawnLayouts, second.drawnLayouts);
    EXPECT_EQ(first.drawnFits, second.drawnFits);
    EXPECT_EQ(bestA, bestB);
}

TEST(RunFit, ARerunStartsFromTheBestMapAndNeverShowsLess)
{
    const DistanceData data = RandomDistances(10, 5);
    MersenneSource random;
    Layout best;
    SearchRecorder first;
    RunFit(data, best, random, {100}, first);
    const double reached = LayoutFitness(data, best);

    SearchRecorder second;
    RunFit(data, best, random, {100}, second);
    ASSERT_FALSE(second.drawnFits.empty());
    EXPECT_GE(second.drawnFits.front(), reached);
    EXPECT_GE(LayoutFitness(data, best), reached);
}

TEST(RunFit, KeepsTheValuesOfAMapOfAnotherSize)
{
    const DistanceData data = RandomDistances(3, 6);
    SearchRecorder host;
    MersenneSource random;
    Layout best = {0, 11, 22, 33, 44, 55, 66, 77, 88, 99};
    RunFit(data, best, random, {0}, host);
    EXPECT_EQ(best, (Layout{0, 11, 22, 33, 44, 55, 66}));
    Layout shortBest = {0, 11, 22};
    RunFit(data, shortBest, random, {0}, host);
    EXPECT_EQ(shortBest, (Layout{0, 11, 22, 0, 0, 0, 0}));
}

TEST(RunFit, ANestedRunLeavesTheOuterRunIntact)
{
    const DistanceData data = RandomDistances(7, 7);
    SearchRecorder plain;
    MersenneSource plainRandom;
    Layout plainBest;
    RunFit(data, plainBest, plainRandom, {60}, plain);

    SearchRecorder outer;
    MersenneSource outerRandom;
    Layout outerBest;
    bool nested = false;
    Layout innerBest = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    outer.onDraw = [&] {
        if (nested)
            return;
        nested = true;
        SearchRecorder inner;
        MersenneSource innerRandom;
        RunFit(data, innerBest, innerRandom, {30}, inner);
    };
    RunFit(data, outerBest, outerRandom, {60}, outer);
    EXPECT_TRUE(nested);
    EXPECT_EQ(outerBest, plainBest);
    EXPECT_EQ(outer.drawnFits, plain.drawnFits);
    EXPECT_NE(innerBest[1], 1.0f);
}

TEST(RunFit, RefusesTablesItCannotSearch)
{
    QuietObserver quiet;
    MersenneSource random;
    Layout best;
    EXPECT_THROW(RunFit(DistanceData{}, best, random, {}, quiet), TessarinError);
    DistanceData huge;
    huge.ItemCount = 16384;
    try {
        RunFit(huge, best, random, {}, quiet);
        ADD_FAILURE() << "no error";
    } catch (const TessarinError &error) {
        EXPECT_NE(std::string(error.what()).find("at most 16383 items"), std::string::npos);
    }
}

} // namespace
} // namespace tessarin
