// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "charsets/CharSets.h"

#include <functional>

class Form1;
class QWidget;

namespace game {
class ClockSeededRandom;
class Game;
} // namespace game

/// Where the character tables come from; tests hand in broken ones.
struct TableSource {
    std::function<charsets::CharSetTable()> charSets = charsets::buildCharSets;
    std::function<charsets::SetSizeTable()> setSizes = charsets::buildSetSizes;
};

/// Prepares and shows the hidden window: centring, tables, seeding, the first board, then the
/// window. On a failure shows the start-up failure message instead and returns false; the
/// window is then never shown.
bool Form_Load(Form1 &form, game::Game &game, game::ClockSeededRandom &random, const TableSource &tables = {});

/// Moves a top-level window so that its outer frame, as far as it is known yet, is centred on its screen.
void centreOnScreen(QWidget &window);

/// Shows the hidden window centred with the frame the window manager will give it. Where the window
/// manager can tell the frame beforehand, the window waits for that answer (briefly) and is never seen
/// anywhere else; otherwise it is shown at once and moved once when its frame is known.
void showCentred(QWidget &window);
