#pragma once

#include "io/data_table.h"
#include "data/distance_data.h"
#include "distances/distance_metric.h"
#include "distances/standardization.h"

#include <string>

namespace tessarin {

/// How a data table becomes a distance table.
struct TableDistanceSettings {
    MetricChoice metric;
    Standardization standardization = Standardization::None;
    /// The header of the column that gives the groups, left out of the
    /// variables; empty for none.
    std::string groupColumn;
};

/// The distances between the items (rows) of a data table over its
/// variables (every column but the name column and the group column):
/// each numeric column standardised as asked, then the metric, in double
/// precision, each pair stored in single precision as every reader stores
/// it; the items keep the table's names. Gower takes text columns as
/// nominal variables and skips missing values pair by pair; every other
/// metric refuses a text column (naming it) and a missing value (naming the
/// cell). Bray–Curtis, Jaccard and Hellinger refuse a negative value (after
/// the standardisation). Throws TessarinError also when a distance is not
/// defined (a constant row under correlation, a zero row under cosine, two
/// empty rows under Bray–Curtis or Jaccard, all terms 0/0 under Canberra,
/// no variable given for both items under Gower), naming the items.
DistanceData TableDistances(const DataTable &table, const TableDistanceSettings &settings);

} // namespace tessarin
