// A weights file read in the named layouts: a cell at fault is called a
// weight, while the same file read as a distance table keeps the distance
// messages word for word.
#include "io/weights_file.h"
#include "io/distance_file.h"
#include "io/printed_dist_reader.h"
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
