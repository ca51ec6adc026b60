#pragma once

#include <cstdint>
#include <random>

namespace tessarin {

/// A source of uniform draws in [0, 1), single precision. The search takes
/// every random number from one of these, in a fixed order.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float next() = 0;
};

/// The program's generator: a Mersenne twister with its default seed, never
/// reseeded, so the same file, settings and actions give the same maps. Each
/// draw takes the top 24 bits of one output: u = (x >> 8) * 2^-24, exact in
/// single precision and uniform over [0, 1).
class MersenneSource final : public RandomSource {
public:
    // Inline so that the search's inner loop can call it without a virtual
    // call when it knows the concrete source.
    float next() override { return static_cast<float>(m_engine() >> 8) * 0x1p-24f; }

private:
    std::mt19937 m_engine; // default seed 5489
};

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
