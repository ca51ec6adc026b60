#pragma once

#include "io/data_table.h"

#include <string>

namespace tessarin {

/// Which column of a data table names the items.
struct DataTableOptions {
    enum class Names {
        /// The first column when the header leaves its cell empty (R's
        /// write.csv), when the rows hold one field more than the header
        /// (R's write.table), or when it holds text, every cell given and no
        /// two alike.
        Automatic,
        /// No column: the items are numbered (a header one field short of
        /// the rows still names them).
        None,
        /// The column whose header is `nameColumn`.
        Column,
    };
    Names names = Names::Automatic;
    std::string nameColumn;
};

/// Reads a data table: a header row, then one row per item. Fields are
/// separated by commas, tabs, semicolons (FindTableDelimiter on line 1; with
/// semicolons numbers take the decimal comma, as R's write.csv2 and
/// spreadsheets in many locales write them) or, when line 1 holds none of
/// these, runs of blanks (R's write.table); fields may be quoted as RFC 4180
/// says. A line 1 of unquoted numbers only is no header: the columns are then
/// named V1, V2, ... as R names them. Missing cells are empty, NA or ?.
/// Blank lines are skipped. 2..16383 items. All or nothing: throws
/// TessarinError naming the file, the line, the column and the value at
/// fault.
DataTable ReadDataTable(const std::string &fileName, const DataTableOptions &options = {});

} // namespace tessarin
