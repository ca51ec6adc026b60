#include "io/distance_reader.h"
#include "base/tessarin_error.h"
#include "distance_fixture.h"
#include "temp_file.h"
#include "thrown_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tessarin {
namespace {

using testing::TempFile;
using testing::ThrownMessage;
using testing::UpperCells;

DistanceData readText(const std::string &text)
{
    TempFile file(text);
    return ReadDistances(file.path());
}

void expectConsistent(const DistanceData &data)
{
    const int n = data.ItemCount;
    ASSERT_EQ(data.Distances.size(), static_cast<std::size_t>((n + 1) * (n + 1)));
    for (int i = 0; i <= n; ++i) {
        EXPECT_EQ(data.distance(0, i), 0.0f);
        EXPECT_EQ(data.distance(i, 0), 0.0f);
        EXPECT_EQ(data.distance(i, i), 0.0f);
        for (int j = 1; j <= n; ++j)
            EXPECT_EQ(data.distance(i, j), data.distance(j, i));
    }
}

struct RowCase {
    const char *name;
    std::string text;
    std::vector<float> cells;
};

TEST(DistanceReader, SplitsRowLinesIntoCells)
{
    const std::vector<float> four = {10, 20, 30, 9, 25, 12};
    const RowCase cases[] = {
        {"blanks and a comma", "4 Four sites\r\n10 20 30\r\n9,25\r\n12\r\n", four},
        {"single commas", "4 Four sites\r\n10,20,30\r\n9,25\r\n12\r\n", four},
        {"single tabs", "4 Four sites\r\n10\t20\t30\r\n9\t25\r\n12\r\n", four},
        {"runs of blanks", "4 Four sites\r\n10   20    30\r\n9  25\r\n12\r\n", four},
        {"blanks around the line", "4 Four sites\r\n   10 20 30   \r\n 9 25\r\n12 \r\n", four},
        {"bare line feeds", "4 Four sites\n10 20 30\n9,25\n12\n", four},
        {"lone carriage returns", "4 Four sites\r10 20 30\r9,25\r12\r", four},
        {"no line end at the end", "4 Four sites\n10 20 30\n9,25\n12", four},
        {"byte-order mark", "\xEF\xBB\xBF" "4 Four sites\n10 20 30\n9,25\n12\n", four},
        {"count alone makes line 2 the title", "4\nFour sites\n10 20 30\n9,25\n12\n", four},
        {"comma after the count", "4,Four sites\n10 20 30\n9,25\n12\n", four},
        {"quoted title with commas", "4 \"Sites, four of them\"\n10 20 30\n9,25\n12\n", four},
        {"comma in an unquoted title starts row 1", "4 Four, 10 20 30\n9,25\n12\n", four},
        {"comma then blank gives an empty value", "4 T\n1, 2\n9,25\n12\n", {1, 0, 2, 9, 25, 12}},
        {"two tabs give an empty value", "4 T\n1\t\t2\n9,25\n12\n", {1, 0, 2, 9, 25, 12}},
        {"blank next to a tab is its own separator", "4 T\n1 \t2\n9,25\n12\n", {1, 0, 2, 9, 25, 12}},
        {"leading tab gives a first value 0", "4 T\n\t10 20\n9,25\n12\n", {0, 10, 20, 9, 25, 12}},
        {"separator at the end stores 0 in column N", "4 T\n10 20 30,\n9,25\n12\n", {10, 20, 0, 9, 25, 12}},
        {"short row drops its last value", "4 T\n10 20\n9,25\n12\n", {10, 0, 0, 9, 25, 12}},
        {"single value on a longer row is dropped", "4 T\n10\n9,25\n12\n", {0, 0, 0, 9, 25, 12}},
        {"one value too many replaces column N", "4 T\n10 20 30 40\n9,25\n12\n", {10, 20, 40, 9, 25, 12}},
        {"empty row line", "4 T\n\n9,25\n12\n", {0, 0, 0, 9, 25, 12}},
        {"empty last row line stores 0", "4 T\n10 20 30\n9,25\n\n", {10, 20, 30, 9, 25, 0}},
        {"letters after digits", "3 T\n12abc xyz\n7.5e1\n", {12, 0, 75}},
        {"rows past N - 1 are not read", "3 T\n1 2\n3\nthis is ignored\n", {1, 2, 3}},
        {"fractional count rounds half to even", "2.5 T\n7\n", {7}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DistanceData data = readText(c.text);
        EXPECT_EQ(UpperCells(data), c.cells);
        expectConsistent(data);
    }
}

struct ExpectedWarning {
    int line;
    std::string part; // a part of its text
};

struct WarningCase {
    const char *name;
    std::string text;
    std::vector<float> cells; // what the reading gives, warnings or not
    std::vector<ExpectedWarning> warnings;
};

TEST(DistanceReader, WarnsWhereTheFileReadsOddly)
{
    const std::vector<float> four = {10, 20, 30, 9, 25, 12};
    const WarningCase cases[] = {
        {"unquoted title with a comma", "4 Four, 10 20 30\n9,25\n12\n", four,
         {{1, "the title \"Four\" ends at a comma, so the rest of the line, \" 10 20 30\", is read as row line 1"}}},
        {"title on line 2 with a comma", "4\nFour, 10 20 30\n9,25\n12\n", four,
         {{2, "the title \"Four\" ends at a comma"}}},
        {"value of letters", "4 T\n10 abc 30\n9,25\n12\n", {10, 0, 30, 9, 25, 12},
         {{2, "the value \"abc\" for items 1 and 3 is not a number and reads as 0"}}},
        {"letters after a number", "4 T\n10 2O 30\n9,25\n12\n", {10, 2, 30, 9, 25, 12},
         {{2, "the value \"2O\" for items 1 and 3 reads as 2: the text after the number is ignored"}}},
        {"exponent without digits", "4 T\n10 20 30\n9,2.5e\n12\n", {10, 20, 30, 9, 2.5f, 12},
         {{3, "the value \"2.5e\" for items 2 and 4 reads as 2.5"}}},
        {"fewer values", "4 T\n10 20\n9,25\n12\n", {10, 0, 0, 9, 25, 12},
         {{2, "row line 1 holds 2 values, not the 3 for items 2 to 4: the last value \"20\" is dropped and the "
              "distances to items 3 to 4 read as 0"}}},
        {"one value on a longer row", "4 T\n10\n9,25\n12\n", {0, 0, 0, 9, 25, 12},
         {{2, "row line 1 holds 1 value, not the 3 for items 2 to 4: the last value \"10\" is dropped"}}},
        {"empty row line", "4 T\n\n9,25\n12\n", {0, 0, 0, 9, 25, 12},
         {{2, "row line 1 holds 0 values, not the 3 for items 2 to 4: the line is empty"}}},
        {"empty last row line", "4 T\n10 20 30\n9,25\n\n", {10, 20, 30, 9, 25, 0},
         {{4, "row line 3 holds 0 values, not the 1 for item 4"}}},
        {"one value too many", "4 T\n10 20 30 40\n9,25\n12\n", {10, 20, 40, 9, 25, 12},
         {{2, "row line 1 holds 4 values, not the 3 for items 2 to 4: the last value \"40\" replaces the distance "
              "of items 1 and 4"}}},
        {"comma and blank", "4 T\n1, 2\n9,25\n12\n", {1, 0, 2, 9, 25, 12},
         {{2, "a comma and a blank in a row give an empty value, read as 0, for items 1 and 3"}}},
        {"two tabs", "4 T\n1\t\t2\n9,25\n12\n", {1, 0, 2, 9, 25, 12}, {{2, "two tabs in a row"}}},
        {"blank and tab", "4 T\n1 \t2\n9,25\n12\n", {1, 0, 2, 9, 25, 12}, {{2, "a blank and a tab in a row"}}},
        {"two commas", "4 T\n10 20 30\n9,,\n12\n", {10, 20, 30, 9, 0, 12},
         {{3, "two commas in a row give an empty value, read as 0, for items 2 and 4"},
          {3, "row line 2 holds 3 values, not the 2 for items 3 to 4: the separator at the end"}}},
        {"tab at the start", "4 T\n\t10 20\n9,25\n12\n", {0, 10, 20, 9, 25, 12},
         {{2, "a tab at the start of the line gives a first value 0 for items 1 and 2"}}},
        {"comma at the start", "4 T\n,10 20\n9,25\n12\n", {0, 10, 20, 9, 25, 12},
         {{2, "the line starts with a comma, so its first value is empty and reads as 0 for items 1 and 2"}}},
        {"comma at the end", "4 T\n10 20 30,\n9,25\n12\n", {10, 20, 0, 9, 25, 12},
         {{2, "row line 1 holds 4 values, not the 3 for items 2 to 4: the separator at the end of the line adds an "
              "empty value, which replaces the distance of items 1 and 4 with 0"}}},
        {"tab at the end of a short row", "4 T\n10 20\t\n9,25\n12\n", {10, 20, 0, 9, 25, 12},
         {{2, "the line ends with a tab, so its last value is empty and reads as 0 for items 1 and 4"}}},
        {"several, in file order", "4 Four, 10 2O 30\r\nabc,25\r\n\r\n", {10, 2, 30, 0, 25, 0},
         {{1, "the title \"Four\""}, {1, "\"2O\""}, {2, "\"abc\""}, {3, "row line 3 holds 0 values"}}},
        {"text from the file is escaped", "3 T\n1 \x1b[2J\n3\n", {1, 0, 3},
         {{2, "the value \"\\x1B[2J\" for items 1 and 3 is not a number"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DistanceData data = readText(c.text);
        EXPECT_EQ(UpperCells(data), c.cells);
        ASSERT_EQ(data.Warnings.size(), c.warnings.size());
        EXPECT_EQ(data.WarningCount, static_cast<long long>(c.warnings.size()));
        for (std::size_t k = 0; k < c.warnings.size(); ++k) {
            EXPECT_EQ(data.Warnings[k].line, c.warnings[k].line) << data.Warnings[k].text;
            EXPECT_NE(data.Warnings[k].text.find(c.warnings[k].part), std::string::npos) << data.Warnings[k].text;
        }
    }
}

TEST(DistanceReader, CleanFilesGiveNoWarnings)
{
    const char *texts[] = {
        "4 Four sites\r\n10 20 30\r\n9,25\r\n12\r\n",
        "4 Four sites\n10\t20\t30\n9   25\n   12   \n",
        "4\nFour sites\n10 20 30\n9,25\n12\n",
        "4,Four sites\n10 20 30\n9,25\n12\n",
        "4 \"Sites, four of them\"\n1e1 +20 30.\n.9e1,25\n12\n",
        "3 T\n1 2\n3\nanything after the last row line, 1,,2\n",
    };
    for (const char *text : texts) {
        SCOPED_TRACE(text);
        DistanceData data = readText(text);
        EXPECT_TRUE(data.Warnings.empty()) << data.Warnings.front().text;
        EXPECT_EQ(data.WarningCount, 0);
    }
    for (const char *name : {"distance.txt", "colours.txt", "four-sites.txt", "triangle.txt"}) {
        SCOPED_TRACE(name);
        DistanceData data = ReadDistances(std::string(TESSARIN_EXAMPLES_DIR) + "/" + name);
        EXPECT_EQ(data.WarningCount, 0);
    }
}

TEST(DistanceReader, KeepsTheFirstWarningsAndCountsAll)
{
    // 200 items, every value a letter: 19900 warnings, 100 of them kept.
    std::string text = "200 Letters\n";
    for (int i = 1; i < 200; ++i) {
        for (int j = i + 1; j <= 200; ++j)
            text += j > i + 1 ? " x" : "x";
        text += '\n';
    }
    DistanceData data = readText(text);
    EXPECT_EQ(data.WarningCount, 19900);
    ASSERT_EQ(data.Warnings.size(), MaxReadingWarnings);
    EXPECT_EQ(data.Warnings.front().line, 2);
    EXPECT_NE(data.Warnings.back().text.find("items 1 and 101"), std::string::npos) << data.Warnings.back().text;
    EXPECT_EQ(data.DistanceSum, 0.0f);
}

TEST(DistanceReader, ComputesStatisticsInSinglePrecision)
{
    DistanceData two = readText("2 T\n3.3\n");
    EXPECT_EQ(two.DistanceSum, 3.3f);
    const float square = 3.3f * 3.3f;
    EXPECT_EQ(two.DistanceSpread, square - static_cast<float>(double(3.3f) * double(3.3f) / 2 / 1));

    // The correction divides by N (N - 1), not by the number of pairs.
    DistanceData three = readText("3 T\n1 2\n3\n");
    EXPECT_EQ(three.DistanceSum, 6.0f);
    EXPECT_EQ(three.DistanceSpread, 8.0f);

    // Every addition is rounded to single precision: 2^24 + 1 is lost.
    DistanceData rounding = readText("3 T\n16777216 1\n1\n");
    EXPECT_EQ(rounding.DistanceSum, 16777216.0f);
}

struct FailureCase {
    const char *name;
    std::string text;
    std::string message;
};

TEST(DistanceReader, RefusesBadFilesWithAMessageSayingWhere)
{
    const FailureCase cases[] = {
        {"empty file", "", "the file ends before the item count"},
        {"count only", "4", "the file ends before the title"},
        {"missing rows", "4 T\n1 2 3\n4 5\n", "the file ends at row line 3 of 3"},
        {"count of 0", "0 T\n", "item count 0: a map needs at least two items"},
        {"count of 1", "1 T\n", "item count 1: a map needs at least two items"},
        {"negative count", "-5 T\n", "item count -5 is negative"},
        {"count beyond 16 bits", "70000 T\n", "item count 70000 is out of range"},
        {"count beyond the search", "16384 T\n", "item count 16384 is more than the 16383 items"},
        {"count not a number", "abc T\n", "the item count \"abc\" is not a number"},
        {"too many values", "4 T\n1 2 3 4 5\n", "line 2: row line 1 holds more values than the 3 items after item 1"},
        {"too many values, later row", "4 T\n1 2 3\n4 5 6 7\n", "line 3: row line 2 holds more values than the 2 items"},
        {"value beyond single precision", "3 T\n1 1e39\n2\n",
         "line 2: the value \"1e39\" for items 1 and 3 is beyond the single-precision range"},
        {"negative value beyond range", "3 T\n-1e39 1\n2\n", "for items 1 and 2 is beyond the single-precision range"},
        {"value beyond double range", "3 T\n1 2\n1e999\n", "for items 2 and 3 is beyond the single-precision range"},
        {"sum overflows", "3 T\n3e38 3e38\n1\n", "the distances are too large"},
        {"unterminated quoted title", "3 \"Title\n1 2\n3\n", "line 1: the title's closing double quote is missing"},
        // Files too short for their count fail with the same messages.
        {"large count, few rows", "16383 T\n1 2\n3\n", "the file ends at row line 3 of 16382"},
        {"large count, bad value", "16000 T\n1e39 1\n", "line 2: the value \"1e39\" for items 1 and 2"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text);
        if (const auto message = ThrownMessage([&] { ReadDistances(file.path()); })) {
            EXPECT_NE(message->find(c.message), std::string::npos) << *message;
            EXPECT_EQ(message->rfind(file.path(), 0), 0u) << "message does not start with the file name: " << *message;
        }
    }
}

TEST(DistanceReader, RefusesMissingFilesAndFolders)
{
    EXPECT_THROW(ReadDistances("/nonexistent/distance.txt"), TessarinError);
    try {
        ReadDistances(std::filesystem::temp_directory_path().string());
        ADD_FAILURE() << "a folder was read";
    } catch (const TessarinError &error) {
        EXPECT_NE(std::string(error.what()).find("is a folder"), std::string::npos);
    }
}

TEST(DistanceReader, ReadsTheBundledExamples)
{
    DistanceData cities = ReadDistances(std::string(TESSARIN_EXAMPLES_DIR) + "/distance.txt");
    EXPECT_EQ(cities.ItemCount, 20);
    expectConsistent(cities);
    for (int i = 1; i <= 20; ++i)
        for (int j = i + 1; j <= 20; ++j)
            EXPECT_GT(cities.distance(i, j), 0.0f) << i << "," << j;
    DistanceData colours = ReadDistances(std::string(TESSARIN_EXAMPLES_DIR) + "/colours.txt");
    EXPECT_EQ(colours.ItemCount, 8);
    expectConsistent(colours);
}

} // namespace
} // namespace tessarin
