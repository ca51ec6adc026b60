#include "scaling/map_descent.h"

#include "scaling/duplicate_items.h"
#include "scaling/eigen_setup.h"

#include <LBFGS.h>

#include <cmath>
#include <exception>

namespace tessarin {

namespace {

using Vector = Eigen::VectorXd;

/// The root of the sum of squared coordinates about the map's centre.
double spreadOf(const Vector &x, int dimensions)
{
    const Eigen::Index n = x.size() / dimensions;
    double total = 0.0;
    for (int d = 0; d < dimensions; ++d) {
        const auto block = x.segment(d * n, n);
        const double mean = block.sum() / static_cast<double>(n);
        total = total + (block.array() - mean).square().sum();
    }
    return std::sqrt(total);
}

/// LBFGS++ minimises: the objective as it is when lower is better, its
/// negative when higher is.
class Minimised {
public:
    Minimised(const DescentObjective &objective, bool negate, const DuplicateItems &duplicates, int dimensions)
        : m_objective(objective), m_negate(negate), m_duplicates(duplicates), m_dimensions(dimensions)
    {
    }

    double operator()(const Vector &x, Vector &gradient)
    {
        ++evaluations;
        const double value = m_objective(x.data(), gradient.data());
        // Exact twins have the same gradient in exact arithmetic; taking the
        // first one's keeps them on one point in every step.
        m_duplicates.spread(gradient.data(), m_dimensions);
        if (!m_negate)
            return value;
        gradient = -gradient;
        return -value;
    }

    int evaluations = 0;

private:
    const DescentObjective &m_objective;
    bool m_negate;
    const DuplicateItems &m_duplicates;
    int m_dimensions;
};

} // namespace

DescentOutcome DescendMap(const DescentObjective &objective, const MapMeasure &measure, int dimensions,
                          const DuplicateItems &duplicates, std::vector<double> &coords, const PolishSettings &polish,
                          const DescentHook &hook)
{
    const bool higher = measure.improvement == Improvement::Higher;
    const Eigen::Index size = static_cast<Eigen::Index>(coords.size());
    duplicates.spread(coords.data(), dimensions);
    Minimised minimised(objective, higher, duplicates, dimensions);
    // The first step of a fresh memory along `direction`.
    const auto firstStep = [&](const Vector &x, const Vector &direction) {
        if (measure.stepBySpread) {
            const double step = 0.01 * spreadOf(x, dimensions) / direction.norm();
            if (step > 0.0 && std::isfinite(step))
                return step;
        }
        return 1.0 / direction.norm();
    };

    LBFGSpp::LBFGSParam<double> param;
    param.m = polish.memory;
    param.linesearch = LBFGSpp::LBFGS_LINESEARCH_BACKTRACKING_STRONG_WOLFE;
    param.max_linesearch = measure.lineSearchTries;
    param.check_param();

    // fx is the minimised objective; the outcome and the hook get the value.
    DescentOutcome outcome;
    Vector x = Eigen::Map<const Vector>(coords.data(), size);
    Vector gradient(size);
    double fx = minimised(x, gradient);
    outcome.value = higher ? -fx : fx;
    const auto finish = [&] {
        outcome.evaluations = minimised.evaluations;
        for (Eigen::Index k = 0; k < size; ++k)
            coords[static_cast<std::size_t>(k)] = x[k];
        return outcome;
    };
    if (size == 0 || !(gradient.squaredNorm() > 0.0) || !std::isfinite(fx))
        return finish();

    LBFGSpp::BFGSMat<double> memory;
    memory.reset(static_cast<int>(size), polish.memory);
    Vector direction = -gradient;
    double step = firstStep(x, direction);
    Vector previousX(size);
    Vector previousGradient(size);
    const int past = polish.past > 0 ? polish.past : 1;
    std::vector<double> history(static_cast<std::size_t>(past), 0.0);
    history[0] = fx;

    for (int k = 1; k <= polish.maxIterations; ++k) {
        previousX = x;
        previousGradient = gradient;
        const double previousFx = fx;
        bool moved = true;
        try {
            LBFGSpp::LineSearchNocedalWright<double>::LineSearch(minimised, fx, x, gradient, step, direction,
                                                                  previousX, param);
        } catch (const std::exception &) {
            moved = false; // the line search found no acceptable step
        }
        if (!moved || !(fx < previousFx)) {
            x = previousX;
            fx = previousFx;
            gradient = previousGradient;
            break;
        }
        outcome.iterations = k;
        outcome.value = higher ? -fx : fx;
        if (hook && !hook(k, std::vector<double>(x.data(), x.data() + size), outcome.value)) {
            outcome.stopped = true;
            break;
        }
        // The gain over the last `past` iterations; the same bits whichever
        // sign the objective is minimised with.
        const double then = history[static_cast<std::size_t>(k % past)];
        if (k >= past && then - fx < polish.relativeGain * std::fabs(fx))
            break;
        history[static_cast<std::size_t>(k % past)] = fx;

        const Vector s = x - previousX;
        const Vector y = gradient - previousGradient;
        if (s.dot(y) > 0.0)
            memory.add_correction(s, y);
        memory.apply_Hv(gradient, -1.0, direction);
        step = 1.0;
        if (!(gradient.dot(direction) < 0.0)) {
            // Not a direction of improvement: start the memory afresh.
            memory.reset(static_cast<int>(size), polish.memory);
            direction = -gradient;
            step = firstStep(x, direction);
        }
    }
    return finish();
}

} // namespace tessarin
