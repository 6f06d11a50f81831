// SPDX-License-Identifier: GPL-3.0-or-later
// The real program under the test's own X server, started, clicked, looked at and watched from outside.
#include <QRegion>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QtTest>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

QString xdotool(const QString &arguments)
{
    return run(QStringLiteral("xdotool"), arguments.split(u' '));
}

/// A private home, runtime and temporary directory, so that the copies of the game a test starts see
/// neither another test's lock nor a game the developer is playing.
struct Sandbox : QTemporaryDir {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

    QString path(const QString &name) const { return filePath(name); }

    Sandbox()
    {
        for (const QString name : {"home", "tmp", "run"})
            QDir(QTemporaryDir::path()).mkdir(name);
        QFile::setPermissions(path("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert("HOME", path("home"));
        environment.insert("TMPDIR", path("tmp"));
        environment.insert("XDG_RUNTIME_DIR", path("run"));
        // Else a session bus may be started for the game, and outlive it.
        environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    }
};

/// The real game, driven as a player does: xdotool finds its window and clicks, and the screen is
/// read back from the X server.
class GameProcess : public QProcess {
public:
    /// Character button i, its marker bar and the other controls, in window coordinates.
    static QRect button(int i)
    {
        static constexpr int columns[] = {40, 152, 264, 384, 504};
        return {Board.x() + columns[i % 5], Board.y() + 32 + 96 * (i / 5), 81, 65};
    }
    static QRect marker(int i) { return {button(i).x(), button(i).y() + 68, 81, 9}; }
    static constexpr QRect Label{112, 32, 577, 49}, Board{64, 120, 633, 417};
    static constexpr QRect Next{712, 152, 41, 41}, Quit{712, 464, 41, 41};

    QString window;

    /// With a barrier (a FIFO) the game is started only once a line is written to it.
    explicit GameProcess(const QProcessEnvironment &environment, const QString &barrier = {})
    {
        setProcessEnvironment(environment);
        setProcessChannelMode(MergedChannels);
        // KOVELITH_COMMAND, when set, starts another build of the game (the Windows one under wine).
        QStringList command = qEnvironmentVariable("KOVELITH_COMMAND", KOVELITH_EXE).split(u' ', Qt::SkipEmptyParts);
        if (barrier.isEmpty())
            start(command.takeFirst(), command);
        else // exec keeps the process id, so the exit status and output are the game's own
            start("/bin/sh", QStringList{"-c", "read go < \"$0\"; shift; exec \"$@\"", barrier, "-"} + command);
        waitForStarted();
    }

    ~GameProcess() override
    {
        kill();
        waitForFinished();
    }

    bool waitForWindow()
    {
        const bool found = QTest::qWaitFor([this] {
            window = xdotool(QStringLiteral("search --onlyvisible --pid %1").arg(processId())).section(u'\n', 0, 0);
            return !window.isEmpty() || state() == NotRunning;
        }, 15000);
        // The pointer starts at the screen's centre, over the board; a hovered button looks different.
        xdotool("mousemove 0 0");
        return found && !window.isEmpty();
    }

    /// Clicks the centre of a rectangle of the window, then moves the pointer off the window.
    void click(const QRect &target, bool wait = true) const
    {
        const QStringList arguments = QStringLiteral("mousemove --window %1 %2 %3 click 1 mousemove 0 0")
                                          .arg(window).arg(target.center().x()).arg(target.center().y()).split(u' ');
        if (wait)
            run("xdotool", arguments);
        else
            startDetached("xdotool", arguments);
    }

    /// Asks the window to close as a window manager's close box does (WM_DELETE_WINDOW).
    void requestClose() const
    {
        xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
        const auto atom = [connection](const char *name) {
            auto *reply = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, strlen(name), name), nullptr);
            const xcb_atom_t value = reply->atom;
            free(reply);
            return value;
        };
        xcb_client_message_event_t message{XCB_CLIENT_MESSAGE, 32, 0, window.toUInt(), atom("WM_PROTOCOLS"), {}};
        message.data.data32[0] = atom("WM_DELETE_WINDOW");
        // Waiting for the server's answer: a message still in flight when the connection closes can be lost.
        free(xcb_request_check(connection, xcb_send_event_checked(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                                                                   reinterpret_cast<const char *>(&message))));
        xcb_disconnect(connection);
    }

    QImage screenshot() const { return QGuiApplication::primaryScreen()->grabWindow(window.toULong()).toImage(); }

    /// Processor time used so far, user and system together.
    std::chrono::milliseconds cpuTime() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(processId()));
        stat.open(QIODevice::ReadOnly);
        // After the command name, which may hold spaces: the state (field 3), ..., utime and stime (14, 15).
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        return 1000ms * (fields.value(11).toLong() + fields.value(12).toLong()) / sysconf(_SC_CLK_TCK);
    }
};

/// The Windows build under Wine, where Windows draws the frame and Wine describes the window to X.
bool underWine()
{
    return qEnvironmentVariable("KOVELITH_COMMAND").startsWith(u"wine ");
}

bool exitedCleanly(const QProcess &process)
{
    return process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

bool isPlain(const QImage &shot, const QRect &area)
{
    QImage plain(area.size(), shot.format());
    plain.fill(shot.pixel(0, 0)); // the window's background
    return shot.copy(area) == plain;
}

QList<int> visibleMarkers(const QImage &shot)
{
    QList<int> shown;
    for (int i = 0; i < 20; ++i)
        if (!isPlain(shot, GameProcess::marker(i)))
            shown.append(i);
    return shown;
}

/// The two buttons whose images are identical, as a player finds the pair; {-1, -1} unless exactly two are.
std::pair<int, int> findPair(const QImage &shot)
{
    std::pair pair{-1, -1};
    for (int i = 0; i < 20; ++i)
        for (int j = i + 1; j < 20; ++j)
            if (shot.copy(GameProcess::button(i)) == shot.copy(GameProcess::button(j))) {
                if (pair.first >= 0)
                    return {-1, -1};
                pair = {i, j};
            }
    return pair;
}

} // namespace

class ProcessTest : public QObject {
    Q_OBJECT

    Sandbox sandbox;
    std::unique_ptr<GameProcess> game; // one copy for the checks that only look, and then for one round
    QImage board;
    std::pair<int, int> pair;

private slots:
    void initTestCase()
    {
        const auto saveOnFailure = qScopeGuard([this] { cleanup(); });
        game = std::make_unique<GameProcess>(sandbox.environment);
        QVERIFY(game->waitForWindow());
        // Painted once the board shows exactly one pair and no marker.
        QVERIFY(QTest::qWaitFor([this] {
            board = game->screenshot();
            pair = visibleMarkers(board).isEmpty() ? findPair(board) : std::pair{-1, -1};
            return pair.first >= 0;
        }, 10000));
    }

    // A failed check leaves the screen as it then was beside the test, for whoever reads the log.
    void cleanup()
    {
        if (!QTest::currentTestFailed())
            return;
        const QString file = QDir::current().absoluteFilePath(QTest::currentTestFunction() + QStringLiteral("-failed.png"));
        if (QGuiApplication::primaryScreen()->grabWindow(0).save(file))
            qInfo("screen saved as %s", qPrintable(file));
    }

    void windowIsCentredWithItsTitleFixedSizeAndIcon()
    {
        QCOMPARE(xdotool("getwindowname " + game->window), QStringLiteral("ぬもさけり？"));
        // No window manager here, so no frame: the client area is centred on the 1280×1024 screen.
        const QString geometry = xdotool("getwindowgeometry " + game->window);
        QVERIFY(geometry.contains("Geometry: 767x583"));
        QVERIFY(underWine() || geometry.contains("Position: 256,220 ")); // Wine's frame is not X's

        const auto xprop = [this](const char *property) { return run("xprop", {"-id", game->window, property}); };
        const QString sizeHints = xprop("WM_NORMAL_HINTS");
        QVERIFY(sizeHints.contains("minimum size: 767 by 583") && sizeHints.contains("maximum size: 767 by 583"));
        // Flags, functions, decorations: neither the minimise and maximise functions nor their boxes.
        const QStringList motif = xprop("_MOTIF_WM_HINTS").section(u'=', -1).split(u',');
        QCOMPARE(motif.size(), 5);
        QCOMPARE(motif[1].trimmed().toUInt(nullptr, 16) & (0x1 | 0x8 | 0x10), 0u);
        QCOMPARE(motif[2].trimmed().toUInt(nullptr, 16) & (0x1 | 0x20 | 0x40), 0u);

        const QString icons = xprop("_NET_WM_ICON");
        QVERIFY(icons.contains("Icon (32 x 32)"));
        if (underWine()) // Windows adds a small icon of its own, and Wine names the class after the file
            return;
        QCOMPARE(icons.count("Icon ("), 1);
        // The menu entry's StartupWMClass ties the running window to the entry.
        const QSettings entry(KOVELITH_DESKTOP_ENTRY, QSettings::IniFormat);
        QVERIFY(xprop("WM_CLASS").contains(u'"' + entry.value("Desktop Entry/StartupWMClass").toString() + u'"'));
    }

    // Every button's face or frame reaches the middle of each edge of its rectangle, and outside the
    // label and the buttons (column gaps, margins, the hidden markers) there is only background.
    void controlsAreDrawnAtTheirPixels()
    {
        QList<QRect> buttons{GameProcess::Next, GameProcess::Quit};
        for (int i = 0; i < 20; ++i)
            buttons.append(GameProcess::button(i));
        QRegion drawn(GameProcess::Label);
        QList<QPoint> unpainted;
        for (const QRect &r : buttons) {
            drawn += r;
            const QPoint c = r.center();
            for (const QPoint p : {QPoint(r.left(), c.y()), QPoint(r.right(), c.y()), QPoint(c.x(), r.top()),
                                   QPoint(c.x(), r.bottom())})
                if (board.pixel(p) == board.pixel(0, 0))
                    unpainted.append(p);
        }
        QCOMPARE(unpainted, QList<QPoint>());
        QList<QRect> inked;
        for (const QRect &area : QRegion(board.rect()) - drawn)
            if (!isPlain(board, area))
                inked.append(area);
        QCOMPARE(inked, QList<QRect>());
    }

    void pickWithdrawAndVerdictPlayAsSeen()
    {
        GameProcess &game = *this->game;
        const auto [a, b] = pair;
        // A first pick shows its marker and changes the label; picking it again takes it back.
        int single = 0;
        while (single == a || single == b)
            ++single;
        game.click(GameProcess::button(single));
        QTRY_COMPARE(visibleMarkers(game.screenshot()), QList<int>{single});
        QVERIFY(game.screenshot().copy(GameProcess::Label) != board.copy(GameProcess::Label));
        game.click(GameProcess::button(single));
        QTRY_COMPARE(game.screenshot(), board);

        // The right pair: the verdict for 3 s, the board hidden for 2 s, then a new board. Screenshots
        // taken meanwhile bracket each change between the last sight of one state and the first of the next.
        game.click(GameProcess::button(a));
        QTRY_COMPARE(visibleMarkers(game.screenshot()), QList<int>{a});
        const auto cpuBefore = game.cpuTime();
        QElapsedTimer clock;
        clock.start();
        game.click(GameProcess::button(b), false);
        QMap<QString, std::pair<qint64, qint64>> seen; // first and last sight of each state, in ms
        QMap<QString, QImage> shots;
        while (!seen.contains("new board") && clock.elapsed() < 10000) {
            const QImage shot = game.screenshot();
            const qint64 now = clock.elapsed();
            const bool showsPair = visibleMarkers(shot) == QList<int>{a, b};
            const QString state = isPlain(shot, GameProcess::Board)   ? "hidden"
                                  : seen.contains("hidden")           ? "new board"
                                  : seen.contains("verdict") || showsPair ? "verdict"
                                                                      : "pick";
            if (!seen.contains(state))
                shots[state] = shot;
            seen[state] = {seen.value(state, {now, now}).first, now};
            QThread::msleep(10);
        }
        const auto cpuUsed = game.cpuTime() - cpuBefore;
        QString timings = QStringLiteral("%1 ms CPU").arg(cpuUsed.count());
        for (const auto &[state, sight] : seen.asKeyValueRange())
            timings += QStringLiteral(", %1 %2..%3 ms").arg(state).arg(sight.first).arg(sight.second);
        QVERIFY2(seen.contains("verdict") && seen.contains("new board"), qPrintable(timings));
        // Fails only when the screenshots prove a pause shorter than its length or 300 ms longer.
        const auto [verdictFrom, verdictUntil] = seen["verdict"];
        const auto [hiddenFrom, hiddenUntil] = seen["hidden"];
        QVERIFY2(hiddenFrom - seen["pick"].second >= 3000 && verdictUntil - verdictFrom < 3300, qPrintable(timings));
        QVERIFY2(seen["new board"].first - verdictUntil >= 2000 && hiddenUntil - hiddenFrom < 2300, qPrintable(timings));
        // Far below a tenth of a core over the 5 s: the pauses wait without working.
        QVERIFY2(cpuUsed < 250ms, qPrintable(timings));
        // Only the board hides: the notice replaces the verdict in the label, and "終" stays.
        QVERIFY(shots["hidden"].copy(GameProcess::Label) != shots["verdict"].copy(GameProcess::Label));
        QVERIFY(!isPlain(shots["hidden"], GameProcess::Quit));

        // "次" deals a board of the next set.
        const QImage newBoard = game.screenshot();
        game.click(GameProcess::Next);
        QTRY_VERIFY(game.screenshot() != newBoard);

        // "終" takes effect at once, even while the next verdict hides the board.
        game.click(GameProcess::button(0));
        game.click(GameProcess::button(1));
        QTRY_VERIFY_WITH_TIMEOUT(isPlain(game.screenshot(), GameProcess::Board), 6000);
        game.click(GameProcess::Quit);
        QVERIFY(game.waitForFinished(underWine() ? 4000 : 1000)); // a Wine process takes 2 s to end
        QVERIFY(exitedCleanly(game));
    }

    // Each round the winner is killed, so the next pair also meets a lock whose owner is gone.
    void simultaneousStartsLeaveExactlyOneWindow()
    {
        game.reset(); // its window would be counted
        // Both copies wait on one FIFO; a single write releases them together.
        const QString barrier = sandbox.path("go");
        QCOMPARE(mkfifo(QFile::encodeName(barrier).constData(), 0600), 0);
        const int gate = open(QFile::encodeName(barrier).constData(), O_RDWR);
        const auto windows = [] {
            return xdotool("search --onlyvisible --name ^ぬもさけり？$").split(u'\n', Qt::SkipEmptyParts).size();
        };
        for (int round = 0; round < 20; ++round) {
            GameProcess a(sandbox.environment, barrier), b(sandbox.environment, barrier);
            QTest::qWait(100); // both shells reach their read
            QCOMPARE(write(gate, "\n\n", 2), 2);
            QTRY_VERIFY_WITH_TIMEOUT(a.state() == QProcess::NotRunning || b.state() == QProcess::NotRunning, 2000);
            GameProcess &loser = a.state() == QProcess::NotRunning ? a : b;
            QVERIFY(exitedCleanly(loser));
            QCOMPARE(loser.readAll(), QByteArray());
            QTRY_COMPARE_WITH_TIMEOUT(windows(), 1, 15000);
        }
        close(gate);
    }

    void startsWithoutUsableRuntimeDirectory()
    {
        if (underWine())
            QSKIP("Wine itself needs a usable TMPDIR, and the Windows lock has a place of its own");
        Sandbox sandbox;
        const QString file = sandbox.path("file");
        QFile(file).open(QIODevice::WriteOnly);
        sandbox.environment.insert("XDG_RUNTIME_DIR", file + "/run");
        QProcessEnvironment nowhere = sandbox.environment;
        nowhere.insert("TMPDIR", file);
        // With nowhere to put a lock the game starts anyway; a close request ends it at once.
        GameProcess first(nowhere);
        QVERIFY(first.waitForWindow());
        first.requestClose();
        QVERIFY(first.waitForFinished(1000));
        QVERIFY(exitedCleanly(first));

        // When XDG_RUNTIME_DIR cannot be made and Qt's fallback, $TMPDIR/runtime-<user>, is another
        // user's, Qt names no runtime directory: the lock goes to $TMPDIR itself. (Root passes every
        // permission check; only ownership makes Qt refuse a directory.)
        if (geteuid() != 0)
            QSKIP("needs root to give a directory to another user");
        const QString taken = sandbox.path(QStringLiteral("tmp/runtime-") + getpwuid(0)->pw_name);
        QVERIFY(QDir().mkpath(taken));
        QCOMPARE(chown(QFile::encodeName(taken).constData(), 65534, 65534), 0);
        GameProcess second(sandbox.environment);
        QVERIFY(second.waitForWindow());
        QCOMPARE(QDir(sandbox.path("tmp")).entryList({"Kovelith-*.lock"}).size(), 1);
        GameProcess third(sandbox.environment);
        QVERIFY(third.waitForFinished(2000));
        QVERIFY(exitedCleanly(third));
    }
};

QTEST_MAIN(ProcessTest)
#include "tst_process.moc"
