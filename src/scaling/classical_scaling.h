#pragma once

#include "data/distance_data.h"
#include "data/layout.h"

#include <vector>

namespace tessarin {

class RunObserver;

/// Classical (Torgerson) scaling: the eigenvectors of the largest algebraic
/// eigenvalues of B = -1/2 J (D o D) J, each times the root of its
/// eigenvalue (0 for an eigenvalue that is not positive), centred.
/// `dimensions` is 2 or 3. The result is item-major in double precision:
/// item i (1..N) has coordinate k at [(i - 1) * dimensions + k]. The same
/// table gives the same coordinates bit for bit.
std::vector<double> ClassicalCoordinates(const DistanceData &data, int dimensions);

/// The same, telling `observer` (may be null) the operator products as
/// progress of the stage "classical". Throws TessarinError when N is 0.
std::vector<double> ClassicalCoordinates(const DistanceData &data, int dimensions, RunObserver *observer);

/// The 2-D classical map in stored form (see StoredLayout).
Layout ClassicalLayout(const DistanceData &data);

/// Puts a 2-D map (item-major x, y in double precision) into stored form:
/// rotated to its principal axes, the longer axis scaled to 5..995 and the
/// other centred on 500, taken to single precision at positions 1..2N.
Layout StoredLayout(const std::vector<double> &xy, int itemCount);

} // namespace tessarin
