#pragma once

#include "explorer/view_transform.h"

#include <vector>

namespace tessarin {

/// The convex hull of the points, counter-clockwise as the numbers go (x to
/// the right, y up; clockwise on a screen), without repeated or collinear
/// points. One or two points give themselves.
std::vector<ScreenPoint> ConvexHull(std::vector<ScreenPoint> points);

/// The ellipse that holds about 68 % of a two-dimensional normal sample with
/// the points' mean and covariance: its centre, half axes and the angle of
/// the first axis (radians, from the x axis towards y).
struct SpreadEllipse {
    bool valid = false;
    ScreenPoint centre;
    double major = 0;
    double minor = 0;
    double angle = 0;
};

/// The 68 % ellipse of the points; not valid for fewer than three points.
SpreadEllipse SpreadEllipseOf(const std::vector<ScreenPoint> &points);

} // namespace tessarin
