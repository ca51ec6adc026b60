#include "fit/fit_kernel_lanes.h"
#include "fit/fit_kernel_probe.h"

#include <immintrin.h>

// Compiled for any x86-64; only the functions marked with the target
// attribute use AVX2, and they run only after the CPU has been checked.

namespace tessarin {

namespace {

#define TESSARIN_AVX2 __attribute__((target("avx2")))

/// One 4-lane group of sums, kept in pair order.
struct Sums4 {
    __m256d sd;
    __m256d sdd;
    __m256d sdg;
};

TESSARIN_AVX2 inline void addPair(Sums4 &s, __m128 dx, __m128 dy, __m256d g)
{
    const __m256d dxd = _mm256_cvtps_pd(dx);
    const __m256d dyd = _mm256_cvtps_pd(dy);
    __m256d squared = _mm256_mul_pd(dxd, dxd);
    squared = _mm256_add_pd(squared, _mm256_mul_pd(dyd, dyd));
    const __m256d m = _mm256_sqrt_pd(squared);
    s.sd = _mm256_add_pd(s.sd, m);
    s.sdd = _mm256_add_pd(s.sdd, _mm256_mul_pd(m, m));
    s.sdg = _mm256_add_pd(s.sdg, _mm256_mul_pd(g, m));
}

TESSARIN_AVX2 inline void store(const Sums4 &s, const fitlanes::LaneInput &in, int first)
{
    _mm256_storeu_pd(in.sd + first, s.sd);
    _mm256_storeu_pd(in.sdd + first, s.sdd);
    _mm256_storeu_pd(in.sdg + first, s.sdg);
}

TESSARIN_AVX2 void sumLanes8(const fitlanes::LaneInput &in)
{
    const int n = in.itemCount;
    Sums4 low{_mm256_setzero_pd(), _mm256_setzero_pd(), _mm256_setzero_pd()};
    Sums4 high = low;
    const float *given = in.pairs;
    for (int i = 1; i <= n; ++i) {
        const __m256 xi = _mm256_loadu_ps(in.x + static_cast<long>(i - 1) * 8);
        const __m256 yi = _mm256_loadu_ps(in.y + static_cast<long>(i - 1) * 8);
        for (int j = i + 1; j <= n; ++j) {
            const __m256 dx = _mm256_sub_ps(xi, _mm256_loadu_ps(in.x + static_cast<long>(j - 1) * 8));
            const __m256 dy = _mm256_sub_ps(yi, _mm256_loadu_ps(in.y + static_cast<long>(j - 1) * 8));
            const __m256d g = _mm256_set1_pd(static_cast<double>(*given++));
            addPair(low, _mm256_castps256_ps128(dx), _mm256_castps256_ps128(dy), g);
            addPair(high, _mm256_extractf128_ps(dx, 1), _mm256_extractf128_ps(dy, 1), g);
        }
    }
    store(low, in, 0);
    store(high, in, 4);
}

TESSARIN_AVX2 void sumLanes4(const fitlanes::LaneInput &in)
{
    const int n = in.itemCount;
    Sums4 sums{_mm256_setzero_pd(), _mm256_setzero_pd(), _mm256_setzero_pd()};
    const float *given = in.pairs;
    for (int i = 1; i <= n; ++i) {
        const __m128 xi = _mm_loadu_ps(in.x + static_cast<long>(i - 1) * 4);
        const __m128 yi = _mm_loadu_ps(in.y + static_cast<long>(i - 1) * 4);
        for (int j = i + 1; j <= n; ++j) {
            const __m128 dx = _mm_sub_ps(xi, _mm_loadu_ps(in.x + static_cast<long>(j - 1) * 4));
            const __m128 dy = _mm_sub_ps(yi, _mm_loadu_ps(in.y + static_cast<long>(j - 1) * 4));
            addPair(sums, dx, dy, _mm256_set1_pd(static_cast<double>(*given++)));
        }
    }
    store(sums, in, 0);
}

} // namespace

void fitlanes::SumLanesAvx2(const LaneInput &in, int lanes)
{
    if (lanes == 8)
        sumLanes8(in);
    else
        sumLanes4(in);
}

__attribute__((target("avx2,fma"))) double fitprobe::MultiplyAddAvx2(double a, double b, double c)
{
    const __m256d product = _mm256_mul_pd(_mm256_set1_pd(a), _mm256_set1_pd(b));
    return _mm256_cvtsd_f64(_mm256_add_pd(product, _mm256_set1_pd(c)));
}

} // namespace tessarin
