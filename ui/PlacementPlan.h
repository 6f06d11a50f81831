// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace ui {

/// A window's _NET_FRAME_EXTENTS as X hands them: 32-bit values in EWMH's order, left, right, top,
/// bottom; empty when the window manager told none.
using ToldExtents = std::vector<std::uint32_t>;

/// What X reports of the window once some of its events have come.
struct WindowReport {
    bool extentsChanged = false; ///< its _NET_FRAME_EXTENTS were set since the last report
    bool mapped = false;         ///< the server has mapped it
    ToldExtents extents;         ///< its _NET_FRAME_EXTENTS as they stand
    QPoint clientAt;             ///< where its client area lies on the root window
};

/// What the X11 placement does next.
struct PlacementStep {
    enum Kind {
        Wait,            ///< nothing until the next report or the deadline
        AskForFrame,     ///< ask the window manager for the frame (_NET_REQUEST_FRAME_EXTENTS)
        ShowAt,          ///< show the window, its client area at place
        ShowWithGravity, ///< show it where it stands, its size hints asking for centre gravity
        MoveTo,          ///< move the shown, still transparent window's client area to place
        Reveal,          ///< make the transparent window opaque
    };
    Kind kind = Wait;
    QPoint place;
    /// ShowWithGravity: mapped fully transparent, and revealed once its frame stands centred.
    bool transparent = false;
    /// Set where a new wait begins: how long it may last before timeUp().
    std::optional<std::chrono::milliseconds> deadline;
};

/// The decisions that show a hidden window on X11 with its frame, title bar included, centred on
/// the screen from the moment it can be seen. A window manager that can tell the frame beforehand is
/// asked and waited for; any other is asked, through the size hints the window is mapped with, to
/// centre the frame around the window itself (ICCCM's centre gravity). Where a compositing manager
/// runs, a window left to the gravity is mapped fully transparent and shown once its frame stands
/// centred: moved there first if the window manager put it elsewhere (KWin under Wayland at times
/// ignores the gravity). The plan only decides; the caller talks to the server, reports what it
/// tells, and says when a deadline has passed.
class PlacementPlan {
public:
    /// How long the window stays hidden waiting for a window manager that promised its frame.
    static constexpr std::chrono::milliseconds FrameWait{500};
    /// How long a transparent window waits for its frame to stand centred before it is shown anyway.
    static constexpr std::chrono::milliseconds RevealWait{500};
    /// KWin may ignore the gravity as it maps the window and honour it for a move, so a move may need
    /// another; never more than these.
    static constexpr int MaxMoves = 3;

    /// screen: the one the window opens centred on; window: its client area's size.
    PlacementPlan(const QRect &screen, QSize window);

    /// Where the hidden window goes before anything is known: centred on its own size.
    QPoint hiddenPlace() const;
    /// The first step, from whether the window manager will answer a frame request and whether a
    /// compositing manager runs.
    PlacementStep start(bool answersFrameRequest, bool composited);
    /// What X now reports of the window.
    PlacementStep reported(const WindowReport &report);
    /// The last step's deadline has passed.
    PlacementStep timeUp();
    /// Nothing is left to do.
    bool done() const { return m_stage == Stage::Done; }

private:
    enum class Stage { Starting, Asking, Revealing, Done };

    std::optional<QMargins> toldFrame(const ToldExtents &extents) const;
    PlacementStep leaveToGravity();
    PlacementStep moveUntilCentred(const WindowReport &report);
    PlacementStep finish(PlacementStep step);

    const QRect m_screen;
    const QSize m_window;
    bool m_composited = false;
    Stage m_stage = Stage::Starting;
    QPoint m_asked;     ///< where the client area was last asked to be
    QPoint m_movedFrom; ///< where X had the client area when it was last moved
    int m_moves = 0;
};

} // namespace ui
