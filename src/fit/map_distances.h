#pragma once

#include <cmath>

namespace tessarin {

// The map distances as the fit measure forms them: coordinate differences in
// single precision, their squares summed in double precision, the root.
// Layouts hold x of item i (1-based) at [i] and y at [N + i].

/// The map distance of items i and j.
inline double MapDistance(const float *layout, int itemCount, int i, int j)
{
    const float dx = layout[i] - layout[j];
    const float dy = layout[itemCount + i] - layout[itemCount + j];
    double squared = static_cast<double>(dx) * dx;
    squared = squared + static_cast<double>(dy) * dy;
    return std::sqrt(squared);
}

/// The map distances of item i to items from .. from + count - 1, into
/// out[0 .. count - 1]: a loop without a running sum, which a file compiled
/// with -O3 and -fno-math-errno turns into vector instructions.
inline void RowMapDistances(const float *layout, int itemCount, int i, int from, int count, double *out)
{
    const float xi = layout[i];
    const float yi = layout[itemCount + i];
    const float *x = layout + from;
    const float *y = layout + itemCount + from;
    for (int k = 0; k < count; ++k) {
        const float dx = xi - x[k];
        const float dy = yi - y[k];
        double squared = static_cast<double>(dx) * dx;
        squared = squared + static_cast<double>(dy) * dy;
        out[k] = std::sqrt(squared);
    }
}

} // namespace tessarin
