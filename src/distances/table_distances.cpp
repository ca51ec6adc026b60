#include "distances/table_distances.h"

#include "io/distance_reader.h"
#include "io/named_table_builder.h"
#include "base/number_texts.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <cfloat>
#include <cmath>
#include <unordered_map>

namespace tessarin {

namespace {

/// The variables of a table as numbers, item by item: numeric columns
/// (standardised) and, for Gower, text columns as category codes.
struct Variables {
    std::size_t items = 0;
    std::vector<const DataColumn *> numeric;
    std::vector<const DataColumn *> nominal;
    /// items x numeric.size(), row by row.
    std::vector<double> values;
    /// items x numeric.size(): true where missing.
    std::vector<bool> numericMissing;
    /// items x nominal.size(): the category code, -1 where missing.
    std::vector<int> codes;
    /// Per numeric variable, its range over the given values (Gower).
    std::vector<double> ranges;

    const double *row(std::size_t i) const { return values.data() + i * numeric.size(); }
};

std::string metricText(const TableDistanceSettings &settings) { return MetricName(settings.metric); }

std::string standardText(const TableDistanceSettings &settings)
{
    return settings.standardization == Standardization::None
               ? std::string()
               : " after " + StandardizationName(settings.standardization) + " standardisation";
}

Variables collect(const DataTable &table, const TableDistanceSettings &settings)
{
    const bool gower = settings.metric.metric == Metric::Gower;
    Variables v;
    v.items = static_cast<std::size_t>(table.itemCount());
    if (!settings.groupColumn.empty() && !table.column(settings.groupColumn))
        throw TessarinError(table.fileName + ": no column is headed " + ShownText(settings.groupColumn) +
                            " to give the groups");
    for (const DataColumn &column : table.columns) {
        if (column.name == settings.groupColumn && !settings.groupColumn.empty())
            continue;
        if (column.numeric) {
            v.numeric.push_back(&column);
            continue;
        }
        if (!gower) {
            std::size_t r = 0;
            while (r < v.items && column.missing[r])
                ++r;
            throw TessarinError(table.fileName + ": column " + ShownText(column.name) + " holds text (" +
                                ShownText(r < v.items ? column.texts[r] : std::string()) + ", line " +
                                std::to_string(table.lines[r < v.items ? r : 0]) + "); the " + metricText(settings) +
                                " metric takes numbers only: take gower, which reads text as categories, or "
                                "make the column the group column");
        }
        v.nominal.push_back(&column);
    }
    if (v.numeric.empty() && v.nominal.empty())
        throw TessarinError(table.fileName + ": the table holds no variables to measure distances by");

    const std::size_t p = v.numeric.size();
    v.values.assign(v.items * p, 0.0);
    v.numericMissing.assign(v.items * p, false);
    for (std::size_t k = 0; k < p; ++k) {
        std::vector<double> values = v.numeric[k]->numbers;
        const std::vector<bool> &missing = v.numeric[k]->missing;
        if (!gower)
            for (std::size_t r = 0; r < v.items; ++r)
                if (missing[r])
                    throw TessarinError(table.cellPlace(static_cast<int>(r + 1), *v.numeric[k]) + ": the value is missing (" +
                                        ShownText(v.numeric[k]->texts[r]) + "); only gower skips missing values");
        Standardize(values, missing, settings.standardization);
        for (std::size_t r = 0; r < v.items; ++r) {
            v.values[r * p + k] = values[r];
            v.numericMissing[r * p + k] = missing[r];
        }
    }
    if (gower) {
        v.ranges.assign(p, 0.0);
        for (std::size_t k = 0; k < p; ++k) {
            bool first = true;
            double low = 0.0, high = 0.0;
            for (std::size_t r = 0; r < v.items; ++r)
                if (!v.numericMissing[r * p + k]) {
                    const double x = v.values[r * p + k];
                    low = first ? x : std::fmin(low, x);
                    high = first ? x : std::fmax(high, x);
                    first = false;
                }
            v.ranges[k] = high - low;
        }
        const std::size_t q = v.nominal.size();
        v.codes.assign(v.items * q, -1);
        for (std::size_t k = 0; k < q; ++k) {
            std::unordered_map<std::string, int> code;
            for (std::size_t r = 0; r < v.items; ++r)
                if (!v.nominal[k]->missing[r])
                    v.codes[r * q + k] =
                        code.emplace(v.nominal[k]->texts[r], static_cast<int>(code.size())).first->second;
        }
    }
    if (TakesCountsOnly(settings.metric.metric))
        for (std::size_t r = 0; r < v.items; ++r)
            for (std::size_t k = 0; k < p; ++k)
                if (v.values[r * p + k] < 0.0)
                    throw TessarinError(table.cellPlace(static_cast<int>(r + 1), *v.numeric[k]) + ": the value " +
                                        ShownText(v.numeric[k]->texts[r]) + " is negative" + standardText(settings) +
                                        "; " + metricText(settings) + " takes counts or amounts, 0 or more");
    return v;
}

/// The rows as the metric sees them: Hellinger's square roots of the
/// shares, Jaccard's presence (1) or absence (0); the rest unchanged.
void transformRows(Variables &v, Metric metric)
{
    const std::size_t p = v.numeric.size();
    for (std::size_t i = 0; i < v.items; ++i) {
        double *x = v.values.data() + i * p;
        if (metric == Metric::Hellinger) {
            double total = 0.0;
            for (std::size_t k = 0; k < p; ++k)
                total += x[k];
            // decostand divides an empty row by the smallest step above 0
            // instead of 0, so its shares stay 0.
            total = std::fmax(total, DBL_EPSILON);
            for (std::size_t k = 0; k < p; ++k)
                x[k] = std::sqrt(x[k] / total);
        } else if (metric == Metric::Jaccard) {
            for (std::size_t k = 0; k < p; ++k)
                x[k] = x[k] > 0.0 ? 1.0 : 0.0;
        }
    }
}

class PairMeasure {
public:
    PairMeasure(const DataTable &table, const TableDistanceSettings &settings, Variables &v)
        : m_table(table), m_settings(settings), m_v(v), m_p(v.numeric.size())
    {
        const Metric metric = settings.metric.metric;
        if (metric == Metric::Correlation && m_p < 2)
            throw TessarinError(table.fileName + ": correlation needs at least two variables, the table has " +
                                std::to_string(m_p));
        if (metric != Metric::Correlation && metric != Metric::Cosine)
            return;
        // Each row centred (correlation) and its length, once.
        m_norms.assign(v.items, 0.0);
        for (std::size_t i = 0; i < v.items; ++i) {
            double *x = v.values.data() + i * m_p;
            if (metric == Metric::Correlation) {
                double sum = 0.0;
                for (std::size_t k = 0; k < m_p; ++k)
                    sum += x[k];
                const double mean = sum / static_cast<double>(m_p);
                for (std::size_t k = 0; k < m_p; ++k)
                    x[k] -= mean;
            }
            double squares = 0.0;
            for (std::size_t k = 0; k < m_p; ++k)
                squares += x[k] * x[k];
            m_norms[i] = std::sqrt(squares);
            if (!(m_norms[i] > 0.0))
                throw TessarinError(table.fileName + ", line " + std::to_string(table.lines[i]) + ": " +
                                    table.itemTitle(static_cast<int>(i + 1)) +
                                    (metric == Metric::Correlation ? " has the same value in every variable"
                                                                   : " is 0 in every variable") +
                                    standardText(settings) + ": its " + metricText(settings) +
                                    " with the others is not defined");
        }
    }

    /// The distance of items i and j (0-based), in double precision.
    double operator()(std::size_t i, std::size_t j) const
    {
        const double *x = m_v.row(i);
        const double *y = m_v.row(j);
        double sum = 0.0;
        switch (m_settings.metric.metric) {
        case Metric::Euclidean:
        case Metric::Hellinger:
            for (std::size_t k = 0; k < m_p; ++k)
                sum += (x[k] - y[k]) * (x[k] - y[k]);
            return std::sqrt(sum);
        case Metric::Manhattan:
            for (std::size_t k = 0; k < m_p; ++k)
                sum += std::fabs(x[k] - y[k]);
            return sum;
        case Metric::Chebyshev:
            for (std::size_t k = 0; k < m_p; ++k)
                sum = std::fmax(sum, std::fabs(x[k] - y[k]));
            return sum;
        case Metric::Minkowski:
            for (std::size_t k = 0; k < m_p; ++k)
                sum += std::pow(std::fabs(x[k] - y[k]), m_settings.metric.power);
            return std::pow(sum, 1.0 / m_settings.metric.power);
        case Metric::Canberra:
            return canberra(i, j, x, y);
        case Metric::Correlation:
        case Metric::Cosine:
            for (std::size_t k = 0; k < m_p; ++k)
                sum += x[k] * y[k];
            return 1.0 - sum / (m_norms[i] * m_norms[j]);
        case Metric::BrayCurtis:
        case Metric::Jaccard: {
            double total = 0.0;
            for (std::size_t k = 0; k < m_p; ++k) {
                sum += std::fabs(x[k] - y[k]);
                total += x[k] + y[k];
            }
            if (!(total > 0.0))
                undefined(i, j, "both are 0 in every variable");
            const double bray = sum / total;
            // vegdist's Jaccard is 2B / (1 + B) of Bray–Curtis B on the
            // presences.
            return m_settings.metric.metric == Metric::Jaccard ? 2.0 * bray / (1.0 + bray) : bray;
        }
        case Metric::Gower:
            return gower(i, j);
        }
        return 0.0;
    }

private:
    [[noreturn]] void undefined(std::size_t i, std::size_t j, const std::string &why) const
    {
        throw TessarinError(m_table.fileName + ": the " + metricText(m_settings) + " distance between " +
                            m_table.itemTitle(static_cast<int>(i + 1)) + " and " +
                            m_table.itemTitle(static_cast<int>(j + 1)) + " is not defined: " + why +
                            standardText(m_settings));
    }

    double canberra(std::size_t i, std::size_t j, const double *x, const double *y) const
    {
        // As dist(): a term whose numerator and denominator are both 0 is
        // left out, and the sum scaled up by the share of terms left out.
        double sum = 0.0;
        std::size_t count = 0;
        for (std::size_t k = 0; k < m_p; ++k) {
            const double total = std::fabs(x[k] + y[k]);
            const double difference = std::fabs(x[k] - y[k]);
            if (total > DBL_MIN || difference > DBL_MIN) {
                sum += difference / total;
                ++count;
            }
        }
        if (count == 0)
            undefined(i, j, "both are 0 in every variable");
        if (count != m_p)
            sum /= static_cast<double>(count) / static_cast<double>(m_p);
        return sum;
    }

    double gower(std::size_t i, std::size_t j) const
    {
        double sum = 0.0;
        std::size_t count = 0;
        for (std::size_t k = 0; k < m_p; ++k) {
            if (m_v.numericMissing[i * m_p + k] || m_v.numericMissing[j * m_p + k])
                continue;
            const double range = m_v.ranges[k];
            if (range > 0.0)
                sum += std::fabs(m_v.values[i * m_p + k] - m_v.values[j * m_p + k]) / range;
            ++count;
        }
        const std::size_t q = m_v.nominal.size();
        for (std::size_t k = 0; k < q; ++k) {
            const int a = m_v.codes[i * q + k];
            const int b = m_v.codes[j * q + k];
            if (a < 0 || b < 0)
                continue;
            sum += a == b ? 0.0 : 1.0;
            ++count;
        }
        if (count == 0)
            undefined(i, j, "no variable is given for both");
        return sum / static_cast<double>(count);
    }

    const DataTable &m_table;
    const TableDistanceSettings &m_settings;
    Variables &m_v;
    std::size_t m_p;
    std::vector<double> m_norms;
};

} // namespace

DistanceData TableDistances(const DataTable &table, const TableDistanceSettings &settings)
{
    Variables variables = collect(table, settings);
    transformRows(variables, settings.metric.metric);
    const PairMeasure measure(table, settings, variables);

    NamedTableBuilder builder(table.fileName);
    const int n = table.itemCount();
    builder.begin(n, table.fileName, true);
    builder.setNames(table.names, table.lines);
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            const double d = measure(static_cast<std::size_t>(i - 1), static_cast<std::size_t>(j - 1));
            const float stored = static_cast<float>(d);
            if (!std::isfinite(stored))
                throw TessarinError(table.fileName + ": the " + metricText(settings) + " distance between " +
                                    table.itemTitle(i) + " and " + table.itemTitle(j) + ", " + ShortestText(d) +
                                    ", is beyond the single-precision range");
            // Rounding can leave 1 - r a hair below 0 for identical rows.
            builder.setPair(i, j, stored < 0.0f ? 0.0f : stored);
        }
    return builder.finish();
}

} // namespace tessarin
