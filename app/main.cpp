// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Lifecycle.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "game/Game.h"
#include "game/TimerPauses.h"
#include "ui/Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The lock is checked before the display is even opened, so a second copy ends at once.
    QCoreApplication::setApplicationName(QStringLiteral("Kovelith"));
    SingleInstance instance;
    if (!instance.claim())
        return 0;

    QApplication app(argc, argv);
    Form1 form;
    game::ClockSeededRandom random;
    game::TimerPauses pauses;
    game::Game game(form, random, pauses);
    connectHandlers(form, game);
    if (!Form_Load(form, game, random))
        return 1;
    return app.exec();
}
