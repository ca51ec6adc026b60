#include "models/model_loss.h"

#include "base/tessarin_error.h"
#include "models/model_loss_lanes.h"
#include "fit/fit_kernel_worker.h"
#include "fit/pair_rows.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tessarin {

namespace {

constexpr std::uint32_t NoPosition = 0xffffffffu;

} // namespace

ModelLoss::ModelLoss(const DistanceData &data, const ModelSetting &setting, int dimensions, PairWeights weights,
                     const FitOptions &options)
    : m_data(data), m_setting(setting), m_n(std::max<int>(data.ItemCount, 0)), m_dimensions(dimensions),
      m_options(options)
{
    if (setting.model == StressModel::Fit)
        throw TessarinError("the fit measure has no stress loss: use its own gradient");
    if (dimensions != 2 && dimensions != 3)
        throw TessarinError("a map has 2 or 3 dimensions, not " + std::to_string(dimensions));
    if (m_options.path == FitPath::OneByOne || !FitPathSupported(m_options.path))
        m_options.path = m_options.path == FitPath::OneByOne ? FitPath::Portable : BestFitPath();
    m_pairs = PairCount(m_n);
    if (weights && !weights->empty()) {
        if (weights->size() != m_pairs)
            throw TessarinError("the pair weights number " + std::to_string(weights->size()) + ", but the table has " +
                                std::to_string(m_pairs) + " pairs");
        m_weighted = true;
        m_weights = *weights;
    } else if (data.weighted()) {
        // The table's own weights (its missing pairs, a weights file).
        m_weighted = true;
        m_weights.assign(data.PairWeights.begin(), data.PairWeights.end());
    }
    std::vector<float> given;
    given.reserve(m_pairs);
    if (data.PairDistances.size() == m_pairs) {
        given = data.PairDistances;
    } else {
        for (int i = 1; i <= m_n; ++i)
            for (int j = i + 1; j <= m_n; ++j)
                given.push_back(data.distance(i, j));
    }
    auto weightOf = [this](std::size_t p) { return m_weighted ? m_weights[p] : 1.0; };

    m_target.assign(m_pairs, 0.0);
    double counted = 0.0;
    switch (setting.model) {
    case StressModel::Ratio:
        for (std::size_t p = 0; p < m_pairs; ++p) {
            const double g = given[p];
            m_target[p] = weightOf(p) * g;
            m_q = m_q + weightOf(p) * g * g;
        }
        m_anyPair = m_q > 0.0;
        break;
    case StressModel::Interval: {
        double sum = 0.0;
        for (std::size_t p = 0; p < m_pairs; ++p) {
            m_w = m_w + weightOf(p);
            sum = sum + weightOf(p) * given[p];
        }
        const double mean = m_w > 0.0 ? sum / m_w : 0.0;
        for (std::size_t p = 0; p < m_pairs; ++p) {
            const double centred = given[p] - mean;
            m_target[p] = weightOf(p) * centred;
            m_q = m_q + weightOf(p) * centred * centred;
        }
        m_anyPair = m_w > 0.0;
        break;
    }
    case StressModel::Sammon:
        m_spreadWeight.assign(m_pairs, 0.0);
        for (std::size_t p = 0; p < m_pairs; ++p) {
            const double g = given[p];
            if (g > 0.0) {
                m_target[p] = weightOf(p);
                m_spreadWeight[p] = weightOf(p) / g;
                m_q = m_q + weightOf(p) * g;
            }
        }
        m_anyPair = m_q > 0.0;
        break;
    case StressModel::Ordinal:
        m_regression = std::make_unique<MonotoneRegression>(given.data(), m_pairs,
                                                             m_weighted ? m_weights.data() : nullptr, setting.ties);
        {
            const std::vector<std::uint32_t> &order = m_regression->order();
            std::vector<std::uint16_t> first(m_pairs), second(m_pairs);
            std::size_t p = 0;
            for (int i = 0; i < m_n; ++i)
                for (int j = i + 1; j < m_n; ++j, ++p) {
                    first[p] = static_cast<std::uint16_t>(i);
                    second[p] = static_cast<std::uint16_t>(j);
                }
            m_orderedFirst.resize(order.size());
            m_orderedSecond.resize(order.size());
            m_position.assign(m_pairs, NoPosition);
            for (std::size_t k = 0; k < order.size(); ++k) {
                m_orderedFirst[k] = first[order[k]];
                m_orderedSecond[k] = second[order[k]];
                m_position[order[k]] = static_cast<std::uint32_t>(k);
            }
            m_orderedMap.assign(order.size(), 0.0);
            m_orderedFitted.assign(order.size(), 0.0);
        }
        for (std::size_t p = 0; p < m_pairs; ++p)
            counted = counted + weightOf(p);
        m_anyPair = counted > 0.0;
        break;
    case StressModel::Fit:
        break;
    }
    if (m_weighted && setting.model != StressModel::Sammon) {
        if (setting.model == StressModel::Interval)
            m_unitWeight = m_weights;
        m_spreadWeight = m_weights;
    }
    m_split = HalfwayRow(m_n);
    for (Half &half : m_halves) {
        half.target.assign(static_cast<std::size_t>(dimensions) * m_n, 0.0);
        half.unit.assign(static_cast<std::size_t>(dimensions) * m_n, 0.0);
        half.spread.assign(static_cast<std::size_t>(dimensions) * m_n, 0.0);
    }
}

ModelLoss::~ModelLoss() = default;

double ModelLoss::stressOf(double loss) const
{
    if (m_setting.model == StressModel::Sammon)
        return loss;
    return std::sqrt(std::max(loss, 0.0));
}

void ModelLoss::orderedDistancesHalf(int which, const double *coords)
{
    const std::size_t size = m_orderedMap.size();
    const std::size_t first = which == 0 ? 0 : size / 2;
    const std::size_t end = which == 0 ? size / 2 : size;
    const double *columns[3] = {coords, coords + m_n, m_dimensions == 3 ? coords + 2 * m_n : nullptr};
    modellanes::OrderedMapDistances(m_dimensions, columns, m_orderedFirst.data() + first,
                                    m_orderedSecond.data() + first, end - first, m_orderedMap.data() + first);
}

void ModelLoss::targetsHalf(int which)
{
    const std::size_t first = which == 0 ? 0 : m_pairs / 2;
    const std::size_t end = which == 0 ? m_pairs / 2 : m_pairs;
    const double *fitted = m_orderedFitted.data();
    for (std::size_t p = first; p < end; ++p) {
        const std::uint32_t at = m_position[p];
        const double level = at == NoPosition ? 0.0 : fitted[at];
        m_target[p] = m_weighted ? m_weights[p] * level : level;
    }
}

void ModelLoss::runHalf(int which, const double *coords)
{
    Half &half = m_halves[which];
    std::fill(half.target.begin(), half.target.end(), 0.0);
    std::fill(half.unit.begin(), half.unit.end(), 0.0);
    std::fill(half.spread.begin(), half.spread.end(), 0.0);
    for (auto &lanes : half.sums)
        std::fill(lanes, lanes + 8, 0.0);
    const std::size_t n = static_cast<std::size_t>(m_n);
    modellanes::RowRange range{};
    range.itemCount = m_n;
    range.dimensions = m_dimensions;
    for (int d = 0; d < m_dimensions; ++d) {
        range.coords[d] = coords + d * n;
        range.targetSum[d] = half.target.data() + d * n;
        range.unitSum[d] = half.unit.data() + d * n;
        range.spreadSum[d] = half.spread.data() + d * n;
    }
    range.firstRow = which == 0 ? 0 : m_split;
    range.endRow = which == 0 ? m_split : m_n;
    range.target = m_target.data();
    if (m_setting.model == StressModel::Interval) {
        range.unitKind = m_unitWeight.empty() ? modellanes::Weight::Ones : modellanes::Weight::Array;
        range.unitWeight = m_unitWeight.data();
    } else {
        range.unitKind = modellanes::Weight::Absent;
    }
    range.spreadKind = m_spreadWeight.empty() ? modellanes::Weight::Ones : modellanes::Weight::Array;
    range.spreadWeight = m_spreadWeight.data();
    range.sumTargetMap = half.sums[0];
    range.sumUnitMap = half.sums[1];
    range.sumSquare = half.sums[2];
    switch (m_options.path) {
    case FitPath::Avx512:
        modellanes::SumRowsAvx512(range);
        break;
    case FitPath::Avx2:
        modellanes::SumRowsAvx2(range);
        break;
    default:
        modellanes::SumRowsPortable(range);
        break;
    }
}

double ModelLoss::evaluate(const double *coords, double *gradient)
{
    const std::size_t n = static_cast<std::size_t>(m_n);
    std::fill(gradient, gradient + m_dimensions * n, 0.0);
    if (m_n < 2 || !m_anyPair)
        return 1.0;

    struct Context {
        ModelLoss *self;
        const double *coords;
    } context{this, coords};
    const bool split = m_options.threads >= 2 && m_n >= m_options.minItemsForThreads;
    auto both = [&](FitWorker::Task first, FitWorker::Task second) {
        if (!split || !FitWorker::instance().runBeside(second, first, &context)) {
            first(&context);
            second(&context);
        }
    };

    double fittedSquares = 0.0;
    if (m_setting.model == StressModel::Ordinal) {
        both([](void *c) { auto *x = static_cast<Context *>(c); x->self->orderedDistancesHalf(0, x->coords); },
             [](void *c) { auto *x = static_cast<Context *>(c); x->self->orderedDistancesHalf(1, x->coords); });
        both([](void *c) { auto *x = static_cast<Context *>(c); x->self->m_regression->poolHalf(0, x->self->m_orderedMap.data()); },
             [](void *c) { auto *x = static_cast<Context *>(c); x->self->m_regression->poolHalf(1, x->self->m_orderedMap.data()); });
        fittedSquares = m_regression->finish(m_orderedFitted.data());
        both([](void *c) { static_cast<Context *>(c)->self->targetsHalf(0); },
             [](void *c) { static_cast<Context *>(c)->self->targetsHalf(1); });
    }
    both([](void *c) { auto *x = static_cast<Context *>(c); x->self->runHalf(0, x->coords); },
         [](void *c) { auto *x = static_cast<Context *>(c); x->self->runHalf(1, x->coords); });

    const Half &a = m_halves[0];
    const Half &b = m_halves[1];
    using modellanes::LaneSum8;
    const double p1 = LaneSum8(a.sums[0]) + LaneSum8(b.sums[0]);
    const double p0 = LaneSum8(a.sums[1]) + LaneSum8(b.sums[1]);
    const double r = LaneSum8(a.sums[2]) + LaneSum8(b.sums[2]);
    if (!(r > 0.0))
        return 1.0;

    double loss = 1.0;
    double alpha = 0.0; // of sum t u
    double beta = 0.0;  // of sum t0 u
    double gamma = 0.0; // of sum v (Xi - Xj)
    switch (m_setting.model) {
    case StressModel::Ratio:
    case StressModel::Sammon:
        loss = 1.0 - (p1 * p1) / (m_q * r);
        alpha = -2.0 * p1 / (m_q * r);
        gamma = 2.0 * (p1 * p1) / (m_q * r * r);
        break;
    case StressModel::Interval: {
        double explained = (p0 * p0) / m_w;
        beta = -2.0 * p0 / (m_w * r);
        if (m_q > 0.0) {
            explained = explained + (p1 * p1) / m_q;
            alpha = -2.0 * p1 / (m_q * r);
        }
        loss = 1.0 - explained / r;
        gamma = 2.0 * explained / (r * r);
        break;
    }
    case StressModel::Ordinal:
        loss = ((fittedSquares - 2.0 * p1) + r) / r;
        alpha = -2.0 / r;
        gamma = 2.0 * (1.0 - loss) / r;
        break;
    case StressModel::Fit:
        break;
    }

    for (int d = 0; d < m_dimensions; ++d) {
        const std::size_t at = d * n;
        double *out = gradient + at;
        for (std::size_t j = 0; j < n; ++j) {
            const double target = a.target[at + j] + b.target[at + j];
            const double unit = a.unit[at + j] + b.unit[at + j];
            const double spread = a.spread[at + j] + b.spread[at + j];
            out[j] = (alpha * target + beta * unit) + gamma * spread;
        }
    }
    return loss;
}

} // namespace tessarin
