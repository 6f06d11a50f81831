// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class GameWindow;

namespace game {
class Game;
} // namespace game

/// Connects the window's clicks and close requests to the game and to quitting.
void connectHandlers(GameWindow &window, game::Game &game);
