#include "distances/similarity_conversion.h"

#include "io/named_table_builder.h"
#include "base/number_texts.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <cmath>

namespace tessarin {

namespace {

struct Named {
    const char *name;
    SimilarityConversion conversion;
};

constexpr Named names[] = {
    {"max-minus", SimilarityConversion::MaxMinus},
    {"one-minus", SimilarityConversion::OneMinus},
    {"sqrt-one-minus", SimilarityConversion::SqrtOneMinus},
    {"reciprocal", SimilarityConversion::Reciprocal},
    {"confusion", SimilarityConversion::Confusion},
};

class Converter {
public:
    Converter(const DataTable &table, SimilarityConversion conversion)
        : m_table(table), m_conversion(conversion), m_n(table.itemCount())
    {
    }

    DistanceData convert()
    {
        checkSquare();
        double largest = -HUGE_VAL;
        for (int i = 1; i <= m_n; ++i)
            for (int j = 1; j <= m_n; ++j)
                if (i != j) {
                    const double x = value(i, j);
                    if (m_conversion == SimilarityConversion::Confusion && x < 0.0)
                        throw TessarinError(place(i, j) + ": the count " + ShownText(text(i, j)) +
                                            " is negative; a confusion matrix holds counts or shares, 0 or more");
                    largest = std::fmax(largest, x);
                }
        if (m_conversion == SimilarityConversion::Confusion)
            for (int i = 1; i <= m_n; ++i)
                if (!(value(i, i) > 0.0))
                    throw TessarinError(place(i, i) + ": the diagonal holds " + ShownText(text(i, i)) +
                                        "; a confusion matrix needs each stimulus recognised at least once");

        NamedTableBuilder builder(m_table.fileName);
        builder.begin(m_n, m_table.fileName, true);
        builder.setNames(m_table.names, m_table.lines);
        for (int i = 1; i <= m_n; ++i)
            for (int j = i + 1; j <= m_n; ++j) {
                const double d = dissimilarity(i, j, largest);
                const float stored = static_cast<float>(d);
                if (!(stored >= 0.0f) || std::isinf(stored))
                    throw TessarinError(place(i, j) + ": the similarity " + ShownText(text(i, j)) + " gives " +
                                        (std::isnan(d) ? std::string("no number") : ShortestText(d)) + " by " +
                                        SimilarityConversionName(m_conversion) +
                                        ", not a distance of 0 or more; " + takes());
                builder.setPair(i, j, stored);
            }
        return builder.finish();
    }

private:
    const DataColumn &column(int j) const { return m_table.columns[static_cast<std::size_t>(j - 1)]; }
    const std::string &text(int i, int j) const { return column(j).texts[static_cast<std::size_t>(i - 1)]; }
    double s(int i, int j) const { return column(j).numbers[static_cast<std::size_t>(i - 1)]; }
    std::string place(int i, int j) const { return m_table.cellPlace(i, column(j)); }

    /// Cell (i, j), refused when missing.
    double value(int i, int j) const
    {
        if (column(j).missing[static_cast<std::size_t>(i - 1)])
            throw TessarinError(place(i, j) + ": the similarity is missing (" + ShownText(text(i, j)) +
                                "); the map needs every pair");
        return s(i, j);
    }

    void checkSquare() const
    {
        const int columns = static_cast<int>(m_table.columns.size());
        if (columns != m_n)
            throw TessarinError(m_table.fileName + ": a similarity matrix of " + std::to_string(m_n) +
                                " rows holds " + std::to_string(columns) + " columns" +
                                (columns > m_n ? ", the first extra one " + ShownText(column(m_n + 1).name)
                                               : std::string()) +
                                "; it must be square");
        for (int j = 1; j <= m_n; ++j) {
            if (!column(j).numeric)
                throw TessarinError(m_table.fileName + ": column " + ShownText(column(j).name) +
                                    " of the similarity matrix holds text");
            if (!m_table.names.empty() && column(j).name != m_table.names[static_cast<std::size_t>(j - 1)])
                throw TessarinError(m_table.fileName + ": column " + std::to_string(j) + " is headed " +
                                    ShownText(column(j).name) + ", but row " + std::to_string(j) + " is " +
                                    ShownText(m_table.names[static_cast<std::size_t>(j - 1)]) +
                                    ": the columns must name the items in the rows' order");
        }
        if (m_conversion == SimilarityConversion::Confusion)
            return;
        for (int i = 1; i <= m_n; ++i)
            for (int j = 1; j < i; ++j) {
                const double a = s(i, j), b = s(j, i);
                if (std::fabs(a - b) > 1e-6 * std::fmax(std::fabs(a), std::fabs(b)))
                    throw TessarinError(place(i, j) + ": the matrix is not symmetric: " + ShownText(text(i, j)) +
                                        " here, " + ShownText(text(j, i)) + " in row " + std::to_string(j) +
                                        ", column " + std::to_string(i) +
                                        " (a confusion matrix is converted by confusion)");
            }
    }

    double dissimilarity(int i, int j, double largest) const
    {
        const double x = s(i, j);
        switch (m_conversion) {
        case SimilarityConversion::MaxMinus:
            return largest - x;
        case SimilarityConversion::OneMinus:
            return 1.0 - x;
        case SimilarityConversion::SqrtOneMinus:
            return 1.0 - x < 0.0 ? NAN : std::sqrt(1.0 - x);
        case SimilarityConversion::Reciprocal:
            return x > 0.0 ? 1.0 / x : NAN;
        case SimilarityConversion::Confusion: {
            const double shepard = std::sqrt(x * s(j, i) / (s(i, i) * s(j, j)));
            return -std::log(shepard);
        }
        }
        return 0.0;
    }

    /// What the conversion takes, for messages.
    const char *takes() const
    {
        switch (m_conversion) {
        case SimilarityConversion::OneMinus:
        case SimilarityConversion::SqrtOneMinus:
            return "it takes similarities of at most 1";
        case SimilarityConversion::Reciprocal:
            return "it takes similarities above 0";
        case SimilarityConversion::Confusion:
            return "the pair must be confused at least once either way, and less often than each is recognised";
        case SimilarityConversion::MaxMinus:
            break;
        }
        return "the largest similarity is beyond the single-precision range";
    }

    const DataTable &m_table;
    SimilarityConversion m_conversion;
    int m_n;
};

} // namespace

SimilarityConversion ParseSimilarityConversion(std::string_view text)
{
    for (const Named &named : names)
        if (text == named.name)
            return named.conversion;
    throw TessarinError("unknown similarity conversion " + ShownText(text) +
                        ": it is max-minus, one-minus, sqrt-one-minus, reciprocal or confusion");
}

std::string SimilarityConversionName(SimilarityConversion conversion)
{
    for (const Named &named : names)
        if (named.conversion == conversion)
            return named.name;
    return "max-minus";
}

DistanceData SimilarityDistances(const DataTable &table, SimilarityConversion conversion)
{
    return Converter(table, conversion).convert();
}

} // namespace tessarin
