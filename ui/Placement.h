// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QPoint;
class QRect;
class QSize;
class QWidget;

namespace ui {

/// Shows the hidden window centred, with the frame the window manager gives it, on the screen it
/// opens on (the primary one on X11; on Windows the one Qt opens it on, under the pointer), where
/// nobody sees it moved.
/// On X11 a window manager that can tell that frame beforehand is asked and waited for (half a
/// second at most; a frame that makes no sense, or no frame at all, counts as no answer); any other
/// is asked, in the size hints the window is mapped with, to centre the frame itself, and where a
/// compositing manager runs the window stays fully transparent until its frame stands centred
/// (moved there if the window manager ignored that), half a second at most.
void placeAndShow(QWidget &window);

/// The top-left corner that centres a window of the given outer size on the screen: the halves are
/// subtracted and rounded down, not clamped, so a window larger than the screen gets a negative one.
QPoint centredPosition(const QRect &screen, QSize outer);

} // namespace ui
