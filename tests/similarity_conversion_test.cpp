// Similarities to dissimilarities: each conversion against its formula, and
// the matrices each one refuses, named by cell or column.
#include "io/data_table_reader.h"
#include "base/tessarin_error.h"
#include "distances/similarity_conversion.h"
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

/// s(A, B) = 0.8, s(A, C) = 0.2, s(B, C) = 0.5; the diagonal is not all 1.
const std::string similarities = "\"\",\"A\",\"B\",\"C\"\nA,1,0.8,0.2\nB,0.8,0.9,0.5\nC,0.2,0.5,NA\n";
/// Stimulus by response counts.
const std::string confusions = "\"\",A,B,C\nA,8,2,1\nB,4,6,2\nC,1,3,9\n";

DistanceData convert(const std::string &text, const char *how)
{
    TempFile file(text, "similarities.csv");
    return SimilarityDistances(ReadDataTable(file.path()), ParseSimilarityConversion(how));
}

struct ConversionCase {
    const char *how;
    std::string text;
    /// A-B, A-C, B-C.
    std::vector<double> expected;
};

TEST(SimilarityConversion, EachConversionGivesItsFormula)
{
    const ConversionCase cases[] = {
        {"max-minus", similarities, {0.0, 0.6, 0.3}},
        {"one-minus", similarities, {0.2, 0.8, 0.5}},
        {"sqrt-one-minus", similarities, {std::sqrt(0.2), std::sqrt(0.8), std::sqrt(0.5)}},
        {"reciprocal", similarities, {1.25, 5.0, 2.0}},
        // -ln sqrt(p_ij p_ji / (p_ii p_jj)).
        {"confusion", confusions, {0.5 * std::log(6.0), 0.5 * std::log(72.0), std::log(3.0)}},
        // Correlations written without names: the items are numbered.
        {"sqrt-one-minus", "1,0.5,-0.5\n0.5,1,0\n-0.5,0,1\n", {std::sqrt(0.5), std::sqrt(1.5), 1.0}},
    };
    for (const ConversionCase &c : cases) {
        SCOPED_TRACE(c.how);
        try {
            const DistanceData data = convert(c.text, c.how);
            ASSERT_EQ(data.ItemCount, 3);
            const double got[] = {data.distance(1, 2), data.distance(1, 3), data.distance(2, 3)};
            for (std::size_t k = 0; k < 3; ++k)
                EXPECT_NEAR(got[k], c.expected[k], 1e-7 * std::fmax(1.0, c.expected[k])) << "pair " << k;
        } catch (const TessarinError &error) {
            ADD_FAILURE() << error.what();
        }
    }
    EXPECT_EQ(convert(similarities, "one-minus").Names, (std::vector<std::string>{"A", "B", "C"}));
}

struct FaultCase {
    const char *name;
    const char *how;
    std::string text;
    std::vector<std::string> message;
};

TEST(SimilarityConversion, RefusesWhatItCannotConvertNamingTheCell)
{
    const FaultCase cases[] = {
        {"not square", "one-minus", "\"\",A,B\nA,1,0.5\nB,0.5,1\nC,0.1,0.2\n",
         {"3 rows holds 2 columns", "must be square"}},
        {"a column too many", "one-minus", "\"\",A,B,C\nA,1,0.5,0\nB,0.5,1,0\n", {"first extra one \"C\""}},
        {"columns in another order", "one-minus", "\"\",B,A\nA,1,0.5\nB,0.5,1\n",
         {"column 1 is headed \"B\"", "row 1 is \"A\""}},
        {"not symmetric", "max-minus", "\"\",A,B\nA,1,0.5\nB,0.4,1\n",
         {"line 3", "column \"A\" of item 2 \"B\"", "not symmetric", "\"0.4\"", "confusion"}},
        {"a missing similarity", "one-minus", "\"\",A,B\nA,1,NA\nB,NA,1\n", {"line 2", "column \"B\"", "missing"}},
        {"a text column", "one-minus", "\"\",A,B\nA,1,x\nB,x,1\n", {"column \"A\"", "holds text"}},
        {"above 1 under one-minus", "one-minus", "\"\",A,B\nA,1,1.5\nB,1.5,1\n",
         {"line 2", "\"1.5\"", "at most 1"}},
        {"above 1 under sqrt-one-minus", "sqrt-one-minus", "\"\",A,B\nA,1,1.5\nB,1.5,1\n", {"no number", "at most 1"}},
        {"0 under reciprocal", "reciprocal", "\"\",A,B\nA,1,0\nB,0,1\n", {"line 2", "\"0\"", "above 0"}},
        {"never confused either way", "confusion", "\"\",A,B\nA,5,0\nB,0,5\n",
         {"line 2", "item 1 \"A\"", "confused at least once"}},
        {"never recognised", "confusion", "\"\",A,B\nA,0,2\nB,1,5\n", {"line 2", "diagonal", "\"0\""}},
        {"a negative count", "confusion", "\"\",A,B\nA,5,-1\nB,1,5\n", {"line 2", "\"-1\"", "negative"}},
    };
    for (const FaultCase &c : cases) {
        SCOPED_TRACE(c.name);
        if (const auto message = ThrownMessage([&] { convert(c.text, c.how); })) {
            EXPECT_NE(message->find("similarities.csv"), std::string::npos) << *message;
            ExpectMentions(*message, c.message);
        }
    }
    EXPECT_THROW(ParseSimilarityConversion("1-s"), TessarinError);
}

} // namespace
} // namespace tessarin
