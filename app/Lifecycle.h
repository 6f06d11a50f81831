// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Form1;

namespace game {
class Game;
} // namespace game

/// "終": ends the game at once, without a question.
void Command3_Click();
/// Any close request ends the game at once; it is never refused.
void Form_QueryUnload();

/// Connects the window's clicks and close requests to the game and to quitting.
void connectHandlers(Form1 &form, game::Game &game);
