// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/RandomSource.h"

#include <chrono>

namespace game {

void ClockSeededRandom::seedFromClock()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    std::seed_seq sequence{std::uint32_t(now), std::uint32_t(std::uint64_t(now) >> 32)};
    engine.seed(sequence);
}

} // namespace game
