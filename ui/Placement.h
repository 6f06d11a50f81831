// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace ui {

/// Shows the hidden window centred on its screen with the frame the window manager will give it.
/// Where the window manager can tell that frame beforehand, the window waits for the answer (half
/// a second at most) and is never seen anywhere else; otherwise it is shown centred on its own
/// size and moved once when its frame is known. A frame that makes no sense counts as no answer.
void placeAndShow(QWidget &window);

} // namespace ui
