// Fuzz target for the row lines of ReadDistances. The reader target spends
// most of its time on files whose item count asks for a table of up to 1 GiB;
// this one keeps the table small so that the row rules get many more runs:
// byte 0 picks N = 2..65, the file is "N fuzz", a CR LF and the remaining
// bytes, and a successful reading must report that N.
#include "reader_check.h"

#include "io/distance_reader.h"

#include <string>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    PrepareReaderCheck();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    const int n = 2 + bytes[0] % 64;
    std::string file = std::to_string(n) + " fuzz\r\n";
    file.append(reinterpret_cast<const char *>(bytes) + 1, size - 1);
    return ReadAndCheck(reinterpret_cast<const std::uint8_t *>(file.data()), file.size(), n, tessarin::ReadDistances);
}
