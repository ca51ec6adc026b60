#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "distance_fixture.h"
#include "search/layout_search.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>

namespace tessarin {
namespace {

using testing::MakeDistances;
using testing::RandomDistances;

/// Hands out scripted draws in order and fails the test when they run out.
class ScriptedSource : public RandomSource {
public:
    std::deque<float> draws;
    float next() override
    {
        if (draws.empty()) {
            ADD_FAILURE() << "the search drew more numbers than scripted";
            return 0.0f;
        }
        float u = draws.front();
        draws.pop_front();
        return u;
    }
    /// Donor draws for a, b, c (each distinct from member i and each other)
    /// and the start gene 1.
    void donors(int a, int b, int c)
    {
        for (int d : {a, b, c})
            draws.push_back((static_cast<float>(d) - 0.5f) / 8.0f);
        draws.push_back(0.0f);
    }
};

// With one item the fit is always 0, so every trial replaces its parent (ties
// go to the trial) and the population after a step shows the trials exactly.
struct OneItemSearch {
    DistanceData data = MakeDistances(1, {});
    ScriptedSource random;
    std::unique_ptr<LayoutSearch> search;

    explicit OneItemSearch(const std::vector<float> &startGenes)
    {
        for (float g : startGenes) // members 2..8, two genes each
            random.draws.push_back(g / 1000.0f);
        search = std::make_unique<LayoutSearch>(data, Layout{0, 100, 200}, random);
    }
    static int donor(int i, int offset) { return (i + offset - 1) % 8 + 1; }
};

TEST(LayoutSearch, DifferenceMutationScalesByThreeEveryFifthGeneration)
{
    OneItemSearch s({800, 500, 300, 600, 400, 700, 250, 125, 875, 375, 625, 500, 900, 450});
    for (long long generation = 1; generation <= 5; ++generation) {
        std::vector<std::array<float, 3>> expected(9);
        for (int i = 1; i <= 8; ++i) {
            const int a = OneItemSearch::donor(i, 1), b = OneItemSearch::donor(i, 2), c = OneItemSearch::donor(i, 3);
            s.random.donors(a, b, c);
            for (int k = 0; k < 2; ++k) {
                s.random.draws.push_back(0.1f); // crossed
                s.random.draws.push_back(0.1f); // difference mutation
            }
            const float scale = generation % 5 == 0 ? 3.0f : 1.0f;
            for (int gene = 1; gene <= 2; ++gene) {
                float value = s.search->member(c)[gene] + scale * (s.search->member(a)[gene] - s.search->member(b)[gene]);
                if (value < 0)
                    value = 5;
                if (value > 1000)
                    value = 995;
                expected[i][gene] = value;
            }
        }
        s.search->step(generation);
        for (int i = 1; i <= 8; ++i) {
            SCOPED_TRACE("generation " + std::to_string(generation) + " member " + std::to_string(i));
            EXPECT_EQ(s.search->member(i)[1], expected[i][1]);
            EXPECT_EQ(s.search->member(i)[2], expected[i][2]);
        }
        EXPECT_TRUE(s.random.draws.empty());
    }
}

TEST(LayoutSearch, PerturbationClampingAndCrossoverWalk)
{
    // Member 1 starts at (100, 200); members 2..8 as listed.
    OneItemSearch s({10, 990, 20, 30, 40, 50, 60, 70, 80, 90, 1000, 0, 500, 500});
    // Member 1: donors a=2 (10, 990), b=3 (20, 30), c=4 (40, 50); start gene 2.
    s.random.donors(2, 3, 4);
    s.random.draws.back() = 0.5f;  // start gene 1 + floor(0.5 * 2) = 2
    s.random.draws.push_back(0.5f); // gene 2 not crossed: keeps 200
    s.random.draws.push_back(0.9f); // gene 1, the last visited, is always crossed
    s.random.draws.push_back(0.8f); // 0.8 is not below the split: perturbation
    s.random.draws.push_back(0.25f); // 40 - 5 + 2.5
    // Member 2: a=6 (1000-ish), c=3: 20 + (80 - 1000) < 0 becomes 5; y: 30 + (90 - 0) = 120.
    s.random.donors(6, 7, 3);
    for (int k = 0; k < 2; ++k) {
        s.random.draws.push_back(0.39f);
        s.random.draws.push_back(0.1f);
    }
    // Members 3..8: perturbations that stay in range.
    for (int i = 3; i <= 8; ++i) {
        s.random.donors(OneItemSearch::donor(i, 1), OneItemSearch::donor(i, 2), OneItemSearch::donor(i, 3));
        for (int k = 0; k < 2; ++k) {
            s.random.draws.push_back(0.0f);
            s.random.draws.push_back(0.99f);
            s.random.draws.push_back(0.5f);
        }
    }
    // Member 6 is (80, 90), member 7 is (1000, 0): for member 2, a=6 b=7 c=3
    // gives x: 20 + (80 - 1000) = -900 -> 5 and y: 30 + (90 - 0) = 120.
    s.search->step(1);
    EXPECT_EQ(s.search->member(1)[1], 37.5f);
    EXPECT_EQ(s.search->member(1)[2], 200.0f);
    EXPECT_EQ(s.search->member(2)[1], 5.0f);
    EXPECT_EQ(s.search->member(2)[2], 120.0f);
    EXPECT_TRUE(s.random.draws.empty());
}

TEST(LayoutSearch, UpperClampAndExactBoundsStay)
{
    // c = member 4 at (990, 1000): 990 + (1000 - 980) = 1010 -> 995; 1000 + 0 stays 1000.
    OneItemSearch s({1000, 0, 980, 0, 990, 1000, 0, 0, 0, 0, 0, 0, 0, 0});
    s.random.donors(2, 3, 4);
    for (int k = 0; k < 2; ++k) {
        s.random.draws.push_back(0.1f);
        s.random.draws.push_back(0.1f);
    }
    for (int i = 2; i <= 8; ++i) {
        s.random.donors(OneItemSearch::donor(i, 1), OneItemSearch::donor(i, 2), OneItemSearch::donor(i, 3));
        for (int k = 0; k < 2; ++k) {
            s.random.draws.push_back(0.5f);
            s.random.draws.push_back(0.5f);
        }
    }
    // Member 1's last visited gene is crossed: both genes are crossed here.
    s.search->step(1);
    EXPECT_EQ(s.search->member(1)[1], 995.0f);
    EXPECT_EQ(s.search->member(1)[2], 1000.0f);
}

TEST(LayoutSearch, TheProgramsGeneratorAndAnyOtherSourceGiveTheSameSearch)
{
    // The search calls the program's generator directly and any other source
    // through its interface; both must take the same draws in the same order.
    class Forwarding : public RandomSource {
    public:
        float next() override { return m_inner.next(); }

    private:
        MersenneSource m_inner;
    };
    for (int n : {1, 2, 5, 40}) {
        SCOPED_TRACE(n);
        const DistanceData data = n == 1 ? MakeDistances(1, {}) : RandomDistances(n, 8);
        MersenneSource direct;
        Forwarding forwarded;
        const Layout seed(2 * static_cast<std::size_t>(n) + 1, 0.0f);
        LayoutSearch a(data, seed, direct);
        LayoutSearch b(data, seed, forwarded);
        for (long long g = 1; g <= 120; ++g) {
            ASSERT_EQ(a.step(g), b.step(g));
            for (int r = 1; r <= LayoutSearch::PopulationSize; ++r) {
                ASSERT_EQ(std::vector<float>(a.member(r), a.member(r) + 2 * n + 1),
                          std::vector<float>(b.member(r), b.member(r) + 2 * n + 1))
                    << "generation " << g << " member " << r;
                ASSERT_EQ(a.fit(r), b.fit(r));
            }
        }
        // And both sources are at the same place in their sequences.
        EXPECT_EQ(direct.next(), forwarded.next());
    }
}

TEST(MersenneSource, DrawsSinglePrecisionValuesInTheUnitInterval)
{
    MersenneSource random;
    std::mt19937 reference;
    for (int k = 0; k < 10000; ++k) {
        const float u = random.next();
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
        ASSERT_EQ(u, static_cast<float>(reference() >> 8) / 16777216.0f);
    }
}

} // namespace
} // namespace tessarin
