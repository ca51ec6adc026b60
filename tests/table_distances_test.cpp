// Distances from a data table: each metric against values worked out by
// hand from its formula, the standardisations, and the tables each metric
// refuses, named by cell or column.
#include "io/data_table_reader.h"
#include "base/tessarin_error.h"
#include "distances/table_distances.h"
#include "temp_file.h"
#include "thrown_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tessarin {
namespace {

using testing::ExpectMentions;
using testing::TempFile;
using testing::ThrownMessage;

/// Items a (1, 2, 3), b (4, 0, 3), c (0, 0, 1).
const std::string abc = "\"\",x,y,z\na,1,2,3\nb,4,0,3\nc,0,0,1\n";

struct MetricCase {
    const char *metric;
    /// a-b, a-c, b-c.
    std::vector<double> expected;
    std::string text = abc;
    const char *standardization = "none";
    const char *groupColumn = "";
};

std::vector<double> pairs(const DistanceData &data)
{
    std::vector<double> cells;
    for (int i = 1; i <= data.ItemCount; ++i)
        for (int j = i + 1; j <= data.ItemCount; ++j)
            cells.push_back(data.distance(i, j));
    return cells;
}

DistanceData distancesOf(const std::string &text, const char *metric, const char *standardization = "none",
                         const char *groupColumn = "")
{
    TempFile file(text, "table.csv");
    const DataTable table = ReadDataTable(file.path());
    TableDistanceSettings settings;
    settings.metric = ParseMetric(metric);
    settings.standardization = ParseStandardization(standardization);
    settings.groupColumn = groupColumn;
    return TableDistances(table, settings);
}

TEST(TableDistances, EachMetricGivesItsFormula)
{
    const double s6 = std::sqrt(1.0 / 6), s3 = std::sqrt(1.0 / 3), s2 = std::sqrt(0.5);
    const double b1 = std::sqrt(4.0 / 7), b3 = std::sqrt(3.0 / 7);
    const MetricCase cases[] = {
        {"euclidean", {std::sqrt(13.0), 3.0, std::sqrt(20.0)}},
        {"manhattan", {5, 5, 6}},
        {"chebyshev", {3, 2, 4}},
        {"maximum", {3, 2, 4}},
        {"minkowski=3", {std::cbrt(35.0), std::cbrt(17.0), std::cbrt(72.0)}},
        {"minkowski=1", {5, 5, 6}},
        // b-c: the y term is 0/0, left out; the two others scaled by 3/2.
        {"canberra", {0.6 + 1.0, 1.0 + 1.0 + 0.5, (1.0 + 0.5) * 1.5}},
        {"correlation", {1.0 + 3.0 / std::sqrt(156.0), 1.0 - std::sqrt(3.0) / 2.0, 1.0 - 6.0 / std::sqrt(468.0)}},
        {"cosine", {1.0 - 13.0 / (5.0 * std::sqrt(14.0)), 1.0 - 3.0 / std::sqrt(14.0), 0.4}},
        {"braycurtis", {5.0 / 13.0, 5.0 / 7.0, 6.0 / 8.0}},
        // Presences a (1 1 1), b (1 0 1), c (0 0 1): one-sided over present.
        {"jaccard", {1.0 / 3.0, 2.0 / 3.0, 1.0 / 2.0}},
        {"hellinger",
         {std::hypot(s6 - b1, s3, s2 - b3), std::sqrt(s6 * s6 + s3 * s3 + (s2 - 1) * (s2 - 1)),
          std::sqrt(b1 * b1 + (b3 - 1) * (b3 - 1))}},
        // x ranges over 4, y over 2, z over 2.
        {"gower", {(0.75 + 1.0 + 0.0) / 3, (0.25 + 1.0 + 1.0) / 3, (1.0 + 0.0 + 1.0) / 3}},
        // z: x (1, 4, 0) has mean 5/3 and sd sqrt(13/3); y sd 2/sqrt(3), z sd 2/sqrt(3).
        {"euclidean",
         {std::sqrt(9.0 / (13.0 / 3) + 4.0 / (4.0 / 3)), std::sqrt(1.0 / (13.0 / 3) + 4.0 / (4.0 / 3) + 4.0 / (4.0 / 3)),
          std::sqrt(16.0 / (13.0 / 3) + 4.0 / (4.0 / 3))},
         abc, "z"},
        {"manhattan", {0.75 + 1.0, 0.25 + 1.0 + 1.0, 1.0 + 1.0}, abc, "range"},
        // A constant column adds nothing under z instead of R's NaN.
        {"euclidean", {1.0, 2.0, 1.0}, "\"\",x,k\na,1,5\nb,2,5\nc,3,5\n", "z"},
        {"euclidean", {0.5, 1.0, 0.5}, "\"\",x,k\na,1,5\nb,2,5\nc,3,5\n", "range"},
        // An empty row against a full one is as far as Bray–Curtis goes.
        {"braycurtis", {1.0, 1.0, 2.0 / 8.0}, "\"\",x,y\na,0,0\nb,1,3\nc,2,2\n"},
        // decostand leaves an empty row empty: 1 from any other row.
        {"hellinger", {1.0, 1.0, std::hypot(0.5 - s2, std::sqrt(0.75) - s2)}, "\"\",x,y\na,0,0\nb,1,3\nc,2,2\n"},
        // The group column is no variable, a text column under Gower is.
        {"euclidean", {1.0, 2.0, 1.0}, "\"\",g,x\na,u,1\nb,v,2\nc,u,3\n", "none", "g"},
        {"gower", {(0.5 + 1.0) / 2, (1.0 + 0.0) / 2, (0.5 + 1.0) / 2}, "\"\",g,x\na,u,1\nb,v,2\nc,u,3\n"},
    };
    for (const MetricCase &c : cases) {
        SCOPED_TRACE(std::string(c.metric) + " " + c.standardization + " on " + c.text);
        try {
            const std::vector<double> got = pairs(distancesOf(c.text, c.metric, c.standardization, c.groupColumn));
            ASSERT_EQ(got.size(), c.expected.size());
            for (std::size_t k = 0; k < got.size(); ++k)
                EXPECT_NEAR(got[k], c.expected[k], 1e-7 * std::fmax(1.0, c.expected[k])) << "pair " << k;
        } catch (const TessarinError &error) {
            ADD_FAILURE() << error.what();
        }
    }
}

TEST(TableDistances, GowerSkipsMissingValuesPairByPair)
{
    // x ranges over 4 (1, 3, ?, 5), k is constant, f is nominal.
    const std::string text = "\"\",x,k,f\np,1,2,u\nq,3,2,v\nr,NA,2,u\ns,5,2,\n";
    const DistanceData data = distancesOf(text, "gower");
    // p-q all three; p-r k and f; p-s x and k; q-r k and f; q-s x and k; r-s k alone.
    EXPECT_EQ(pairs(data), (std::vector<double>{0.5, 0.0, 0.5, 0.5, 0.25, 0.0}));
    EXPECT_EQ(data.Names, (std::vector<std::string>{"p", "q", "r", "s"}));
}

TEST(TableDistances, StoresEachDistanceInSinglePrecisionWithTheStatistics)
{
    const DistanceData data = distancesOf(abc, "euclidean");
    EXPECT_EQ(data.distance(1, 2), static_cast<float>(std::sqrt(13.0)));
    EXPECT_EQ(data.distance(3, 2), data.distance(2, 3));
    EXPECT_EQ(data.distance(2, 2), 0.0f);
    EXPECT_EQ(data.PairDistances.size(), 3u);
    const float sum = static_cast<float>(std::sqrt(20.0)) + (3.0f + static_cast<float>(std::sqrt(13.0)));
    EXPECT_EQ(data.DistanceSum, sum);
}

struct FaultCase {
    const char *name;
    std::string text;
    const char *metric;
    std::vector<std::string> message;
    const char *standardization = "none";
    const char *groupColumn = "";
};

TEST(TableDistances, RefusesWhatTheMetricCannotTakeNamingTheCellOrColumn)
{
    const FaultCase cases[] = {
        {"a text column under a numeric metric", "\"\",x,Species\na,1,setosa\nb,2,virginica\n", "euclidean",
         {"column \"Species\"", "\"setosa\"", "line 2", "gower", "group column"}},
        {"a missing value under a numeric metric", "\"\",x,y\na,1,2\nb,NA,3\n", "manhattan",
         {"line 3", "column \"x\"", "item 2 \"b\"", "missing", "only gower"}},
        {"a negative count under Bray-Curtis", "\"\",x,y\na,1,2\nb,-3,3\n", "braycurtis",
         {"line 3", "column \"x\"", "item 2 \"b\"", "\"-3\"", "negative"}},
        {"a negative count under Jaccard", "\"\",x,y\na,1,-2\nb,3,3\n", "jaccard", {"line 2", "column \"y\""}},
        {"negative after z under Hellinger", "\"\",x,y\na,1,2\nb,3,3\n", "hellinger",
         {"item 1 \"a\"", "after z standardisation"}, "z"},
        {"two empty rows under Bray-Curtis", "\"\",x,y\na,0,0\nb,0,0\nc,1,1\n", "braycurtis",
         {"item 1 \"a\" and item 2 \"b\"", "not defined", "0 in every variable"}},
        {"two empty rows under Jaccard", "x,y\n0,0\n0,0\n", "jaccard", {"item 1 and item 2", "not defined"}},
        {"every term 0/0 under Canberra", "\"\",x,y\na,0,0\nb,0,0\n", "canberra", {"item 1 \"a\" and item 2"}},
        {"a constant row under correlation", "\"\",x,y,z\na,1,2,3\nb,4,4,4\n", "correlation",
         {"line 3", "item 2 \"b\"", "same value in every variable"}},
        {"one variable under correlation", "\"\",x\na,1\nb,2\n", "correlation", {"at least two variables"}},
        {"a zero row under cosine", "\"\",x,y\na,1,2\nb,0,0\n", "cosine", {"item 2 \"b\"", "0 in every variable"}},
        {"no variable shared under Gower", "\"\",x,y\na,1,NA\nb,NA,2\nc,3,4\n", "gower",
         {"item 1 \"a\" and item 2 \"b\"", "no variable is given for both"}},
        {"a distance beyond single precision", "\"\",x\na,0\nb,1e300\n", "euclidean",
         {"item 1 \"a\" and item 2 \"b\"", "single-precision"}},
        {"no variable but the group column", "\"\",g\na,u\nb,v\n", "gower", {"no variables"}, "none", "g"},
    };
    for (const FaultCase &c : cases) {
        SCOPED_TRACE(c.name);
        if (const auto message = ThrownMessage([&] { distancesOf(c.text, c.metric, c.standardization, c.groupColumn); })) {
            EXPECT_NE(message->find("table.csv"), std::string::npos) << *message;
            ExpectMentions(*message, c.message);
        }
    }
}

TEST(TableDistances, GroupColumnIsLeftOutAndMustExist)
{
    TempFile file("\"\",x,g\na,1,u\nb,2,v\n", "table.csv");
    const DataTable table = ReadDataTable(file.path());
    TableDistanceSettings settings;
    settings.groupColumn = "group";
    try {
        TableDistances(table, settings);
        ADD_FAILURE() << "no error";
    } catch (const TessarinError &error) {
        EXPECT_NE(std::string(error.what()).find("no column is headed \"group\""), std::string::npos) << error.what();
    }
}

struct NameCase {
    const char *text;
    const char *name; // nullptr: refused
};

TEST(TableDistances, MetricAndStandardisationNames)
{
    const NameCase metrics[] = {
        {"euclidean", "euclidean"}, {"maximum", "chebyshev"}, {"bray", "braycurtis"}, {"minkowski=2.5", "minkowski=2.5"},
        {"minkowski=0", nullptr},   {"minkowski=x", nullptr}, {"Euclidean", nullptr}, {"", nullptr},
    };
    for (const NameCase &c : metrics) {
        SCOPED_TRACE(c.text);
        if (c.name) {
            EXPECT_EQ(MetricName(ParseMetric(c.text)), c.name);
        } else {
            EXPECT_THROW(ParseMetric(c.text), TessarinError);
        }
    }
    EXPECT_EQ(ParseMetric("minkowski=2.5").power, 2.5);
    EXPECT_EQ(StandardizationName(ParseStandardization("range")), "range");
    EXPECT_THROW(ParseStandardization("scale"), TessarinError);
}

} // namespace
} // namespace tessarin
