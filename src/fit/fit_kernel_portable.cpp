#include "fit/fit_kernel_lanes.h"
#include "fit/fit_kernel_probe.h"

#include <cmath>

namespace tessarin {

namespace {

// Plain C++; the compiler may run the lanes in vector registers, which keeps
// each lane's order of operations.

/// Lane t's map distance of the items at xi, yi and xj, yj, as LayoutFitness
/// takes it: differences in single precision, the rest in double.
inline double laneDistance(const float *xi, const float *yi, const float *xj, const float *yj, int t)
{
    const float dx = xi[t] - xj[t];
    const float dy = yi[t] - yj[t];
    double squared = static_cast<double>(dx) * dx;
    squared = squared + static_cast<double>(dy) * dy;
    return std::sqrt(squared);
}

template <int Lanes>
void sumWeightedLanes(const fitlanes::LaneInput &in)
{
    const int n = in.itemCount;
    double sd[Lanes] = {};
    double sdd[Lanes] = {};
    double sdg[Lanes] = {};
    const float *given = in.pairs;
    const float *weight = in.weights;
    for (int i = 1; i <= n; ++i) {
        const float *xi = in.x + static_cast<long>(i - 1) * Lanes;
        const float *yi = in.y + static_cast<long>(i - 1) * Lanes;
        for (int j = i + 1; j <= n; ++j, ++given, ++weight) {
            if (*weight == 0.0f)
                continue;
            const float *xj = in.x + static_cast<long>(j - 1) * Lanes;
            const float *yj = in.y + static_cast<long>(j - 1) * Lanes;
            const double w = *weight;
            const double g = *given;
            for (int t = 0; t < Lanes; ++t) {
                const double m = laneDistance(xi, yi, xj, yj, t);
                const double wm = w * m;
                sd[t] = sd[t] + wm;
                sdd[t] = sdd[t] + wm * m;
                sdg[t] = sdg[t] + wm * g;
            }
        }
    }
    for (int t = 0; t < Lanes; ++t) {
        in.sd[t] = sd[t];
        in.sdd[t] = sdd[t];
        in.sdg[t] = sdg[t];
    }
}

template <int Lanes>
void sumLanes(const fitlanes::LaneInput &in)
{
    if (in.weights)
        return sumWeightedLanes<Lanes>(in);
    const int n = in.itemCount;
    double sd[Lanes] = {};
    double sdd[Lanes] = {};
    double sdg[Lanes] = {};
    const float *given = in.pairs;
    for (int i = 1; i <= n; ++i) {
        const float *xi = in.x + static_cast<long>(i - 1) * Lanes;
        const float *yi = in.y + static_cast<long>(i - 1) * Lanes;
        for (int j = i + 1; j <= n; ++j) {
            const float *xj = in.x + static_cast<long>(j - 1) * Lanes;
            const float *yj = in.y + static_cast<long>(j - 1) * Lanes;
            const double g = *given++;
            for (int t = 0; t < Lanes; ++t) {
                const double m = laneDistance(xi, yi, xj, yj, t);
                sd[t] = sd[t] + m;
                sdd[t] = sdd[t] + m * m;
                sdg[t] = sdg[t] + g * m;
            }
        }
    }
    for (int t = 0; t < Lanes; ++t) {
        in.sd[t] = sd[t];
        in.sdd[t] = sdd[t];
        in.sdg[t] = sdg[t];
    }
}

} // namespace

void fitlanes::SumLanesPortable(const LaneInput &in, int lanes)
{
    if (lanes == 8)
        sumLanes<8>(in);
    else
        sumLanes<4>(in);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("fma")))
#endif
double fitprobe::MultiplyAddPortable(double a, double b, double c)
{
    return a * b + c;
}

} // namespace tessarin
