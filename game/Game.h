// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/BoardView.h"
#include "game/GameState.h"
#include "game/Pauses.h"
#include "game/RandomSource.h"

namespace game {

/// Where the player is on the current board. Clicks look at this before they do anything.
enum class Phase {
    NoPick,  ///< waiting for a first pick
    OnePick, ///< a first pick is marked, waiting for the second
    Verdict, ///< from the second pick until the next board is shown
};

/// The rules of the game: dealing boards, switching sets, taking picks and judging them.
class Game {
public:
    static constexpr std::chrono::milliseconds RevealPause{3000};
    static constexpr std::chrono::milliseconds NoticePause{2000};

    Game(BoardView &view, RandomSource &random, Pauses &pauses);

    /// Takes the character tables and starts on the first set. Throws if a set could not be dealt
    /// from, so that a broken table fails at start-up rather than in play.
    void loadTables(charsets::CharSetTable charSets, charsets::SetSizeTable setSizes);

    /// Deals a fresh board of the current set and clears the pick.
    void DealBoard();
    /// A click on the character button at position.
    void pick(Int16 position);
    /// A click on "次": the next set, cyclically, and a board from it.
    void nextSet();

    const GameState &state() const { return s; }

private:
    Int16 drawPosition();
    Int16 drawCharacter();
    void startVerdict(Int16 position);
    void showNotice();
    void dealAfterVerdict();

    BoardView &view;
    RandomSource &random;
    Pauses &pauses;
    GameState s;
    Phase currentPhase = Phase::NoPick;
};

} // namespace game
