// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Lifecycle.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "game/Game.h"
#include "game/TimerPauses.h"
#include "ui/GameWindow.h"

#include <QApplication>

#ifdef KOVELITH_X11
namespace {

/// Runs on X11 unless the user chose a platform: on Wayland desktops too, through XWayland, because
/// only there can the window place itself, centred, under the window manager's close-only title bar.
/// Qt tries the platforms in order, so with no X server to reach it runs natively on Wayland.
/// (Probing the X server here would cost every start a connection of its own.)
void preferX11()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "wayland;xcb" : "xcb;wayland");
}

} // namespace
#endif

int main(int, char *argv[])
{
    // The lock is checked before the display is even opened, so a second copy ends at once.
    QCoreApplication::setApplicationName(QStringLiteral("Kovelith"));
    if (!claimSingleInstance())
        return 0;

#ifdef KOVELITH_X11
    preferX11();
#endif
    // The program takes no command line: Qt sees only the program's name, so none of its own options
    // (-geometry, -qwindowtitle, -style...) changes the window.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    // The application id: the name of the menu entry, by which the desktop finds its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(KOVELITH_ID));
    GameWindow window;
    game::ClockSeededRandom random;
    game::TimerPauses pauses;
    game::Game game(window, random, pauses);
    connectHandlers(window, game);
    if (!startGame(window, game, random))
        return 1;
    return app.exec();
}
