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
    float next() override;

private:
    std::mt19937 m_engine; // default seed 5489
};

} // namespace tessarin
