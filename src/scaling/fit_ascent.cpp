#include "scaling/fit_ascent.h"

#include "scaling/duplicate_items.h"
#include "scaling/eigen_setup.h"
#include "fit/fit_gradient.h"

#include <LBFGS.h>

#include <cmath>
#include <exception>

namespace tessarin {

namespace {

using Vector = Eigen::VectorXd;

/// LBFGS++ minimises: the objective is -f.
class NegativeFit {
public:
    NegativeFit(FitGradient &fitGradient, const DuplicateItems &duplicates, const AscentSettings &settings)
        : m_fit(fitGradient), m_duplicates(duplicates), m_settings(settings)
    {
    }

    double operator()(const Vector &x, Vector &gradient)
    {
        ++evaluations;
        const double f = m_fit.evaluate(x.data(), m_settings.smoothing, gradient.data());
        const int dimensions = m_fit.dimensions();
        const Eigen::Index n = m_fit.itemCount();
        // Exact twins have the same gradient in exact arithmetic; taking the
        // first one's keeps them on one point in every step.
        m_duplicates.spread(gradient.data(), dimensions);
        for (int d = 0; d < dimensions; ++d)
            if (m_settings.frozen[d])
                gradient.segment(d * n, n).setZero();
        gradient = -gradient;
        return -f;
    }

    int evaluations = 0;

private:
    FitGradient &m_fit;
    const DuplicateItems &m_duplicates;
    const AscentSettings &m_settings;
};

} // namespace

AscentOutcome AscendFit(FitGradient &fitGradient, const DuplicateItems &duplicates, std::vector<double> &coords,
                        const PolishSettings &polish, const AscentSettings &settings, const AscentHook &hook)
{
    AscentOutcome outcome;
    const Eigen::Index size = static_cast<Eigen::Index>(coords.size());
    duplicates.spread(coords.data(), fitGradient.dimensions());
    NegativeFit objective(fitGradient, duplicates, settings);

    LBFGSpp::LBFGSParam<double> param;
    param.m = polish.memory;
    param.linesearch = LBFGSpp::LBFGS_LINESEARCH_BACKTRACKING_STRONG_WOLFE;
    param.max_linesearch = 20;
    param.check_param();

    Vector x = Eigen::Map<const Vector>(coords.data(), size);
    Vector gradient(size);
    double fx = objective(x, gradient);
    outcome.fit = -fx;
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
    double step = 1.0 / direction.norm();
    Vector previousX(size);
    Vector previousGradient(size);
    const int past = polish.past > 0 ? polish.past : 1;
    std::vector<double> history(static_cast<std::size_t>(past), 0.0);
    history[0] = outcome.fit;

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
            break;
        }
        outcome.iterations = k;
        outcome.fit = -fx;
        if (hook && !hook(k, std::vector<double>(x.data(), x.data() + size), outcome.fit)) {
            outcome.stopped = true;
            break;
        }
        const double then = history[static_cast<std::size_t>(k % past)];
        if (k >= past && outcome.fit - then < polish.relativeGain * std::fabs(outcome.fit))
            break;
        history[static_cast<std::size_t>(k % past)] = outcome.fit;

        const Vector s = x - previousX;
        const Vector y = gradient - previousGradient;
        if (s.dot(y) > 0.0)
            memory.add_correction(s, y);
        memory.apply_Hv(gradient, -1.0, direction);
        step = 1.0;
        if (!(gradient.dot(direction) < 0.0)) {
            // Not a direction of increase: start the memory afresh.
            memory.reset(static_cast<int>(size), polish.memory);
            direction = -gradient;
            step = 1.0 / direction.norm();
        }
    }
    return finish();
}

} // namespace tessarin
