#pragma once

#include <vector>

namespace tessarin {

/// Eigenvalues and eigenvectors of a small dense symmetric matrix.
struct SymmetricEigen {
    /// Largest algebraic first.
    std::vector<double> values;
    /// Column k (the eigenvector of values[k]) at [row * size + k]; unit length,
    /// its largest-magnitude entry positive (the first such entry on a tie).
    std::vector<double> vectors;
};

/// Cyclic Jacobi rotations: arithmetic and square roots only (no
/// trigonometry), a fixed sweep budget, so every build gives the same bits.
/// `matrix` is size x size, row by row, symmetric. For the 2 x 2 and 3 x 3
/// covariances of a map and tables of a few dozen items; O(size^3) a sweep.
SymmetricEigen JacobiEigen(std::vector<double> matrix, int size);

} // namespace tessarin
