// Fuzz target for ReadDataTable and the distances made from it: the bytes
// are the whole file, read as a data table and measured by Gower (which
// takes any table), correlation after z standardisation, Bray–Curtis and a
// similarity conversion. Each either gives a consistent distance table or
// throws TessarinError with a one-line message.
#include "reader_check.h"

#include "io/data_table_reader.h"
#include "base/tessarin_error.h"
#include "distances/similarity_conversion.h"
#include "distances/table_distances.h"

#include <cstdio>
#include <cstdlib>

namespace {

using namespace tessarin;

/// Reads the table and aborts unless every column holds one cell per item.
DataTable readChecked(const std::string &fileName)
{
    DataTable table = ReadDataTable(fileName);
    const std::size_t n = static_cast<std::size_t>(table.itemCount());
    bool consistent = n >= 2 && (table.names.empty() || table.names.size() == n);
    for (const DataColumn &column : table.columns)
        consistent = consistent && column.texts.size() == n && column.numbers.size() == n && column.missing.size() == n;
    if (!consistent) {
        std::fprintf(stderr, "data table fuzz: a column or the names do not hold one cell per item\n");
        std::abort();
    }
    return table;
}

DistanceData measured(const std::string &fileName, const char *metric, Standardization standardization)
{
    TableDistanceSettings settings;
    settings.metric = ParseMetric(metric);
    settings.standardization = standardization;
    return TableDistances(readChecked(fileName), settings);
}

DistanceData gower(const std::string &fileName) { return measured(fileName, "gower", Standardization::None); }
DistanceData correlation(const std::string &fileName) { return measured(fileName, "correlation", Standardization::Z); }
DistanceData brayCurtis(const std::string &fileName) { return measured(fileName, "braycurtis", Standardization::Range); }
DistanceData similarities(const std::string &fileName)
{
    return SimilarityDistances(readChecked(fileName), SimilarityConversion::MaxMinus);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    PrepareReaderCheck();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    ReadAndCheck(bytes, size, 0, gower);
    ReadAndCheck(bytes, size, 0, correlation);
    ReadAndCheck(bytes, size, 0, brayCurtis);
    return ReadAndCheck(bytes, size, 0, similarities);
}
