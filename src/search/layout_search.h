#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "search/fit_kernel.h"
#include "search/random_source.h"
#include "search/search_host.h"

#include <array>
#include <vector>

namespace tessarin {

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

/// One whole run: disables Open, prepares the map, sets the busy pointer,
/// reads the generation count from the host, seeds member 1 from `best`
/// (resized to 2N positions keeping its values) and runs the generations.
/// Every improvement is drawn; every 10th generation is shown, events are
/// processed and a stop request ends the run. At the end `best` takes the best
/// member (left as it was when no generation ran), Open is enabled and the
/// pointer restored. Returns the number of generations run. Errors pass to the
/// caller.
long long RunFit(SearchHost &host, const DistanceData &data, Layout &best, RandomSource &random);

} // namespace tessarin
