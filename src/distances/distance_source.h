#pragma once

#include "io/data_table_reader.h"
#include "data/distance_data.h"
#include "distances/distance_metric.h"
#include "distances/item_groups.h"
#include "distances/similarity_conversion.h"
#include "distances/standardization.h"

#include <optional>
#include <string>

namespace tessarin {

/// What a file holds and how it becomes the table the tool maps: a distance
/// table in any layout ReadDistanceFile reads (the default), a data table
/// measured by a metric, or a square similarity matrix converted.
struct DistanceSource {
    /// Set: the file is a data table, measured by this metric.
    std::optional<MetricChoice> metric;
    /// With a metric: how the variables are standardised first.
    Standardization standardization = Standardization::None;
    /// Set: the file is a similarity matrix, converted this way.
    std::optional<SimilarityConversion> similarities;
    /// Which column of a data table names the items.
    DataTableOptions table;
    /// Empty, a column of the data table, or a file of name,group pairs: a
    /// data table's column wins over a file of the same name.
    std::string groups;

    bool readsDataTable() const { return metric.has_value() || similarities.has_value(); }
};

/// The distances and the items' groups (empty without `groups`).
struct SourcedDistances {
    DistanceData data;
    ItemGroups groups;
};

/// Reads `fileName` as `source` says. Throws TessarinError for a source that
/// asks for both a metric and similarities, or a standardisation without a
/// metric, and for whatever the reading, the measuring or the groups refuse
/// (naming the file, line, column or cell).
SourcedDistances ReadDistanceSource(const std::string &fileName, const DistanceSource &source);

} // namespace tessarin
