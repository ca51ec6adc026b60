#include "fit/weighted_fit.h"

#include "base/tessarin_error.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

// Each row is taken in chunks: first the chunk's terms, one pair each, in a
// loop without a running sum that the compiler turns into vector
// instructions; then the running sums add them in pair order. A pair of
// weight 0 gets terms of +0, and adding +0 leaves a running sum as it was:
// every sum starts at +0 and so is never -0, the one value +0 would change.
// The running sums therefore see exactly the operations of a loop that skips
// those pairs. Built with -fno-math-errno (a root of a sum of squares never
// sets errno), so the roots can be vector instructions too.

namespace tessarin {

namespace {

constexpr int ScoreChunk = 256;
constexpr int GradientChunk = 128;

/// All ones, or all zeros: a mask for keep().
std::uint64_t maskOf(bool kept) { return kept ? ~std::uint64_t{0} : std::uint64_t{0}; }

/// `value` under an all-ones mask, +0 under all zeros. Made with the bits
/// rather than a choice, so that the compiler computes the value for every
/// pair and vectorises the loop (it will not speculate a product it might
/// have skipped).
double keep(std::uint64_t mask, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    bits &= mask;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

/// One chunk of a row of the fit of a stored layout: pairs (i, j) for j in
/// [from, from + count), 1-based.
struct ScoreChunkInput {
    const float *layout;
    int itemCount;
    int i;
    int from;
    int count;
    const float *given;
    const float *weights;
    // The terms w m, w m m and w m g, ScoreChunk apart.
    double *terms;
};

[[gnu::always_inline]] inline void scoreTerms(const ScoreChunkInput &in)
{
    constexpr int C = ScoreChunk;
    const float xi = in.layout[in.i];
    const float yi = in.layout[in.itemCount + in.i];
    const float *__restrict x = in.layout + in.from;
    const float *__restrict y = in.layout + in.itemCount + in.from;
    const float *__restrict given = in.given;
    const float *__restrict weights = in.weights;
    double *__restrict t = in.terms;
    for (int k = 0; k < in.count; ++k) {
        // As MapDistance forms it.
        const float dx = xi - x[k];
        const float dy = yi - y[k];
        double squared = static_cast<double>(dx) * dx;
        squared = squared + static_cast<double>(dy) * dy;
        const double m = std::sqrt(squared);
        const double w = weights[k];
        const double g = given[k];
        const double wm = w * m;
        const double wmm = wm * m;
        const double wmg = wm * g;
        const std::uint64_t present = maskOf(w != 0.0);
        t[k] = keep(present, wm);
        t[C + k] = keep(present, wmm);
        t[2 * C + k] = keep(present, wmg);
    }
}

void scoreTermsPortable(const ScoreChunkInput &in) { scoreTerms(in); }

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) void scoreTermsAvx2(const ScoreChunkInput &in) { scoreTerms(in); }
__attribute__((target("avx512f"))) void scoreTermsAvx512(const ScoreChunkInput &in) { scoreTerms(in); }
#endif

void scoreTermsOn(FitPath path, const ScoreChunkInput &in)
{
#if defined(__x86_64__) || defined(__i386__)
    if (path == FitPath::Avx512)
        return scoreTermsAvx512(in);
    if (path == FitPath::Avx2)
        return scoreTermsAvx2(in);
#endif
    (void)path;
    scoreTermsPortable(in);
}

/// One chunk of a row of the gradient pass: pairs (i, j) for j in
/// [from, from + count), 0-based.
struct GradientChunkInput {
    double xi[3];
    const double *columns[3]; // coordinate d of item from + k at columns[d][k]
    const float *given;
    const float *weights;
    int count;
    double smoothing;
    double givenMean;
    // Item from + k's sums, at [d][k]: the pair's share is taken off here.
    double *cross[3];
    double *unit[3];
    double *spring[3];
    // GradientChunk apart: the terms of the three sums (sd, sdd, sdg), then
    // item i's cross, unit and spring terms for each coordinate.
    double *terms;
};

/// The terms of one chunk, each formed as the plain loop forms it, and the
/// share of each pair taken off its second item at once (that item's sums
/// get one term a row, rows in order). Every array is a restrict parameter
/// of its own, which is what lets the compiler vectorise the loop; with
/// D = 2 the third coordinate's are never touched.
template <int D>
[[gnu::always_inline]] inline void gradientTermsOf(
    const GradientChunkInput &in, double *__restrict t, const float *__restrict given,
    const float *__restrict weights, const double *__restrict x0, const double *__restrict x1,
    const double *__restrict x2, double *__restrict crossJ0, double *__restrict crossJ1, double *__restrict crossJ2,
    double *__restrict unitJ0, double *__restrict unitJ1, double *__restrict unitJ2, double *__restrict springJ0,
    double *__restrict springJ1, double *__restrict springJ2)
{
    constexpr int C = GradientChunk;
    constexpr int Last = D - 1;
    const double xi0 = in.xi[0], xi1 = in.xi[1], xi2 = in.xi[Last];
    const double smoothing = in.smoothing, givenMean = in.givenMean;
    const int count = in.count;
    for (int k = 0; k < count; ++k) {
        const double w = weights[k];
        const std::uint64_t present = maskOf(w != 0.0);
        const double dx0 = xi0 - x0[k];
        const double dx1 = xi1 - x1[k];
        const double dx2 = xi2 - x2[k];
        double squared = 0.0;
        squared = squared + dx0 * dx0;
        squared = squared + dx1 * dx1;
        if constexpr (D == 3)
            squared = squared + dx2 * dx2;
        squared = squared + smoothing;
        const double m = std::sqrt(squared);
        const double reciprocal = 1.0 / m;
        const double inverse = keep(maskOf(m > 0.0), reciprocal);
        const double g = given[k];
        const double wm = w * m;
        const double ws = w * squared;
        const double wgm = w * g * m;
        t[k] = keep(present, wm);
        t[C + k] = keep(present, ws);
        t[2 * C + k] = keep(present, wgm);
        const double share = w * (g - givenMean);
        // Coordinate by coordinate: u, then w (g - G/K) u, w u and w dx.
        const double u0 = dx0 * inverse;
        const double su0 = keep(present, share * u0), wu0 = keep(present, w * u0), wdx0 = keep(present, w * dx0);
        t[3 * C + k] = su0;
        t[(3 + D) * C + k] = wu0;
        t[(3 + 2 * D) * C + k] = wdx0;
        crossJ0[k] = crossJ0[k] - su0;
        unitJ0[k] = unitJ0[k] - wu0;
        springJ0[k] = springJ0[k] - wdx0;
        const double u1 = dx1 * inverse;
        const double su1 = keep(present, share * u1), wu1 = keep(present, w * u1), wdx1 = keep(present, w * dx1);
        t[4 * C + k] = su1;
        t[(4 + D) * C + k] = wu1;
        t[(4 + 2 * D) * C + k] = wdx1;
        crossJ1[k] = crossJ1[k] - su1;
        unitJ1[k] = unitJ1[k] - wu1;
        springJ1[k] = springJ1[k] - wdx1;
        if constexpr (D == 3) {
            const double u2 = dx2 * inverse;
            const double su2 = keep(present, share * u2), wu2 = keep(present, w * u2),
                         wdx2 = keep(present, w * dx2);
            t[5 * C + k] = su2;
            t[(5 + D) * C + k] = wu2;
            t[(5 + 2 * D) * C + k] = wdx2;
            crossJ2[k] = crossJ2[k] - su2;
            unitJ2[k] = unitJ2[k] - wu2;
            springJ2[k] = springJ2[k] - wdx2;
        }
    }
}

template <int D>
[[gnu::always_inline]] inline void gradientTerms(const GradientChunkInput &in)
{
    constexpr int Last = D - 1;
    gradientTermsOf<D>(in, in.terms, in.given, in.weights, in.columns[0], in.columns[1], in.columns[Last],
                       in.cross[0], in.cross[1], in.cross[Last], in.unit[0], in.unit[1], in.unit[Last],
                       in.spring[0], in.spring[1], in.spring[Last]);
}

template <int D>
void gradientTermsPortable(const GradientChunkInput &in)
{
    gradientTerms<D>(in);
}

#if defined(__x86_64__) || defined(__i386__)
template <int D>
__attribute__((target("avx2"))) void gradientTermsAvx2(const GradientChunkInput &in)
{
    gradientTerms<D>(in);
}

template <int D>
__attribute__((target("avx512f"))) void gradientTermsAvx512(const GradientChunkInput &in)
{
    gradientTerms<D>(in);
}
#endif

template <int D>
void gradientTermsOn(FitPath path, const GradientChunkInput &in)
{
#if defined(__x86_64__) || defined(__i386__)
    if (path == FitPath::Avx512)
        return gradientTermsAvx512<D>(in);
    if (path == FitPath::Avx2)
        return gradientTermsAvx2<D>(in);
#endif
    (void)path;
    gradientTermsPortable<D>(in);
}

} // namespace

double WeightedLayoutFitness(const DistanceData &data, const float *layout)
{
    return WeightedLayoutFitness(data, layout, DefaultFitOptions().path);
}

double WeightedLayoutFitness(const DistanceData &data, const float *layout, FitPath path)
{
    const int n = data.ItemCount;
    if (n == 1)
        return 0.0;
    if (n <= 0)
        throw TessarinError("a fit needs distances: no distance file has been read");
    if (path != FitPath::Portable && !FitPathSupported(path))
        path = FitPath::Portable;
    double sd = 0.0, sdd = 0.0, sdg = 0.0;
    double terms[3 * ScoreChunk];
    ScoreChunkInput in{layout, n, 0, 0, 0, nullptr, data.PairWeights.data(), terms};
    const std::size_t side = static_cast<std::size_t>(n) + 1;
    for (int i = 1; i <= n; ++i) {
        const float *row = data.Distances.data() + static_cast<std::size_t>(i) * side;
        in.i = i;
        for (int from = i + 1; from <= n; from += ScoreChunk) {
            in.from = from;
            in.count = std::min(ScoreChunk, n - from + 1);
            in.given = row + from;
            scoreTermsOn(path, in);
            in.weights += in.count;
            for (int k = 0; k < in.count; ++k) {
                sd = sd + terms[k];
                sdd = sdd + terms[ScoreChunk + k];
                sdg = sdg + terms[2 * ScoreChunk + k];
            }
        }
    }
    return WeightedFitFromSums(data, sd, sdd, sdg);
}

double WeightedFitFromSums(const DistanceData &data, double sd, double sdd, double sdg)
{
    const double k = 2.0 * data.WeightTotal;
    const double vd = sdd - sd * sd / k;
    const double c = sdg - data.WeightedSum * sd / k;
    const double vg = data.WeightedSpread;
    if (vg < 1e-11 || vd < 1e-11)
        return 0.0;
    return c / std::sqrt(vg * vd);
}

WeightedFitGradient::WeightedFitGradient(const DistanceData &data, int dimensions, FitPath path)
    : m_data(data), m_n(std::max(static_cast<int>(data.ItemCount), 0)), m_dimensions(dimensions), m_path(path)
{
    if (dimensions != 2 && dimensions != 3)
        throw TessarinError("a map has 2 or 3 dimensions, not " + std::to_string(dimensions));
    const std::size_t size = static_cast<std::size_t>(dimensions) * static_cast<std::size_t>(m_n);
    m_cross.resize(size);
    m_unit.resize(size);
    m_spring.resize(size);
    m_terms.resize(static_cast<std::size_t>(3 + 3 * dimensions) * GradientChunk);
}

template <int D>
void WeightedFitGradient::sumRows(const double *coords, double smoothing, double *sums)
{
    constexpr int C = GradientChunk;
    const int n = m_n;
    const std::size_t side = static_cast<std::size_t>(n);
    const double k = 2.0 * m_data.WeightTotal;
    double sd = 0.0, sdd = 0.0, sdg = 0.0;
    const float *weight = m_data.PairWeights.data();
    const double *terms = m_terms.data();
    GradientChunkInput in{};
    in.smoothing = smoothing;
    in.givenMean = m_data.WeightedSum / k;
    in.terms = m_terms.data();
    for (int i = 0; i < n; ++i) {
        // Item i's sums: every pair (k, i), k < i, is in them already.
        double cross[D], unit[D], spring[D];
        for (int d = 0; d < D; ++d) {
            const std::size_t a = static_cast<std::size_t>(d) * side + i;
            in.xi[d] = coords[a];
            cross[d] = m_cross[a];
            unit[d] = m_unit[a];
            spring[d] = m_spring[a];
        }
        // Row i + 1 of the table (1-based) holds the given distances.
        const float *row = m_data.Distances.data() + static_cast<std::size_t>(i + 1) * (side + 1) + 1;
        for (int from = i + 1; from < n; from += C) {
            const int count = std::min(C, n - from);
            in.count = count;
            in.given = row + from;
            in.weights = weight;
            for (int d = 0; d < D; ++d) {
                const std::size_t b = static_cast<std::size_t>(d) * side + static_cast<std::size_t>(from);
                in.columns[d] = coords + b;
                in.cross[d] = m_cross.data() + b;
                in.unit[d] = m_unit.data() + b;
                in.spring[d] = m_spring.data() + b;
            }
            gradientTermsOn<D>(m_path, in);
            weight += count;
            for (int p = 0; p < count; ++p) {
                sd = sd + terms[p];
                sdd = sdd + terms[C + p];
                sdg = sdg + terms[2 * C + p];
                for (int d = 0; d < D; ++d) {
                    cross[d] = cross[d] + terms[(3 + d) * C + p];
                    unit[d] = unit[d] + terms[(3 + D + d) * C + p];
                    spring[d] = spring[d] + terms[(3 + 2 * D + d) * C + p];
                }
            }
        }
        for (int d = 0; d < D; ++d) {
            const std::size_t a = static_cast<std::size_t>(d) * side + i;
            m_cross[a] = cross[d];
            m_unit[a] = unit[d];
            m_spring[a] = spring[d];
        }
    }
    sums[0] = sd;
    sums[1] = sdd;
    sums[2] = sdg;
}

double WeightedFitGradient::evaluate(const double *coords, double smoothing, double *gradient)
{
    const std::size_t size = m_cross.size();
    std::fill(gradient, gradient + size, 0.0);
    if (m_n < 2)
        return 0.0;
    std::fill(m_cross.begin(), m_cross.end(), 0.0);
    std::fill(m_unit.begin(), m_unit.end(), 0.0);
    std::fill(m_spring.begin(), m_spring.end(), 0.0);
    double sums[3];
    if (m_dimensions == 3)
        sumRows<3>(coords, smoothing, sums);
    else
        sumRows<2>(coords, smoothing, sums);
    const double sd = sums[0], sdd = sums[1], sdg = sums[2];
    const double k = 2.0 * m_data.WeightTotal;
    const double vg = m_data.WeightedSpread;
    const double vd = sdd - sd * sd / k;
    const double c = sdg - m_data.WeightedSum * sd / k;
    if (!(vg >= 1e-11) || !(vd > 1e-13 * sdd))
        return 0.0;
    const double s = 1.0 / std::sqrt(vg * vd);
    const double beta = c / vd;
    const double meanShare = beta * (sd / k);
    for (std::size_t a = 0; a < size; ++a)
        gradient[a] = s * ((m_cross[a] - beta * m_spring[a]) + meanShare * m_unit[a]);
    return c * s;
}

} // namespace tessarin
