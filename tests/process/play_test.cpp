// SPDX-License-Identifier: GPL-3.0-or-later
// The real program under the test's own X server, started, clicked and looked at from outside as a
// player does. KOVELITH_COMMAND, when set, starts another build of the game (the Windows one under wine).
#include "../support/ExpectedLayout.h"

#include <QScreen>
#include <QtTest>

#include <unistd.h>

namespace {

QString run(const QString &program, const QString &arguments)
{
    QProcess tool;
    tool.start(program, arguments.split(u' '));
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

/// Playing the Windows build under Wine, whose lock lives in Wine's own temporary directory.
const bool UnderWine = qEnvironmentVariableIsSet("KOVELITH_LOCK_DIR");

// In window coordinates: the label, the board panel, "次", "終", character button i and its marker.
constexpr QRect Label = expected::PromptLabel, Board = expected::Board, Next = expected::NextSetButton,
                Quit = expected::QuitButton;
using expected::button, expected::marker;

/// The game in a private home, runtime and temporary directory (the sandbox helper), so that it sees
/// neither another test's lock nor a game the developer is playing.
class Game : public QProcess {
public:
    QString window;

    explicit Game(const QString &home)
    {
        // Qt's own options must change nothing: every check sees the game as if started bare.
        start(KOVELITH_SANDBOX, QStringList{home} + qEnvironmentVariable("KOVELITH_COMMAND", KOVELITH_EXE).split(u' ')
                                    + QStringList{"-qwindowtitle", "x", "-geometry", "200x100+0+0", "-style", "windows"});
    }
    ~Game() override { kill(); waitForFinished(); }

    bool waitForWindow()
    {
        return QTest::qWaitFor([this] {
            window = run("xdotool", QStringLiteral("search --onlyvisible --pid %1").arg(processId())).section(u'\n', 0, 0);
            return !window.isEmpty() || state() == NotRunning;
        }, 15000) && !window.isEmpty();
    }
    /// Clicks the middle of target and moves the pointer away, for a hovered button looks different.
    void click(const QRect &target) const
    {
        run("xdotool", QStringLiteral("mousemove --window %1 %2 %3 click 1 mousemove 0 0")
                           .arg(window).arg(target.center().x()).arg(target.center().y()));
    }
    QImage screenshot() const { return QGuiApplication::primaryScreen()->grabWindow(window.toULong()).toImage(); }
    bool endsCleanly(int milliseconds) { return waitForFinished(milliseconds) && exitStatus() == NormalExit && exitCode() == 0; }
};

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
        if (!isPlain(shot, marker(i)))
            shown << i;
    return shown;
}

/// The buttons that look alike, as a player finds the pair; none unless exactly two do.
QList<int> findPair(const QImage &shot)
{
    QList<int> pair;
    for (int i = 0; i < 20; ++i)
        for (int j = i + 1; j < 20; ++j)
            if (shot.copy(button(i)) == shot.copy(button(j)))
                pair << i << j;
    return pair.size() == 2 ? pair : QList<int>();
}

} // namespace

class PlayTest : public QObject {
    Q_OBJECT

    QTemporaryDir home;
    std::unique_ptr<Game> game;
    QImage board;
    QList<int> pair;

private slots:
    void initTestCase()
    {
        run("xdotool", "mousemove 0 0"); // off the board: a hovered button looks different
        game = std::make_unique<Game>(home.path());
        QVERIFY(game->waitForWindow());
        QVERIFY(QTest::qWaitFor([this] { // painted: exactly one pair and no marker
            board = game->screenshot();
            pair = visibleMarkers(board).isEmpty() ? findPair(board) : QList<int>();
            return !pair.isEmpty();
        }, 10000));
    }

    void windowIsFixedWithOnlyACloseBox()
    {
        QCOMPARE(run("xdotool", "getwindowname " + game->window), "ぬもさけり？");
        // Where it is placed, the frame test checks, with and without a window manager.
        const QString sizeHints = run("xprop", "-id " + game->window + " WM_NORMAL_HINTS");
        QVERIFY(sizeHints.contains("minimum size: 767 by 583") && sizeHints.contains("maximum size: 767 by 583"));
        // Motif flags, functions, decorations: neither minimise nor maximise, as function or box.
        const QStringList motif = run("xprop", "-id " + game->window + " _MOTIF_WM_HINTS").section(u'=', -1).split(u',');
        QVERIFY(motif.size() == 5 && (motif[1].toUInt(nullptr, 16) & 0x19) == 0 && (motif[2].toUInt(nullptr, 16) & 0x61) == 0);
    }

    void aVerdictPausesAndDealsAgain()
    {
        // The first pick shows its marker and changes the label; the second shows the pair for 3 s,
        // then the notice hides the board (and only the board) for 2 s, then a new board shows.
        game->click(button(pair[0]));
        QTRY_COMPARE(visibleMarkers(game->screenshot()), QList<int>{pair[0]});
        QVERIFY(game->screenshot().copy(Label) != board.copy(Label));
        QElapsedTimer clock;
        clock.start();
        game->click(button(pair[1]));
        QTRY_COMPARE(visibleMarkers(game->screenshot()), pair);
        QTRY_VERIFY_WITH_TIMEOUT(isPlain(game->screenshot(), Board), 5000);
        const qint64 hidden = clock.elapsed();
        QVERIFY(!isPlain(game->screenshot(), Quit));
        QTRY_VERIFY_WITH_TIMEOUT(!isPlain(game->screenshot(), Board), 4000);
        // A screenshot sees a change only after it happened: each pause lasted at least its length.
        QVERIFY2(hidden >= 3000 && clock.elapsed() >= 5000,
                 qPrintable(QStringLiteral("board hidden by %1 ms, shown again by %2 ms").arg(hidden).arg(clock.elapsed())));
        QVERIFY(visibleMarkers(game->screenshot()).isEmpty());

        // "次" deals a board of the next set.
        const QImage newBoard = game->screenshot();
        game->click(Next);
        QTRY_VERIFY(game->screenshot() != newBoard);

        // "終" takes effect at once, even while the next verdict hides the board.
        game->click(button(0));
        game->click(button(1));
        QTRY_VERIFY_WITH_TIMEOUT(isPlain(game->screenshot(), Board), 6000);
        game->click(Quit);
        QVERIFY(game->endsCleanly(5000));
    }

    // Whatever a crash, an older version, the player or another program left where the lock goes
    // (a file's content is never read, so one left by a dead copy stands for any), the game starts,
    // dealing another first board than the last start; then it keeps a second copy out, which ends
    // at once and silently.
    void onlyARunningCopyBlocksAStart_data()
    {
        QTest::addColumn<QString>("leftover"); // made by the shell in the player's runtime directory
        QTest::addColumn<bool>("locked");
        QTest::newRow("dead copy's") << "printf '%s\\nKovelith\\n%s\\n' $$ \"$(hostname)\" >Kovelith.lock" << true;
        QTest::newRow("directory") << "mkdir Kovelith.lock" << true;
        QTest::newRow("FIFO") << "mkfifo Kovelith.lock" << true;
        QTest::newRow("link to /dev/zero") << "ln -s /dev/zero Kovelith.lock" << true;
        QTest::newRow("link to a file") << "echo mine >../mine && ln -s ../mine Kovelith.lock" << true;
        // No private place for a lock: the runtime directory another account's, and Qt's own name for
        // one in the temporary directory (shared by everyone) taken by that account, and the lock's
        // old name there too. The game starts without a lock, so nothing keeps a second copy out.
        QTest::newRow("no private place") << "chown nobody . && cd .. && chmod 1777 . && mkdir runtime-$(id -un) && "
                                             ": >Kovelith-${USER:-user}.lock && chown nobody runtime-$(id -un) Kovelith-${USER:-user}.lock"
                                          << false;
    }
    void onlyARunningCopyBlocksAStart()
    {
        QFETCH(QString, leftover);
        QFETCH(bool, locked);
        if (UnderWine && (!locked || leftover.contains("mkfifo") || leftover.contains("ln -s")))
            QSKIP("Windows has no FIFO, Wine follows every link, and the Windows lock has its own private place");
        if (leftover.contains("chown") && geteuid() != 0)
            QSKIP("needs root, to give the player's directories to another account");
        QTemporaryDir player; // the Windows build's lock is in Wine's temporary directory, KOVELITH_LOCK_DIR
        const QString runtime = qEnvironmentVariable("KOVELITH_LOCK_DIR", player.filePath("run"));
        QCOMPARE(QProcess::execute("sh", {"-c", "mkdir -p -m 700 \"$0\" && cd \"$0\" && rm -f Kovelith.lock && " + leftover, runtime}), 0);
        Game first(player.path());
        QVERIFY(first.waitForWindow());
        QTRY_VERIFY_WITH_TIMEOUT(!findPair(first.screenshot()).isEmpty(), 10000);
        QVERIFY(first.screenshot().copy(Board) != board.copy(Board));
        if (!locked)
            return;
        Game second(player.path());
        QVERIFY(second.endsCleanly(10000));
        QCOMPARE(first.state(), QProcess::Running);
        // The lock is a plain file of its own now, not one opened through a link, and nothing changed.
        const QFileInfo lock(runtime + "/Kovelith.lock");
        QVERIFY(lock.isFile() && !lock.isSymLink());
        QFile mine(player.filePath("mine"));
        QVERIFY(!mine.open(QIODevice::ReadOnly) || mine.readAll() == "mine\n");
    }
};

QTEST_MAIN(PlayTest)
#include "play_test.moc"
