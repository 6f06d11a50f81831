// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMargins>

#include <functional>
#include <optional>

class QWidget;

/// Asks the window manager, while the window is still hidden, how wide a frame it will put around
/// it (_NET_REQUEST_FRAME_EXTENTS, answered in _NET_FRAME_EXTENTS). Calls done once: with the
/// frame, or with nothing when not on X11, when the window manager cannot tell, or when it does
/// not answer in time. done may run before this returns.
#ifdef KOVELITH_X11
void requestFrameExtents(QWidget &window, std::function<void(std::optional<QMargins>)> done);
#else
inline void requestFrameExtents(QWidget &, std::function<void(std::optional<QMargins>)> done)
{
    done(std::nullopt);
}
#endif
