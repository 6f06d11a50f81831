// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PlacementPlan.h"

#include "ui/Placement.h"

#include <cstdlib>

namespace ui {

namespace {

using Step = PlacementStep;

Step step(Step::Kind kind, QPoint place = {}, bool transparent = false,
          std::optional<std::chrono::milliseconds> deadline = std::nullopt)
{
    return {kind, place, transparent, deadline};
}

} // namespace

/// The frame that told extents stand for, or nothing when they are no answer: anything but four
/// values; a side negative (a value above INT_MAX) or wider than the screen, so that no sum of them
/// can overflow; or no frame at all, for the window asks for a title bar (mutter 48 says 0,0,0,0 for
/// any window it has not framed yet, and sets the real frame only once it maps it).
std::optional<QMargins> PlacementPlan::toldFrame(const ToldExtents &extents) const
{
    if (extents.size() != 4)
        return std::nullopt;
    const QMargins frame{int(extents[0]), int(extents[2]), int(extents[1]), int(extents[3])};
    const auto within = [](int side, int limit) { return side >= 0 && side <= limit; };
    const bool sane = within(frame.left(), m_screen.width()) && within(frame.right(), m_screen.width())
        && within(frame.top(), m_screen.height()) && within(frame.bottom(), m_screen.height());
    if (!sane || frame.isNull())
        return std::nullopt;
    return frame;
}

PlacementPlan::PlacementPlan(const QRect &screen, QSize window)
    : m_screen(screen), m_window(window), m_asked(hiddenPlace())
{
}

QPoint PlacementPlan::hiddenPlace() const
{
    return centredPosition(m_screen, m_window);
}

PlacementStep PlacementPlan::start(bool answersFrameRequest, bool composited)
{
    if (m_stage != Stage::Starting)
        return {};
    m_composited = composited;
    if (!answersFrameRequest)
        return leaveToGravity();
    m_stage = Stage::Asking;
    return step(Step::AskForFrame, {}, false, FrameWait);
}

PlacementStep PlacementPlan::reported(const WindowReport &report)
{
    switch (m_stage) {
    case Stage::Asking: {
        if (!report.extentsChanged)
            return {};
        // The answer, whatever it says: a frame that is no frame leaves the window to the gravity.
        const std::optional<QMargins> frame = toldFrame(report.extents);
        if (!frame)
            return leaveToGravity();
        // The client area's place: the frame goes around it.
        const QPoint outer = centredPosition(m_screen, m_window.grownBy(*frame));
        return finish(step(Step::ShowAt, outer + QPoint(frame->left(), frame->top())));
    }
    case Stage::Revealing:
        return moveUntilCentred(report);
    case Stage::Starting:
    case Stage::Done:
        break;
    }
    return {};
}

PlacementStep PlacementPlan::timeUp()
{
    switch (m_stage) {
    case Stage::Asking: // an answer that comes later changes nothing
        return leaveToGravity();
    case Stage::Revealing: // shown as it stands
        return finish(step(Step::Reveal));
    case Stage::Starting:
    case Stage::Done:
        break;
    }
    return {};
}

PlacementStep PlacementPlan::leaveToGravity()
{
    // Where a compositing manager runs, a window manager that ignores the gravity can be put right
    // before the window is seen.
    if (!m_composited)
        return finish(step(Step::ShowWithGravity));
    m_stage = Stage::Revealing;
    return step(Step::ShowWithGravity, {}, true, RevealWait);
}

PlacementStep PlacementPlan::moveUntilCentred(const WindowReport &report)
{
    // No frame told yet (mutter's answer from before the mapping may still stand): then the window
    // is shown as it stands when the time is up.
    const std::optional<QMargins> frame = toldFrame(report.extents);
    if (!report.mapped || !frame)
        return {};
    if (m_moves > 0 && report.clientAt == m_movedFrom)
        return {}; // the last move not yet carried out
    const QPoint frameAt = report.clientAt - QPoint(frame->left(), frame->top());
    const QPoint off = centredPosition(m_screen, m_window.grownBy(*frame)) - frameAt;
    if (std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1) // a half pixel rounded either way
        return finish(step(Step::Reveal));
    // Moved by as much as it is off, and checked again once moved.
    if (m_moves == MaxMoves)
        return {};
    ++m_moves;
    m_asked += off;
    m_movedFrom = report.clientAt;
    return step(Step::MoveTo, m_asked);
}

PlacementStep PlacementPlan::finish(PlacementStep step)
{
    m_stage = Stage::Done;
    return step;
}

} // namespace ui
