// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace game {

/// The game's integers are signed 16-bit; leaving that range is an error, never a silent wrap.
using Int16 = std::int16_t;

inline Int16 toInt16(long long value)
{
    if (value < std::numeric_limits<Int16>::min() || value > std::numeric_limits<Int16>::max())
        throw std::overflow_error("value leaves the signed 16-bit range");
    return static_cast<Int16>(value);
}

/// floor(multiplier × r) for a draw 0 ≤ r < 1. The product is exact in double, so it can never
/// round up to the multiplier itself as a float product could.
inline Int16 scaledDraw(Int16 multiplier, float r)
{
    return toInt16(static_cast<long long>(std::floor(double(multiplier) * double(r))));
}

} // namespace game
