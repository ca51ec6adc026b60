#include "io/json_writer.h"
#include "diagnostics/stress_report.h"
#include "data/pair_weights.h"
#include "distance_fixture.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>

namespace tessarin {
namespace {

TEST(JsonWriter, QuotesEscapesAndKeepsOnlyValidUtf8)
{
    struct Case {
        const char *name;
        std::string text;
        std::string quoted;
    };
    const Case cases[] = {
        {"plain", "iris 150", "\"iris 150\""},
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"line ends and tab", "a\r\n\tb", "\"a\\r\\n\\tb\""},
        {"other control bytes", std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\\u007f\""},
        {"nul byte", std::string("a\0b", 3), "\"a\\u0000b\""},
        {"two- three- and four-byte UTF-8", "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", "\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\""},
        {"stray bytes", "a\xff\x80z", "\"a\\ufffd\\ufffdz\""},
        {"cut short", "\xc3", "\"\\ufffd\""},
        {"overlong", "\xc0\xaf", "\"\\ufffd\\ufffd\""},
        {"surrogate", "\xed\xa0\x80", "\"\\ufffd\\ufffd\\ufffd\""},
        {"beyond U+10FFFF", "\xf4\x90\x80\x80", "\"\\ufffd\\ufffd\\ufffd\\ufffd\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(JsonWriter::Quoted(c.text), c.quoted);
    }
}

TEST(JsonWriter, NestsWithCommasAndWritesNumbersThatReadBack)
{
    JsonWriter json;
    json.beginObject();
    json.key("n");
    json.value(3);
    json.key("list");
    json.beginArray();
    json.value(0.1);
    json.value(std::nan(""));
    json.value(true);
    json.endArray();
    json.key("empty");
    json.beginObject();
    json.endObject();
    json.endObject();
    EXPECT_EQ(json.text(), "{\n  \"n\": 3,\n  \"list\": [\n    0.1,\n    null,\n    true\n  ],\n  \"empty\": {}\n}\n");
}

TEST(StressReport, EveryItemWithItsNameWhenTheTableNamesThem)
{
    DistanceData data = testing::MakeDistances(3, {3, 4, 5});
    const Layout map = {0, 0, 3.5f, 0, 0, 0, 4};
    const StressFigures figures = MeasureStress(data, map);
    const StressReport report{"tri\"angle.txt", {{"reading", "3 items", 0.25}, {"search", "10 generations", 1.5}}, 10};

    const std::string plain = StressReportJson(report, data, figures);
    EXPECT_NE(plain.find("\"file\": \"tri\\\"angle.txt\""), std::string::npos);
    EXPECT_NE(plain.find("\"name\": \"search\",\n      \"detail\": \"10 generations\",\n      \"seconds\": 1.5"),
              std::string::npos)
        << plain;
    EXPECT_EQ(plain.find("\"name\": \"A\""), std::string::npos);
    // stress-1 as the shortest text that reads back as the same double.
    const auto at = plain.find("\"stress1\": ") + 11;
    double stress1 = 0;
    std::from_chars(plain.data() + at, plain.data() + plain.size(), stress1);
    EXPECT_EQ(stress1, figures.stress1);
    EXPECT_GT(stress1, 0);

    data.Names = {"A", "B", "C"};
    const std::string named = StressReportJson(report, data, figures);
    for (const char *item : {"\"item\": 1,\n      \"name\": \"A\"", "\"item\": 3,\n      \"name\": \"C\""})
        EXPECT_NE(named.find(item), std::string::npos) << item;
}

TEST(StressReport, CountsThePairsUsedBesideAllPairsWhenSomeWeighNothing)
{
    const struct {
        const char *name;
        std::vector<float> weights;
        std::string counts;
    } cases[] = {
        {"no weights", {}, "\"pairs\": 6,\n  \"stages\""},
        {"weights, none 0", {2, 0.5f, 1, 1, 1, 3}, "\"pairs\": 6,\n  \"stages\""},
        {"two pairs missing", {1, 0, 1, 1, 0, 1}, "\"pairs\": 6,\n  \"usedPairs\": 4,\n  \"missingPairs\": 2,\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DistanceData data = testing::MakeDistances(4, {1, 2, 3, 4, 5, 6});
        if (!c.weights.empty())
            SetPairWeights(data, c.weights, "weights");
        const Layout map = {0, 0, 1, 2, 3, 0, 1, 0, 1};
        const std::string json = StressReportJson({"four.txt", {}, 0}, data, MeasureStress(data, map));
        EXPECT_NE(json.find(c.counts), std::string::npos) << json;
    }
}

} // namespace
} // namespace tessarin
