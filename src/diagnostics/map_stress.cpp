#include "diagnostics/map_stress.h"

#include "data/layout_fitness.h"
#include "data/tessarin_error.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>

namespace tessarin {

namespace {

// The map distance of items i and j exactly as the fit measure forms it.
inline double mapDistance(const float *layout, int n, int i, int j)
{
    const float dx = layout[i] - layout[j];
    const float dy = layout[n + i] - layout[n + j];
    double squared = static_cast<double>(dx) * dx;
    squared = squared + static_cast<double>(dy) * dy;
    return std::sqrt(squared);
}

// A provisional scale from row 1 and the pairs (i, i + 1): O(N) pairs. The
// pass sums the residuals about it, and the exact scale corrects them at the
// end; starting near the answer keeps the correction small, so a nearly
// perfect map loses no digits to cancellation.
double provisionalScale(const DistanceData &data, const float *layout)
{
    const int n = data.ItemCount;
    double gm = 0, mm = 0;
    auto take = [&](int i, int j) {
        const double m = mapDistance(layout, n, i, j);
        gm = gm + data.distance(i, j) * m;
        mm = mm + m * m;
    };
    for (int j = 2; j <= n; ++j)
        take(1, j);
    for (int i = 2; i < n; ++i)
        take(i, i + 1);
    return mm > 0 ? gm / mm : 0.0;
}

} // namespace

StressFigures MeasureStress(const DistanceData &data, const Layout &layout, const StressSettings &settings)
{
    const int n = data.ItemCount;
    if (n < 1 || data.Distances.size() < static_cast<std::size_t>(n + 1) * (n + 1))
        throw TessarinError("stress needs distances: no distance file has been read");
    if (layout.size() < 2 * static_cast<std::size_t>(n) + 1)
        throw TessarinError("the map holds " + std::to_string(layout.size() / 2) + " items, the table " +
                            std::to_string(n));
    const float *xy = layout.data();
    const std::size_t side = static_cast<std::size_t>(n) + 1;

    StressFigures figures;
    figures.itemCount = n;
    figures.pairCount = static_cast<std::uint64_t>(n) * (n - 1) / 2;
    figures.pointShares.assign(static_cast<std::size_t>(n), 0.0);

    // The grid needs its extent before the pass: the given distances' range
    // from a scan of the table, and for the map the diagonal of the map's
    // bounding box, which no map distance exceeds.
    double givenLow = 0, givenHigh = 0;
    if (n > 1) {
        givenLow = givenHigh = data.distance(1, 2);
        for (int i = 1; i <= n; ++i) {
            const float *row = data.Distances.data() + i * side;
            for (int j = i + 1; j <= n; ++j) {
                givenLow = std::min<double>(givenLow, row[j]);
                givenHigh = std::max<double>(givenHigh, row[j]);
            }
        }
    }
    float xLow = xy[1], xHigh = xy[1], yLow = xy[n + 1], yHigh = xy[n + 1];
    for (int i = 1; i <= n; ++i) {
        xLow = std::min(xLow, xy[i]);
        xHigh = std::max(xHigh, xy[i]);
        yLow = std::min(yLow, xy[n + i]);
        yHigh = std::max(yHigh, xy[n + i]);
    }
    const double diagonal = std::hypot(double(xHigh) - xLow, double(yHigh) - yLow);
    figures.grid = ShepardGrid(settings.gridColumns, settings.gridRows, std::min(0.0, givenLow), givenHigh, 0.0,
                               diagonal);
    figures.givenLow = givenLow;
    figures.givenHigh = givenHigh;
    const bool keepPoints = figures.pairCount <= settings.pointLimit;
    if (keepPoints)
        figures.points.reserve(figures.pairCount);

    // Residuals about the provisional scale a0: for each item, A = sum r0^2,
    // B = sum r0 m and C = sum m^2 over its pairs, r0 = g - a0 m. With the
    // exact scale a = a0 + d, sum (g - a m)^2 = A - 2 d B + d^2 C.
    const double a0 = n > 1 ? provisionalScale(data, xy) : 0.0;
    std::vector<double> itemA(side, 0.0), itemB(side, 0.0), itemC(side, 0.0);
    double sd = 0, sdd = 0, sdg = 0; // the fit measure's sums, in its order
    double sg = 0, sgg = 0;          // given distances and their squares
    double sumA = 0, sumB = 0;
    double mapHigh = 0;
    for (int i = 1; i <= n; ++i) {
        const float *row = data.Distances.data() + i * side;
        double ai = 0, bi = 0, ci = 0;
        for (int j = i + 1; j <= n; ++j) {
            const double m = mapDistance(xy, n, i, j);
            const double g = row[j];
            sd = sd + m;
            sdd = sdd + m * m;
            sdg = sdg + g * m;
            sg = sg + g;
            sgg = sgg + g * g;
            const double r0 = g - a0 * m;
            const double rr = r0 * r0;
            const double rm = r0 * m;
            const double mm = m * m;
            sumA = sumA + rr;
            sumB = sumB + rm;
            ai = ai + rr;
            bi = bi + rm;
            ci = ci + mm;
            itemA[j] = itemA[j] + rr;
            itemB[j] = itemB[j] + rm;
            itemC[j] = itemC[j] + mm;
            mapHigh = std::max(mapHigh, m);
            figures.grid.add(g, m);
            if (keepPoints)
                figures.points.push_back({g, m});
        }
        itemA[i] = itemA[i] + ai;
        itemB[i] = itemB[i] + bi;
        itemC[i] = itemC[i] + ci;
    }
    figures.mapHigh = mapHigh;
    if (n < 2)
        return figures;

    figures.fit = FitFromSums(data, sd, sdd, sdg);
    const double a = sdd > 0 ? sdg / sdd : 0.0;
    const double d = a - a0;
    figures.scale = a;
    const double residual = std::max(0.0, sumA - 2 * d * sumB + d * d * sdd);
    figures.stress1 = sgg > 0 ? std::sqrt(residual / sgg) : 0.0;
    if (sgg > 0 && residual > 1e-24 * sgg) {
        std::vector<double> perItem(static_cast<std::size_t>(n));
        for (int i = 1; i <= n; ++i)
            perItem[i - 1] = std::max(0.0, itemA[i] - 2 * d * itemB[i] + d * d * itemC[i]);
        const double total = std::accumulate(perItem.begin(), perItem.end(), 0.0);
        if (total > 0)
            for (int i = 0; i < n; ++i)
                figures.pointShares[i] = 100.0 * perItem[i] / total;
    }

    // The line. The fit is B(m, g) / sqrt(B(g, g) B(m, m)) with
    // B(u, v) = sum uv - (sum u)(sum v) / (N (N - 1)) over the P = N (N - 1) / 2
    // pairs. Dividing by N (N - 1) = 2P, not P, makes B exactly the centred
    // cross product of 2P points: the P pairs and as many again at (0, 0).
    // Their means are mu_g = sum g / (N (N - 1)) and mu_m = sum m / (N (N - 1)),
    // and the fit is their correlation. Its least-squares line is
    //     m = a g + b,  a = B(m, g) / B(g, g),  b = mu_m - a mu_g.
    const double pairs2 = static_cast<double>(n) * (n - 1);
    const double bgg = sgg - sg * sg / pairs2;
    const double bmg = sdg - sg * sd / pairs2;
    figures.lineSlope = bgg > 0 ? bmg / bgg : 0.0;
    figures.lineIntercept = (sd - figures.lineSlope * sg) / pairs2;
    return figures;
}

std::vector<int> WorstPlacedItems(const std::vector<double> &pointShares, int count)
{
    std::vector<int> items;
    for (std::size_t i = 0; i < pointShares.size(); ++i)
        if (pointShares[i] > 0)
            items.push_back(static_cast<int>(i) + 1);
    const auto byShare = [&](int p, int q) {
        const double sp = pointShares[p - 1], sq = pointShares[q - 1];
        return sp != sq ? sp > sq : p < q;
    };
    const std::size_t kept = std::min(items.size(), static_cast<std::size_t>(std::max(0, count)));
    std::partial_sort(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(kept), items.end(), byShare);
    items.resize(kept);
    return items;
}

} // namespace tessarin
