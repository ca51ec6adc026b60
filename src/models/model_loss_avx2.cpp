#include "models/model_loss_lanes.h"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
#include <immintrin.h>

// Compiled for any x86-64; only the functions marked with the target
// attribute use AVX2, and they run only after the CPU has been checked.
// Each lane does the portable path's operations in its order.

namespace tessarin::modellanes {

namespace {

#define TESSARIN_AVX2 __attribute__((target("avx2")))

TESSARIN_AVX2 inline void loadSums(const RowRange &r, __m256d *targetMap, __m256d *unitMap, __m256d *square)
{
    for (int h = 0; h < 2; ++h) {
        targetMap[h] = _mm256_loadu_pd(r.sumTargetMap + 4 * h);
        unitMap[h] = _mm256_loadu_pd(r.sumUnitMap + 4 * h);
        square[h] = _mm256_loadu_pd(r.sumSquare + 4 * h);
    }
}

TESSARIN_AVX2 inline void storeSums(const RowRange &r, const __m256d *targetMap, const __m256d *unitMap,
                                    const __m256d *square)
{
    for (int h = 0; h < 2; ++h) {
        _mm256_storeu_pd(r.sumTargetMap + 4 * h, targetMap[h]);
        _mm256_storeu_pd(r.sumUnitMap + 4 * h, unitMap[h]);
        _mm256_storeu_pd(r.sumSquare + 4 * h, square[h]);
    }
}

// Two registers hold the 8 lanes: pairs j .. j + 3 and j + 4 .. j + 7.
template <int D, Weight Unit, Weight Spread>
struct Avx2 {
    TESSARIN_AVX2 static void run(const RowRange &r)
    {
        const int n = r.itemCount;
        const __m256d one = _mm256_set1_pd(1.0);
        const __m256d zero = _mm256_setzero_pd();
        __m256d sumTargetMap[2], sumUnitMap[2], sumSquare[2];
        loadSums(r, sumTargetMap, sumUnitMap, sumSquare);
        const Columns c(r);
        for (int i = r.firstRow; i < r.endRow; ++i) {
            const long offset = PairOffset(n, i) - (i + 1);
            __m256d xi[D];
            __m256d rowTarget[D][2], rowUnit[D][2], rowSpread[D][2];
            for (int d = 0; d < D; ++d) {
                xi[d] = _mm256_set1_pd(c.coords[d][i]);
                rowTarget[d][0] = rowTarget[d][1] = zero;
                rowUnit[d][0] = rowUnit[d][1] = zero;
                rowSpread[d][0] = rowSpread[d][1] = zero;
            }
            int j = i + 1;
            for (; j + 8 <= n; j += 8) {
                for (int h = 0; h < 2; ++h) {
                    const int k = j + 4 * h;
                    const long p = offset + k;
                    __m256d dx[D];
                    for (int d = 0; d < D; ++d)
                        dx[d] = _mm256_sub_pd(xi[d], _mm256_loadu_pd(c.coords[d] + k));
                    __m256d squared = _mm256_mul_pd(dx[0], dx[0]);
                    for (int d = 1; d < D; ++d)
                        squared = _mm256_add_pd(squared, _mm256_mul_pd(dx[d], dx[d]));
                    const __m256d m = _mm256_sqrt_pd(squared);
                    const __m256d apart = _mm256_cmp_pd(m, zero, _CMP_GT_OQ);
                    const __m256d inverse = _mm256_and_pd(apart, _mm256_div_pd(one, m));
                    const __m256d t = _mm256_loadu_pd(r.target + p);
                    sumTargetMap[h] = _mm256_add_pd(sumTargetMap[h], _mm256_mul_pd(t, m));
                    __m256d t0 = one;
                    if constexpr (Unit == Weight::Array)
                        t0 = _mm256_loadu_pd(r.unitWeight + p);
                    if constexpr (Unit != Weight::Absent)
                        sumUnitMap[h] = _mm256_add_pd(sumUnitMap[h], _mm256_mul_pd(t0, m));
                    __m256d v = one;
                    if constexpr (Spread == Weight::Array)
                        v = _mm256_loadu_pd(r.spreadWeight + p);
                    sumSquare[h] = _mm256_add_pd(sumSquare[h], _mm256_mul_pd(v, squared));
                    for (int d = 0; d < D; ++d) {
                        const __m256d u = _mm256_mul_pd(dx[d], inverse);
                        const __m256d tu = _mm256_mul_pd(t, u);
                        rowTarget[d][h] = _mm256_add_pd(rowTarget[d][h], tu);
                        _mm256_storeu_pd(c.targetSum[d] + k, _mm256_sub_pd(_mm256_loadu_pd(c.targetSum[d] + k), tu));
                        if constexpr (Unit != Weight::Absent) {
                            const __m256d t0u = _mm256_mul_pd(t0, u);
                            rowUnit[d][h] = _mm256_add_pd(rowUnit[d][h], t0u);
                            _mm256_storeu_pd(c.unitSum[d] + k, _mm256_sub_pd(_mm256_loadu_pd(c.unitSum[d] + k), t0u));
                        }
                        const __m256d vdx = _mm256_mul_pd(v, dx[d]);
                        rowSpread[d][h] = _mm256_add_pd(rowSpread[d][h], vdx);
                        _mm256_storeu_pd(c.spreadSum[d] + k, _mm256_sub_pd(_mm256_loadu_pd(c.spreadSum[d] + k), vdx));
                    }
                }
            }
            RowLanes lanes;
            for (int d = 0; d < D; ++d)
                for (int h = 0; h < 2; ++h) {
                    _mm256_storeu_pd(lanes.target[d] + 4 * h, rowTarget[d][h]);
                    _mm256_storeu_pd(lanes.unit[d] + 4 * h, rowUnit[d][h]);
                    _mm256_storeu_pd(lanes.spread[d] + 4 * h, rowSpread[d][h]);
                }
            if (j < n) {
                storeSums(r, sumTargetMap, sumUnitMap, sumSquare);
                SumRowTail(r, i, j, lanes);
                loadSums(r, sumTargetMap, sumUnitMap, sumSquare);
            }
            AddRowLanes<D, Unit>(c, i, lanes);
        }
        storeSums(r, sumTargetMap, sumUnitMap, sumSquare);
    }
};

} // namespace

void SumRowsAvx2(const RowRange &range) { Dispatch<Avx2>(range); }

} // namespace tessarin::modellanes
