#include "distances/distance_source.h"

#include "io/distance_file.h"
#include "base/tessarin_error.h"
#include "distances/table_distances.h"

namespace tessarin {

SourcedDistances ReadDistanceSource(const std::string &fileName, const DistanceSource &source)
{
    if (source.metric && source.similarities)
        throw TessarinError("a file is a data table measured by a metric or a similarity matrix, not both");
    if (source.standardization != Standardization::None && !source.metric)
        throw TessarinError("a standardisation applies to the variables of a data table: it needs a metric");

    SourcedDistances result;
    if (!source.readsDataTable()) {
        result.data = ReadDistanceFile(fileName);
    } else {
        const DataTable table = ReadDataTable(fileName, source.table);
        const bool groupColumn = !source.groups.empty() && table.column(source.groups);
        if (source.metric) {
            TableDistanceSettings settings;
            settings.metric = *source.metric;
            settings.standardization = source.standardization;
            if (groupColumn)
                settings.groupColumn = source.groups;
            result.data = TableDistances(table, settings);
        } else {
            result.data = SimilarityDistances(table, *source.similarities);
        }
        if (groupColumn) {
            result.groups = GroupsFromColumn(table, source.groups);
            return result;
        }
    }
    if (!source.groups.empty())
        result.groups = ReadGroupsFile(source.groups, result.data.Names, result.data.ItemCount);
    return result;
}

} // namespace tessarin
