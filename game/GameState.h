// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "charsets/CharSets.h"
#include "game/Board.h"

#include <array>

namespace game {

/// The variables the game shares between dealing, set switching and picks.
struct GameState {
    charsets::CharSetTable CharSets;
    charsets::SetSizeTable SetSizes;
    Int16 SetCount = 0;
    Int16 CurrentSet = 0;
    Int16 AnswerIndex = 0;
    Int16 PairPosA = 0;
    Int16 PairPosB = 0;
    Int16 FirstPick = 0; ///< the pending first pick; meaningful only in Phase::OnePick
    std::array<Int16, MaximumSetSize> UsedChars{}; ///< 1 for each member index already on this board
};

} // namespace game
