// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/Checked.h"

namespace game {

/// Character buttons on a board, four rows of five, numbered row by row from the top left.
constexpr Int16 PositionCount = 20;

/// A set must hold the answer and eighteen other members to fill a board.
constexpr Int16 MinimumSetSize = PositionCount - 1;
/// A deal keeps one flag per member index, so boards draw from at most this many members.
constexpr Int16 MaximumSetSize = 50;

} // namespace game
