// The readers of square matrices, lower triangles and PHYLIP files, and the
// choice between them: layouts read, faults refused with one message naming
// the file, the line and the value.
#include "io/distance_file.h"
#include "io/distance_reader.h"
#include "io/lower_triangle_reader.h"
#include "io/phylip_reader.h"
#include "io/square_matrix_reader.h"
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

using testing::ExpectMentions;
using testing::TempFile;
using testing::ThrownMessage;
using testing::UpperCells;
using Reader = DistanceData (*)(const std::string &);

const std::vector<std::string> abcd = {"Alpha", "Beta", "Gamma", "Delta"};
// Alpha-Beta 1, Alpha-Gamma 2, Alpha-Delta 3, Beta-Gamma 4.5, Beta-Delta 5, Gamma-Delta 0.25
const std::vector<float> abcdCells = {1, 2, 3, 4.5f, 5, 0.25f};

struct LayoutCase {
    const char *name;
    Reader reader;
    std::string text;
    std::vector<std::string> names;
    std::vector<float> cells;
    const char *file = "distances.txt";
};

TEST(NamedTableReaders, ReadEveryLayout)
{
    const LayoutCase cases[] = {
        {"write.csv with an empty quoted corner", ReadSquareMatrix,
         "\"\",\"Alpha\",\"Beta\",\"Gamma\",\"Delta\"\n\"Alpha\",0,1,2,3\n\"Beta\",1,0,4.5,5\n"
         "\"Gamma\",2,4.5,0,0.25\n\"Delta\",3,5,0.25,0\n",
         abcd, abcdCells},
        {"write.table with tabs, no corner", ReadSquareMatrix,
         "\"Alpha\"\t\"Beta\"\t\"Gamma\"\t\"Delta\"\n\"Alpha\"\t0\t1\t2\t3\n\"Beta\"\t1\t0\t4.5\t5\n"
         "\"Gamma\"\t2\t4.5\t0\t0.25\n\"Delta\"\t3\t5\t0.25\t0\n",
         abcd, abcdCells},
        {"spreadsheet CSV, a named corner, CR LF, BOM, empty diagonal", ReadSquareMatrix,
         "\xEF\xBB\xBFsite,Alpha,Beta,Gamma,Delta\r\nAlpha,,1,2,3\r\nBeta,1,,4.5,5\r\n"
         "Gamma,2,4.5,,0.25\r\n\r\nDelta,3,5,0.25,\r\n",
         abcd, abcdCells},
        {"quoted names with commas, quotes and a line end", ReadSquareMatrix,
         "\"\",\"Paris, France\",\"The \"\"Big\"\" Apple\",\"two\nlines\"\n"
         "\"Paris, France\",0,7,8\n\"The \"\"Big\"\" Apple\",7,0,9\n\"two\nlines\",8,9,0\n",
         {"Paris, France", "The \"Big\" Apple", "two\nlines"}, {7, 8, 9}},
        {"unnamed numbers, lone CR line ends", ReadSquareMatrix, "0,1,2\r1,0,3\r2,3,0\r", {}, {1, 2, 3}},
        {"symmetric within a relative 1e-6", ReadSquareMatrix, "0\t1000000\n1000000.5\t0\n", {}, {1e6f}},
        {"R's printed dist", ReadLowerTriangle,
         "      Alpha Beta Gamma\nBeta    1\nGamma   2    4.5\nDelta   3    5    0.25\n", abcd, abcdCells},
        {"R's printed dist with the diagonal", ReadLowerTriangle,
         "      Alpha Beta Gamma Delta\nAlpha 0\nBeta 1 0\nGamma 2 4.5 0\nDelta 3 5 0.25 0\n", abcd, abcdCells},
        {"rows only, the first a bare name", ReadLowerTriangle, "Alpha\nBeta 1\nGamma 2 4.5\nDelta 3 5 0.25\n", abcd,
         abcdCells},
        {".dst: count and title, tabs, names with blanks", ReadLowerTriangle,
         "3\tThree towns\nNew York\nLos Angeles\t39.4\nSan Jose\t41\t5\n", {"New York", "Los Angeles", "San Jose"},
         {39.4f, 41, 5}},
        {"quoted names between blanks", ReadLowerTriangle, "\"New York\"\n\"Los Angeles\" 39.4\n",
         {"New York", "Los Angeles"}, {39.4f}},
        {"PHYLIP square, relaxed", ReadPhylip,
         "4\nAlpha 0 1 2 3\nBeta 1 0 4.5 5\nGamma 2 4.5 0 0.25\nDelta 3 5 0.25 0\n", abcd, abcdCells},
        {"PHYLIP square, strict names with blanks and digits", ReadPhylip,
         "    3\nSite 12   0 7 8\nSite 3    7 0 9\nSite 4    8 9 0\n", {"Site 12", "Site 3", "Site 4"}, {7, 8, 9}},
        {"PHYLIP strict, a 10-character name touching its values", ReadPhylip,
         "2\nAlphabetic0.0 1.5\nBeta      1.5 0.0\n", {"Alphabetic", "Beta"}, {1.5f}},
        {"PHYLIP square, rows wrapped", ReadPhylip,
         "4\nAlpha 0 1\n 2 3\nBeta 1 0\n4.5\n 5\nGamma 2 4.5 0 0.25\nDelta 3\n5 0.25 0\n", abcd, abcdCells,
         "wrapped.phy"},
        {"PHYLIP lower triangle", ReadPhylip, "4\nAlpha\nBeta 1\nGamma 2 4.5\nDelta 3 5\n 0.25\n", abcd, abcdCells},
        {"PHYLIP lower triangle with the diagonal", ReadPhylip, "4\nAlpha 0\nBeta 1 0\nGamma 2 4.5 0\nDelta 3 5 0.25 0\n",
         abcd, abcdCells},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text, c.file);
        try {
            const DistanceData data = c.reader(file.path());
            EXPECT_EQ(data.Names, c.names);
            EXPECT_EQ(UpperCells(data), c.cells);
            // The chooser finds the same reader by the content alone.
            const DistanceData chosen = ReadDistanceFile(file.path());
            EXPECT_EQ(chosen.Distances, data.Distances);
            EXPECT_EQ(chosen.Names, data.Names);
        } catch (const TessarinError &error) {
            ADD_FAILURE() << error.what();
        }
    }
}

/// The table of the cases above in our distance file and every other layout.
TEST(NamedTableReaders, GiveTheSameDataBitForBitInEveryFormat)
{
    // Values chosen so that single precision rounds them: any other way of
    // reading the digits would show.
    const std::string ours = "4 Four\n0.1 2.7182818 1e-3\n3.14159265 7.0e+1\n0.3333333333\n";
    const std::vector<std::string> texts = {
        "\"\",\"A\",\"B\",\"C\",\"D\"\n\"A\",0,0.1,2.7182818,1e-3\n\"B\",0.1,0,3.14159265,7.0e+1\n"
        "\"C\",2.7182818,3.14159265,0,0.3333333333\n\"D\",1e-3,7.0e+1,0.3333333333,0\n",
        "A\tB\tC\tD\nA\t0\t0.1\t2.7182818\t1e-3\nB\t0.1\t0\t3.14159265\t7.0e+1\n"
        "C\t2.7182818\t3.14159265\t0\t0.3333333333\nD\t1e-3\t7.0e+1\t0.3333333333\t0\n",
        "  A B C\nB 0.1\nC 2.7182818 3.14159265\nD 1e-3 7.0e+1 0.3333333333\n",
        "4\tFour\nA\nB\t0.1\nC\t2.7182818\t3.14159265\nD\t1e-3\t7.0e+1\t0.3333333333\n",
        "4\nA 0 0.1 2.7182818 1e-3\nB 0.1 0 3.14159265 7.0e+1\nC 2.7182818 3.14159265 0 0.3333333333\n"
        "D 1e-3 7.0e+1 0.3333333333 0\n",
        "4\nA\nB 0.1\nC 2.7182818 3.14159265\nD 1e-3 7.0e+1 0.3333333333\n",
    };
    TempFile reference(ours);
    const DistanceData expected = ReadDistances(reference.path());
    for (const std::string &text : texts) {
        SCOPED_TRACE(text);
        TempFile file(text);
        const DistanceData data = ReadDistanceFile(file.path());
        ASSERT_EQ(data.Distances.size(), expected.Distances.size());
        EXPECT_EQ(std::memcmp(data.Distances.data(), expected.Distances.data(), data.Distances.size() * sizeof(float)),
                  0);
        EXPECT_EQ(std::memcmp(&data.DistanceSum, &expected.DistanceSum, sizeof(float)), 0);
        EXPECT_EQ(std::memcmp(&data.DistanceSpread, &expected.DistanceSpread, sizeof(float)), 0);
        EXPECT_EQ(data.PairDistances, expected.PairDistances);
        EXPECT_EQ(data.Names, (std::vector<std::string>{"A", "B", "C", "D"}));
    }
}

struct FaultCase {
    const char *name;
    std::string text;
    std::vector<std::string> message; // each must appear in the one message
};

TEST(NamedTableReaders, RefuseEachFaultWithOneMessageNamingLineAndValue)
{
    const FaultCase cases[] = {
        {"asymmetric", "\"\",A,B,C\nA,0,1,2\nB,1,0,3\nC,2,3.1,0\n",
         {"line 4", "not symmetric", "row 3, column 2", "\"3.1\"", "row 2, column 3 holds 3"}},
        {"non-zero diagonal", "\"\",A,B\nA,0,1\nB,1,0.5\n", {"line 3", "diagonal", "item 2 \"B\"", "\"0.5\""}},
        {"row names out of order", "\"\",A,B,C\nA,0,1,2\nC,2,3,0\nB,1,0,3\n",
         {"line 3", "row 2 is named \"C\"", "column 2", "\"B\""}},
        {"missing in one half only", "\"\",A,B,C\nA,0,NA,2\nB,1,0,3\nC,2,3,0\n",
         {"line 3", "not symmetric", "row 2, column 1", "\"1\"", "row 1, column 2 holds a missing value",
          "both halves"}},
        {"present in one half only", "0,1,2\n1,0,3\n,3,0\n",
         {"line 3", "row 3, column 1", "\"\"", "row 1, column 3 holds 2"}},
        {"the only pair missing", "Alpha\nBeta ?\n", {"item Beta has no present pair with the other 1"}},
        {"an item without a present pair", "\"\",Aunt,Niece,Uncle\nAunt,0,NA,NA\nNiece,NA,0,3\nUncle,NA,3,0\n",
         {": item Aunt has no present pair with the other 2"}},
        {"ragged row", "\"\",A,B,C\nA,0,1,2\nB,1,0\nC,2,3,0\n", {"line 3", "row 2 holds 3 fields", "not the 4"}},
        {"ragged first row", "\"\",A,B,C\nA,0,1\n", {"line 2", "first row holds 3 fields", "header on line 1"}},
        {"a header one field short makes the first field a name", "\"\",A,B\nA,0,1,5\nB,1,0\n",
         {"line 1", "item 1 has no name"}},
        {"non-numeric cell", "\"\",A,B\nA,0,1\nB,1x,0\n", {"line 3", "\"1x\"", "not a number"}},
        {"non-numeric value", "\"\",A,B\nA,0,one\nB,1,0\n", {"line 2", "\"one\"", "not a number"}},
        {"value beyond single precision", "\"\",A,B\nA,0,1e39\nB,1e39,0\n", {"line 2", "\"1e39\"", "single-precision"}},
        {"duplicate names", "\"\",A,B,A\nA,0,1,2\nB,1,0,3\nA,2,3,0\n",
         {"line 1", "items 1 and 3", "both named \"A\""}},
        {"empty name", "\"\",A,\"\"\nA,0,1\n\"\",1,0\n", {"item 2 has no name"}},
        {"too few rows", "\"\",A,B,C\nA,0,1,2\nB,1,0,3\n", {"ends after row 2 of 3"}},
        {"a row too many", "0,1\n1,0\n2,2\n", {"line 3", "a row more than the 2"}},
        {"quote never closed", "\"\",\"A,B\nA,0,1\n", {"line 1", "never closed"}},
        {"text after a closing quote", "\"\",\"A\"x,B\nA,0,1\nB,1,0\n", {"line 1", "field 2", "after its closing"}},
        {"one item", "\"\",A\nA,0\n", {"line 1", "at least two items"}},
        {"lower: row one value short", "Alpha\nBeta 1\nGamma 2\n",
         {"line 3", "item 3 \"Gamma\"", "holds 1 distances, not the 2"}},
        {"lower: header names another item", "  A B\nC 1\nD 2 3\n",
         {"line 1", "column 2", "\"B\"", "line 2", "\"C\""}},
        {"lower: fewer rows than counted", "4\tFour\nA\nB\t1\nC\t2\t3\n", {"ends after row 3 of the 4"}},
        {"lower: non-zero diagonal", "A 0\nB 1 2\n", {"line 2", "diagonal", "\"2\""}},
        {"lower: duplicate names", "A\nB 1\nA 2 3\n", {"line 3", "items 1 and 3", "both named"}},
        {"PHYLIP: too few rows", "3\nA 0 1 2\nB 1 0 3\n", {"ends before the row of item 3 of 3"}},
        {"PHYLIP: first row neither square nor triangular", "3\nA 0 1\nB 1 0 3\nC 2 3 0\n",
         {"line 2", "first row, item 1 \"A\", holds 2 distances"}},
        {"PHYLIP: row runs short before the next name", "3\nA 0 1 2\nB 1 0\nC 2 3 0\n",
         {"line 4", "item 2 \"B\"", "holds 2 distances, not 3", "\"C\""}},
        {"PHYLIP: strict names, the fault of the strict reading", "2\nNew York  0 1\nBoston    1e39 0\n",
         {"line 3", "item 2 \"Boston\" and item 1 \"New York\"", "\"1e39\"", "single-precision"}},
        {"PHYLIP: asymmetric", "2\nA 0 1\nB 2 0\n", {"line 3", "not symmetric"}},
        {"PHYLIP: a line after the rows", "2\nA\nB 1\nC 2 3\n", {"line 4", "after the 2 rows"}},
        {"PHYLIP: missing in one half only", "3\nA 0 NaN 2\nB 1 0 3\nC 2 3 0\n",
         {"line 3", "not symmetric", "a missing value"}},
        {"PHYLIP: count 1", "1\nA\n", {"line 1", "at least two items"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text);
        if (const auto message = ThrownMessage([&] { ReadDistanceFile(file.path()); })) {
            EXPECT_EQ(message->rfind(file.path(), 0), 0u) << *message;
            EXPECT_EQ(message->find('\n'), std::string::npos) << *message;
            ExpectMentions(*message, c.message);
        }
    }
}

struct ChoiceCase {
    const char *name;
    std::string text;
    std::string fileName;
    DistanceFormat format;
};

TEST(DistanceFile, ChoosesTheReaderByContentAndTheExtensionOnlyToBreakATie)
{
    const ChoiceCase cases[] = {
        {"our file", "4 Four sites\n10 20 30\n9,25\n12\n", "d.txt", DistanceFormat::DistanceFile},
        {"our file with a comma after the count", "3,Three\n1,2\n3\n", "d.csv", DistanceFormat::DistanceFile},
        {"our file, count alone, title on line 2", "3\nThree sites\n1 2\n3\n", "d.phy", DistanceFormat::DistanceFile},
        {"our file, title of a word and a number", "3\nSurvey 2002\n1 2\n3\n", "d.txt", DistanceFormat::DistanceFile},
        {"the same, but named .phy", "3\nSurvey 2002\n1 2\n3\n", "d.phy", DistanceFormat::Phylip},
        {"our file with a quoted title over two lines", "3 \"Three\nsites\"\n1 2\n3\n", "d.txt",
         DistanceFormat::DistanceFile},
        {"PHYLIP square", "2\nA 0 1\nB 1 0\n", "d.txt", DistanceFormat::Phylip},
        {"PHYLIP lower", "3\nA\nB 1\nC 2 3\n", "d.txt", DistanceFormat::Phylip},
        {"PHYLIP wrapped reads as ours in a .txt", "3\nA 0 1\n2\nB 1 0 3\n", "d.txt", DistanceFormat::DistanceFile},
        {"PHYLIP wrapped in a .phy", "3\nA 0 1\n2\nB 1 0 3\n", "d.phy", DistanceFormat::Phylip},
        {"unnamed square", "0,1\n1,0\n", "d.txt", DistanceFormat::SquareMatrix},
        {"unnamed square, empty diagonal", "\t1\n1\t\n", "d.txt", DistanceFormat::SquareMatrix},
        {"named square", "\"\",A,B\nA,0,1\nB,1,0\n", "d.txt", DistanceFormat::SquareMatrix},
        {"lower triangle", "A\nB 1\n", "d.csv", DistanceFormat::LowerTriangle},
        {"ours with letters on line 2 stays ours", "2 Two\nA\n", "d.txt", DistanceFormat::DistanceFile},
        {"lower triangle with a count and a tab", "2\tTwo\nA\nB\t1\n", "d.txt", DistanceFormat::LowerTriangle},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text, c.fileName);
        EXPECT_EQ(ChooseDistanceFormat(file.path()), c.format);
    }
}

TEST(DistanceFile, SaysWhatRuledOutEachFormatWhenNoneFits)
{
    TempFile file("abc Letters\n1 2\n3\n");
    try {
        ReadDistanceFile(file.path());
        FAIL() << "no error";
    } catch (const TessarinError &error) {
        const std::string message = error.what();
        for (const char *part : {"As a distance file: line 1: the item count \"abc\" is not a number",
                                 "As a square matrix: line 1 holds no comma or tab",
                                 "As a lower triangle: line 2 is not the row", "As a PHYLIP file: line 1"})
            EXPECT_NE(message.find(part), std::string::npos) << "no " << part << " in: " << message;
    }
    // Our own file's faults keep their own messages.
    TempFile short4("4 Short\n1 2 3\n4 5\n");
    try {
        ReadDistanceFile(short4.path());
        FAIL() << "no error";
    } catch (const TessarinError &error) {
        EXPECT_NE(std::string(error.what()).find("row line 3 of 3"), std::string::npos) << error.what();
    }
}

TEST(DistanceFile, ReadsTheBundledExamplesAlike)
{
    const std::string folder = TESSARIN_EXAMPLES_DIR;
    const DistanceData ours = ReadDistanceFile(folder + "/distance.txt");
    const DistanceData matrix = ReadDistanceFile(folder + "/cities-matrix.csv");
    const DistanceData phylip = ReadDistanceFile(folder + "/cities.phy");
    EXPECT_TRUE(ours.Names.empty());
    EXPECT_EQ(matrix.Distances, ours.Distances);
    EXPECT_EQ(phylip.Distances, ours.Distances);
    ASSERT_EQ(matrix.Names.size(), 20u);
    EXPECT_EQ(matrix.Names[6], "Cape Town");
    EXPECT_EQ(phylip.Names[6], "Cape_Town");
    const DistanceData planets = ReadDistanceFile(folder + "/planets.txt");
    ASSERT_EQ(planets.ItemCount, 8);
    EXPECT_EQ(planets.Names.front(), "Mercury");
    EXPECT_EQ(planets.Names.back(), "Neptune");
}

} // namespace
} // namespace tessarin
