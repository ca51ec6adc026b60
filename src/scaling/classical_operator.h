#pragma once

#include "data/distance_data.h"

#include <functional>

namespace tessarin {

/// y = B x with B = -1/2 J (D o D) J, never built: x is centred, multiplied
/// by the squared given distances row by row (each row on one thread, 8
/// lanes added in a fixed order), centred again and halved. Every thread
/// count gives the same bits. The operator type of Spectra's solvers.
class ClassicalOperator {
public:
    using Scalar = double;

    /// `threads` 1 or 2. Keeps a reference to `data`.
    ClassicalOperator(const DistanceData &data, int threads);

    long rows() const { return m_n; }
    long cols() const { return m_n; }

    /// y_out = B x_in, N values each.
    void perform_op(const double *x_in, double *y_out) const;

    /// Products taken so far.
    int products() const { return m_products; }

    /// Called after each product with the count so far.
    std::function<void(int)> onProduct;

private:
    void rowProducts(int firstRow, int endRow, const double *centred, double *y) const;

    const DistanceData &m_data;
    int m_n;
    int m_threads;
    mutable int m_products = 0;
};

} // namespace tessarin
