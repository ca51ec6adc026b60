// Fuzz target for ReadLowerTriangle: the bytes are the whole file.
#include "reader_check.h"

#include "io/lower_triangle_reader.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    PrepareReaderCheck();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    return ReadAndCheck(bytes, size, 0, tessarin::ReadLowerTriangle);
}
