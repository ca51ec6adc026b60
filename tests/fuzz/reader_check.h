#pragma once

#include <cstddef>
#include <cstdint>

/// Picks the temporary file the inputs are written to (in /dev/shm when there
/// is one) and removes it at exit. Call once, from LLVMFuzzerInitialize.
void PrepareReaderCheck();

/// Writes the bytes to the temporary file, reads it with ReadDistances and
/// aborts unless the result is a consistent table (with `expectedCount` items
/// when that is not 0) or a TessarinError with a one-line message. Returns 0.
int ReadAndCheck(const std::uint8_t *bytes, std::size_t size, int expectedCount);
