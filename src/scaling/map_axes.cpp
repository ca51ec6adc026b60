#include "scaling/map_axes.h"

#include "scaling/classical_scaling.h"
#include "scaling/symmetric_eigen.h"

#include <algorithm>
#include <cmath>

namespace tessarin {

void RotateToPrincipalAxes(std::vector<double> &coords, int n, int dims)
{
    if (n <= 0)
        return;
    const std::size_t size = static_cast<std::size_t>(dims);
    std::vector<double> mean(size, 0.0);
    for (int i = 0; i < n; ++i)
        for (std::size_t d = 0; d < size; ++d)
            mean[d] = mean[d] + coords[static_cast<std::size_t>(i) * size + d];
    for (double &m : mean)
        m = m / n;
    std::vector<double> covariance(size * size, 0.0);
    for (int i = 0; i < n; ++i) {
        double *c = coords.data() + static_cast<std::size_t>(i) * size;
        for (std::size_t d = 0; d < size; ++d)
            c[d] = c[d] - mean[d];
        for (std::size_t a = 0; a < size; ++a)
            for (std::size_t b = a; b < size; ++b)
                covariance[a * size + b] = covariance[a * size + b] + c[a] * c[b];
    }
    for (std::size_t a = 0; a < size; ++a)
        for (std::size_t b = 0; b < a; ++b)
            covariance[a * size + b] = covariance[b * size + a];
    const SymmetricEigen axes = JacobiEigen(std::move(covariance), dims);
    std::vector<double> rotated(size);
    for (int i = 0; i < n; ++i) {
        double *c = coords.data() + static_cast<std::size_t>(i) * size;
        for (std::size_t k = 0; k < size; ++k) {
            double value = 0.0;
            for (std::size_t d = 0; d < size; ++d)
                value = value + c[d] * axes.vectors[d * size + k];
            rotated[k] = value;
        }
        std::copy(rotated.begin(), rotated.end(), c);
    }
}

std::vector<double> CoordinateMajor(const std::vector<double> &itemMajor, int n, int dims)
{
    std::vector<double> out(itemMajor.size());
    for (int i = 0; i < n; ++i)
        for (int d = 0; d < dims; ++d)
            out[static_cast<std::size_t>(d) * n + i] = itemMajor[static_cast<std::size_t>(i) * dims + d];
    return out;
}

std::vector<double> ItemMajor(const std::vector<double> &coordinateMajor, int n, int dims)
{
    std::vector<double> out(coordinateMajor.size());
    for (int i = 0; i < n; ++i)
        for (int d = 0; d < dims; ++d)
            out[static_cast<std::size_t>(i) * dims + d] = coordinateMajor[static_cast<std::size_t>(d) * n + i];
    return out;
}

Layout StoredLayout(const std::vector<double> &xy, int itemCount)
{
    const int n = itemCount > 0 ? itemCount : 0;
    Layout layout(2 * static_cast<std::size_t>(n) + 1, 0.0f);
    if (n == 0)
        return layout;
    std::vector<double> map(xy.begin(), xy.begin() + 2 * static_cast<std::ptrdiff_t>(n));
    RotateToPrincipalAxes(map, n, 2);
    double low[2] = {map[0], map[1]};
    double high[2] = {map[0], map[1]};
    for (int i = 1; i < n; ++i)
        for (int d = 0; d < 2; ++d) {
            low[d] = std::min(low[d], map[static_cast<std::size_t>(i) * 2 + d]);
            high[d] = std::max(high[d], map[static_cast<std::size_t>(i) * 2 + d]);
        }
    const int longer = high[1] - low[1] > high[0] - low[0] ? 1 : 0;
    const double extent = high[longer] - low[longer];
    const double scale = extent > 0.0 ? 990.0 / extent : 0.0;
    for (int i = 0; i < n; ++i)
        for (int d = 0; d < 2; ++d) {
            const double value = map[static_cast<std::size_t>(i) * 2 + d];
            // A map without extent (every item on one point) sits in the middle.
            const double stored = d == longer && scale > 0.0 ? 5.0 + (value - low[d]) * scale
                                                             : 500.0 + (value - 0.5 * (low[d] + high[d])) * scale;
            layout[static_cast<std::size_t>(d) * n + i + 1] = static_cast<float>(stored);
        }
    return layout;
}

} // namespace tessarin
