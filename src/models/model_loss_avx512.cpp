#include "models/model_loss_lanes.h"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

// Compiled for any x86-64; only the functions marked with the target
// attribute use AVX-512, and they run only after the CPU has been checked.
// The build's -ffp-contract=off keeps every multiplication and addition
// separate although AVX-512F has fused ones. Each lane does the portable
// path's operations in its order.

namespace tessarin::modellanes {

namespace {

#define TESSARIN_AVX512 __attribute__((target("avx512f")))

// One register holds the 8 lanes: pairs j .. j + 7 of row i.
template <int D, Weight Unit, Weight Spread>
struct Avx512 {
    TESSARIN_AVX512 static void run(const RowRange &r)
    {
        const int n = r.itemCount;
        const __m512d one = _mm512_set1_pd(1.0);
        const __m512d zero = _mm512_setzero_pd();
        __m512d sumTargetMap = _mm512_loadu_pd(r.sumTargetMap);
        __m512d sumUnitMap = _mm512_loadu_pd(r.sumUnitMap);
        __m512d sumSquare = _mm512_loadu_pd(r.sumSquare);
        const Columns c(r);
        for (int i = r.firstRow; i < r.endRow; ++i) {
            const long offset = PairOffset(n, i) - (i + 1);
            __m512d xi[D];
            __m512d rowTarget[D], rowUnit[D], rowSpread[D];
            for (int d = 0; d < D; ++d) {
                xi[d] = _mm512_set1_pd(c.coords[d][i]);
                rowTarget[d] = zero;
                rowUnit[d] = zero;
                rowSpread[d] = zero;
            }
            int j = i + 1;
            for (; j + 8 <= n; j += 8) {
                const long p = offset + j;
                __m512d dx[D];
                for (int d = 0; d < D; ++d)
                    dx[d] = _mm512_sub_pd(xi[d], _mm512_loadu_pd(c.coords[d] + j));
                __m512d squared = _mm512_mul_pd(dx[0], dx[0]);
                for (int d = 1; d < D; ++d)
                    squared = _mm512_add_pd(squared, _mm512_mul_pd(dx[d], dx[d]));
                const __m512d m = _mm512_sqrt_pd(squared);
                const __mmask8 apart = _mm512_cmp_pd_mask(m, zero, _CMP_GT_OQ);
                const __m512d inverse = _mm512_maskz_div_pd(apart, one, m);
                const __m512d t = _mm512_loadu_pd(r.target + p);
                sumTargetMap = _mm512_add_pd(sumTargetMap, _mm512_mul_pd(t, m));
                __m512d t0 = one;
                if constexpr (Unit == Weight::Array)
                    t0 = _mm512_loadu_pd(r.unitWeight + p);
                if constexpr (Unit != Weight::Absent)
                    sumUnitMap = _mm512_add_pd(sumUnitMap, _mm512_mul_pd(t0, m));
                __m512d v = one;
                if constexpr (Spread == Weight::Array)
                    v = _mm512_loadu_pd(r.spreadWeight + p);
                sumSquare = _mm512_add_pd(sumSquare, _mm512_mul_pd(v, squared));
                for (int d = 0; d < D; ++d) {
                    const __m512d u = _mm512_mul_pd(dx[d], inverse);
                    const __m512d tu = _mm512_mul_pd(t, u);
                    rowTarget[d] = _mm512_add_pd(rowTarget[d], tu);
                    _mm512_storeu_pd(c.targetSum[d] + j, _mm512_sub_pd(_mm512_loadu_pd(c.targetSum[d] + j), tu));
                    if constexpr (Unit != Weight::Absent) {
                        const __m512d t0u = _mm512_mul_pd(t0, u);
                        rowUnit[d] = _mm512_add_pd(rowUnit[d], t0u);
                        _mm512_storeu_pd(c.unitSum[d] + j, _mm512_sub_pd(_mm512_loadu_pd(c.unitSum[d] + j), t0u));
                    }
                    const __m512d vdx = _mm512_mul_pd(v, dx[d]);
                    rowSpread[d] = _mm512_add_pd(rowSpread[d], vdx);
                    _mm512_storeu_pd(c.spreadSum[d] + j, _mm512_sub_pd(_mm512_loadu_pd(c.spreadSum[d] + j), vdx));
                }
            }
            RowLanes lanes;
            for (int d = 0; d < D; ++d) {
                _mm512_storeu_pd(lanes.target[d], rowTarget[d]);
                _mm512_storeu_pd(lanes.unit[d], rowUnit[d]);
                _mm512_storeu_pd(lanes.spread[d], rowSpread[d]);
            }
            if (j < n) {
                _mm512_storeu_pd(r.sumTargetMap, sumTargetMap);
                _mm512_storeu_pd(r.sumUnitMap, sumUnitMap);
                _mm512_storeu_pd(r.sumSquare, sumSquare);
                SumRowTail(r, i, j, lanes);
                sumTargetMap = _mm512_loadu_pd(r.sumTargetMap);
                sumUnitMap = _mm512_loadu_pd(r.sumUnitMap);
                sumSquare = _mm512_loadu_pd(r.sumSquare);
            }
            AddRowLanes<D, Unit>(c, i, lanes);
        }
        _mm512_storeu_pd(r.sumTargetMap, sumTargetMap);
        _mm512_storeu_pd(r.sumUnitMap, sumUnitMap);
        _mm512_storeu_pd(r.sumSquare, sumSquare);
    }
};

} // namespace

void SumRowsAvx512(const RowRange &range) { Dispatch<Avx512>(range); }

} // namespace tessarin::modellanes
