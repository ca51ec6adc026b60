// R's other ways of writing a distance table, read by content to the same
// table as write.csv gives, and negative distances refused in every named
// layout.
#include "io/distance_file.h"
#include "io/printed_dist_reader.h"
#include "io/square_matrix_writer.h"
#include "base/tessarin_error.h"
#include "temp_file.h"
#include "thrown_message.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tessarin {
namespace {

using testing::ExpectMentions;
using testing::TempFile;
using testing::ThrownMessage;

// Five sites numbered as a vegetation survey numbers them, not in order.
const std::string writeCsv = "\"\",\"28\",\"15\",\"24\",\"27\",\"3\"\n"
                             "\"28\",0,0.5,0.25,0.75,1\n"
                             "\"15\",0.5,0,0.125,0.375,0.625\n"
                             "\"24\",0.25,0.125,0,0.875,0.0625\n"
                             "\"27\",0.75,0.375,0.875,0,0.3125\n"
                             "\"3\",1,0.625,0.0625,0.3125,0\n";

struct LayoutCase {
    const char *name;
    std::string text;
};

TEST(RLayouts, ReadToTheSameTableAsWriteCsv)
{
    const LayoutCase cases[] = {
        {"write.table(m, sep = \"\\t\", quote = FALSE): numbers as names, no corner",
         "28\t15\t24\t27\t3\n28\t0\t0.5\t0.25\t0.75\t1\n15\t0.5\t0\t0.125\t0.375\t0.625\n"
         "24\t0.25\t0.125\t0\t0.875\t0.0625\n27\t0.75\t0.375\t0.875\t0\t0.3125\n3\t1\t0.625\t0.0625\t0.3125\t0\n"},
        {"write.csv(m, quote = FALSE): numbers as names after an empty corner",
         ",28,15,24,27,3\n28,0,0.5,0.25,0.75,1\n15,0.5,0,0.125,0.375,0.625\n"
         "24,0.25,0.125,0,0.875,0.0625\n27,0.75,0.375,0.875,0,0.3125\n3,1,0.625,0.0625,0.3125,0\n"},
        {"print(d) wrapped into two blocks of columns",
         "       28     15     24\n15 0.5000                \n24 0.2500 0.1250         \n"
         "27 0.7500 0.3750 0.8750\n3  1.0000 0.6250 0.0625\n"
         "       27\n15       \n24       \n27       \n3  0.3125\n"},
        {"print(d, diag = TRUE) wrapped into three blocks",
         "       28     15\n28 0           \n15 0.5000 0     \n24 0.2500 0.1250\n27 0.7500 0.3750\n3  1.0000 0.6250\n"
         "       24     27\n28\n15\n24 0\n27 0.8750 0\n3  0.0625 0.3125\n"
         "   3\n28\n15\n24\n27\n3 0\n"},
        {"count, a blank and a title, then the names at the row starts",
         "5 Five sites\n28\n15 0.5\n24 0.25 0.125\n27 0.75 0.375 0.875\n3 1 0.625 0.0625 0.3125\n"},
        {"write.csv2: semicolons and decimal commas",
         "\"\";\"28\";\"15\";\"24\";\"27\";\"3\"\n\"28\";0;0,5;0,25;0,75;1\n\"15\";0,5;0;0,125;0,375;0,625\n"
         "\"24\";0,25;0,125;0;0,875;0,0625\n\"27\";0,75;0,375;0,875;0;0,3125\n\"3\";1;0,625;0,0625;0,3125;0\n"},
        {"a spreadsheet's semicolons without quotes",
         ";28;15;24;27;3\r\n28;0;0,5;0,25;0,75;1\r\n15;0,5;0;0,125;0,375;0,625\r\n"
         "24;0,25;0,125;0;0,875;0,0625\r\n27;0,75;0,375;0,875;0;0,3125\r\n3;1;0,625;0,0625;0,3125;0\r\n"},
    };
    TempFile reference(writeCsv, "write.csv");
    const DistanceData expected = ReadDistanceFile(reference.path());
    ASSERT_EQ(expected.Names, (std::vector<std::string>{"28", "15", "24", "27", "3"}));
    for (const LayoutCase &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text);
        try {
            const DistanceData data = ReadDistanceFile(file.path());
            EXPECT_EQ(data.Names, expected.Names);
            EXPECT_EQ(data.Distances, expected.Distances);
            EXPECT_EQ(data.DistanceSum, expected.DistanceSum);
        } catch (const TessarinError &error) {
            ADD_FAILURE() << error.what();
        }
    }
}

struct NumbersCase {
    const char *name;
    std::string text;
    std::vector<std::string> names;
    std::vector<float> cells; // above the diagonal, row by row
};

TEST(RLayouts, AHeaderOfNumbersIsReadAsNamesOrAsTheFirstRow)
{
    const NumbersCase cases[] = {
        {"an empty diagonal throughout: the first row", ",1,2\n1,,3\n2,3,\n", {}, {1, 2, 3}},
        {"row 1's diagonal 0 below an empty corner: names", ",1,2\n1,0,3\n2,3,0\n", {"1", "2"}, {3}},
        {"names that would repeat: the first row after all", ",1,1\n1,0,2\n1,2,0\n", {}, {1, 1, 2}},
        {"a full first row: the first row", "0,1,2\n1,0,3\n2,3,0\n", {}, {1, 2, 3}},
        {"one field more in the rows: names", "1\t2\n1\t0\t3\n2\t3\t0\n", {"1", "2"}, {3}},
    };
    for (const NumbersCase &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text);
        try {
            const DistanceData data = ReadDistanceFile(file.path());
            EXPECT_EQ(data.Names, c.names);
            std::vector<float> cells;
            for (int i = 1; i <= data.ItemCount; ++i)
                for (int j = i + 1; j <= data.ItemCount; ++j)
                    cells.push_back(data.distance(i, j));
            EXPECT_EQ(cells, c.cells);
        } catch (const TessarinError &error) {
            ADD_FAILURE() << error.what();
        }
    }
}

TEST(RLayouts, OurOwnLayoutStillReadsAFileItAccepts)
{
    // Three lines that a lower triangle with names would also read, but
    // ours accepts them: the first value of row line 1 is dropped as
    // specified, and row line 2 takes its last value.
    TempFile file("3 Three\nA\nB 1\nC 2 3\n");
    const DistanceData data = ReadDistanceFile(file.path());
    EXPECT_TRUE(data.Names.empty());
    EXPECT_EQ(data.ItemCount, 3);
    EXPECT_EQ(data.distance(1, 2), 0.0f);
    EXPECT_EQ(data.distance(2, 3), 1.0f);
}

struct FaultCase {
    const char *name;
    std::string text;
    std::vector<std::string> message;
};

TEST(RLayouts, RefuseNegativeDistancesNamingTheCell)
{
    const FaultCase cases[] = {
        {"square matrix", "\"\",\"A\",\"B\"\n\"A\",0,-5\n\"B\",-5,0\n",
         {"line 2", "item 1 \"A\" and item 2 \"B\"", "\"-5\"", "negative"}},
        {"semicolon square matrix", "\"\";\"A\";\"B\"\n\"A\";0;-0,5\n\"B\";-0,5;0\n", {"line 2", "\"-0,5\"", "negative"}},
        {"lower triangle", "Alpha\nBeta 1\nGamma 2 -4.5\n",
         {"line 3", "item 3 \"Gamma\" and item 2 \"Beta\"", "\"-4.5\"", "negative"}},
        {"PHYLIP", "3\nA\nB 1\nC -2 3\n", {"line 4", "item 3 \"C\" and item 1 \"A\"", "\"-2\"", "negative"}},
    };
    for (const FaultCase &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text);
        if (const auto message = ThrownMessage([&] { ReadDistanceFile(file.path()); }))
            ExpectMentions(*message, c.message);
    }
}

// Through ReadDistanceFile a file that no layout reads keeps the message of
// the layout its first lines point to; the printed dist's own faults show
// when it is read as one.
TEST(RLayouts, PrintedDistNamesItsFaults)
{
    const FaultCase cases[] = {
        {"a negative distance", "   1  2\n2  1\n3 -2  3\n", {"line 3", "item 3 \"3\" and item 1", "\"-2\"", "negative"}},
        {"a block's row renamed", "   1  2\n2  1\n3  2  3\n4  4  5\n   3\n2\n3\n5  6\n",
         {"line 8", "item 4 \"4\"", "named \"5\""}},
        {"the last block missing", "   1  2\n2  1\n3  2  3\n4  4  5\n", {"ends after the distances to item 2 of the 3"}},
        {"a header that names another item", "   1  X\n2  1\n3  2  3\n", {"line 1", "column 2", "\"X\"", "\"2\""}},
        {"a line after the last block", "   1  2\n2  1\n3  2  3\nnote\n", {"line 4", "after the last block"}},
        {"a non-zero diagonal", "   1  2\n1  0\n2  1  4\n", {"line 3", "diagonal", "\"4\""}},
        {"no rows", "   1  2\n", {"line 1", "no rows"}},
    };
    for (const FaultCase &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text);
        if (const auto message = ThrownMessage([&] { ReadPrintedDist(file.path()); }))
            ExpectMentions(*message, c.message);
    }
}

struct WriteCase {
    const char *name;
    std::string text;
    std::vector<std::string> names; // read back
};

TEST(RLayouts, TheWrittenSquareMatrixReadsBackBitForBit)
{
    const WriteCase cases[] = {
        {"named, with a quote, a comma and names like numbers", "  \"NA\" \"12\" \"a \"\"b\"\", c\"\n\"12\" 0.1\n\"a \"\"b\"\", c\" 2.7182818 1e-30\n",
         {"NA", "12", "a \"b\", c"}},
        {"numbered: the numbers become names", "3 Three\n0.1 3.14159265\n70000000\n", {"1", "2", "3"}},
    };
    for (const WriteCase &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile original(c.text);
        const DistanceData data = ReadDistanceFile(original.path());
        std::ostringstream out;
        WriteSquareMatrix(out, data);
        TempFile written(out.str(), "written.csv");
        try {
            const DistanceData back = ReadDistanceFile(written.path());
            EXPECT_EQ(back.Names, c.names);
            EXPECT_EQ(back.Distances, data.Distances);
        } catch (const TessarinError &error) {
            ADD_FAILURE() << error.what() << "\n" << out.str();
        }
    }
}

} // namespace
} // namespace tessarin
