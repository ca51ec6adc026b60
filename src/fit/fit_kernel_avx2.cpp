#include "fit/fit_kernel_lanes.h"
#include "fit/fit_kernel_probe.h"

#include <immintrin.h>

// Compiled for any x86-64; only the functions marked with the target
// attribute use AVX2, and they run only after the CPU has been checked.

namespace tessarin {

namespace {

#define TESSARIN_LANE_TARGET __attribute__((target("avx2")))

// 4 lanes a register: a group of 8 trials takes two.
#include "fit/fit_kernel_lanes_256.inc"
using Avx2Lanes = Lanes256;

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
