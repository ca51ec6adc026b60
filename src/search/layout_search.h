#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "fit/fit_kernel.h"
#include "base/random_source.h"

#include <array>
#include <vector>

namespace tessarin {

/// The item count of `data` when a map search can take it; throws
/// TessarinError when there are no items or more than MaxItemCount.
int CheckedItemCount(const DistanceData &data);

/// Differential evolution over the 2N coordinates of a map, with a population
/// of 8. The constructor builds and scores the first population: member 1 from
/// a seed map, members 2..8 at random. Each step() runs one generation.
///
/// All working state belongs to the object, so a search started while another
/// runs (from the window's event processing) leaves the other untouched.
class LayoutSearch {
public:
    static constexpr int PopulationSize = 8;

    /// `seed` holds positions 0..2N. Throws TessarinError when N is 0 or
    /// above 16383. `fitOptions` choose how the 8 trials of a generation are
    /// scored; every choice gives the same fits and so the same search.
    LayoutSearch(const DistanceData &data, const Layout &seed, RandomSource &random,
                 const FitOptions &fitOptions = DefaultFitOptions());

    /// Runs generation `generation` (1, 2, ...). Returns true when the best fit
    /// of this generation is strictly above that of the previous one (always
    /// true for the first generation).
    bool step(long long generation);

    /// The best member of the latest generation (positions 0..2N) and its fit.
    const float *bestLayout() const { return member(m_population, m_bestIndex); }
    double bestFit() const { return m_fits[m_bestIndex]; }
    /// Fit of member r (1..8) as last computed.
    double fit(int r) const { return m_fits[r]; }
    const float *member(int r) const { return member(m_population, r); }

private:
    float *member(std::vector<float> &rows, int r) { return rows.data() + static_cast<std::size_t>(r) * m_stride; }
    const float *member(const std::vector<float> &rows, int r) const
    {
        return rows.data() + static_cast<std::size_t>(r) * m_stride;
    }
    template <typename Source>
    int drawDonor(Source &random, int i, int a, int b);
    template <typename Source>
    void buildTrial(Source &random, int i, float scale, float *trial);
    void scoreTrials();
    void scoreRows(const std::vector<float> &rows, double *fits);

    RandomSource &m_random;
    int m_geneCount;
    FitBatch m_scorer;
    std::size_t m_stride; // 2N + 1 floats a row; position 0 unused
    std::vector<float> m_population; // rows 1..8 (row 0 unused)
    std::vector<float> m_offspring;
    std::vector<float> m_trials;      // the 8 trials of a generation
    std::array<double, PopulationSize + 1> m_fits{};
    std::array<double, PopulationSize + 1> m_trialFits{};
    int m_bestIndex = 1;
    double m_bestSoFar = -999999.0;
};

} // namespace tessarin
