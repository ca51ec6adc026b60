#include "fit/fit_gradient.h"

#include "base/tessarin_error.h"
#include "fit/fit_gradient_lanes.h"
#include "fit/fit_kernel_worker.h"
#include "fit/pair_rows.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tessarin {

FitGradient::FitGradient(const DistanceData &data, int dimensions, const FitOptions &options)
    : m_data(data), m_n(data.ItemCount), m_dimensions(dimensions), m_options(options)
{
    if (dimensions != 2 && dimensions != 3)
        throw TessarinError("a map has 2 or 3 dimensions, not " + std::to_string(dimensions));
    if (m_options.path == FitPath::OneByOne || !FitPathSupported(m_options.path))
        m_options.path = m_options.path == FitPath::OneByOne ? FitPath::Portable : BestFitPath();
    if (m_n < 0)
        m_n = 0;
    if (data.weighted()) {
        m_weighted = std::make_unique<WeightedFitGradient>(data, dimensions, m_options.path);
        return;
    }
    if (data.PairDistances.size() == PairCount(m_n)) {
        m_pairs = data.PairDistances.data();
    } else {
        m_ownPairs.reserve(PairCount(m_n));
        for (int i = 1; i <= m_n; ++i)
            for (int j = i + 1; j <= m_n; ++j)
                m_ownPairs.push_back(data.distance(i, j));
        m_pairs = m_ownPairs.data();
    }
    m_split = HalfwayRow(m_n);
    for (Half &half : m_halves) {
        half.cross.assign(static_cast<std::size_t>(dimensions) * m_n, 0.0);
        half.unit.assign(static_cast<std::size_t>(dimensions) * m_n, 0.0);
    }
}

void FitGradient::runHalf(int which, const double *coords, double smoothing)
{
    Half &half = m_halves[which];
    std::fill(half.cross.begin(), half.cross.end(), 0.0);
    std::fill(half.unit.begin(), half.unit.end(), 0.0);
    for (auto &lanes : half.sums)
        std::fill(lanes, lanes + 8, 0.0);
    const std::size_t n = static_cast<std::size_t>(m_n);
    const double k = static_cast<double>(m_n) * (m_n - 1);
    gradientlanes::RowRange range{};
    range.itemCount = m_n;
    range.dimensions = m_dimensions;
    for (int d = 0; d < m_dimensions; ++d) {
        range.coords[d] = coords + d * n;
        range.cross[d] = half.cross.data() + d * n;
        range.unit[d] = half.unit.data() + d * n;
    }
    range.pairs = m_pairs;
    range.smoothing = smoothing;
    range.givenMean = static_cast<double>(m_data.DistanceSum) / k;
    range.firstRow = which == 0 ? 0 : m_split;
    range.endRow = which == 0 ? m_split : m_n;
    range.sumDistance = half.sums[0];
    range.sumSquare = half.sums[1];
    range.sumCross = half.sums[2];
    switch (m_options.path) {
    case FitPath::Avx512:
        gradientlanes::SumRowsAvx512(range);
        break;
    case FitPath::Avx2:
        gradientlanes::SumRowsAvx2(range);
        break;
    default:
        gradientlanes::SumRowsPortable(range);
        break;
    }
}

double FitGradient::evaluate(const double *coords, double smoothing, double *gradient)
{
    if (m_weighted)
        return m_weighted->evaluate(coords, smoothing, gradient);
    const std::size_t n = static_cast<std::size_t>(m_n);
    std::fill(gradient, gradient + m_dimensions * n, 0.0);
    if (m_n < 2)
        return 0.0;

    struct Context {
        FitGradient *self;
        const double *coords;
        double smoothing;
    } context{this, coords, smoothing};
    const bool split = m_options.threads >= 2 && m_n >= m_options.minItemsForThreads;
    auto first = [](void *c) {
        auto *x = static_cast<Context *>(c);
        x->self->runHalf(0, x->coords, x->smoothing);
    };
    auto second = [](void *c) {
        auto *x = static_cast<Context *>(c);
        x->self->runHalf(1, x->coords, x->smoothing);
    };
    if (!split || !FitWorker::instance().runBeside(second, first, &context)) {
        first(&context);
        second(&context);
    }

    const Half &a = m_halves[0];
    const Half &b = m_halves[1];
    const double sd = gradientlanes::LaneSum8(a.sums[0]) + gradientlanes::LaneSum8(b.sums[0]);
    const double sdd = gradientlanes::LaneSum8(a.sums[1]) + gradientlanes::LaneSum8(b.sums[1]);
    const double sdg = gradientlanes::LaneSum8(a.sums[2]) + gradientlanes::LaneSum8(b.sums[2]);
    const double k = static_cast<double>(m_n) * (m_n - 1);
    const double vg = m_data.DistanceSpread;
    const double vd = sdd - sd * sd / k;
    const double c = sdg - static_cast<double>(m_data.DistanceSum) * sd / k;
    // A map whose spread is lost in rounding has no usable gradient.
    if (!(vg >= 1e-11) || !(vd > 1e-13 * sdd))
        return 0.0;
    const double s = 1.0 / std::sqrt(vg * vd);
    const double beta = c / vd;
    const double meanShare = beta * (sd / k);
    for (int d = 0; d < m_dimensions; ++d) {
        const double *x = coords + d * n;
        double total = 0.0;
        for (std::size_t j = 0; j < n; ++j)
            total = total + x[j];
        const double *crossA = a.cross.data() + d * n;
        const double *crossB = b.cross.data() + d * n;
        const double *unitA = a.unit.data() + d * n;
        const double *unitB = b.unit.data() + d * n;
        double *out = gradient + d * n;
        for (std::size_t j = 0; j < n; ++j) {
            const double cross = crossA[j] + crossB[j];
            const double unit = unitA[j] + unitB[j];
            out[j] = s * ((cross - beta * (static_cast<double>(m_n) * x[j] - total)) + meanShare * unit);
        }
    }
    return c * s;
}

} // namespace tessarin
