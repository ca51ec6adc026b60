#pragma once

#include <vector>

namespace tessarin {

/// Centres a map (item-major, `dimensions` coordinates an item) and rotates
/// it onto its principal axes: coordinate 0 along the direction of largest
/// spread, then the next. Square roots only (Jacobi rotations), so every
/// build gives the same bits. Distances between items are kept.
void RotateToPrincipalAxes(std::vector<double> &coords, int itemCount, int dimensions);

/// Item-major to coordinate-major (item j's coordinate d at [d * N + j]) and back.
std::vector<double> CoordinateMajor(const std::vector<double> &itemMajor, int itemCount, int dimensions);
std::vector<double> ItemMajor(const std::vector<double> &coordinateMajor, int itemCount, int dimensions);

} // namespace tessarin
