#include "GameProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <xcb/xcb.h>

#include <unistd.h>

Sandbox::Sandbox()
{
    for (const char *name : {"home", "tmp", "run"})
        QDir(dir.path()).mkpath(QString::fromLatin1(name));
    QFile::setPermissions(path(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QProcessEnvironment Sandbox::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
    environment.insert(QStringLiteral("TMPDIR"), path(QStringLiteral("tmp")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("run")));
    // Else a session bus may be started for the game, and outlive it.
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
    return environment;
}

QString xdotool(const QString &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments.split(u' '));
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

GameProcess::GameProcess(const QProcessEnvironment &environment, const QString &barrier)
{
    process.setProcessEnvironment(environment);
    if (barrier.isEmpty())
        process.start(QStringLiteral(KOVELITH_EXE), {});
    else // exec keeps the process id, so the exit status and output are the game's own
        process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("read go < \"$0\"; exec \"$1\""),
                                                  barrier, QStringLiteral(KOVELITH_EXE)});
    process.waitForStarted();
}

GameProcess::~GameProcess()
{
    clicker.waitForFinished();
    kill();
}

bool GameProcess::waitForWindow(std::chrono::milliseconds timeout)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeout.count() && isRunning()) {
        const QString found = xdotool(QStringLiteral("search --onlyvisible --pid %1").arg(pid()));
        if (!found.isEmpty()) {
            windowId = found.section(u'\n', 0, 0).toULong();
            QMap<QString, int> shell;
            for (const QString &line : xdotool(QStringLiteral("getwindowgeometry --shell %1").arg(windowId)).split(u'\n'))
                shell.insert(line.section(u'=', 0, 0), line.section(u'=', 1).toInt());
            windowRect = QRect(shell.value(QStringLiteral("X")), shell.value(QStringLiteral("Y")),
                               shell.value(QStringLiteral("WIDTH")), shell.value(QStringLiteral("HEIGHT")));
            // The pointer starts at the screen's centre, over the board; a hovered button looks different.
            xdotool(QStringLiteral("mousemove 0 0"));
            return true;
        }
        QTest::qWait(50);
    }
    return false;
}

QString GameProcess::title() const
{
    return xdotool(QStringLiteral("getwindowname %1").arg(windowId));
}

QRect GameProcess::button(int i)
{
    static constexpr int columns[] = {40, 152, 264, 384, 504};
    return {Board.x() + columns[i % 5], Board.y() + 32 + 96 * (i / 5), 81, 65};
}

QRect GameProcess::marker(int i)
{
    return button(i).translated(0, 65 + 3).adjusted(0, 0, 0, 9 - 65);
}

void GameProcess::click(const QRect &target, bool wait)
{
    clicker.waitForFinished();
    const QPoint at = target.center();
    clicker.start(QStringLiteral("xdotool"), QStringLiteral("mousemove --window %1 %2 %3 click 1 mousemove 0 0")
                                                 .arg(windowId).arg(at.x()).arg(at.y()).split(u' '));
    clicker.waitForStarted();
    if (wait)
        clicker.waitForFinished();
}

void GameProcess::requestClose()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const auto atom = [connection](const char *name) {
        xcb_intern_atom_reply_t *reply =
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : XCB_ATOM_NONE;
        free(reply);
        return value;
    };
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(windowId);
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    // Waiting for the server's answer: a message still in flight when the connection closes can be lost.
    free(xcb_request_check(connection, xcb_send_event_checked(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                                                               reinterpret_cast<const char *>(&message))));
    xcb_disconnect(connection);
}

QImage GameProcess::screenshot() const
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, windowRect.x(), windowRect.y(), windowRect.width(), windowRect.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QByteArray GameProcess::output()
{
    return process.readAllStandardOutput() + process.readAllStandardError();
}

void GameProcess::kill()
{
    if (isRunning()) {
        process.kill();
        process.waitForFinished();
    }
}

std::chrono::milliseconds GameProcess::cpuTime() const
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid()));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    // After the command name, which may hold spaces, come the state (field 3), ..., utime and stime (14, 15).
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return std::chrono::milliseconds((fields.value(11).toLong() + fields.value(12).toLong()) * 1000
                                     / sysconf(_SC_CLK_TCK));
}

int GameProcess::windowCount()
{
    const QString found = xdotool(QStringLiteral("search --onlyvisible --name ^ぬもさけり？$"));
    return found.isEmpty() ? 0 : int(found.split(u'\n').size());
}
