#pragma once

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

} // namespace tessarin
