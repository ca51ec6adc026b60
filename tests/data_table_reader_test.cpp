// The data-table reader: R's and spreadsheets' ways of writing a table of
// items and variables, the name column found, faults refused naming the
// line and the field.
#include "io/data_table_reader.h"
#include "base/tessarin_error.h"
#include "temp_file.h"
#include "thrown_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessarin {
namespace {

using testing::ExpectMentions;
using testing::TempFile;
using testing::ThrownMessage;

struct TableCase {
    const char *name;
    std::string text;
    std::vector<std::string> names;
    std::vector<std::string> columns;
    std::vector<bool> numeric;
    /// The first column's numbers (0 where missing) and its missing cells.
    std::vector<double> first;
    std::vector<bool> firstMissing;
    DataTableOptions options = {};
};

const std::vector<std::string> ab = {"a", "b"};

TEST(DataTableReader, ReadsEveryLayout)
{
    DataTableOptions byName;
    byName.names = DataTableOptions::Names::Column;
    byName.nameColumn = "id";
    DataTableOptions none;
    none.names = DataTableOptions::Names::None;
    const TableCase cases[] = {
        {"write.csv: empty corner, quoted text, NA", "\"\",\"x\",\"f\"\n\"a\",1.5,\"u\"\n\"b\",NA,\"v\"\n", ab,
         {"x", "f"}, {true, false}, {1.5, 0}, {false, true}},
        {"write.table: blanks, no corner", "\"x\" \"f\"\n\"a\" 1.5 \"u\"\n\"b\" NA \"v\"\n", ab, {"x", "f"},
         {true, false}, {1.5, 0}, {false, true}},
        {"write.csv2: semicolons, decimal comma", "\"\";\"x\";\"f\"\n\"a\";1,5;\"u\"\n\"b\";NA;\"v\"\n", ab,
         {"x", "f"}, {true, false}, {1.5, 0}, {false, true}},
        {"tab-separated, no name column, an empty cell", "x\tf\n1.5\tu\n\tv\n", {}, {"x", "f"}, {true, false},
         {1.5, 0}, {false, true}},
        {"a first column of distinct text names the items", "site,x\r\nP,-2e1\r\n\r\nQ,3\r\n", {"P", "Q"}, {"x"},
         {true}, {-20, 3}, {false, false}},
        {"a first column of repeated text is a variable", "kind,x\nu,1\nu,2\n", {}, {"kind", "x"}, {false, true},
         {0, 0}, {false, false}},
        {"R's unnamed first column of row numbers", "\"\",x\n\"1\",5\n\"2\",6\n", {"1", "2"}, {"x"}, {true}, {5, 6},
         {false, false}},
        {"no header: a first line of numbers", "1,2\n3,4\n", {}, {"V1", "V2"}, {true, true}, {1, 3},
         {false, false}},
        {"the name column chosen by its header", "x,id\n1,p\n2,q\n", {"p", "q"}, {"x"}, {true}, {1, 2},
         {false, false}, byName},
        {"no name column though the first is text", "f,x\np,1\nq,2\n", {}, {"f", "x"}, {false, true}, {0, 0},
         {false, false}, none},
        {"quoted fields with commas and line ends", "\"\",\"x, y\"\n\"two\nlines\",1\n\"b\"\"c\",2\n",
         {"two\nlines", "b\"c"}, {"x, y"}, {true}, {1, 2}, {false, false}},
        {"a text cell makes a column nominal; ? is missing", "n,x\na,1\nb,?\nc,yes\n", {"a", "b", "c"}, {"x"},
         {false}, {0, 0, 0}, {false, true, false}},
    };
    for (const TableCase &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text, "table.csv");
        try {
            const DataTable table = ReadDataTable(file.path(), c.options);
            EXPECT_EQ(table.names, c.names);
            std::vector<std::string> columns;
            std::vector<bool> numeric;
            for (const DataColumn &column : table.columns) {
                columns.push_back(column.name);
                numeric.push_back(column.numeric);
            }
            EXPECT_EQ(columns, c.columns);
            EXPECT_EQ(numeric, c.numeric);
            ASSERT_FALSE(table.columns.empty());
            EXPECT_EQ(table.columns[0].numbers, c.first);
            EXPECT_EQ(table.columns[0].missing, c.firstMissing);
        } catch (const TessarinError &error) {
            ADD_FAILURE() << error.what();
        }
    }
}

TEST(DataTableReader, KeepsTheLineOfEachRowAndTheTextOfEachCell)
{
    TempFile file("\"\",\"f\"\n\n\"a\",\"u v\"\n\"b\",\"w\"\n", "table.csv");
    const DataTable table = ReadDataTable(file.path());
    EXPECT_EQ(table.lines, (std::vector<long>{3, 4}));
    EXPECT_EQ(table.columns[0].texts, (std::vector<std::string>{"u v", "w"}));
    EXPECT_EQ(table.cellPlace(2, table.columns[0]), file.path() + ", line 4, column \"f\" of item 2 \"b\"");
}

struct FaultCase {
    const char *name;
    std::string text;
    std::vector<std::string> message;
    DataTableOptions options = {};
};

TEST(DataTableReader, RefusesFaultsNamingTheLine)
{
    DataTableOptions missingColumn;
    missingColumn.names = DataTableOptions::Names::Column;
    missingColumn.nameColumn = "label";
    const FaultCase cases[] = {
        {"a ragged row", "\"\",x,y\na,1,2\nb,3\n", {"line 3", "item 2 holds 2 fields", "not the 3"}},
        {"a first row that fits no header", "x,y\n1,2,3,4\n5,6,7,8\n", {"line 2", "4 fields", "holds 2"}},
        {"one row", "\"\",x\na,1\n", {"1 row", "at least two items"}},
        {"only a header", "x,y\n", {"0 rows"}},
        {"an empty file", "", {"holds no table"}},
        {"names twice", "\"\",x\na,1\na,2\n", {"line 3", "items 1 and 2", "both named \"a\""}},
        {"an empty name", "\"\",x\na,1\n\"\",2\n", {"line 3", "item 2 has no name"}},
        {"a quote never closed", "\"\",x\n\"a,1\n", {"line 2", "never closed"}},
        {"text after a closing quote", "\"\",x\n\"a\"b,1\nc,2\n", {"line 2", "after its closing"}},
        {"a number beyond double precision", "\"\",x\na,1e999\nb,2\n", {"line 2", "\"1e999\"", "column \"x\""}},
        {"no column of that header", "x,y\n1,2\n3,4\n", {"no column is headed \"label\""}, missingColumn},
    };
    for (const FaultCase &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text, "table.csv");
        if (const auto message = ThrownMessage([&] { ReadDataTable(file.path(), c.options); })) {
            EXPECT_NE(message->find(file.path()), std::string::npos) << *message;
            ExpectMentions(*message, c.message);
        }
    }
}

} // namespace
} // namespace tessarin
