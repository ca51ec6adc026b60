#include "explorer/group_shapes.h"

#include <algorithm>
#include <cmath>

namespace tessarin {

namespace {

double Cross(const ScreenPoint &o, const ScreenPoint &a, const ScreenPoint &b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

} // namespace

std::vector<ScreenPoint> ConvexHull(std::vector<ScreenPoint> points)
{
    std::sort(points.begin(), points.end(),
              [](const ScreenPoint &a, const ScreenPoint &b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    points.erase(std::unique(points.begin(), points.end(),
                             [](const ScreenPoint &a, const ScreenPoint &b) { return a.x == b.x && a.y == b.y; }),
                 points.end());
    if (points.size() < 3)
        return points;
    // Andrew's monotone chain: the lower then the upper chain.
    std::vector<ScreenPoint> hull(2 * points.size());
    std::size_t k = 0;
    for (const ScreenPoint &p : points) {
        while (k >= 2 && Cross(hull[k - 2], hull[k - 1], p) <= 0)
            --k;
        hull[k++] = p;
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && Cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    hull.resize(k - 1);
    return hull;
}

SpreadEllipse SpreadEllipseOf(const std::vector<ScreenPoint> &points)
{
    SpreadEllipse ellipse;
    const std::size_t n = points.size();
    if (n < 3)
        return ellipse;
    double mx = 0, my = 0;
    for (const ScreenPoint &p : points) {
        mx += p.x;
        my += p.y;
    }
    mx /= static_cast<double>(n);
    my /= static_cast<double>(n);
    double sxx = 0, syy = 0, sxy = 0;
    for (const ScreenPoint &p : points) {
        sxx += (p.x - mx) * (p.x - mx);
        syy += (p.y - my) * (p.y - my);
        sxy += (p.x - mx) * (p.y - my);
    }
    sxx /= static_cast<double>(n - 1);
    syy /= static_cast<double>(n - 1);
    sxy /= static_cast<double>(n - 1);
    // Eigenvalues of the 2 x 2 covariance.
    const double half = (sxx + syy) / 2;
    const double root = std::sqrt(std::max(0.0, (sxx - syy) * (sxx - syy) / 4 + sxy * sxy));
    const double first = half + root, second = std::max(0.0, half - root);
    // The 68 % quantile of the chi-square distribution with two degrees of
    // freedom: -2 ln(0.32).
    const double quantile = -2 * std::log(0.32);
    ellipse.valid = first > 0;
    ellipse.centre = {mx, my};
    ellipse.major = std::sqrt(first * quantile);
    ellipse.minor = std::sqrt(second * quantile);
    ellipse.angle = 0.5 * std::atan2(2 * sxy, sxx - syy);
    return ellipse;
}

} // namespace tessarin
