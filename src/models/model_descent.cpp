#include "models/model_descent.h"

#include "models/model_loss.h"
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

/// A first step that moves the map by about a hundredth of its size.
double firstStep(const Vector &x, const Vector &direction, int dimensions)
{
    const double step = 0.01 * spreadOf(x, dimensions) / direction.norm();
    return step > 0.0 && std::isfinite(step) ? step : 1.0 / direction.norm();
}

class Objective {
public:
    Objective(ModelLoss &loss, const DuplicateItems &duplicates) : m_loss(loss), m_duplicates(duplicates) {}

    double operator()(const Vector &x, Vector &gradient)
    {
        ++evaluations;
        const double loss = m_loss.evaluate(x.data(), gradient.data());
        // Exact twins have the same gradient in exact arithmetic; taking the
        // first one's keeps them on one point in every step.
        m_duplicates.spread(gradient.data(), m_loss.dimensions());
        return loss;
    }

    int evaluations = 0;

private:
    ModelLoss &m_loss;
    const DuplicateItems &m_duplicates;
};

} // namespace

DescentOutcome DescendModel(ModelLoss &modelLoss, const DuplicateItems &duplicates, std::vector<double> &coords,
                            const PolishSettings &polish, const DescentHook &hook)
{
    DescentOutcome outcome;
    const Eigen::Index size = static_cast<Eigen::Index>(coords.size());
    duplicates.spread(coords.data(), modelLoss.dimensions());
    Objective objective(modelLoss, duplicates);

    LBFGSpp::LBFGSParam<double> param;
    param.m = polish.memory;
    param.linesearch = LBFGSpp::LBFGS_LINESEARCH_BACKTRACKING_STRONG_WOLFE;
    // At the end of a polish the loss is flat to rounding and a line search
    // only shrinks its step; eight tries are enough to tell (more cost
    // passes and gain nothing on the benchmark's tables).
    param.max_linesearch = 8;
    param.check_param();

    Vector x = Eigen::Map<const Vector>(coords.data(), size);
    Vector gradient(size);
    double fx = objective(x, gradient);
    outcome.loss = fx;
    const auto finish = [&] {
        outcome.evaluations = objective.evaluations;
        for (Eigen::Index k = 0; k < size; ++k)
            coords[static_cast<std::size_t>(k)] = x[k];
        return outcome;
    };
    if (size == 0 || !(gradient.squaredNorm() > 0.0) || !std::isfinite(fx))
        return finish();

    LBFGSpp::BFGSMat<double> memory;
    memory.reset(static_cast<int>(size), polish.memory);
    Vector direction = -gradient;
    double step = firstStep(x, direction, modelLoss.dimensions());
    Vector previousX(size);
    Vector previousGradient(size);
    const int past = polish.past > 0 ? polish.past : 1;
    std::vector<double> history(static_cast<std::size_t>(past), 0.0);
    history[0] = outcome.loss;

    for (int k = 1; k <= polish.maxIterations; ++k) {
        previousX = x;
        previousGradient = gradient;
        const double previousFx = fx;
        bool moved = true;
        try {
            LBFGSpp::LineSearchNocedalWright<double>::LineSearch(objective, fx, x, gradient, step, direction,
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
        outcome.loss = fx;
        if (hook && !hook(k, std::vector<double>(x.data(), x.data() + size), fx)) {
            outcome.stopped = true;
            break;
        }
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
            // Not a direction of descent: start the memory afresh.
            memory.reset(static_cast<int>(size), polish.memory);
            direction = -gradient;
            step = firstStep(x, direction, modelLoss.dimensions());
        }
    }
    return finish();
}

} // namespace tessarin
