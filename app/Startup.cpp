// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"

#include "game/Game.h"
#include "ui/GameWindow.h"
#include "ui/Placement.h"

#include <QMessageBox>

#include <exception>

namespace {

void showStartupFailure()
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("ほずめりさ？"),
                    QStringLiteral("「ほずめりさ？」の起動に失敗しました"), QMessageBox::Ok);
    box.exec();
}

} // namespace

bool startGame(GameWindow &window, game::Game &game, game::ClockSeededRandom &random, const TableSource &tables)
{
    try {
        game.loadTables(tables.charSets(), tables.setSizes());
        random.seedFromClock();
        game.DealBoard();
        // Centred as it is shown: hidden until then, it is never seen anywhere else.
        ui::placeAndShow(window);
    } catch (const std::exception &failure) {
        // The box tells the player that it failed; the cause is for whoever reads the terminal.
        qCritical("Kovelith did not start: %s", failure.what());
        showStartupFailure();
        return false;
    } catch (...) {
        qCritical("Kovelith did not start: an unknown failure");
        showStartupFailure();
        return false;
    }
    return true;
}
