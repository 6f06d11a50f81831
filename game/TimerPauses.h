// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/Pauses.h"

#include <QObject>

namespace game {

/// Pauses on precise timers, checked against the monotonic clock so that a pause never ends early
/// and is unaffected by changes of the wall clock.
class TimerPauses final : public QObject, public Pauses {
public:
    using QObject::QObject;
    void pause(std::chrono::milliseconds length, std::function<void()> then) override;
};

} // namespace game
