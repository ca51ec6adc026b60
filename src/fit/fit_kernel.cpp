#include "fit/fit_kernel.h"

#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "fit/fit_kernel_lanes.h"
#include "fit/fit_kernel_probe.h"
#include "fit/fit_kernel_worker.h"
#include "fit/pair_rows.h"
#include "fit/weighted_fit.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace tessarin {

/// A group of lanes to sum on one thread.
struct FitBatch::Half {
    fitlanes::LaneInput input;
    int lanes;
    FitPath path;
};

void FitBatch::runHalf(const Half &half)
{
    switch (half.path) {
    case FitPath::Avx512:
        fitlanes::SumLanesAvx512(half.input, half.lanes);
        break;
    case FitPath::Avx2:
        fitlanes::SumLanesAvx2(half.input, half.lanes);
        break;
    default:
        fitlanes::SumLanesPortable(half.input, half.lanes);
        break;
    }
}

FitBatch::FitBatch(const DistanceData &data, const FitOptions &options) : m_data(data), m_options(options)
{
    if (!FitPathSupported(m_options.path))
        m_options.path = BestFitPath();
    const int n = data.ItemCount;
    if (n < 1)
        return;
    if (data.PairDistances.size() == PairCount(n)) {
        m_pairs = data.PairDistances.data();
    } else {
        m_ownPairs.reserve(PairCount(n));
        for (int i = 1; i <= n; ++i)
            for (int j = i + 1; j <= n; ++j)
                m_ownPairs.push_back(data.distance(i, j));
        m_pairs = m_ownPairs.data();
    }
    // x and y of N items in 8 lanes, plus room to align to 64 bytes
    m_scratchStore.reset(new float[2 * static_cast<std::size_t>(n) * MaxLayouts + 16]);
    const auto address = reinterpret_cast<std::uintptr_t>(m_scratchStore.get());
    m_scratch = m_scratchStore.get() + ((64 - address % 64) % 64) / sizeof(float);
}

void FitBatch::score(const float *const *layouts, int count, double *fits)
{
    const int n = m_data.ItemCount;
    if (n == 1) {
        for (int k = 0; k < count; ++k)
            fits[k] = 0.0;
        return;
    }
    if (n <= 0)
        throw TessarinError("a fit needs distances: no distance file has been read");
    if (count < 1 || count > MaxLayouts)
        throw TessarinError("a batch holds 1 to 8 layouts, not " + std::to_string(count));

    if (m_options.path == FitPath::OneByOne) {
        for (int k = 0; k < count; ++k)
            fits[k] = LayoutFitness(m_data, layouts[k]);
        return;
    }

    const bool split = m_options.threads >= 2 && n >= m_options.minItemsForThreads;
    // With a split, each half is a group of 4 lanes with its own item-major
    // block; otherwise one block of 8 lanes. Lanes past `count` repeat
    // layout 0 and are dropped.
    const int lanes = split ? 4 : 8;
    const std::size_t block = static_cast<std::size_t>(n) * lanes;
    float *x[2] = {m_scratch, m_scratch + 2 * block};
    float *y[2] = {m_scratch + block, m_scratch + 3 * block};
    for (int t = 0; t < MaxLayouts; ++t) {
        const float *layout = layouts[t < count ? t : 0];
        const int group = t / lanes;
        const int lane = t % lanes;
        float *xs = x[group] + lane;
        float *ys = y[group] + lane;
        for (int j = 1; j <= n; ++j) {
            xs[static_cast<std::size_t>(j - 1) * lanes] = layout[j];
            ys[static_cast<std::size_t>(j - 1) * lanes] = layout[n + j];
        }
    }

    const float *weights = m_data.weighted() ? m_data.PairWeights.data() : nullptr;
    alignas(64) double sd[MaxLayouts];
    alignas(64) double sdd[MaxLayouts];
    alignas(64) double sdg[MaxLayouts];
    Half halves[2];
    for (int group = 0; group < (split ? 2 : 1); ++group) {
        const int first = group * lanes;
        halves[group] = Half{{n, x[group], y[group], m_pairs, weights, sd + first, sdd + first, sdg + first},
                             lanes,
                             m_options.path};
    }

    if (split) {
        const bool shared = FitWorker::instance().runBeside(
            [](void *h) { runHalf(static_cast<const Half *>(h)[1]); },
            [](void *h) { runHalf(static_cast<const Half *>(h)[0]); }, halves);
        if (!shared) {
            // The helper is busy elsewhere: both groups here.
            runHalf(halves[0]);
            runHalf(halves[1]);
        }
    } else {
        runHalf(halves[0]);
    }

    for (int k = 0; k < count; ++k)
        fits[k] = weights ? WeightedFitFromSums(m_data, sd[k], sdd[k], sdg[k])
                          : FitFromSums(m_data, sd[k], sdd[k], sdg[k]);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("fma")))
#endif
double fitprobe::MultiplyAddFitKernel(double a, double b, double c)
{
    return a * b + c;
}

} // namespace tessarin
