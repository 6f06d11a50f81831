// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace ui::fonts {

/// Maps the Windows Japanese faces onto proportional Japanese faces found on this system.
void installSubstitutions();

/// The proportional Gothic face of the buttons, at a size in points of the 96 dpi layout.
QFont gothic(int points);
/// The proportional Mincho face of the label.
QFont mincho(int points);

} // namespace ui::fonts
