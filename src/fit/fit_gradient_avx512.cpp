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

#define TESSARIN_LANE_TARGET __attribute__((target("avx512f")))

// One register holds the 8 lanes: pairs j .. j + 7 of row i.
struct Avx512Lanes {
    using Reg = __m512d;
    static constexpr int Width = 8;
    TESSARIN_LANE_TARGET static Reg set1(double v) { return _mm512_set1_pd(v); }
    TESSARIN_LANE_TARGET static Reg zero() { return _mm512_setzero_pd(); }
    TESSARIN_LANE_TARGET static Reg load(const double *p) { return _mm512_loadu_pd(p); }
    TESSARIN_LANE_TARGET static void store(double *p, Reg v) { _mm512_storeu_pd(p, v); }
    TESSARIN_LANE_TARGET static Reg add(Reg a, Reg b) { return _mm512_add_pd(a, b); }
    TESSARIN_LANE_TARGET static Reg sub(Reg a, Reg b) { return _mm512_sub_pd(a, b); }
    TESSARIN_LANE_TARGET static Reg mul(Reg a, Reg b) { return _mm512_mul_pd(a, b); }
    TESSARIN_LANE_TARGET static Reg sqrt(Reg a) { return _mm512_sqrt_pd(a); }
    TESSARIN_LANE_TARGET static Reg inverseApart(Reg m)
    {
        const __mmask8 apart = _mm512_cmp_pd_mask(m, _mm512_setzero_pd(), _CMP_GT_OQ);
        return _mm512_maskz_div_pd(apart, _mm512_set1_pd(1.0), m);
    }
    TESSARIN_LANE_TARGET static Reg loadGiven(const float *p) { return _mm512_cvtps_pd(_mm256_loadu_ps(p)); }
};

#include "fit/fit_gradient_rows.inc"

} // namespace

void SumRowsAvx512(const RowRange &range) { sumRowsOf<Avx512Lanes>(range); }

} // namespace tessarin::gradientlanes
