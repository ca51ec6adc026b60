#include "scaling/classical_scaling.h"

#include "base/tessarin_error.h"
#include "scaling/eigen_setup.h"

#include "scaling/classical_operator.h"
#include "scaling/duplicate_items.h"
#include "scaling/filled_distances.h"
#include "fit/fit_gradient.h"
#include "base/random_source.h"
#include "run/run_observer.h"
#include "scaling/symmetric_eigen.h"

#include <Spectra/SymEigsSolver.h>

#include <algorithm>
#include <cmath>

namespace tessarin {

namespace {

/// Up to this many items the operator's matrix is taken column by column
/// and solved densely (Lanczos needs more items than vectors).
constexpr int DenseItems = 24;
/// The Lanczos basis: a few more vectors than wanted converge in about one
/// restart.
constexpr int LanczosVectors = 12;
/// Restarts allowed: Spectra judges each pair against its own eigenvalue, so
/// a near-zero third one (a table of points in a plane) may never converge;
/// it then stays 0 after at most about 200 products.
constexpr int LanczosRestarts = 20;
constexpr double LanczosTolerance = 1e-10;
constexpr std::uint64_t StartSeed = 0x5eed0f0c1a551caULL;

struct Eigenpairs {
    std::vector<double> values;  // largest algebraic first
    std::vector<double> vectors; // column k at [i * count + k]
    int count = 0;
};

Eigenpairs denseEigenpairs(const ClassicalOperator &op, int n, int wanted)
{
    std::vector<double> matrix(static_cast<std::size_t>(n) * n);
    std::vector<double> unit(static_cast<std::size_t>(n), 0.0);
    std::vector<double> column(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        unit[static_cast<std::size_t>(k)] = 1.0;
        op.perform_op(unit.data(), column.data());
        unit[static_cast<std::size_t>(k)] = 0.0;
        for (int i = 0; i < n; ++i)
            matrix[static_cast<std::size_t>(i) * n + k] = column[static_cast<std::size_t>(i)];
    }
    for (int i = 0; i < n; ++i)
        for (int k = i + 1; k < n; ++k) {
            const double mean = 0.5 * (matrix[static_cast<std::size_t>(i) * n + k] + matrix[static_cast<std::size_t>(k) * n + i]);
            matrix[static_cast<std::size_t>(i) * n + k] = mean;
            matrix[static_cast<std::size_t>(k) * n + i] = mean;
        }
    const SymmetricEigen eigen = JacobiEigen(std::move(matrix), n);
    Eigenpairs pairs;
    pairs.count = std::min(wanted, n);
    for (int k = 0; k < pairs.count; ++k)
        pairs.values.push_back(eigen.values[static_cast<std::size_t>(k)]);
    pairs.vectors.resize(static_cast<std::size_t>(n) * pairs.count);
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < pairs.count; ++k)
            pairs.vectors[static_cast<std::size_t>(i) * pairs.count + k] = eigen.vectors[static_cast<std::size_t>(i) * n + k];
    return pairs;
}

Eigenpairs lanczosEigenpairs(ClassicalOperator &op, int n, int wanted, const std::vector<double> &start)
{
    const int basis = std::min(n, std::max(LanczosVectors, 2 * wanted + 1));
    Spectra::SymEigsSolver<ClassicalOperator> solver(op, wanted, basis);
    solver.init(start.data());
    solver.compute(Spectra::SortRule::LargestAlge, LanczosRestarts, LanczosTolerance, Spectra::SortRule::LargestAlge);
    Eigenpairs pairs;
    const Eigen::VectorXd values = solver.eigenvalues();
    const Eigen::MatrixXd vectors = solver.eigenvectors();
    // Only converged pairs come back; a dimension without one stays 0.
    pairs.count = static_cast<int>(values.size());
    pairs.values.assign(values.data(), values.data() + values.size());
    pairs.vectors.resize(static_cast<std::size_t>(n) * pairs.count);
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < pairs.count; ++k)
            pairs.vectors[static_cast<std::size_t>(i) * pairs.count + k] = vectors(i, k);
    return pairs;
}

} // namespace

std::vector<double> ClassicalCoordinates(const DistanceData &data, int dimensions)
{
    return ClassicalCoordinates(data, dimensions, nullptr);
}

std::vector<double> ClassicalCoordinates(const DistanceData &data, int dimensions, RunObserver *observer)
{
    const int n = data.ItemCount;
    if (n <= 0)
        throw TessarinError("a classical start needs distances: no distance file has been read");
    if (dimensions != 2 && dimensions != 3)
        throw TessarinError("a classical start has 2 or 3 dimensions, not " + std::to_string(dimensions));
    std::vector<double> coords(static_cast<std::size_t>(n) * dimensions, 0.0);
    if (n == 1)
        return coords;
    if (data.weighted()) {
        const DistanceData filled = FilledDistances(data);
        return ClassicalCoordinates(filled, dimensions, observer);
    }

    ClassicalOperator op(data, DefaultFitOptions().threads, observer);

    // The start vector: a fixed sequence multiplied once by B, so that items
    // with identical rows get identical entries.
    FixedSequence sequence(StartSeed);
    std::vector<double> random(static_cast<std::size_t>(n));
    for (double &value : random)
        value = sequence.nextUnit() - 0.5;
    std::vector<double> start(static_cast<std::size_t>(n));
    op.perform_op(random.data(), start.data());
    double size = 0.0;
    for (double value : start)
        size = size + value * value;
    if (!(size > 0.0) || !std::isfinite(size))
        return coords; // B is 0: every item on one point

    const Eigenpairs pairs =
        n <= DenseItems ? denseEigenpairs(op, n, dimensions) : lanczosEigenpairs(op, n, dimensions, start);
    for (int k = 0; k < pairs.count && k < dimensions; ++k) {
        const double value = pairs.values[static_cast<std::size_t>(k)];
        if (!(value > 0.0))
            continue;
        const double root = std::sqrt(value);
        // Each vector's sign is fixed by its largest entry, for every solver.
        int biggest = 0;
        for (int i = 1; i < n; ++i)
            if (std::fabs(pairs.vectors[static_cast<std::size_t>(i) * pairs.count + k]) >
                std::fabs(pairs.vectors[static_cast<std::size_t>(biggest) * pairs.count + k]))
                biggest = i;
        const double sign = pairs.vectors[static_cast<std::size_t>(biggest) * pairs.count + k] < 0.0 ? -root : root;
        double total = 0.0;
        for (int i = 0; i < n; ++i) {
            const double c = pairs.vectors[static_cast<std::size_t>(i) * pairs.count + k] * sign;
            coords[static_cast<std::size_t>(i) * dimensions + k] = c;
            total = total + c;
        }
        const double mean = total / n;
        for (int i = 0; i < n; ++i)
            coords[static_cast<std::size_t>(i) * dimensions + k] -= mean;
    }

    const DuplicateItems duplicates(data);
    if (duplicates.any())
        for (int i = 0; i < n; ++i)
            for (int k = 0; k < dimensions; ++k)
                coords[static_cast<std::size_t>(i) * dimensions + k] =
                    coords[static_cast<std::size_t>(duplicates.first(i)) * dimensions + k];
    return coords;
}

Layout ClassicalLayout(const DistanceData &data) { return StoredLayout(ClassicalCoordinates(data, 2), data.ItemCount); }

} // namespace tessarin
