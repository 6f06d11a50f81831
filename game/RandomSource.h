// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>

namespace game {

/// Uniform single-precision draws r with 0 ≤ r < 1.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float next() = 0;
};

/// The game's generator, seeded once from the clock at start-up.
class ClockSeededRandom final : public RandomSource {
public:
    void seedFromClock();
    float next() override { return fromBits(static_cast<std::uint32_t>(engine())); }

    /// Keeps the top 24 bits, which a float holds exactly: the largest result is 1 − 2⁻²⁴, never 1.
    static float fromBits(std::uint32_t bits) { return float(bits >> 8) * 0x1p-24f; }

private:
    std::mt19937 engine;
};

} // namespace game
