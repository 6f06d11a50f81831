// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/TimerPauses.h"

#include <QDeadlineTimer>
#include <QTimer>

namespace game {

namespace {

void waitUntil(QObject *context, QDeadlineTimer deadline, std::function<void()> then)
{
    QTimer::singleShot(deadline.remainingTime(), Qt::PreciseTimer, context,
                       [context, deadline, then = std::move(then)]() mutable {
                           // A timer may wake a little early; step on only once the time is really up.
                           if (deadline.hasExpired())
                               then();
                           else
                               waitUntil(context, deadline, std::move(then));
                       });
}

} // namespace

void TimerPauses::pause(std::chrono::milliseconds length, std::function<void()> then)
{
    // One millisecond more: the pause must last more than its length, not just reach it.
    waitUntil(this, QDeadlineTimer(length + std::chrono::milliseconds(1), Qt::PreciseTimer), std::move(then));
}

} // namespace game
