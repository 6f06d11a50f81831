// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QPoint;
class QRect;
class QSize;
class QWidget;

namespace ui {

/// Shows the hidden window centred on its screen with the frame the window manager will give it.
/// Where the window manager can tell that frame beforehand, the window waits for the answer (half
/// a second at most) and is never seen anywhere else; otherwise it is shown centred on its own
/// size and moved once when its frame is known. A frame that makes no sense counts as no answer.
void placeAndShow(QWidget &window);

/// The top-left corner that centres a window of the given outer size on the screen: the halves are
/// subtracted and rounded down, not clamped, so a window larger than the screen gets a negative one.
QPoint centredPosition(const QRect &screen, QSize outer);

} // namespace ui
