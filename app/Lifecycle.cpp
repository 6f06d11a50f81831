// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Lifecycle.h"

#include "game/Game.h"
#include "ui/GameWindow.h"

#include <QCoreApplication>
#include <QPushButton>

namespace {

/// "終", and any close request, end the game at once, without a question; a close is never refused.
void endProcess()
{
    // Leaves the event loop before any further event or pending pause is handled.
    QCoreApplication::exit(0);
}

} // namespace

void connectHandlers(GameWindow &window, game::Game &game)
{
    for (game::Int16 i = 0; i < game::PositionCount; ++i)
        QObject::connect(window.characterButtons[i], &QPushButton::clicked, &window, [&game, i] { game.pick(i); });
    QObject::connect(window.nextSetButton, &QPushButton::clicked, &window, [&game] { game.nextSet(); });
    QObject::connect(window.quitButton, &QPushButton::clicked, &window, &endProcess);
    QObject::connect(&window, &GameWindow::closeRequested, &window, &endProcess);
}
