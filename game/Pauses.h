// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>

namespace game {

/// Runs the next step of a verdict once a pause of at least the given length has passed,
/// returning to the event loop meanwhile.
class Pauses {
public:
    virtual ~Pauses() = default;
    virtual void pause(std::chrono::milliseconds length, std::function<void()> then) = 0;
};

} // namespace game
