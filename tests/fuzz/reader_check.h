#pragma once

#include "data/distance_data.h"

#include <cstddef>
#include <cstdint>
#include <string>

/// Picks the temporary file the inputs are written to (in /dev/shm when there
/// is one) and removes it at exit. Call once, from LLVMFuzzerInitialize.
void PrepareReaderCheck();

/// A reader under test: ReadDistances or one of the named-table readers.
using TableReader = tessarin::DistanceData (*)(const std::string &fileName);

/// Writes the bytes to the temporary file, reads it with `reader` and aborts
/// unless the result is a consistent table (with `expectedCount` items when
/// that is not 0; no names or N distinct non-empty ones) or a TessarinError
/// with a one-line message. Returns 0.
int ReadAndCheck(const std::uint8_t *bytes, std::size_t size, int expectedCount, TableReader reader);
