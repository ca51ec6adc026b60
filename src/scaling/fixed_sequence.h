#pragma once

#include <cstdint>

namespace tessarin {

/// A fixed-seed sequence of doubles for the map solvers (the Lanczos start
/// and the random starts of the best-map routes). SplitMix64: integer
/// arithmetic only, so every build gives the same numbers. It is the solvers'
/// own and never touches the search's generator.
class FixedSequence {
public:
    explicit FixedSequence(std::uint64_t seed) : m_state(seed) {}

    /// The next 64 random bits.
    std::uint64_t nextBits()
    {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    /// Uniform in [0, 1), 53 bits.
    double nextUnit() { return static_cast<double>(nextBits() >> 11) * 0x1.0p-53; }

private:
    std::uint64_t m_state;
};

} // namespace tessarin
