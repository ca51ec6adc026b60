// The check behind the reader fuzz targets: the bytes become a distance
// file. A reading either gives a complete, consistent table or throws
// TessarinError with a one-line message; anything else (another exception, a
// crash, a leak, UB) is a bug.
#include "reader_check.h"

#include "io/distance_reader.h"
#include "data/pair_weights.h"
#include "base/tessarin_error.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <set>
#include <unistd.h>

namespace {

std::string g_path;

void removeFile() { std::remove(g_path.c_str()); }

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "reader fuzz: %s\n", what);
    std::abort();
}

void check(bool ok, const char *what)
{
    if (!ok)
        fail(what);
}

void checkTable(const tessarin::DistanceData &data)
{
    const int n = data.ItemCount;
    check(n >= 2 && n <= tessarin::MaxItemCount, "item count outside 2..MaxItemCount");
    const std::size_t side = static_cast<std::size_t>(n) + 1;
    check(data.Distances.size() == side * side, "table is not (N + 1) x (N + 1)");
    float sum = 0.0f;
    for (int i = 0; i <= n; ++i) {
        check(data.distance(i, 0) == 0.0f && data.distance(0, i) == 0.0f, "row or column 0 is not zero");
        check(data.distance(i, i) == 0.0f, "diagonal is not zero");
        for (int j = 0; j <= n; ++j) {
            const float d = data.distance(i, j);
            check(std::isfinite(d), "a cell is not finite");
            // Bit for bit: a NaN is excluded above, and -0 == +0 is fine.
            check(d == data.distance(j, i), "table is not symmetric");
            if (i >= 1 && j > i)
                sum = d + sum; // pairs row by row, as the statistics are defined
        }
    }
    check(std::isfinite(data.DistanceSum) && std::isfinite(data.DistanceSpread), "statistics not finite");
    if (data.PairWeights.empty()) {
        check(sum == data.DistanceSum, "DistanceSum is not the row-by-row sum of the pairs");
        check(data.MissingPairs == 0, "missing pairs without weights");
    } else {
        // A reader's weights are 0 for a missing cell, which holds 0, and 1
        // elsewhere; some pair is missing, and the present ones join every item.
        check(data.PairWeights.size() == static_cast<std::size_t>(n) * (n - 1) / 2, "not one weight a pair");
        long long zeros = 0;
        double weightedSum = 0.0;
        std::size_t p = 0;
        for (int i = 1; i <= n; ++i)
            for (int j = i + 1; j <= n; ++j, ++p) {
                const float w = data.PairWeights[p];
                check(w == 0.0f || w == 1.0f, "a reader's weight is neither 0 nor 1");
                check(w == data.pairWeight(j, i), "the weight of a pair depends on its order");
                zeros += w == 0.0f;
                check(w != 0.0f || data.distance(i, j) == 0.0f, "a missing cell holds a value");
                weightedSum = weightedSum + static_cast<double>(w) * data.distance(i, j);
            }
        check(zeros > 0 && zeros == data.MissingPairs, "MissingPairs is not the count of weights 0");
        check(weightedSum == data.WeightedSum, "WeightedSum is not the weighted sum of the pairs");
        check(tessarin::ConnectedGroups(data).size() == 1, "the present pairs do not join every item");
    }
    check(data.Warnings.size() <= tessarin::MaxReadingWarnings, "more warnings kept than the limit");
    check(data.WarningCount >= static_cast<long long>(data.Warnings.size()), "warning count below the kept ones");
    for (const tessarin::ReadingWarning &warning : data.Warnings) {
        check(warning.line >= 1 && !warning.text.empty(), "a warning without a line or a text");
        for (unsigned char c : warning.text)
            check(c >= 0x20 && c != 0x7F, "a control byte in a warning");
    }
    check(data.PairDistances.size() == static_cast<std::size_t>(n) * (n - 1) / 2, "pairs not packed");
    check(data.Names.empty() || data.Names.size() == static_cast<std::size_t>(n), "not one name per item");
    const std::set<std::string> distinct(data.Names.begin(), data.Names.end());
    check(distinct.size() == data.Names.size(), "two items share a name");
    check(!distinct.count(""), "an item without a name");
}

} // namespace

void PrepareReaderCheck()
{
    // A file in memory when there is /dev/shm: a run is then a few times faster.
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0
                                             ? std::filesystem::path("/dev/shm")
                                             : std::filesystem::temp_directory_path();
    g_path = (folder / ("tessarin-fuzz-" + std::to_string(::getpid()) + ".txt")).string();
    std::atexit(removeFile);
}

int ReadAndCheck(const std::uint8_t *bytes, std::size_t size, int expectedCount, TableReader reader)
{
    std::FILE *file = std::fopen(g_path.c_str(), "wb");
    if (!file)
        fail("cannot write the temporary file");
    if (size != 0 && std::fwrite(bytes, 1, size, file) != size)
        fail("cannot write the temporary file");
    std::fclose(file);

    try {
        const tessarin::DistanceData data = reader(g_path);
        checkTable(data);
        check(expectedCount == 0 || data.ItemCount == expectedCount, "the item count is not the one written");
    } catch (const tessarin::TessarinError &error) {
        const std::string message = error.what();
        check(!message.empty(), "TessarinError with an empty message");
        check(message.find_first_of("\r\n") == std::string::npos, "TessarinError message is not one line");
        for (unsigned char c : message)
            check(c >= 0x20 && c != 0x7F, "a control byte in a TessarinError message");
    } catch (const std::exception &error) {
        std::fprintf(stderr, "reader fuzz: unexpected exception: %s\n", error.what());
        std::abort();
    } catch (...) {
        fail("unexpected exception of unknown type");
    }
    return 0;
}
