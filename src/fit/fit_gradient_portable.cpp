#include "fit/fit_gradient_lanes.h"

#include <cmath>

namespace tessarin::gradientlanes {

namespace {

template <int D>
void sumTail(const RowRange &r, int i, int first, double (*rowCross)[8], double (*rowUnit)[8])
{
    const int n = r.itemCount;
    const float *given = r.pairs + PairOffset(n, i);
    const Columns c(r);
    double xi[3];
    for (int d = 0; d < D; ++d)
        xi[d] = r.coords[d][i];
    for (int j = first; j < n; ++j) {
        const int lane = (j - i - 1) & 7;
        double dx[3];
        for (int d = 0; d < D; ++d)
            dx[d] = xi[d] - c.coords[d][j];
        double squared = dx[0] * dx[0];
        for (int d = 1; d < D; ++d)
            squared = squared + dx[d] * dx[d];
        squared = squared + r.smoothing;
        const double m = std::sqrt(squared);
        const double inverse = m > 0.0 ? 1.0 / m : 0.0;
        const double g = given[j - i - 1];
        const double w = g - r.givenMean;
        r.sumDistance[lane] = r.sumDistance[lane] + m;
        r.sumSquare[lane] = r.sumSquare[lane] + squared;
        r.sumCross[lane] = r.sumCross[lane] + g * m;
        for (int d = 0; d < D; ++d) {
            const double u = dx[d] * inverse;
            const double wu = w * u;
            rowCross[d][lane] = rowCross[d][lane] + wu;
            rowUnit[d][lane] = rowUnit[d][lane] + u;
            c.cross[d][j] = c.cross[d][j] - wu;
            c.unit[d][j] = c.unit[d][j] - u;
        }
    }
}

template <int D>
void sumRows(const RowRange &r)
{
    const Columns c(r);
    for (int i = r.firstRow; i < r.endRow; ++i) {
        double rowCross[3][8] = {};
        double rowUnit[3][8] = {};
        sumTail<D>(r, i, i + 1, rowCross, rowUnit);
        for (int d = 0; d < D; ++d) {
            c.cross[d][i] = c.cross[d][i] + LaneSum8(rowCross[d]);
            c.unit[d][i] = c.unit[d][i] + LaneSum8(rowUnit[d]);
        }
    }
}

} // namespace

void SumRowTail(const RowRange &range, int row, int firstColumn, double (*rowCross)[8], double (*rowUnit)[8])
{
    if (range.dimensions == 3)
        sumTail<3>(range, row, firstColumn, rowCross, rowUnit);
    else
        sumTail<2>(range, row, firstColumn, rowCross, rowUnit);
}

void SumRowsPortable(const RowRange &range)
{
    if (range.dimensions == 3)
        sumRows<3>(range);
    else
        sumRows<2>(range);
}

} // namespace tessarin::gradientlanes
