#pragma once

// The inner loop of the fit-and-gradient pass over a range of rows of pairs.
//
// Every path gives the same bits. The order is fixed by 8 "lanes": pair
// (i, j) of row i belongs to lane (j - i - 1) mod 8. The three sums over the
// pairs (map distances, their squares, map times given distance) keep one
// partial sum per lane across all rows of the range. The two per-item sums
// of the gradient (see FitGradient) gather the pairs (i, j), j > i, of row i
// in lanes and add them to item i once the row is done (lanes combined as
// LaneSum8 does); item j receives its share of pair (i, j) at once, by
// one subtraction, rows in increasing order. Only the lanes run side by
// side in the vector paths; each lane's operations and their order are those
// of the portable path.

namespace tessarin::gradientlanes {

/// One range of rows: what it reads and where it adds.
struct RowRange {
    int itemCount;
    /// 2 or 3.
    int dimensions;
    /// Coordinate d of item j (0-based) at coords[d][j].
    const double *coords[3];
    /// The given distances in pair order (i = 0..N-1, j = i + 1..N-1).
    const float *pairs;
    /// Added to every squared map distance (0 for the true fit).
    double smoothing;
    /// G / K: subtracted from each given distance in the cross-term part.
    double givenMean;
    /// Rows [firstRow, endRow), 0-based.
    int firstRow;
    int endRow;
    /// Per item: sum of (g - G/K) u and sum of u over its pairs, coordinate d
    /// at [d][j]; zeroed by the caller. u is the unit vector from j's partner
    /// to j (0 for coincident items).
    double *cross[3];
    double *unit[3];
    /// Lane sums, 8 each: map distances, their squares, map times given.
    /// Zeroed by the caller.
    double *sumDistance;
    double *sumSquare;
    double *sumCross;
};

/// A range's column arrays held in locals. The loops store through these
/// pointers; read through the range, every pointer would be fetched again
/// after every store, since a store might have changed the range.
struct Columns {
    explicit Columns(const RowRange &r)
    {
        for (int d = 0; d < 3; ++d) {
            coords[d] = r.coords[d];
            cross[d] = r.cross[d];
            unit[d] = r.unit[d];
        }
    }
    const double *coords[3];
    double *cross[3];
    double *unit[3];
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

void SumRowsPortable(const RowRange &range);
/// Needs AVX2.
void SumRowsAvx2(const RowRange &range);
/// Needs AVX-512F.
void SumRowsAvx512(const RowRange &range);

/// Pairs (i, j) of row i for j in [firstColumn, N), lanes counted from
/// i + 1, with the row's lane sums in rowCross/rowUnit (8 per coordinate).
/// The portable loop; the vector paths use it for the last pairs of a row.
void SumRowTail(const RowRange &range, int row, int firstColumn, double (*rowCross)[8], double (*rowUnit)[8]);

} // namespace tessarin::gradientlanes
