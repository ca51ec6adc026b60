// Fuzz target for ReadDistanceFile: the bytes are the whole file.
#include "reader_check.h"

#include "io/distance_file.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    PrepareReaderCheck();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    return ReadAndCheck(bytes, size, 0, tessarin::ReadDistanceFile);
}
