#include "io/distance_reader.h"
#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "distance_fixture.h"
#include "fit/fit_kernel.h"
#include "fit/fit_kernel_probe.h"
#include "fit/fit_kernel_worker.h"
#include "forced_fit_options.h"
#include "search/layout_search.h"
#include "base/random_source.h"
#include "temp_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tessarin {
namespace {

using testing::Forced;
using testing::MakeDistances;

const FitPath VectorPaths[] = {FitPath::Portable, FitPath::Avx2, FitPath::Avx512};

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::string Bits(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    char text[64];
    std::snprintf(text, sizeof text, "%.17g (0x%016llx)", value, static_cast<unsigned long long>(bits));
    return text;
}

/// A layout of n items: positions 1..2N from `coordinate(k)`, k = 1..2N.
std::vector<float> MakeLayout(int n, const std::function<float(int)> &coordinate)
{
    std::vector<float> layout(2 * static_cast<std::size_t>(n) + 1, 0.0f);
    for (int k = 1; k <= 2 * n; ++k)
        layout[k] = coordinate(k);
    return layout;
}

DistanceData RandomDistances(int n, std::mt19937 &engine, float scale)
{
    std::uniform_real_distribution<float> uniform(0.0f, scale);
    std::vector<float> upper(static_cast<std::size_t>(n) * (n - 1) / 2);
    for (float &g : upper)
        g = uniform(engine);
    DistanceData data = MakeDistances(n, upper);
    data.packPairs();
    return data;
}

struct LayoutKind {
    const char *name;
    std::function<float(int, std::mt19937 &)> coordinate;
};

const std::vector<LayoutKind> &LayoutKinds()
{
    static const std::vector<LayoutKind> kinds = {
        {"random map", [](int, std::mt19937 &e) { return std::uniform_real_distribution<float>(0, 1000)(e); }},
        {"whole numbers", [](int, std::mt19937 &e) { return static_cast<float>(e() % 1001); }},
        {"cancellation near 1000",
         [](int, std::mt19937 &e) { return 1000.0f + std::uniform_real_distribution<float>(-1e-3f, 1e-3f)(e); }},
        {"tiny", [](int, std::mt19937 &e) { return std::uniform_real_distribution<float>(0, 1e-30f)(e); }},
        {"subnormal", [](int, std::mt19937 &e) { return std::uniform_real_distribution<float>(0, 1e-39f)(e); }},
        {"huge", [](int, std::mt19937 &e) { return std::uniform_real_distribution<float>(-1e30f, 1e30f)(e); }},
        {"beyond float range when subtracted",
         [](int k, std::mt19937 &) { return k % 2 ? 3e38f : -3e38f; }},
        {"all on one point", [](int k, std::mt19937 &) { return k % 2 ? 417.25f : 3.5f; }},
    };
    return kinds;
}

/// Scores `count` layouts with `options` and with LayoutFitness one by one,
/// and expects the same bits.
void ExpectSameFits(const DistanceData &data, const std::vector<std::vector<float>> &layouts, int count,
                    const FitOptions &options)
{
    const float *pointers[FitBatch::MaxLayouts];
    for (int k = 0; k < count; ++k)
        pointers[k] = layouts[k].data();
    double fits[FitBatch::MaxLayouts];
    FitBatch batch(data, options);
    batch.score(pointers, count, fits);
    for (int k = 0; k < count; ++k) {
        const double expected = LayoutFitness(data, layouts[k].data());
        EXPECT_TRUE(SameBits(fits[k], expected))
            << "layout " << k << ": batch " << Bits(fits[k]) << ", single " << Bits(expected);
    }
}

class FitKernelPath : public ::testing::TestWithParam<FitPath> {
protected:
    void SetUp() override
    {
        if (!FitPathSupported(GetParam()))
            GTEST_SKIP() << "this CPU lacks " << FitPathName(GetParam());
    }
};

TEST_P(FitKernelPath, FitsMatchTheSingleLayoutFitBitForBit)
{
    const int counts[] = {2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 65, 127, 128, 129, 1000};
    std::mt19937 engine(20240611);
    for (int n : counts) {
        const DistanceData data = RandomDistances(n, engine, 1000.0f);
        for (const LayoutKind &kind : LayoutKinds()) {
            std::vector<std::vector<float>> layouts;
            for (int k = 0; k < FitBatch::MaxLayouts; ++k)
                layouts.push_back(MakeLayout(n, [&](int s) { return kind.coordinate(s, engine); }));
            for (int threads : {1, 2}) {
                SCOPED_TRACE("N = " + std::to_string(n) + ", " + kind.name + ", threads " + std::to_string(threads));
                ExpectSameFits(data, layouts, FitBatch::MaxLayouts, Forced(GetParam(), threads));
            }
        }
    }
}

TEST_P(FitKernelPath, DegenerateDistancesAndPartialBatches)
{
    std::mt19937 engine(7);
    struct DataCase {
        const char *name;
        DistanceData data;
    };
    const int n = 33;
    std::vector<DataCase> cases;
    cases.push_back({"all distances 0", MakeDistances(n, std::vector<float>(n * (n - 1) / 2, 0.0f))});
    cases.push_back({"tiny distances", RandomDistances(n, engine, 1e-20f)});
    cases.push_back({"huge distances", RandomDistances(n, engine, 1e18f)});
    cases.push_back({"no packed pairs", MakeDistances(n, std::vector<float>(n * (n - 1) / 2, 2.5f))});
    cases.back().data.Distances[1 * (n + 1) + 2] = 9.0f; // give it a spread
    cases.back().data.Distances[2 * (n + 1) + 1] = 9.0f;
    cases.back().data.DistanceSpread = 1.0f;
    cases[0].data.packPairs();
    std::vector<std::vector<float>> layouts;
    for (int k = 0; k < FitBatch::MaxLayouts; ++k)
        layouts.push_back(MakeLayout(n, [&](int) { return std::uniform_real_distribution<float>(0, 1000)(engine); }));
    for (const DataCase &c : cases)
        for (int count = 1; count <= FitBatch::MaxLayouts; ++count)
            for (int threads : {1, 2}) {
                SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(count) + " layouts, threads " +
                             std::to_string(threads));
                ExpectSameFits(c.data, layouts, count, Forced(GetParam(), threads));
            }
}

/// Member fits and genes of a search after `generations` generations.
std::vector<float> RunSearch(const DistanceData &data, const FitOptions &options, int generations)
{
    MersenneSource random;
    Layout seed(2 * static_cast<std::size_t>(data.ItemCount) + 1, 0.0f);
    LayoutSearch search(data, seed, random, options);
    for (int g = 1; g <= generations; ++g)
        search.step(g);
    std::vector<float> state;
    for (int r = 1; r <= LayoutSearch::PopulationSize; ++r) {
        double fit = search.fit(r);
        float halves[2];
        std::memcpy(halves, &fit, sizeof fit);
        state.insert(state.end(), halves, halves + 2);
        state.insert(state.end(), search.member(r) + 1, search.member(r) + 1 + 2 * data.ItemCount);
    }
    return state;
}

TEST_P(FitKernelPath, WholeSearchRunIsTheSameOnOneAndTwoThreads)
{
    std::mt19937 engine(99);
    for (int n : {5, 40}) {
        const DistanceData data = RandomDistances(n, engine, 100.0f);
        const std::vector<float> reference = RunSearch(data, Forced(FitPath::OneByOne, 1), 60);
        for (int threads : {1, 2}) {
            SCOPED_TRACE("N = " + std::to_string(n) + ", threads " + std::to_string(threads));
            const std::vector<float> state = RunSearch(data, Forced(GetParam(), threads), 60);
            ASSERT_EQ(state.size(), reference.size());
            EXPECT_EQ(std::memcmp(state.data(), reference.data(), state.size() * sizeof(float)), 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllPaths, FitKernelPath, ::testing::ValuesIn(VectorPaths),
                         [](const auto &info) { return std::string(FitPathName(info.param)); });

TEST(FitKernel, FewerThanTwoItems)
{
    const float layout[3] = {0.0f, 5.0f, 7.0f};
    const float *pointers[1] = {layout};
    DistanceData one = MakeDistances(1, {});
    double fit = -1.0;
    FitBatch(one, Forced(BestFitPath(), 1)).score(pointers, 1, &fit);
    EXPECT_EQ(fit, 0.0);
    DistanceData none;
    EXPECT_THROW(FitBatch(none, Forced(BestFitPath(), 1)).score(pointers, 1, &fit), TessarinError);
}

TEST(FitKernel, ReaderPacksTheGivenDistancesInPairOrder)
{
    testing::TempFile file("4 Four sites\r\n10 20 30\r\n9,25\r\n12\r\n");
    const DistanceData data = ReadDistances(file.path());
    EXPECT_EQ(data.PairDistances, (std::vector<float>{10, 20, 30, 9, 25, 12}));
}

TEST(FitKernel, EnvironmentChoosesPathAndThreads)
{
    FitOptions base;
    base.path = FitPath::Portable;
    base.threads = 1;
    struct Case {
        const char *path;
        const char *threads;
        FitPath expectedPath;
        int expectedThreads;
    };
    const FitPath avx2 = FitPathSupported(FitPath::Avx2) ? FitPath::Avx2 : FitPath::Portable;
    const FitPath avx512 = FitPathSupported(FitPath::Avx512) ? FitPath::Avx512 : FitPath::Portable;
    const Case cases[] = {
        {nullptr, nullptr, FitPath::Portable, 1}, {"avx2", "2", avx2, 2},
        {"avx512", "1", avx512, 1},               {"single", nullptr, FitPath::OneByOne, 1},
        {"AVX512", "3", FitPath::Portable, 1},    {"", "two", FitPath::Portable, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.path ? c.path : "(unset)") + " / " + (c.threads ? c.threads : "(unset)"));
        const FitOptions options = FitOptionsFromEnvironment(base, c.path, c.threads);
        EXPECT_EQ(options.path, c.expectedPath);
        EXPECT_EQ(options.threads, c.expectedThreads);
    }
}

// a * b is 1 - 2^-60, which rounds to 1, so separate rounding gives 0 while a
// fused multiply-add gives -2^-60. A unit compiled with contraction allowed
// returns the fused value.
TEST(FitKernel, ExactnessFlagsKeepMultiplyAndAddSeparate)
{
    const double a = 1.0 + std::ldexp(1.0, -30);
    const double b = 1.0 - std::ldexp(1.0, -30);
    const double c = -1.0;
    const double fused = std::fma(a, b, c);
    ASSERT_EQ(fused, -std::ldexp(1.0, -60));
    struct Probe {
        const char *unit;
        bool supported;
        double (*multiplyAdd)(double, double, double);
    };
    const bool hasFma = __builtin_cpu_supports("fma");
    const Probe probes[] = {
        {"fit_kernel.cpp", hasFma, fitprobe::MultiplyAddFitKernel},
        {"fit_kernel_portable.cpp", hasFma, fitprobe::MultiplyAddPortable},
        {"fit_kernel_avx2.cpp", hasFma && FitPathSupported(FitPath::Avx2), fitprobe::MultiplyAddAvx2},
        {"fit_kernel_avx512.cpp", FitPathSupported(FitPath::Avx512), fitprobe::MultiplyAddAvx512},
    };
    int checked = 0;
    for (const Probe &probe : probes) {
        if (!probe.supported)
            continue;
        SCOPED_TRACE(probe.unit);
        EXPECT_EQ(probe.multiplyAdd(a, b, c), 0.0) << "multiply and add were fused";
        ++checked;
    }
    if (checked == 0)
        GTEST_SKIP() << "this CPU has no FMA: contraction cannot happen";
}

TEST(FitWorker, RunsBothTasksOnceAndReturnsWhenBothAreDone)
{
    struct Work {
        std::atomic<int> helper{0};
        int caller = 0;
        std::vector<double> out = std::vector<double>(100000);
    } work;
    for (int round = 1; round <= 50; ++round) {
        ASSERT_TRUE(FitWorker::instance().runBeside(
            [](void *w) {
                auto &work = *static_cast<Work *>(w);
                for (std::size_t k = 0; k < work.out.size(); ++k)
                    work.out[k] = std::sqrt(static_cast<double>(k));
                work.helper.fetch_add(1);
            },
            [](void *w) { ++static_cast<Work *>(w)->caller; }, &work));
        EXPECT_EQ(work.helper.load(), round);
        EXPECT_EQ(work.caller, round);
        EXPECT_EQ(work.out[99999], std::sqrt(99999.0));
        work.out[99999] = 0.0;
    }
}

TEST(FitWorker, NestedCallIsRefusedAndAThrowWaitsForTheHelper)
{
    struct Work {
        std::atomic<bool> helperStarted{false};
        std::atomic<bool> helperDone{false};
        bool nestedRefused = false;
    } work;
    auto helper = [](void *w) {
        auto &work = *static_cast<Work *>(w);
        work.helperStarted = true;
        volatile double sink = 0;
        for (int k = 0; k < 2000000; ++k)
            sink = sink + 1.0;
        work.helperDone = true;
    };
    auto caller = [](void *w) {
        auto &work = *static_cast<Work *>(w);
        work.nestedRefused = !FitWorker::instance().runBeside([](void *) {}, [](void *) {}, nullptr);
        // Throw only once the helper is inside its task (a guard against a
        // hang, not a timing check).
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!work.helperStarted && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::yield();
        throw std::runtime_error("abandoned");
    };
    EXPECT_THROW(FitWorker::instance().runBeside(helper, caller, &work), std::runtime_error);
    EXPECT_TRUE(work.nestedRefused);
    ASSERT_TRUE(work.helperStarted.load()) << "the helper never took its task";
    EXPECT_TRUE(work.helperDone.load()) << "returned while the helper was still working";
    // The helper is free again.
    EXPECT_TRUE(FitWorker::instance().runBeside([](void *) {}, [](void *) {}, nullptr));
}

} // namespace
} // namespace tessarin
