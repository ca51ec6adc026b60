#include "diagnostics/map_stress.h"

#include "fit/layout_fitness.h"
#include "fit/map_distances.h"
#include "base/tessarin_error.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numeric>
#include <string>
#include <thread>

namespace tessarin {

namespace {

// A provisional scale from row 1 and the pairs (i, i + 1): O(N) pairs. The
// pass sums the residuals about it, and the exact scale corrects them at the
// end; starting near the answer keeps the correction small, so a nearly
// perfect map loses no digits to cancellation.
double provisionalScale(const DistanceData &data, const float *layout)
{
    const int n = data.ItemCount;
    double gm = 0, mm = 0;
    auto take = [&](int i, int j) {
        if (data.pairWeight(i, j) == 0.0f)
            return;
        const double m = MapDistance(layout, n, i, j);
        gm = gm + data.distance(i, j) * m;
        mm = mm + m * m;
    };
    for (int j = 2; j <= n; ++j)
        take(1, j);
    for (int i = 2; i < n; ++i)
        take(i, i + 1);
    return mm > 0 ? gm / mm : 0.0;
}


// The pairs are cut into a fixed number of blocks of whole rows, the same for
// every thread count; each block sums its own pairs in row order, and the
// blocks are added in row order too, so one thread or eight give the same bits.
constexpr int BlockCount = 16;
// Below this many pairs the blocks run on the calling thread alone.
constexpr std::uint64_t PairsForThreads = std::uint64_t{1} << 18;

struct Sums {
    double sd = 0, sdd = 0, sdg = 0; // map distances, their squares, map times given
    double sg = 0, sgg = 0;          // given distances and their squares
    double a = 0, b = 0;             // residuals about the provisional scale
    double mapHigh = 0;

    void add(const Sums &other)
    {
        sd = sd + other.sd;
        sdd = sdd + other.sdd;
        sdg = sdg + other.sdg;
        sg = sg + other.sg;
        sgg = sgg + other.sgg;
        a = a + other.a;
        b = b + other.b;
        mapHigh = std::max(mapHigh, other.mapHigh);
    }
};

struct ItemSums {
    double a = 0, b = 0, c = 0;
};

// The grid's numbers as the pass uses them, in locals: the stores into the
// item sums could otherwise alias them, and reloading them at every pair costs
// more than the arithmetic.
struct Binning {
    int columns, rows;
    double givenLow, mapLow, columnScale, rowScale;
};

struct Block {
    int firstRow = 1, lastRow = 0;
    Sums sums;
    std::vector<ItemSums> items;
    std::vector<std::uint32_t> counts;
    std::vector<ShepardPoint> points;
};

// With Weighted, each pair's terms are multiplied by its weight and pairs of
// weight 0 are passed over; without, the pairs are summed as they are.
template <bool KeepPoints, bool Weighted>
void passBlock(const DistanceData &data, const float *xy, double a0, const Binning &binning, Block &block)
{
    const int n = data.ItemCount;
    const std::size_t side = static_cast<std::size_t>(n) + 1;
    std::uint32_t *bins = block.counts.data();
    ItemSums *item = block.items.data();
    Sums s;
    // Each row in chunks: first the chunk's map distances, a loop without a
    // running sum that the compiler can vectorise, then the sums in pair order.
    constexpr int Chunk = 256;
    double distances[Chunk];
    for (int i = block.firstRow; i <= block.lastRow; ++i) {
        const float *row = data.Distances.data() + i * side;
        // The row's own sums serve item i and, added at the row's end, the
        // totals: fewer running sums a pair.
        ItemSums own;
        for (int from = i + 1; from <= n; from += Chunk) {
            const int count = std::min(Chunk, n - from + 1);
            RowMapDistances(xy, n, i, from, count, distances);
            for (int k = 0; k < count; ++k) {
                const int j = from + k;
                const double m = distances[k];
                const double g = row[j];
                double w = 1.0;
                if constexpr (Weighted) {
                    w = data.pairWeight(i, j);
                    if (w == 0.0)
                        continue;
                }
                const double r0 = g - a0 * m;
                double rr = r0 * r0;
                double rm = r0 * m;
                double mm = m * m;
                if constexpr (Weighted) {
                    s.sd = s.sd + w * m;
                    s.sdg = s.sdg + w * g * m;
                    s.sg = s.sg + w * g;
                    s.sgg = s.sgg + w * g * g;
                    rr = w * rr;
                    rm = w * rm;
                    mm = w * mm;
                } else {
                    s.sd = s.sd + m;
                    s.sdg = s.sdg + g * m;
                    s.sg = s.sg + g;
                    s.sgg = s.sgg + g * g;
                }
                own.a = own.a + rr;
                own.b = own.b + rm;
                own.c = own.c + mm;
                item[j].a = item[j].a + rr;
                item[j].b = item[j].b + rm;
                item[j].c = item[j].c + mm;
                s.mapHigh = m > s.mapHigh ? m : s.mapHigh;
                ++bins[static_cast<std::size_t>(
                           ShepardGrid::Bin(m, binning.mapLow, binning.rowScale, binning.rows)) *
                           binning.columns +
                       ShepardGrid::Bin(g, binning.givenLow, binning.columnScale, binning.columns)];
                if constexpr (KeepPoints)
                    block.points.push_back({g, m});
            }
        }
        s.a = s.a + own.a;
        s.b = s.b + own.b;
        s.sdd = s.sdd + own.c;
        item[i].a = item[i].a + own.a;
        item[i].b = item[i].b + own.b;
        item[i].c = item[i].c + own.c;
    }
    block.sums = s;
}

// Rows cut into blocks of about equal numbers of pairs (row i has N - i).
std::vector<Block> cutIntoBlocks(int n)
{
    const int rows = std::max(0, n - 1);
    const int count = std::min(BlockCount, std::max(1, rows));
    const double total = static_cast<double>(n) * (n - 1) / 2;
    std::vector<Block> blocks(static_cast<std::size_t>(count));
    int row = 1;
    double taken = 0;
    for (int k = 0; k < count; ++k) {
        blocks[k].firstRow = row;
        const double goal = total * (k + 1) / count;
        while (row <= rows && (k == count - 1 || taken < goal)) {
            taken += n - row;
            ++row;
        }
        blocks[k].lastRow = row - 1;
    }
    return blocks;
}

// Runs task(0) .. task(count - 1), on `threads` threads when above one.
template <class Task>
void runTasks(int count, unsigned threads, const Task &task)
{
    std::atomic<int> next{0};
    auto work = [&] {
        for (int k = next++; k < count; k = next++)
            task(k);
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();
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
    const unsigned threads =
        settings.threads > 0 ? settings.threads
        : figures.pairCount >= PairsForThreads ? std::clamp(std::thread::hardware_concurrency(), 1u, 8u)
                                               : 1u;
    std::vector<Block> blocks = cutIntoBlocks(n);
    const int blockCount = static_cast<int>(blocks.size());

    // The grid needs its extent before the pass: the given distances' range
    // from a scan of the table, and for the map the diagonal of the map's
    // bounding box, which no map distance exceeds.
    std::vector<std::pair<float, float>> ranges(blocks.size());
    const bool weighted = data.weighted();
    float first = n > 1 ? data.distance(1, 2) : 0.0f;
    if (weighted) {
        // The first present pair: pairs of weight 0 are drawn nowhere.
        bool found = false;
        for (int i = 1; i <= n && !found; ++i)
            for (int j = i + 1; j <= n && !found; ++j)
                if (data.pairWeight(i, j) != 0.0f) {
                    first = data.distance(i, j);
                    found = true;
                }
    }
    runTasks(blockCount, threads, [&](int k) {
        float low = first, high = first;
        for (int i = blocks[k].firstRow; i <= blocks[k].lastRow; ++i) {
            const float *row = data.Distances.data() + i * side;
            for (int j = i + 1; j <= n; ++j) {
                if (weighted && data.pairWeight(i, j) == 0.0f)
                    continue;
                low = row[j] < low ? row[j] : low;
                high = row[j] > high ? row[j] : high;
            }
        }
        ranges[k] = {low, high};
    });
    float low = first, high = first;
    for (const auto &range : ranges) {
        low = std::min(low, range.first);
        high = std::max(high, range.second);
    }
    const double givenLow = low, givenHigh = high;
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
    const ShepardGrid &grid = figures.grid;
    const Binning binning{grid.columns(),
                          grid.rows(),
                          grid.givenLow(),
                          grid.mapLow(),
                          grid.columns() / (grid.givenHigh() - grid.givenLow()),
                          grid.rows() / (grid.mapHigh() - grid.mapLow())};
    const bool keepPoints = figures.pairCount <= settings.pointLimit;
    for (Block &block : blocks) {
        block.items.resize(side);
        block.counts.assign(static_cast<std::size_t>(grid.columns()) * static_cast<std::size_t>(grid.rows()), 0);
    }

    // Residuals about the provisional scale a0: for each item, A = sum r0^2,
    // B = sum r0 m and C = sum m^2 over its pairs, r0 = g - a0 m. With the
    // exact scale a = a0 + d, sum (g - a m)^2 = A - 2 d B + d^2 C.
    const double a0 = n > 1 ? provisionalScale(data, xy) : 0.0;
    // Task 0 is the fit, summed in strict pair order as the search sums it;
    // tasks 1.. are the blocks.
    double fit = 0;
    runTasks(blockCount + 1, threads, [&](int k) {
        if (k == 0) {
            fit = LayoutFitness(data, xy);
            return;
        }
        Block &block = blocks[static_cast<std::size_t>(k - 1)];
        if (weighted && keepPoints)
            passBlock<true, true>(data, xy, a0, binning, block);
        else if (weighted)
            passBlock<false, true>(data, xy, a0, binning, block);
        else if (keepPoints)
            passBlock<true, false>(data, xy, a0, binning, block);
        else
            passBlock<false, false>(data, xy, a0, binning, block);
    });

    Sums sums;
    std::vector<ItemSums> items(side);
    std::vector<std::uint32_t> counts(blocks.front().counts.size(), 0);
    if (keepPoints)
        figures.points.reserve(figures.pairCount);
    for (const Block &block : blocks) {
        sums.add(block.sums);
        for (std::size_t i = 0; i < side; ++i) {
            items[i].a = items[i].a + block.items[i].a;
            items[i].b = items[i].b + block.items[i].b;
            items[i].c = items[i].c + block.items[i].c;
        }
        for (std::size_t k = 0; k < counts.size(); ++k)
            counts[k] += block.counts[k];
        figures.points.insert(figures.points.end(), block.points.begin(), block.points.end());
    }
    figures.grid.addCounts(counts);
    figures.mapHigh = sums.mapHigh;
    if (n < 2)
        return figures;

    const double sd = sums.sd, sdd = sums.sdd, sdg = sums.sdg, sg = sums.sg, sgg = sums.sgg;
    figures.fit = fit;
    const double a = sdd > 0 ? sdg / sdd : 0.0;
    const double d = a - a0;
    figures.scale = a;
    const double residual = std::max(0.0, sums.a - 2 * d * sums.b + d * d * sdd);
    figures.stress1 = sgg > 0 ? std::sqrt(residual / sgg) : 0.0;
    if (sgg > 0 && residual > 1e-24 * sgg) {
        std::vector<double> perItem(static_cast<std::size_t>(n));
        for (int i = 1; i <= n; ++i)
            perItem[i - 1] = std::max(0.0, items[i].a - 2 * d * items[i].b + d * d * items[i].c);
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
    // With weights the same holds with K = 2 x the sum of the weights.
    const double pairs2 = weighted ? 2.0 * data.WeightTotal : static_cast<double>(n) * (n - 1);
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
