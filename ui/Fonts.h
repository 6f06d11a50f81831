// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace ui::fonts {

/// The proportional Gothic face of the buttons, bold, at a size in points of the 96 dpi layout.
QFont gothic(int points);
/// The proportional Mincho face of the label, bold, at a size in points of the 96 dpi layout.
QFont mincho(int points);

} // namespace ui::fonts
