#include "fit/fit_gradient_lanes.h"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
#include <immintrin.h>

// Compiled for any x86-64; only the functions marked with the target
// attribute use AVX2, and they run only after the CPU has been checked.

namespace tessarin::gradientlanes {

namespace {

#define TESSARIN_LANE_TARGET __attribute__((target("avx2")))

// Two registers hold the 8 lanes: pairs j .. j + 3 and j + 4 .. j + 7.
struct Avx2Lanes {
    using Reg = __m256d;
    static constexpr int Width = 4;
    TESSARIN_LANE_TARGET static Reg set1(double v) { return _mm256_set1_pd(v); }
    TESSARIN_LANE_TARGET static Reg zero() { return _mm256_setzero_pd(); }
    TESSARIN_LANE_TARGET static Reg load(const double *p) { return _mm256_loadu_pd(p); }
    TESSARIN_LANE_TARGET static void store(double *p, Reg v) { _mm256_storeu_pd(p, v); }
    TESSARIN_LANE_TARGET static Reg add(Reg a, Reg b) { return _mm256_add_pd(a, b); }
    TESSARIN_LANE_TARGET static Reg sub(Reg a, Reg b) { return _mm256_sub_pd(a, b); }
    TESSARIN_LANE_TARGET static Reg mul(Reg a, Reg b) { return _mm256_mul_pd(a, b); }
    TESSARIN_LANE_TARGET static Reg sqrt(Reg a) { return _mm256_sqrt_pd(a); }
    TESSARIN_LANE_TARGET static Reg inverseApart(Reg m)
    {
        const Reg apart = _mm256_cmp_pd(m, _mm256_setzero_pd(), _CMP_GT_OQ);
        return _mm256_and_pd(apart, _mm256_div_pd(_mm256_set1_pd(1.0), m));
    }
    TESSARIN_LANE_TARGET static Reg loadGiven(const float *p) { return _mm256_cvtps_pd(_mm_loadu_ps(p)); }
};

#include "fit/fit_gradient_rows.inc"

} // namespace

void SumRowsAvx2(const RowRange &range) { sumRowsOf<Avx2Lanes>(range); }

} // namespace tessarin::gradientlanes
