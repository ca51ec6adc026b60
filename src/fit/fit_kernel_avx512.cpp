#include "fit/fit_kernel_lanes.h"
#include "fit/fit_kernel_probe.h"

// g++ 12's AVX-512 header warns falsely about its own undefined-value
// helpers once they are inlined (its bug 105593); nothing here reads an
// undefined lane.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

// Compiled for any x86-64; only the functions marked with the target
// attribute use AVX-512, and they run only after the CPU has been checked.
// AVX-512F brings FMA with it, so these functions depend on the build's
// -ffp-contract=off to keep each multiplication and addition separate.

namespace tessarin {

namespace {

#define TESSARIN_AVX512 __attribute__((target("avx512f")))
#define TESSARIN_LANE_TARGET TESSARIN_AVX512

// 8 lanes: one 512-bit register holds one pair of all 8 trials.
struct Avx512Lanes {
    using Reg = __m512d;
    using Floats = __m256;
    static constexpr int Width = 8;
    TESSARIN_LANE_TARGET static Reg zero() { return _mm512_setzero_pd(); }
    TESSARIN_LANE_TARGET static Reg set1(double v) { return _mm512_set1_pd(v); }
    TESSARIN_LANE_TARGET static Reg add(Reg a, Reg b) { return _mm512_add_pd(a, b); }
    TESSARIN_LANE_TARGET static Reg mul(Reg a, Reg b) { return _mm512_mul_pd(a, b); }
    TESSARIN_LANE_TARGET static Reg sqrt(Reg a) { return _mm512_sqrt_pd(a); }
    TESSARIN_LANE_TARGET static void store(double *p, Reg v) { _mm512_storeu_pd(p, v); }
    TESSARIN_LANE_TARGET static Floats loadFloats(const float *p) { return _mm256_loadu_ps(p); }
    TESSARIN_LANE_TARGET static Floats subFloats(Floats a, Floats b) { return _mm256_sub_ps(a, b); }
    TESSARIN_LANE_TARGET static Reg widen(Floats f) { return _mm512_cvtps_pd(f); }
};

#include "fit/fit_kernel_lanes.inc"

// 4 lanes of 256 bits, for a group of 4 weighted trials: their pairs of
// weight 0 are skipped one by one, so the two-pair register below does not
// serve them.
#include "fit/fit_kernel_lanes_256.inc"
using Avx512QuarterLanes = Lanes256;

/// Map distances of items j and j + 1 (8 floats at xj, yj) to item i in 4
/// lanes (xi, yi repeated twice).
TESSARIN_AVX512 inline __m512d distances(__m256 xi, __m256 yi, const float *xj, const float *yj)
{
    const __m512d dxd = _mm512_cvtps_pd(_mm256_sub_ps(xi, _mm256_loadu_ps(xj)));
    const __m512d dyd = _mm512_cvtps_pd(_mm256_sub_ps(yi, _mm256_loadu_ps(yj)));
    __m512d squared = _mm512_mul_pd(dxd, dxd);
    squared = _mm512_add_pd(squared, _mm512_mul_pd(dyd, dyd));
    return _mm512_sqrt_pd(squared);
}

// 4 lanes: the low half of a 512-bit register holds pair p of the 4 trials,
// the high half pair p + 1 of the same row, so one square root instruction
// still serves 8 distances. The halves are then added one after the other,
// pair p first, which keeps every lane's sums in pair order.
TESSARIN_AVX512 void sumLanes4(const fitlanes::LaneInput &in)
{
    const int n = in.itemCount;
    __m256d sd = _mm256_setzero_pd();
    __m256d sdd = _mm256_setzero_pd();
    __m256d sdg = _mm256_setzero_pd();
    const __m512i twoPairs = _mm512_set_epi64(1, 1, 1, 1, 0, 0, 0, 0);
    const float *given = in.pairs;
    for (int i = 1; i <= n; ++i) {
        const __m256 xi = _mm256_broadcast_ps(reinterpret_cast<const __m128 *>(in.x + static_cast<long>(i - 1) * 4));
        const __m256 yi = _mm256_broadcast_ps(reinterpret_cast<const __m128 *>(in.y + static_cast<long>(i - 1) * 4));
        int j = i + 1;
        for (; j + 1 <= n; j += 2) {
            // items j and j + 1 are next to each other: 8 floats
            const __m512d m = distances(xi, yi, in.x + static_cast<long>(j - 1) * 4, in.y + static_cast<long>(j - 1) * 4);
            const __m128d g2 = _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(given))));
            given += 2;
            const __m512d g = _mm512_permutexvar_pd(twoPairs, _mm512_castpd128_pd512(g2));
            const __m512d mm = _mm512_mul_pd(m, m);
            const __m512d gm = _mm512_mul_pd(g, m);
            sd = _mm256_add_pd(sd, _mm512_castpd512_pd256(m));
            sd = _mm256_add_pd(sd, _mm512_extractf64x4_pd(m, 1));
            sdd = _mm256_add_pd(sdd, _mm512_castpd512_pd256(mm));
            sdd = _mm256_add_pd(sdd, _mm512_extractf64x4_pd(mm, 1));
            sdg = _mm256_add_pd(sdg, _mm512_castpd512_pd256(gm));
            sdg = _mm256_add_pd(sdg, _mm512_extractf64x4_pd(gm, 1));
        }
        if (j <= n) {
            // the last pair of a row with an odd count
            const __m128 dx = _mm_sub_ps(_mm256_castps256_ps128(xi), _mm_loadu_ps(in.x + static_cast<long>(j - 1) * 4));
            const __m128 dy = _mm_sub_ps(_mm256_castps256_ps128(yi), _mm_loadu_ps(in.y + static_cast<long>(j - 1) * 4));
            const __m256d dxd = _mm256_cvtps_pd(dx);
            const __m256d dyd = _mm256_cvtps_pd(dy);
            __m256d squared = _mm256_mul_pd(dxd, dxd);
            squared = _mm256_add_pd(squared, _mm256_mul_pd(dyd, dyd));
            const __m256d m = _mm256_sqrt_pd(squared);
            const __m256d g = _mm256_set1_pd(static_cast<double>(*given++));
            sd = _mm256_add_pd(sd, m);
            sdd = _mm256_add_pd(sdd, _mm256_mul_pd(m, m));
            sdg = _mm256_add_pd(sdg, _mm256_mul_pd(g, m));
        }
    }
    _mm256_storeu_pd(in.sd, sd);
    _mm256_storeu_pd(in.sdd, sdd);
    _mm256_storeu_pd(in.sdg, sdg);
}

} // namespace

void fitlanes::SumLanesAvx512(const LaneInput &in, int lanes)
{
    if (lanes == 8)
        sumLanesWith<Avx512Lanes, 8>(in);
    else if (in.weights)
        sumWeightedLanesWith<Avx512QuarterLanes, 4>(in);
    else
        sumLanes4(in);
}

TESSARIN_AVX512 double fitprobe::MultiplyAddAvx512(double a, double b, double c)
{
    const __m512d product = _mm512_mul_pd(_mm512_set1_pd(a), _mm512_set1_pd(b));
    return _mm512_cvtsd_f64(_mm512_add_pd(product, _mm512_set1_pd(c)));
}

} // namespace tessarin
