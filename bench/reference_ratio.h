// The counter "ratio": a way's time over the reference way's (way 0),
// measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>

namespace tessarin::bench {

/// Keeps way 0's `seconds` per iteration of benchmark `name` at `n`; any
/// other way gets the counter "ratio", its seconds over way 0's, once way 0
/// has run for that `n`.
inline void RecordAgainstReference(benchmark::State &state, const std::string &name, int way, int n, double seconds)
{
    static std::map<std::pair<std::string, int>, double> reference;
    if (way == 0)
        reference[{name, n}] = seconds;
    else if (reference.count({name, n}))
        state.counters["ratio"] = seconds / reference[{name, n}];
}

} // namespace tessarin::bench
