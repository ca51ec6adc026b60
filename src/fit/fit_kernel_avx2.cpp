#include "fit/fit_kernel_lanes.h"
#include "fit/fit_kernel_probe.h"

#include <immintrin.h>

// Compiled for any x86-64; only the functions marked with the target
// attribute use AVX2, and they run only after the CPU has been checked.

namespace tessarin {

namespace {

#define TESSARIN_LANE_TARGET __attribute__((target("avx2")))

// 4 lanes a register: a group of 8 trials takes two.
struct Avx2Lanes {
    using Reg = __m256d;
    using Floats = __m128;
    static constexpr int Width = 4;
    TESSARIN_LANE_TARGET static Reg zero() { return _mm256_setzero_pd(); }
    TESSARIN_LANE_TARGET static Reg set1(double v) { return _mm256_set1_pd(v); }
    TESSARIN_LANE_TARGET static Reg add(Reg a, Reg b) { return _mm256_add_pd(a, b); }
    TESSARIN_LANE_TARGET static Reg mul(Reg a, Reg b) { return _mm256_mul_pd(a, b); }
    TESSARIN_LANE_TARGET static Reg sqrt(Reg a) { return _mm256_sqrt_pd(a); }
    TESSARIN_LANE_TARGET static void store(double *p, Reg v) { _mm256_storeu_pd(p, v); }
    TESSARIN_LANE_TARGET static Floats loadFloats(const float *p) { return _mm_loadu_ps(p); }
    TESSARIN_LANE_TARGET static Floats subFloats(Floats a, Floats b) { return _mm_sub_ps(a, b); }
    TESSARIN_LANE_TARGET static Reg widen(Floats f) { return _mm256_cvtps_pd(f); }
};

#include "fit/fit_kernel_lanes.inc"

} // namespace

void fitlanes::SumLanesAvx2(const LaneInput &in, int lanes)
{
    if (lanes == 8)
        sumLanesWith<Avx2Lanes, 8>(in);
    else
        sumLanesWith<Avx2Lanes, 4>(in);
}

__attribute__((target("avx2,fma"))) double fitprobe::MultiplyAddAvx2(double a, double b, double c)
{
    const __m256d product = _mm256_mul_pd(_mm256_set1_pd(a), _mm256_set1_pd(b));
    return _mm256_cvtsd_f64(_mm256_add_pd(product, _mm256_set1_pd(c)));
}

} // namespace tessarin
