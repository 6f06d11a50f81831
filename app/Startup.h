// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "charsets/CharSets.h"

#include <functional>

class GameWindow;

namespace game {
class ClockSeededRandom;
class Game;
} // namespace game

/// Where the character tables come from; tests hand in broken ones.
struct TableSource {
    std::function<charsets::CharSetTable()> charSets = charsets::buildCharSets;
    std::function<charsets::SetSizeTable()> setSizes = charsets::buildSetSizes;
};

/// Prepares and shows the hidden window: tables, seeding, the first board, then the window, centred.
/// On a failure writes its cause to standard error, shows the start-up failure message instead and
/// returns false; the window is then never shown.
bool startGame(GameWindow &window, game::Game &game, game::ClockSeededRandom &random, const TableSource &tables = {});

