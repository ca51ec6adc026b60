#include "search/layout_search.h"

#include "base/tessarin_error.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tessarin {

namespace {

constexpr double CrossoverRate = 0.4;
constexpr float MutationSplit = 0.8f;

} // namespace

int CheckedItemCount(const DistanceData &data)
{
    if (data.ItemCount <= 0)
        throw TessarinError("there is no distance table to fit: open a distance file first");
    if (data.ItemCount > MaxItemCount)
        throw TessarinError("a map can hold at most " + std::to_string(MaxItemCount) + " items, not " +
                            std::to_string(data.ItemCount));
    return data.ItemCount;
}

LayoutSearch::LayoutSearch(const DistanceData &data, const Layout &seed, RandomSource &random,
                           const FitOptions &fitOptions)
    : m_random(random), m_geneCount(2 * CheckedItemCount(data)), m_scorer(data, fitOptions),
      m_stride(static_cast<std::size_t>(m_geneCount) + 1)
{
    const std::size_t rows = PopulationSize + 1;
    m_population.assign(rows * m_stride, 0.0f);
    m_offspring.assign(rows * m_stride, 0.0f);
    m_trials.assign(rows * m_stride, 0.0f);

    float *first = member(m_population, 1);
    for (int s = 1; s <= m_geneCount; ++s)
        first[s] = static_cast<std::size_t>(s) < seed.size() ? seed[s] : 0.0f;
    for (int r = 2; r <= PopulationSize; ++r) {
        float *row = member(m_population, r);
        for (int s = 1; s <= m_geneCount; ++s)
            row[s] = m_random.next() * 1000.0f;
    }
    // Scoring needs no draws, so all members are scored after all are drawn.
    scoreRows(m_population, &m_fits[1]);
}

template <typename Source>
int LayoutSearch::drawDonor(Source &random, int i, int a, int b)
{
    int donor;
    do {
        donor = 1 + static_cast<int>(std::floor(random.next() * 8.0f));
    } while (donor == i || donor == a || donor == b);
    return donor;
}

template <typename Source>
void LayoutSearch::buildTrial(Source &random, int i, float scale, float *trial)
{
    const int a = drawDonor(random, i, i, i);
    const int b = drawDonor(random, i, a, a);
    const int c = drawDonor(random, i, a, b);
    const float *pa = member(m_population, a);
    const float *pb = member(m_population, b);
    const float *base = member(m_population, c);
    const float *own = member(m_population, i);
    // In double, u * 2N is exact and stays below 2N, so j never passes 2N.
    int j = 1 + static_cast<int>(std::floor(static_cast<double>(random.next()) * m_geneCount));
    for (int k = 1; k <= m_geneCount; ++k) {
        const float u = random.next();
        float gene;
        if (u < CrossoverRate || k == m_geneCount) {
            const float v = random.next();
            if (v < MutationSplit) {
                const float difference = pa[j] - pb[j];
                const float step = scale * difference;
                gene = base[j] + step;
            } else {
                const float w = random.next();
                gene = static_cast<float>((static_cast<double>(base[j]) - 5.0) + static_cast<double>(w) * 10.0);
            }
        } else {
            gene = own[j];
        }
        if (gene < 0.0f)
            gene = 5.0f;
        if (gene > 1000.0f)
            gene = 995.0f;
        trial[j] = gene;
        if (++j > m_geneCount)
            j -= m_geneCount;
    }
}

void LayoutSearch::scoreRows(const std::vector<float> &rows, double *fits)
{
    const float *layouts[PopulationSize];
    for (int r = 1; r <= PopulationSize; ++r)
        layouts[r - 1] = member(rows, r);
    m_scorer.score(layouts, PopulationSize, fits);
}

void LayoutSearch::scoreTrials() { scoreRows(m_trials, &m_trialFits[1]); }

bool LayoutSearch::step(long long generation)
{
    const float scale = generation % 5 == 0 ? 3.0f : 1.0f;
    // A trial depends only on the population and the draws, never on a fit of
    // the same generation: build all 8, score them, then select in order.
    // The program's own generator is called directly (no virtual call per
    // draw); any other source, such as a test's script, through its interface.
    if (auto *mersenne = dynamic_cast<MersenneSource *>(&m_random)) {
        for (int i = 1; i <= PopulationSize; ++i)
            buildTrial(*mersenne, i, scale, member(m_trials, i));
    } else {
        for (int i = 1; i <= PopulationSize; ++i)
            buildTrial(m_random, i, scale, member(m_trials, i));
    }
    scoreTrials();
    for (int i = 1; i <= PopulationSize; ++i) {
        const float *source = m_trialFits[i] >= m_fits[i] ? member(m_trials, i) : member(m_population, i);
        if (m_trialFits[i] >= m_fits[i])
            m_fits[i] = m_trialFits[i];
        std::copy(source + 1, source + 1 + m_geneCount, member(m_offspring, i) + 1);
    }
    m_population.swap(m_offspring);

    double scanBest = -9999999999.0;
    for (int r = 1; r <= PopulationSize; ++r) {
        if (m_fits[r] > scanBest) {
            scanBest = m_fits[r];
            m_bestIndex = r;
        }
    }
    const bool improved = m_fits[m_bestIndex] > m_bestSoFar;
    m_bestSoFar = m_fits[m_bestIndex];
    return improved;
}

} // namespace tessarin
