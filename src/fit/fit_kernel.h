#pragma once

#include "data/distance_data.h"
#include "fit/fit_options.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace tessarin {

/// Scores up to 8 layouts in one call, each with exactly the fit LayoutFitness
/// gives it, bit for bit, on every path and thread count.
///
/// The trials run side by side, one per vector lane; each lane adds its pairs
/// in pair order (on a weighted table, as WeightedLayoutFitness adds them:
/// one running sum a lane, pairs of weight 0 skipped). With 2 threads and
/// enough items the 8 trials are split 4 and 4 between the calling thread and
/// the persistent FitWorker; score() returns when both halves are done. Each
/// trial's sums stay whole on one thread, so the split changes no bit.
///
/// Keeps a reference to `data`, which must outlive the scorer and not change.
class FitBatch {
public:
    static constexpr int MaxLayouts = 8;

    explicit FitBatch(const DistanceData &data, const FitOptions &options = DefaultFitOptions());

    /// `layouts[k]` points at position 0 of a layout with positions up to 2N;
    /// fits[k] receives its fit, k < count, 1 <= count <= 8. Throws
    /// TessarinError when N is 0.
    void score(const float *const *layouts, int count, double *fits);

    const FitOptions &options() const { return m_options; }

private:
    struct Half;
    static void runHalf(const Half &half);

    const DistanceData &m_data;
    FitOptions m_options;
    std::vector<float> m_ownPairs; // used when data.PairDistances is not filled
    const float *m_pairs = nullptr;
    std::unique_ptr<float[]> m_scratchStore;
    float *m_scratch = nullptr; // x then y of 8 lanes, item-major, 64-byte aligned
};

} // namespace tessarin
