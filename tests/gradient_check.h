#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <random>
#include <vector>

namespace tessarin::testing {

/// `n` items in `dimensions` dimensions, coordinate-major, drawn evenly from
/// 0..`scale`.
inline std::vector<double> RandomCoords(int n, int dimensions, std::mt19937 &engine, double scale = 100.0)
{
    std::uniform_real_distribution<double> uniform(0.0, scale);
    std::vector<double> coords(static_cast<std::size_t>(n) * dimensions);
    for (double &c : coords)
        c = uniform(engine);
    return coords;
}

/// Checks `gradient`, the gradient of `value` at `coords`, against central
/// differences of step 1e-5: each coordinate within 1e-6 of the largest
/// component plus `slack`. A gradient that is 0 everywhere fails, as it
/// would check nothing.
inline void ExpectCentralDifferences(const std::vector<double> &coords, const std::vector<double> &gradient,
                                     const std::function<double(const double *)> &value, double slack)
{
    double largest = 0.0;
    for (double g : gradient)
        largest = std::max(largest, std::fabs(g));
    ASSERT_GT(largest, 0.0);
    const double h = 1e-5;
    for (std::size_t k = 0; k < coords.size(); ++k) {
        std::vector<double> plus = coords, minus = coords;
        plus[k] += h;
        minus[k] -= h;
        const double numeric = (value(plus.data()) - value(minus.data())) / (2 * h);
        EXPECT_NEAR(gradient[k], numeric, 1e-6 * largest + slack) << "coordinate " << k;
    }
}

} // namespace tessarin::testing
