#include "scaling/symmetric_eigen.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tessarin {

SymmetricEigen JacobiEigen(std::vector<double> a, int size)
{
    const std::size_t n = static_cast<std::size_t>(size);
    std::vector<double> v(n * n, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        v[i * n + i] = 1.0;
    auto at = [&](std::size_t r, std::size_t c) -> double & { return a[r * n + c]; };

    constexpr int MaxSweeps = 60;
    for (int sweep = 0; sweep < MaxSweeps; ++sweep) {
        double off = 0.0;
        double diagonal = 0.0;
        for (std::size_t r = 0; r < n; ++r) {
            diagonal = diagonal + at(r, r) * at(r, r);
            for (std::size_t c = r + 1; c < n; ++c)
                off = off + at(r, c) * at(r, c);
        }
        if (off == 0.0 || off <= 1e-32 * diagonal)
            break;
        for (std::size_t p = 0; p < n; ++p) {
            for (std::size_t q = p + 1; q < n; ++q) {
                const double apq = at(p, q);
                if (apq == 0.0)
                    continue;
                // The rotation that zeroes (p, q), from its tangent: square
                // roots only, the smaller of the two angles.
                const double theta = (at(q, q) - at(p, p)) / (2.0 * apq);
                const double t = (theta >= 0.0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0);
                const double s = t * c;
                for (std::size_t k = 0; k < n; ++k) {
                    const double akp = at(k, p);
                    const double akq = at(k, q);
                    at(k, p) = c * akp - s * akq;
                    at(k, q) = s * akp + c * akq;
                }
                for (std::size_t k = 0; k < n; ++k) {
                    const double apk = at(p, k);
                    const double aqk = at(q, k);
                    at(p, k) = c * apk - s * aqk;
                    at(q, k) = s * apk + c * aqk;
                }
                for (std::size_t k = 0; k < n; ++k) {
                    const double vkp = v[k * n + p];
                    const double vkq = v[k * n + q];
                    v[k * n + p] = c * vkp - s * vkq;
                    v[k * n + q] = s * vkp + c * vkq;
                }
            }
        }
    }

    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return at(x, x) > at(y, y); });
    SymmetricEigen result;
    result.values.resize(n);
    result.vectors.assign(n * n, 0.0);
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t from = order[k];
        result.values[k] = at(from, from);
        std::size_t biggest = 0;
        for (std::size_t r = 1; r < n; ++r)
            if (std::fabs(v[r * n + from]) > std::fabs(v[biggest * n + from]))
                biggest = r;
        const double sign = v[biggest * n + from] < 0.0 ? -1.0 : 1.0;
        for (std::size_t r = 0; r < n; ++r)
            result.vectors[r * n + k] = sign * v[r * n + from];
    }
    return result;
}

} // namespace tessarin
