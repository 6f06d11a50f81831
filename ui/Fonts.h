// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QStringList>

namespace ui::fonts {

/// The proportional Gothic face of the buttons, bold, at a size in points of the 96 dpi layout.
QFont gothic(int points);
/// The proportional Mincho face of the label, bold, at a size in points of the 96 dpi layout.
QFont mincho(int points);

/// The faces to ask for, best first, as each platform's own file finds them; asked once.
QStringList gothicFaces();
QStringList minchoFaces();

} // namespace ui::fonts
