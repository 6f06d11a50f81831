// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

class QPalette;

namespace ui::colours {

/// The fill of an application's workspace in the player's colour scheme, which the markers take.
/// Asked for at every paint, so that a change of scheme while the game runs is followed.
QColor applicationWorkspace(const QPalette &palette);

} // namespace ui::colours
