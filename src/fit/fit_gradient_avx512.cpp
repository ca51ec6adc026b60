#include "fit/fit_gradient_lanes.h"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

// Compiled for any x86-64; only the functions marked with the target
// attribute use AVX-512, and they run only after the CPU has been checked.
// The build's -ffp-contract=off keeps every multiplication and addition
// separate although AVX-512F has fused ones.

namespace tessarin::gradientlanes {

namespace {

#define TESSARIN_AVX512 __attribute__((target("avx512f")))

// One register holds the 8 lanes: pairs j .. j + 7 of row i.
template <int D>
TESSARIN_AVX512 void sumRows(const RowRange &r)
{
    const int n = r.itemCount;
    const __m512d smoothing = _mm512_set1_pd(r.smoothing);
    const __m512d givenMean = _mm512_set1_pd(r.givenMean);
    const __m512d one = _mm512_set1_pd(1.0);
    const __m512d zero = _mm512_setzero_pd();
    __m512d sd = _mm512_loadu_pd(r.sumDistance);
    __m512d sdd = _mm512_loadu_pd(r.sumSquare);
    __m512d sdg = _mm512_loadu_pd(r.sumCross);
    const Columns c(r);
    for (int i = r.firstRow; i < r.endRow; ++i) {
        const float *given = r.pairs + PairOffset(n, i);
        __m512d xi[D];
        __m512d rowCross[D];
        __m512d rowUnit[D];
        for (int d = 0; d < D; ++d) {
            xi[d] = _mm512_set1_pd(c.coords[d][i]);
            rowCross[d] = zero;
            rowUnit[d] = zero;
        }
        int j = i + 1;
        for (; j + 8 <= n; j += 8) {
            __m512d dx[D];
            for (int d = 0; d < D; ++d)
                dx[d] = _mm512_sub_pd(xi[d], _mm512_loadu_pd(c.coords[d] + j));
            __m512d squared = _mm512_mul_pd(dx[0], dx[0]);
            for (int d = 1; d < D; ++d)
                squared = _mm512_add_pd(squared, _mm512_mul_pd(dx[d], dx[d]));
            squared = _mm512_add_pd(squared, smoothing);
            const __m512d m = _mm512_sqrt_pd(squared);
            const __mmask8 apart = _mm512_cmp_pd_mask(m, zero, _CMP_GT_OQ);
            const __m512d inverse = _mm512_maskz_div_pd(apart, one, m);
            const __m512d g = _mm512_cvtps_pd(_mm256_loadu_ps(given + (j - i - 1)));
            const __m512d w = _mm512_sub_pd(g, givenMean);
            sd = _mm512_add_pd(sd, m);
            sdd = _mm512_add_pd(sdd, squared);
            sdg = _mm512_add_pd(sdg, _mm512_mul_pd(g, m));
            for (int d = 0; d < D; ++d) {
                const __m512d u = _mm512_mul_pd(dx[d], inverse);
                const __m512d wu = _mm512_mul_pd(w, u);
                rowCross[d] = _mm512_add_pd(rowCross[d], wu);
                rowUnit[d] = _mm512_add_pd(rowUnit[d], u);
                _mm512_storeu_pd(c.cross[d] + j, _mm512_sub_pd(_mm512_loadu_pd(c.cross[d] + j), wu));
                _mm512_storeu_pd(c.unit[d] + j, _mm512_sub_pd(_mm512_loadu_pd(c.unit[d] + j), u));
            }
        }
        double rowCrossLanes[3][8];
        double rowUnitLanes[3][8];
        for (int d = 0; d < D; ++d) {
            _mm512_storeu_pd(rowCrossLanes[d], rowCross[d]);
            _mm512_storeu_pd(rowUnitLanes[d], rowUnit[d]);
        }
        if (j < n) {
            _mm512_storeu_pd(r.sumDistance, sd);
            _mm512_storeu_pd(r.sumSquare, sdd);
            _mm512_storeu_pd(r.sumCross, sdg);
            SumRowTail(r, i, j, rowCrossLanes, rowUnitLanes);
            sd = _mm512_loadu_pd(r.sumDistance);
            sdd = _mm512_loadu_pd(r.sumSquare);
            sdg = _mm512_loadu_pd(r.sumCross);
        }
        for (int d = 0; d < D; ++d) {
            c.cross[d][i] = c.cross[d][i] + LaneSum8(rowCrossLanes[d]);
            c.unit[d][i] = c.unit[d][i] + LaneSum8(rowUnitLanes[d]);
        }
    }
    _mm512_storeu_pd(r.sumDistance, sd);
    _mm512_storeu_pd(r.sumSquare, sdd);
    _mm512_storeu_pd(r.sumCross, sdg);
}

} // namespace

void SumRowsAvx512(const RowRange &range)
{
    if (range.dimensions == 3)
        sumRows<3>(range);
    else
        sumRows<2>(range);
}

} // namespace tessarin::gradientlanes
