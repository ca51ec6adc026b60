#pragma once

#include "data/distance_data.h"


namespace tessarin {

class RunObserver;

/// y = B x with B = -1/2 J (D o D) J, never built: x is centred, multiplied
/// by the squared given distances row by row (each row on one thread, 8
/// lanes added in a fixed order), centred again and halved. Every thread
/// count gives the same bits. The operator type of Spectra's solvers.
class ClassicalOperator {
public:
    using Scalar = double;

    /// `threads` 1 or 2. Keeps a reference to `data`. `observer`, when
    /// given, hears of each product as iteration "classical" n.
    ClassicalOperator(const DistanceData &data, int threads, RunObserver *observer = nullptr);

    long rows() const { return m_n; }
    long cols() const { return m_n; }

    /// y_out = B x_in, N values each.
    void perform_op(const double *x_in, double *y_out) const;

    /// Products taken so far.
    int products() const { return m_products; }

private:
    void rowProducts(int firstRow, int endRow, const double *centred, double *y) const;

    const DistanceData &m_data;
    int m_n;
    int m_threads;
    RunObserver *m_observer;
    mutable int m_products = 0;
};

} // namespace tessarin
