#pragma once

#include "data/distance_data.h"
#include "data/layout.h"

namespace tessarin {

/// The fit of a map: B(m, g) / sqrt(B(g, g) * B(m, m)) with
/// B(a, b) = sum ab - (sum a)(sum b) / (N (N - 1)) over the pairs i < j,
/// m the straight-line map distances and g the given distances. 1 means the
/// map distances are proportional to the given ones; 0 for N = 1 or when the
/// map or the given distances have no spread.
///
/// `layout` points at position 0 of a layout with positions up to 2N.
/// Pairs are visited row by row and every sum accumulates in that order, so
/// the result is the same bit for bit on every build.
/// Throws TessarinError when N is 0.
double LayoutFitness(const DistanceData &data, const float *layout);

/// The fit from the three sums over the pairs, in pair order: Sd (map
/// distances), Sdd (their squares) and Sdg (map times given distance). Every
/// way of forming the sums ends here, so all give the same bits.
double FitFromSums(const DistanceData &data, double sd, double sdd, double sdg);

inline double LayoutFitness(const DistanceData &data, const Layout &layout)
{
    return LayoutFitness(data, layout.data());
}

} // namespace tessarin
