#include "models/model_loss_lanes.h"

#include <cmath>

namespace tessarin::modellanes {

namespace {

template <int D, Weight Unit, Weight Spread>
void sumRows(const RowRange &r)
{
    const int n = r.itemCount;
    const double *coords[3];
    double *targetSum[3];
    double *unitSum[3];
    double *spreadSum[3];
    for (int d = 0; d < 3; ++d) {
        coords[d] = r.coords[d];
        targetSum[d] = r.targetSum[d];
        unitSum[d] = r.unitSum[d];
        spreadSum[d] = r.spreadSum[d];
    }
    double sumTargetMap[8], sumUnitMap[8], sumSquare[8];
    for (int l = 0; l < 8; ++l) {
        sumTargetMap[l] = r.sumTargetMap[l];
        sumUnitMap[l] = r.sumUnitMap[l];
        sumSquare[l] = r.sumSquare[l];
    }
    for (int i = r.firstRow; i < r.endRow; ++i) {
        const long offset = PairOffset(n, i);
        const double *target = r.target + offset;
        const double *unitWeight = Unit == Weight::Array ? r.unitWeight + offset : nullptr;
        const double *spreadWeight = Spread == Weight::Array ? r.spreadWeight + offset : nullptr;
        double xi[3];
        for (int d = 0; d < D; ++d)
            xi[d] = coords[d][i];
        double rowTarget[3][8] = {};
        double rowUnit[3][8] = {};
        double rowSpread[3][8] = {};
        for (int j = i + 1; j < n; ++j) {
            
            double dx[3];
            for (int d = 0; d < D; ++d)
                dx[d] = xi[d] - coords[d][j];
            double squared = dx[0] * dx[0];
            for (int d = 1; d < D; ++d)
                squared = squared + dx[d] * dx[d];
            const double m = std::sqrt(squared);
            const double inverse = m > 0.0 ? 1.0 / m : 0.0;
            const int k = j - i - 1;
            const double t = target[k];
            const int lane = k & 7;
            sumTargetMap[lane] = sumTargetMap[lane] + t * m;
            double t0 = 1.0;
            if constexpr (Unit == Weight::Array)
                t0 = unitWeight[k];
            if constexpr (Unit != Weight::Absent)
                sumUnitMap[lane] = sumUnitMap[lane] + t0 * m;
            double v = 1.0;
            if constexpr (Spread == Weight::Array)
                v = spreadWeight[k];
            sumSquare[lane] = sumSquare[lane] + v * squared;
            for (int d = 0; d < D; ++d) {
                const double u = dx[d] * inverse;
                const double tu = t * u;
                rowTarget[d][lane] = rowTarget[d][lane] + tu;
                targetSum[d][j] = targetSum[d][j] - tu;
                if constexpr (Unit != Weight::Absent) {
                    const double t0u = t0 * u;
                    rowUnit[d][lane] = rowUnit[d][lane] + t0u;
                    unitSum[d][j] = unitSum[d][j] - t0u;
                }
                const double vdx = v * dx[d];
                rowSpread[d][lane] = rowSpread[d][lane] + vdx;
                spreadSum[d][j] = spreadSum[d][j] - vdx;
            }
        }
        for (int d = 0; d < D; ++d) {
            targetSum[d][i] = targetSum[d][i] + LaneSum8(rowTarget[d]);
            if constexpr (Unit != Weight::Absent)
                unitSum[d][i] = unitSum[d][i] + LaneSum8(rowUnit[d]);
            spreadSum[d][i] = spreadSum[d][i] + LaneSum8(rowSpread[d]);
        }
    }
    for (int l = 0; l < 8; ++l) {
        r.sumTargetMap[l] = sumTargetMap[l];
        r.sumUnitMap[l] = sumUnitMap[l];
        r.sumSquare[l] = sumSquare[l];
    }
}

template <int D, Weight Unit>
void bySpread(const RowRange &r)
{
    if (r.spreadKind == Weight::Array)
        sumRows<D, Unit, Weight::Array>(r);
    else
        sumRows<D, Unit, Weight::Ones>(r);
}

template <int D>
void byUnit(const RowRange &r)
{
    switch (r.unitKind) {
    case Weight::Array:
        bySpread<D, Weight::Array>(r);
        break;
    case Weight::Ones:
        bySpread<D, Weight::Ones>(r);
        break;
    case Weight::Absent:
        bySpread<D, Weight::Absent>(r);
        break;
    }
}

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

void SumRowsPortable(const RowRange &range)
{
    if (range.dimensions == 3)
        byUnit<3>(range);
    else
        byUnit<2>(range);
}

void OrderedMapDistances(int dimensions, const double *const *coords, const std::uint16_t *first,
                         const std::uint16_t *second, std::size_t count, double *out)
{
    if (dimensions == 3)
        orderedDistances<3>(coords, first, second, count, out);
    else
        orderedDistances<2>(coords, first, second, count, out);
}

} // namespace tessarin::modellanes
