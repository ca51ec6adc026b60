#include "fit/fit_gradient_lanes.h"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
#include <immintrin.h>

// Compiled for any x86-64; only the functions marked with the target
// attribute use AVX2, and they run only after the CPU has been checked.

namespace tessarin::gradientlanes {

namespace {

#define TESSARIN_AVX2 __attribute__((target("avx2")))

TESSARIN_AVX2 inline void loadSums(const RowRange &r, __m256d *sd, __m256d *sdd, __m256d *sdg)
{
    for (int h = 0; h < 2; ++h) {
        sd[h] = _mm256_loadu_pd(r.sumDistance + 4 * h);
        sdd[h] = _mm256_loadu_pd(r.sumSquare + 4 * h);
        sdg[h] = _mm256_loadu_pd(r.sumCross + 4 * h);
    }
}

TESSARIN_AVX2 inline void storeSums(const RowRange &r, const __m256d *sd, const __m256d *sdd, const __m256d *sdg)
{
    for (int h = 0; h < 2; ++h) {
        _mm256_storeu_pd(r.sumDistance + 4 * h, sd[h]);
        _mm256_storeu_pd(r.sumSquare + 4 * h, sdd[h]);
        _mm256_storeu_pd(r.sumCross + 4 * h, sdg[h]);
    }
}

// Two registers hold the 8 lanes: pairs j .. j + 3 and j + 4 .. j + 7.
template <int D>
TESSARIN_AVX2 void sumRows(const RowRange &r)
{
    const int n = r.itemCount;
    const __m256d smoothing = _mm256_set1_pd(r.smoothing);
    const __m256d givenMean = _mm256_set1_pd(r.givenMean);
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d zero = _mm256_setzero_pd();
    __m256d sd[2], sdd[2], sdg[2];
    loadSums(r, sd, sdd, sdg);
    const Columns c(r);
    for (int i = r.firstRow; i < r.endRow; ++i) {
        const float *given = r.pairs + PairOffset(n, i);
        __m256d xi[D];
        __m256d rowCross[D][2];
        __m256d rowUnit[D][2];
        for (int d = 0; d < D; ++d) {
            xi[d] = _mm256_set1_pd(c.coords[d][i]);
            rowCross[d][0] = rowCross[d][1] = zero;
            rowUnit[d][0] = rowUnit[d][1] = zero;
        }
        int j = i + 1;
        for (; j + 8 <= n; j += 8) {
            for (int h = 0; h < 2; ++h) {
                const int k = j + 4 * h;
                __m256d dx[D];
                for (int d = 0; d < D; ++d)
                    dx[d] = _mm256_sub_pd(xi[d], _mm256_loadu_pd(c.coords[d] + k));
                __m256d squared = _mm256_mul_pd(dx[0], dx[0]);
                for (int d = 1; d < D; ++d)
                    squared = _mm256_add_pd(squared, _mm256_mul_pd(dx[d], dx[d]));
                squared = _mm256_add_pd(squared, smoothing);
                const __m256d m = _mm256_sqrt_pd(squared);
                const __m256d apart = _mm256_cmp_pd(m, zero, _CMP_GT_OQ);
                const __m256d inverse = _mm256_and_pd(apart, _mm256_div_pd(one, m));
                const __m256d g = _mm256_cvtps_pd(_mm_loadu_ps(given + (k - i - 1)));
                const __m256d w = _mm256_sub_pd(g, givenMean);
                sd[h] = _mm256_add_pd(sd[h], m);
                sdd[h] = _mm256_add_pd(sdd[h], squared);
                sdg[h] = _mm256_add_pd(sdg[h], _mm256_mul_pd(g, m));
                for (int d = 0; d < D; ++d) {
                    const __m256d u = _mm256_mul_pd(dx[d], inverse);
                    const __m256d wu = _mm256_mul_pd(w, u);
                    rowCross[d][h] = _mm256_add_pd(rowCross[d][h], wu);
                    rowUnit[d][h] = _mm256_add_pd(rowUnit[d][h], u);
                    _mm256_storeu_pd(c.cross[d] + k, _mm256_sub_pd(_mm256_loadu_pd(c.cross[d] + k), wu));
                    _mm256_storeu_pd(c.unit[d] + k, _mm256_sub_pd(_mm256_loadu_pd(c.unit[d] + k), u));
                }
            }
        }
        double rowCrossLanes[3][8];
        double rowUnitLanes[3][8];
        for (int d = 0; d < D; ++d)
            for (int h = 0; h < 2; ++h) {
                _mm256_storeu_pd(rowCrossLanes[d] + 4 * h, rowCross[d][h]);
                _mm256_storeu_pd(rowUnitLanes[d] + 4 * h, rowUnit[d][h]);
            }
        if (j < n) {
            storeSums(r, sd, sdd, sdg);
            SumRowTail(r, i, j, rowCrossLanes, rowUnitLanes);
            loadSums(r, sd, sdd, sdg);
        }
        for (int d = 0; d < D; ++d) {
            c.cross[d][i] = c.cross[d][i] + LaneSum8(rowCrossLanes[d]);
            c.unit[d][i] = c.unit[d][i] + LaneSum8(rowUnitLanes[d]);
        }
    }
    storeSums(r, sd, sdd, sdg);
}

} // namespace

void SumRowsAvx2(const RowRange &range)
{
    if (range.dimensions == 3)
        sumRows<3>(range);
    else
        sumRows<2>(range);
}

} // namespace tessarin::gradientlanes
