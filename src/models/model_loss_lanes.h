#pragma once

// The inner loops of the stress models' loss-and-gradient pass over a range
// of rows of pairs, in the lane order of the fit-and-gradient pass: pair
// (i, j) of row i belongs to lane (j - i - 1) mod 8; the sums over pairs keep
// one partial sum per lane across all rows of the range; the per-item sums
// gather row i's pairs in lanes and add them to item i once the row is done
// (combined as LaneSum8 does), while item j receives its share of pair (i, j)
// at once, by one subtraction, rows in increasing order.
//
// Every model's loss is built from three per-pair numbers (arrays in pair
// order): a target t, a unit weight t0 and a spread weight v, and from
//   sum t m, sum t0 m, sum v m^2 over the pairs, and per item i
//   sum_j t u_ij, sum_j t0 u_ij, sum_j v (Xi - Xj),
// with m the map distance and u_ij = (Xi - Xj) / m_ij (0 when m_ij = 0).

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace tessarin::modellanes {

/// Where a per-pair weight comes from.
enum class Weight {
    Absent, ///< not summed at all
    Ones,   ///< 1 for every pair
    Array,  ///< read from the pair-order array
};

struct RowRange {
    int itemCount;
    /// 2 or 3.
    int dimensions;
    /// Coordinate d of item j (0-based) at coords[d][j].
    const double *coords[3];
    /// Rows [firstRow, endRow), 0-based.
    int firstRow;
    int endRow;
    /// t, in pair order (i = 0..N-1, j = i + 1..N-1).
    const double *target;
    /// t0 and v and where they come from (the arrays for Weight::Array).
    Weight unitKind;
    const double *unitWeight;
    Weight spreadKind;
    const double *spreadWeight;
    /// Per item, coordinate d at [d][j]: sum t u, sum t0 u, sum v (Xi - Xj).
    /// Zeroed by the caller.
    double *targetSum[3];
    double *unitSum[3];
    double *spreadSum[3];
    /// Lane sums, 8 each: t m, t0 m, v m^2. Zeroed by the caller.
    double *sumTargetMap;
    double *sumUnitMap;
    double *sumSquare;
};

/// A range's column arrays held in locals. The loops store through these
/// pointers; read through the range, every pointer would be fetched again
/// after every store, since a store might have changed the range.
struct Columns {
    explicit Columns(const RowRange &r)
    {
        for (int d = 0; d < 3; ++d) {
            coords[d] = r.coords[d];
            targetSum[d] = r.targetSum[d];
            unitSum[d] = r.unitSum[d];
            spreadSum[d] = r.spreadSum[d];
        }
    }
    const double *coords[3];
    double *targetSum[3];
    double *unitSum[3];
    double *spreadSum[3];
};

/// One row's lane sums of the per-item sums for its item i.
struct RowLanes {
    double target[3][8];
    double unit[3][8];
    double spread[3][8];
};

/// The fixed combination of 8 lane values:
/// ((l0 + l4) + (l2 + l6)) + ((l1 + l5) + (l3 + l7)).
inline double LaneSum8(const double *l)
{
    return ((l[0] + l[4]) + (l[2] + l[6])) + ((l[1] + l[5]) + (l[3] + l[7]));
}

/// The offset of row i's first pair in pair order.
inline long PairOffset(int itemCount, int row)
{
    return static_cast<long>(row) * itemCount - static_cast<long>(row) * (row + 1) / 2;
}

/// Adds a finished row's lanes to item i, each combined as LaneSum8 does.
template <int D, Weight Unit>
inline void AddRowLanes(const Columns &c, int i, const RowLanes &row)
{
    for (int d = 0; d < D; ++d) {
        c.targetSum[d][i] = c.targetSum[d][i] + LaneSum8(row.target[d]);
        if constexpr (Unit != Weight::Absent)
            c.unitSum[d][i] = c.unitSum[d][i] + LaneSum8(row.unit[d]);
        c.spreadSum[d][i] = c.spreadSum[d][i] + LaneSum8(row.spread[d]);
    }
}

/// Runs Kernel<D, Unit, Spread>::run(range, more...) for the range's
/// dimensions and weight kinds.
template <template <int, Weight, Weight> class Kernel, class... More>
inline void Dispatch(const RowRange &r, More &&...more)
{
    auto bySpread = [&](auto dims, auto unit) {
        constexpr int D = decltype(dims)::value;
        constexpr Weight U = decltype(unit)::value;
        if (r.spreadKind == Weight::Array)
            Kernel<D, U, Weight::Array>::run(r, more...);
        else
            Kernel<D, U, Weight::Ones>::run(r, more...);
    };
    auto byUnit = [&](auto dims) {
        switch (r.unitKind) {
        case Weight::Array:
            bySpread(dims, std::integral_constant<Weight, Weight::Array>{});
            break;
        case Weight::Ones:
            bySpread(dims, std::integral_constant<Weight, Weight::Ones>{});
            break;
        case Weight::Absent:
            bySpread(dims, std::integral_constant<Weight, Weight::Absent>{});
            break;
        }
    };
    if (r.dimensions == 3)
        byUnit(std::integral_constant<int, 3>{});
    else
        byUnit(std::integral_constant<int, 2>{});
}

void SumRowsPortable(const RowRange &range);
/// Needs AVX2.
void SumRowsAvx2(const RowRange &range);
/// Needs AVX-512F.
void SumRowsAvx512(const RowRange &range);

/// Pairs (i, j) of row i for j in [firstColumn, N), lanes counted from
/// i + 1, with the row's lanes in `lanes` and the range's lane sums in its
/// arrays: the portable loop; the vector paths use it for the last pairs of
/// a row.
void SumRowTail(const RowRange &range, int row, int firstColumn, RowLanes &lanes);

/// The map distances of `count` pairs (first[k], second[k]), first[k] <
/// second[k], 0-based, into out[k]: the same numbers as the pass forms.
void OrderedMapDistances(int dimensions, const double *const *coords, const std::uint16_t *first,
                         const std::uint16_t *second, std::size_t count, double *out);

} // namespace tessarin::modellanes
