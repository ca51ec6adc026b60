// A weights file read in the named layouts: a cell at fault is called a
// weight, a row of the wrong shape counts weights, while the same file read
// as a distance table keeps the distance messages word for word.
#include "io/weights_file.h"
#include "io/distance_file.h"
#include "io/lower_triangle_reader.h"
#include "io/phylip_reader.h"
#include "io/printed_dist_reader.h"
#include "io/square_matrix_reader.h"
#include "base/tessarin_error.h"
#include "distance_fixture.h"
#include "temp_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace tessarin {
namespace {

using testing::TempFile;

std::string MessageOf(const std::function<void()> &read)
{
    try {
        read();
    } catch (const TessarinError &error) {
        return error.what();
    }
    return "no error";
}

TEST(WeightsFile, ACellAtFaultIsCalledAWeightInEveryNamedLayout)
{
    using Reader = DistanceData (*)(const std::string &, CellMeaning);
    const struct {
        const char *name;
        std::string text;
        // After "<file>, line L: the <noun> …": the line, the pair and what is wrong.
        std::string line, pair, fault;
        // Read by this reader alone, not through the choice of layout.
        Reader reader = nullptr;
    } cases[] = {
        {"square matrix", "\"\",A,B,C\nA,0,1,-2\nB,1,0,1\nC,-2,1,0\n", "2", "item 1 \"A\" and item 3 \"C\"",
         ", \"-2\", is negative: a {} is 0 or more"},
        {"semicolon square matrix", "\"\";\"A\";\"B\"\n\"A\";0;-0,5\n\"B\";-0,5;0\n", "2",
         "item 1 \"A\" and item 2 \"B\"", ", \"-0,5\", is negative: a {} is 0 or more"},
        {"lower triangle", "A\nB 1\nC -4.5 1\n", "3", "item 3 \"C\" and item 1 \"A\"",
         ", \"-4.5\", is negative: a {} is 0 or more"},
        {"PHYLIP", "3\nA\nB 1\nC 1 -2\n", "4", "item 3 \"C\" and item 2 \"B\"",
         ", \"-2\", is negative: a {} is 0 or more"},
        // Its first line is our own file's to read (and to refuse).
        {"printed dist", "   1  2\n2  1\n3 -2  3\n", "3", "item 3 \"3\" and item 1",
         ", \"-2\", is negative: a {} is 0 or more", ReadPrintedDist},
        {"not a number", "\"\",A,B,C\nA,0,1,heavy\nB,1,0,1\nC,heavy,1,0\n", "2", "item 1 \"A\" and item 3 \"C\"",
         ", \"heavy\", is not a number"},
        {"beyond single precision", "A\nB 1e39\nC 1 1\n", "2", "item 2 \"B\" and item 1 \"A\"",
         ", \"1e39\", is beyond the single-precision range"},
    };
    const auto with = [](std::string fault, const std::string &noun) {
        const std::size_t at = fault.find("{}");
        return at == std::string::npos ? fault : fault.replace(at, 2, noun);
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text, "weights.txt");
        const std::string at = file.path() + ", line " + c.line + ": ";
        const std::string asWeights = at + "the weight of " + c.pair + with(c.fault, "weight");
        const std::string asDistances = at + "the distance between " + c.pair + with(c.fault, "distance");
        if (c.reader) {
            EXPECT_EQ(MessageOf([&] { c.reader(file.path(), CellMeaning::Weight); }), asWeights);
            EXPECT_EQ(MessageOf([&] { c.reader(file.path(), CellMeaning::Distance); }), asDistances);
            continue;
        }
        DistanceData data = testing::MakeDistances(3, {1, 2, 3});
        const DistanceData before = data;
        EXPECT_EQ(MessageOf([&] { ApplyWeightsFile(data, {}, file.path()); }), asWeights);
        EXPECT_EQ(data.Distances, before.Distances);
        EXPECT_TRUE(data.PairWeights.empty());
        EXPECT_EQ(MessageOf([&] { ReadDistanceFile(file.path()); }), asDistances);
    }
}

TEST(WeightsFile, RowsOfTheWrongShapeCountWeightsInEveryNamedLayout)
{
    using Reader = DistanceData (*)(const std::string &, CellMeaning);
    const struct {
        const char *name;
        Reader reader;
        std::string text;
        // After "<file>": "{}" stands for "distance" or "weight".
        std::string message;
    } cases[] = {
        {"square matrix, a row too long", ReadSquareMatrix, "\"\",A,B,C\nA,0,1,2\nB,1,0,1,5\nC,2,1,0\n",
         ", line 3: row 2 holds 5 fields, not the 4 of a name and 3 {}s"},
        {"square matrix of numbers, a row too short", ReadSquareMatrix, "0,1,2\n1,0\n2,1,0\n",
         ", line 2: row 2 holds 2 fields, not the 3 {}s of every row"},
        {"square matrix, a first row that fits no header", ReadSquareMatrix, "A,B\nA,0,1,7\nB,1,0\n",
         ", line 2: the first row holds 4 fields, but the header on line 1 holds 2: a row is its name and one {} "
         "per name of the header"},
        {"square matrix, missing in one half only", ReadSquareMatrix, "\"\",A,B,C\nA,0,NA,2\nB,1,0,1\nC,2,1,0\n",
         ", line 3: the matrix is not symmetric: row 2, column 1 (item 2 \"B\" and item 1 \"A\") holds \"1\", but "
         "row 1, column 2 holds a missing value: a missing {} is missing in both halves"},
        {"lower triangle, a first row too long", ReadLowerTriangle, "A B C\nA 1 2\nB 1\nC 1 1\n",
         ", line 2: the first row, item 1 \"A\", holds 2 {}s; it should hold 0 (or 1 with its diagonal 0)"},
        {"lower triangle, a later row too long", ReadLowerTriangle, "A\nB 1 2 3\nC 1 1\n",
         ", line 2: the row of item 2 \"B\" holds 3 {}s, not the 1 to the items before it"},
        {"lower triangle, a row too short", ReadLowerTriangle, "A\nB 1\nC 1\n",
         ", line 3: the row of item 3 \"C\" holds 1 {}s, not the 2 to the items before it"},
        {"PHYLIP, a row too long", ReadPhylip, "3\nA\nB 1\nC 1 2 3\n",
         ", line 4: the row of item 3 \"C\" holds more than its 2 {}s"},
        {"PHYLIP, a square file that ends in a row", ReadPhylip, "3\nA 0 1 2\nB 1 0 1\nC 2 1\n",
         ": the file ends in the row of item 3 \"C\", after 2 of its 3 {}s"},
        {"PHYLIP, a first row of neither shape", ReadPhylip, "3\nA 0 1\nB 1 0 1\nC 2 1 0\n",
         ", line 2: the first row, item 1 \"A\", holds 2 {}s: 3 in a square PHYLIP file, none (or its diagonal 0) "
         "in a lower-triangular one"},
        {"PHYLIP, a row cut short by the next name", ReadPhylip, "3\nA 0 1\n2\nB 1 0\nC 2 1 0\n",
         ", line 5: the row of item 2 \"B\" holds 2 {}s, not 3, before the next name \"C\""},
        {"PHYLIP, missing in one half only", ReadPhylip, "3\nA 0 1 2\nB ? 0 1\nC 2 1 0\n",
         ", line 3: the matrix is not symmetric: row 2, column 1 (item 2 \"B\" and item 1 \"A\") holds \"?\", but "
         "row 1, column 2 holds 1: a missing {} is missing in both halves"},
        {"printed dist, a block missing", ReadPrintedDist, "   1  2\n2  1\n3  2  3\n4  4  5\n",
         ": the file ends after the {}s to item 2 of the 3 the rows need"},
    };
    const auto with = [](std::string message, const std::string &noun) {
        for (std::size_t at = message.find("{}"); at != std::string::npos; at = message.find("{}"))
            message.replace(at, 2, noun);
        return message;
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text, "weights.txt");
        EXPECT_EQ(MessageOf([&] { c.reader(file.path(), CellMeaning::Weight); }),
                  file.path() + with(c.message, "weight"));
        EXPECT_EQ(MessageOf([&] { c.reader(file.path(), CellMeaning::Distance); }),
                  file.path() + with(c.message, "distance"));
    }
    // Through the weights file, as the batch mode and the window read it.
    TempFile file("\"\",A,B,C\nA,0,1,2\nB,1,0,1,5\nC,2,1,0\n", "weights.txt");
    DistanceData data = testing::MakeDistances(3, {1, 2, 3});
    EXPECT_EQ(MessageOf([&] { ApplyWeightsFile(data, {}, file.path()); }),
              file.path() + ", line 3: row 2 holds 5 fields, not the 4 of a name and 3 weights");
    EXPECT_TRUE(data.PairWeights.empty());
}

// Our own distance file takes negative numbers; the weights refuse them
// after reading, naming the two items.
TEST(WeightsFile, ANegativeWeightInOurOwnLayoutIsRefusedNamingThePair)
{
    TempFile file("3 weights\n1 -0.5\n1\n", "weights.txt");
    DistanceData data = testing::MakeDistances(3, {1, 2, 3});
    EXPECT_EQ(MessageOf([&] { ApplyWeightsFile(data, {}, file.path()); }),
              file.path() + ": the weight of item 1 and item 3 is -0.5: a weight is 0 (leave the pair out) or more");
    EXPECT_TRUE(data.PairWeights.empty());
}

} // namespace
} // namespace tessarin
