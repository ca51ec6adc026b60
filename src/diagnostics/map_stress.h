#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "diagnostics/shepard_grid.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessarin {

/// How much of the pairs the stress measurement keeps for a picture.
struct StressSettings {
    /// Up to this many pairs every pair is kept as a point; above it only the
    /// grid of bins is filled (a table of 16383 items has 134 million pairs).
    std::size_t pointLimit = 20000;
    /// Bins of the grid across (given distance) and up (map distance).
    int gridColumns = 200;
    int gridRows = 150;
    /// Threads to share the pass on; 0 for as many as the machine has (at
    /// most 8), from 2^18 pairs on. Every count gives the same figures.
    unsigned threads = 0;
};

/// One pair of the Shepard diagram.
struct ShepardPoint {
    double given = 0;
    double map = 0;
};

/// How well a map keeps the table's distances. Pairs are visited in row order
/// (i = 1..N, j = i + 1..N) and every sum is kept in double precision; large
/// tables are summed in a fixed set of row blocks, added in row order, so the
/// figures are the same bits on any number of threads.
struct StressFigures {
    int itemCount = 0;
    std::uint64_t pairCount = 0;
    /// The fit measure of the map, the same bits as LayoutFitness gives.
    double fit = 0;
    /// a = sum(g m) / sum(m^2): the uniform scale that brings the map's
    /// distances m closest to the given distances g (0 when all m are 0).
    double scale = 0;
    /// Kruskal's stress-1 after that scale: sqrt(sum (g - a m)^2 / sum g^2);
    /// 0 when all given distances are 0.
    double stress1 = 0;
    /// Share in per cent of item i (at index i - 1) in the squared residuals
    /// (g - a m)^2 of its pairs; each pair counts for both of its items, so
    /// the shares sum to 100. All 0 when the map fits exactly (stress-1 below
    /// 1e-12).
    std::vector<double> pointShares;
    /// The line of the fit measure through the diagram: m = lineSlope * g +
    /// lineIntercept (see map_stress.cpp for where it comes from).
    double lineSlope = 0;
    double lineIntercept = 0;
    /// Extremes over the pairs (0 when there are none).
    double givenLow = 0, givenHigh = 0, mapHigh = 0;
    /// Every pair in row order when there are at most pointLimit of them;
    /// empty otherwise.
    std::vector<ShepardPoint> points;
    /// Every pair counted in a bin.
    ShepardGrid grid;
    /// Under a stress model (see AddModelFigures): its figure's name and
    /// value ("Ordinal stress-1", 0.0253), and its disparities as a path of
    /// (given, disparity) corners in the order of the given distances: the
    /// model's line, or the steps of the monotone regression. Empty names and
    /// path under the fit measure.
    std::string modelName;
    double modelStress = 0;
    std::vector<ShepardPoint> modelPath;
};

/// Measures `layout` (positions 0..2N) against the table in one pass over
/// the pairs (and a scan of the given distances for their range), on up to
/// eight threads from 2^18 pairs on. Throws TessarinError when no table has been read or the layout
/// is not a map of the table's items.
StressFigures MeasureStress(const DistanceData &data, const Layout &layout, const StressSettings &settings = {});

/// The items (1-based) with the largest shares, largest first, at most
/// `count` of them; equal shares in item order. Items with share 0 are left
/// out.
std::vector<int> WorstPlacedItems(const std::vector<double> &pointShares, int count);

} // namespace tessarin
