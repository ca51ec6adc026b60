#pragma once

#include "io/data_table.h"
#include "data/distance_data.h"

#include <string>
#include <string_view>

namespace tessarin {

/// How a similarity s becomes a dissimilarity d.
enum class SimilarityConversion {
    MaxMinus,     ///< d = m - s, m the largest similarity off the diagonal
    OneMinus,     ///< d = 1 - s (s at most 1)
    SqrtOneMinus, ///< d = sqrt(1 - s), for correlations (s at most 1)
    Reciprocal,   ///< d = 1 / s (s above 0)
    /// A confusion matrix, row i the stimulus and column j the response, not
    /// symmetric: Shepard's (1957) similarity
    /// s = sqrt(p_ij p_ji / (p_ii p_jj)), then d = -ln s.
    Confusion,
};

/// Reads max-minus, one-minus, sqrt-one-minus, reciprocal or confusion;
/// throws TessarinError naming them for anything else.
SimilarityConversion ParseSimilarityConversion(std::string_view text);
std::string SimilarityConversionName(SimilarityConversion conversion);

/// The dissimilarities of a square similarity matrix read as a data table:
/// as many numeric columns as items, headed by the items' names in order
/// when the rows are named. The diagonal is ignored except by Confusion,
/// which needs it above 0. All but Confusion need the matrix symmetric to a
/// relative 1e-6. Throws TessarinError naming the cell for a missing value,
/// an asymmetry, a similarity the conversion cannot take, or a dissimilarity
/// that would be negative or infinite; naming the column for a matrix that
/// is not square.
DistanceData SimilarityDistances(const DataTable &table, SimilarityConversion conversion);

} // namespace tessarin
