// Tables with missing cells: every named layout reads NA, ?, NaN and empty
// cells as pairs of weight 0; the weights enter the statistics; present pairs
// must join every item.
#include "data/pair_weights.h"
#include "io/distance_file.h"
#include "io/lower_triangle_reader.h"
#include "base/tessarin_error.h"
#include "distance_fixture.h"
#include "temp_file.h"
#include "thrown_message.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tessarin {
namespace {

using testing::TempFile;
using testing::ThrownMessage;
using testing::UpperCells;

struct MissingCase {
    const char *name;
    std::string text;
    // The cells above the diagonal (a missing one holds 0) and the weights.
    std::vector<float> cells;
    std::vector<float> weights;
};

TEST(MissingPairs, EveryNamedLayoutReadsMissingCellsAsWeightZero)
{
    const MissingCase cases[] = {
        {"write.csv with NA", "\"\",A,B,C,D\nA,0,1,NA,3\nB,1,0,4,5\nC,NA,4,0,6\nD,3,5,6,0\n", {1, 0, 3, 4, 5, 6},
         {1, 0, 1, 1, 1, 1}},
        {"question marks and NaN", "0,?,2,3\n?,0,4,NaN\n2,4,0,6\n3,NaN,6,0\n", {0, 2, 3, 4, 0, 6}, {0, 1, 1, 1, 0, 1}},
        {"empty cells, blanks around them", "0, ,2,3\n ,0,4,5\n2,4,0,\n3,5,,0\n", {0, 2, 3, 4, 5, 0},
         {0, 1, 1, 1, 1, 0}},
        {"lower triangle", "A\nB 1\nC NA 4\nD 3 ? 6\n", {1, 0, 3, 4, 0, 6}, {1, 0, 1, 1, 0, 1}},
        {"lower triangle, tabs, an empty cell", "A\nB\t1\nC\t\t4\nD\t3\t5\t6\n", {1, 0, 3, 4, 5, 6}, {1, 0, 1, 1, 1, 1}},
        {"PHYLIP square", "4\nA 0 1 NaN 3\nB 1 0 4 5\nC NaN 4 0 6\nD 3 5 6 0\n", {1, 0, 3, 4, 5, 6},
         {1, 0, 1, 1, 1, 1}},
        {"PHYLIP lower triangle", "4\nA\nB 1\nC 2 NA\nD ? 5 6\n", {1, 2, 0, 0, 5, 6}, {1, 1, 0, 0, 1, 1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text);
        try {
            const DistanceData data = ReadDistanceFile(file.path());
            EXPECT_EQ(UpperCells(data), c.cells);
            EXPECT_EQ(data.PairWeights, c.weights);
            long long zeros = 0;
            for (float w : c.weights)
                zeros += w == 0.0f;
            EXPECT_EQ(data.MissingPairs, zeros);
            // Both halves of the table agree, and the weight is the same seen from either item.
            for (int i = 1; i <= 4; ++i)
                for (int j = 1; j <= 4; ++j) {
                    EXPECT_EQ(data.distance(i, j), data.distance(j, i));
                    if (i != j) {
                        EXPECT_EQ(data.pairWeight(i, j), data.pairWeight(j, i));
                    }
                }
            // The statistics are over the present pairs, K = 2 x the sum of the weights.
            double total = 0, sum = 0, squares = 0;
            for (std::size_t p = 0; p < c.cells.size(); ++p) {
                total += c.weights[p];
                sum += c.weights[p] * c.cells[p];
                squares += c.weights[p] * c.cells[p] * c.cells[p];
            }
            EXPECT_EQ(data.WeightTotal, total);
            EXPECT_DOUBLE_EQ(data.WeightedSum, sum);
            EXPECT_DOUBLE_EQ(data.WeightedSpread, squares - sum * sum / (2 * total));
            EXPECT_EQ(data.DistanceSum, static_cast<float>(data.WeightedSum));
        } catch (const TessarinError &error) {
            ADD_FAILURE() << error.what();
        }
    }
}

TEST(MissingPairs, AllOnesAreNoWeightsAndKeepTheStatisticsBitForBit)
{
    TempFile file("0,1,2.5\n1,0,3.25\n2.5,3.25,0\n");
    const DistanceData plain = ReadDistanceFile(file.path());
    DistanceData ones = plain;
    SetPairWeights(ones, {1, 1, 1}, "w");
    EXPECT_FALSE(ones.weighted());
    EXPECT_EQ(ones.MissingPairs, 0);
    EXPECT_EQ(std::memcmp(&ones.DistanceSum, &plain.DistanceSum, sizeof(float)), 0);
    EXPECT_EQ(std::memcmp(&ones.DistanceSpread, &plain.DistanceSpread, sizeof(float)), 0);
    // And weights that leave nothing out are weights all the same.
    DistanceData halves = plain;
    SetPairWeights(halves, {0.5f, 1, 1}, "w");
    EXPECT_TRUE(halves.weighted());
    EXPECT_EQ(halves.MissingPairs, 0);
    EXPECT_EQ(halves.WeightTotal, 2.5);
}

struct GroupCase {
    const char *name;
    std::string text;
    std::string message; // the whole message after the file name and ": "
};

TEST(MissingPairs, PresentPairsMustJoinEveryItem)
{
    // Five items; the names make the groups easy to read.
    const std::string header = "\"\",Aunt,Niece,Uncle,Son,Sister\n";
    const GroupCase cases[] = {
        {"two items cut off together",
         header + "Aunt,0,1,NA,NA,NA\nNiece,1,0,NA,NA,NA\nUncle,NA,NA,0,2,3\nSon,NA,NA,2,0,4\nSister,NA,NA,3,4,0\n",
         "items Aunt, Niece have no present pair with the other 3"},
        {"a row all missing",
         header + "Aunt,0,1,2,3,NA\nNiece,1,0,2,3,NA\nUncle,2,2,0,2,NA\nSon,3,3,2,0,NA\nSister,NA,NA,NA,NA,0\n",
         "item Sister has no present pair with the other 4"},
        {"three groups: each smaller one named",
         header + "Aunt,0,NA,NA,NA,NA\nNiece,NA,0,1,1,NA\nUncle,NA,1,0,1,NA\nSon,NA,1,1,0,NA\nSister,NA,NA,NA,NA,0\n",
         "item Aunt has no present pair with the other 4; item Sister has no present pair with the other 4"},
        {"unnamed items by number", "0,NA,NA\nNA,0,1\nNA,1,0\n", "item 1 has no present pair with the other 2"},
        {"every pair missing: of equal groups the first stays", "0,NA\nNA,0\n",
         "item 2 has no present pair with the other 1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text);
        EXPECT_EQ(ThrownMessage([&] { ReadDistanceFile(file.path()); }), file.path() + ": " + c.message);
    }
    // A name with a control byte is escaped, as messages show every text of a file.
    TempFile file("\"A\x01\"\nB NA\nC NA 1\n");
    EXPECT_EQ(ThrownMessage([&] { ReadLowerTriangle(file.path()); }),
              file.path() + ": item A\\x01 has no present pair with the other 2");
}

} // namespace
} // namespace tessarin
