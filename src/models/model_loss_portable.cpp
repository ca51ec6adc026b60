#include "models/model_loss_lanes.h"

#include <cmath>

namespace tessarin::modellanes {

namespace {

template <int D, Weight Unit, Weight Spread>
void sumTail(const RowRange &r, int i, int firstColumn, RowLanes &row)
{
    const int n = r.itemCount;
    const long offset = PairOffset(n, i);
    const double *target = r.target + offset;
    const double *unitWeight = Unit == Weight::Array ? r.unitWeight + offset : nullptr;
    const double *spreadWeight = Spread == Weight::Array ? r.spreadWeight + offset : nullptr;
    const Columns c(r);
    double xi[3];
    for (int d = 0; d < D; ++d)
        xi[d] = c.coords[d][i];
    for (int j = firstColumn; j < n; ++j) {
        const int k = j - i - 1;
        const int lane = k & 7;
        double dx[3];
        for (int d = 0; d < D; ++d)
            dx[d] = xi[d] - c.coords[d][j];
        double squared = dx[0] * dx[0];
        for (int d = 1; d < D; ++d)
            squared = squared + dx[d] * dx[d];
        const double m = std::sqrt(squared);
        const double inverse = m > 0.0 ? 1.0 / m : 0.0;
        const double t = target[k];
        r.sumTargetMap[lane] = r.sumTargetMap[lane] + t * m;
        double t0 = 1.0;
        if constexpr (Unit == Weight::Array)
            t0 = unitWeight[k];
        if constexpr (Unit != Weight::Absent)
            r.sumUnitMap[lane] = r.sumUnitMap[lane] + t0 * m;
        double v = 1.0;
        if constexpr (Spread == Weight::Array)
            v = spreadWeight[k];
        r.sumSquare[lane] = r.sumSquare[lane] + v * squared;
        for (int d = 0; d < D; ++d) {
            const double u = dx[d] * inverse;
            const double tu = t * u;
            row.target[d][lane] = row.target[d][lane] + tu;
            c.targetSum[d][j] = c.targetSum[d][j] - tu;
            if constexpr (Unit != Weight::Absent) {
                const double t0u = t0 * u;
                row.unit[d][lane] = row.unit[d][lane] + t0u;
                c.unitSum[d][j] = c.unitSum[d][j] - t0u;
            }
            const double vdx = v * dx[d];
            row.spread[d][lane] = row.spread[d][lane] + vdx;
            c.spreadSum[d][j] = c.spreadSum[d][j] - vdx;
        }
    }
}

template <int D, Weight Unit, Weight Spread>
struct Portable {
    static void run(const RowRange &r)
    {
        const Columns c(r);
        for (int i = r.firstRow; i < r.endRow; ++i) {
            RowLanes row{};
            sumTail<D, Unit, Spread>(r, i, i + 1, row);
            AddRowLanes<D, Unit>(c, i, row);
        }
    }
};

template <int D, Weight Unit, Weight Spread>
struct Tail {
    static void run(const RowRange &r, int row, int firstColumn, RowLanes &lanes)
    {
        sumTail<D, Unit, Spread>(r, row, firstColumn, lanes);
    }
};

} // namespace

void SumRowTail(const RowRange &range, int row, int firstColumn, RowLanes &lanes)
{
    Dispatch<Tail>(range, row, firstColumn, lanes);
}

void SumRowsPortable(const RowRange &range) { Dispatch<Portable>(range); }

namespace {

template <int D>
void orderedDistances(const double *const *coords, const std::uint16_t *first, const std::uint16_t *second,
                      std::size_t count, double *out)
{
    for (std::size_t k = 0; k < count; ++k) {
        const int i = first[k];
        const int j = second[k];
        double dx[3];
        for (int d = 0; d < D; ++d)
            dx[d] = coords[d][i] - coords[d][j];
        double squared = dx[0] * dx[0];
        for (int d = 1; d < D; ++d)
            squared = squared + dx[d] * dx[d];
        out[k] = std::sqrt(squared);
    }
}

} // namespace

void OrderedMapDistances(int dimensions, const double *const *coords, const std::uint16_t *first,
                         const std::uint16_t *second, std::size_t count, double *out)
{
    if (dimensions == 3)
        orderedDistances<3>(coords, first, second, count, out);
    else
        orderedDistances<2>(coords, first, second, count, out);
}

} // namespace tessarin::modellanes
