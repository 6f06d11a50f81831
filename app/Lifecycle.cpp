// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Lifecycle.h"

#include "game/Game.h"
#include "ui/Form1.h"

#include <QCoreApplication>
#include <QPushButton>

namespace {

void endProcess()
{
    // Leaves the event loop before any further event or pending pause is handled.
    QCoreApplication::exit(0);
}

/// "終": ends the game at once, without a question.
void Command3_Click()
{
    endProcess();
}

/// Any close request ends the game at once; it is never refused.
void Form_QueryUnload()
{
    endProcess();
}

} // namespace

void connectHandlers(Form1 &form, game::Game &game)
{
    for (game::Int16 i = 0; i < game::PositionCount; ++i)
        QObject::connect(form.Command1[i], &QPushButton::clicked, &form, [&game, i] { game.Command1_Click(i); });
    QObject::connect(form.Command2, &QPushButton::clicked, &form, [&game] { game.Command2_Click(); });
    QObject::connect(form.Command3, &QPushButton::clicked, &form, &Command3_Click);
    QObject::connect(&form, &Form1::QueryUnload, &form, &Form_QueryUnload);
}
