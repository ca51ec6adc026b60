#include "scaling/classical_operator.h"

#include "run/run_observer.h"
#include "fit/fit_kernel_worker.h"

#include <vector>

namespace tessarin {

namespace {

void centre(const double *x, double *out, int n)
{
    double total = 0.0;
    for (int k = 0; k < n; ++k)
        total = total + x[k];
    const double mean = total / n;
    for (int k = 0; k < n; ++k)
        out[k] = x[k] - mean;
}

} // namespace

ClassicalOperator::ClassicalOperator(const DistanceData &data, int threads, RunObserver *observer)
    : m_data(data), m_n(data.ItemCount > 0 ? data.ItemCount : 0), m_threads(threads), m_observer(observer)
{
}

void ClassicalOperator::rowProducts(int firstRow, int endRow, const double *z, double *y) const
{
    const int n = m_n;
    const std::size_t side = static_cast<std::size_t>(n) + 1;
    for (int i = firstRow; i < endRow; ++i) {
        const float *row = m_data.Distances.data() + (static_cast<std::size_t>(i) + 1) * side + 1;
        double lanes[8] = {};
        int j = 0;
        for (; j + 8 <= n; j += 8)
            for (int t = 0; t < 8; ++t) {
                const double g = row[j + t];
                lanes[t] = lanes[t] + (g * g) * z[j + t];
            }
        for (int t = 0; j + t < n; ++t) {
            const double g = row[j + t];
            lanes[t] = lanes[t] + (g * g) * z[j + t];
        }
        y[i] = ((lanes[0] + lanes[4]) + (lanes[2] + lanes[6])) + ((lanes[1] + lanes[5]) + (lanes[3] + lanes[7]));
    }
}

void ClassicalOperator::perform_op(const double *x_in, double *y_out) const
{
    const int n = m_n;
    std::vector<double> z(static_cast<std::size_t>(n));
    centre(x_in, z.data(), n);
    std::vector<double> y(static_cast<std::size_t>(n));
    struct Context {
        const ClassicalOperator *self;
        const double *z;
        double *y;
        int half;
    } context{this, z.data(), y.data(), n / 2};
    auto first = [](void *c) {
        auto *x = static_cast<Context *>(c);
        x->self->rowProducts(0, x->half, x->z, x->y);
    };
    auto second = [](void *c) {
        auto *x = static_cast<Context *>(c);
        x->self->rowProducts(x->half, x->self->m_n, x->z, x->y);
    };
    if (m_threads < 2 || n < 256 || !FitWorker::instance().runBeside(second, first, &context)) {
        first(&context);
        second(&context);
    }
    centre(y.data(), y_out, n);
    for (int k = 0; k < n; ++k)
        y_out[k] = -0.5 * y_out[k];
    ++m_products;
    if (m_observer)
        m_observer->progress("classical", m_products);
}

} // namespace tessarin
