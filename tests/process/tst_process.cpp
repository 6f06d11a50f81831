#include "GameProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QtTest>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

bool isPlain(const QImage &shot, const QRect &area)
{
    // Left of the board and below the side panel's buttons there is only the window's background.
    const QRgb background = shot.pixel(30, 560);
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (shot.pixel(x, y) != background)
                return false;
    return true;
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

QList<int> visibleMarkers(const QImage &shot)
{
    QList<int> shown;
    for (int i = 0; i < 20; ++i)
        if (!isPlain(shot, GameProcess::marker(i)))
            shown.append(i);
    return shown;
}

/// Waits until a board without markers is shown and returns its pair.
std::pair<int, int> settledPair(GameProcess &game, QImage &shot)
{
    std::pair pair{-1, -1};
    const bool found = QTest::qWaitFor([&] {
        shot = game.screenshot();
        if (!isPlain(shot, GameProcess::Board) && visibleMarkers(shot).isEmpty())
            pair = findPair(shot);
        return pair.first >= 0;
    }, 10000);
    return found ? pair : std::pair{-1, -1};
}

int notIn(int a, int b)
{
    int i = 0;
    while (i == a || i == b)
        ++i;
    return i;
}

} // namespace

class ProcessTest : public QObject {
    Q_OBJECT

private slots:
    void windowOpensCentredWithItsTitle();
    void secondCopyEndsSilentlyUntilFirstIsGone();
    void simultaneousStartsLeaveExactlyOneWindow();
    void startsWithoutUsableRuntimeDirectory_data();
    void startsWithoutUsableRuntimeDirectory();
    void quitEndsAtOnceEvenDuringVerdict_data();
    void quitEndsAtOnceEvenDuringVerdict();
    void pickWithdrawAndVerdictPlayAsSeen();
};

void ProcessTest::windowOpensCentredWithItsTitle()
{
    Sandbox sandbox;
    GameProcess game(sandbox.environment());
    QVERIFY(game.waitForWindow());
    QCOMPARE(game.title(), QStringLiteral("ぬもさけり？"));
    QCOMPARE(game.geometry().size(), GameProcess::WindowSize);
    // No window manager here: the window's own size is centred on the 1280×1024 screen.
    QVERIFY2(std::abs(game.geometry().x() - 256) <= 1 && std::abs(game.geometry().y() - 220) <= 1,
             qPrintable(QStringLiteral("at %1,%2").arg(game.geometry().x()).arg(game.geometry().y())));
}

void ProcessTest::secondCopyEndsSilentlyUntilFirstIsGone()
{
    Sandbox sandbox;
    GameProcess first(sandbox.environment());
    QVERIFY(first.waitForWindow());
    GameProcess second(sandbox.environment());
    QVERIFY(second.waitForExit(2s));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(second.output(), QByteArray());
    QCOMPARE(GameProcess::windowCount(), 1);
    QVERIFY(first.isRunning());

    // A killed copy cannot remove its lock; the next start takes it over.
    first.kill();
    GameProcess next(sandbox.environment());
    QVERIFY(next.waitForWindow());
}

void ProcessTest::simultaneousStartsLeaveExactlyOneWindow()
{
    Sandbox sandbox;
    // Both copies wait on one FIFO; a single write releases them together.
    const QByteArray barrier = QFile::encodeName(sandbox.path(QStringLiteral("go")));
    QCOMPARE(mkfifo(barrier.constData(), 0600), 0);
    const int gate = open(barrier.constData(), O_RDWR);
    QVERIFY(gate >= 0);
    for (int round = 0; round < 20; ++round) {
        GameProcess a(sandbox.environment(), QString::fromLocal8Bit(barrier));
        GameProcess b(sandbox.environment(), QString::fromLocal8Bit(barrier));
        QTest::qWait(100); // both shells reach their read
        QCOMPARE(write(gate, "\n\n", 2), 2);
        QTRY_VERIFY_WITH_TIMEOUT(!a.isRunning() || !b.isRunning(), 5000);
        GameProcess &loser = a.isRunning() ? b : a;
        GameProcess &winner = a.isRunning() ? a : b;
        QCOMPARE(loser.exitStatus(), QProcess::NormalExit);
        QCOMPARE(loser.exitCode(), 0);
        QCOMPARE(loser.output(), QByteArray());
        QVERIFY2(winner.waitForWindow(), qPrintable(QStringLiteral("round %1").arg(round)));
        QCOMPARE(GameProcess::windowCount(), 1);
        // Half the rounds leave a stale lock behind for the next pair to race for.
        if (round % 2 == 0) {
            winner.kill();
        } else {
            winner.requestClose();
            QVERIFY(winner.waitForExit(2s));
        }
    }
    close(gate);
}

void ProcessTest::startsWithoutUsableRuntimeDirectory_data()
{
    QTest::addColumn<bool>("runtimeFallbackTaken");
    QTest::addColumn<bool>("temporaryDirectoryIsFile");
    QTest::addColumn<bool>("secondRefused");

    // XDG_RUNTIME_DIR below a plain file cannot be created; Qt then offers $TMPDIR/runtime-<user>.
    QTest::newRow("runtime directory cannot be created") << false << false << true;
    // If that is someone else's, there is no runtime directory at all and the lock goes to $TMPDIR.
    QTest::newRow("no runtime directory at all") << true << false << true;
    // With nowhere to put a lock the game starts anyway.
    QTest::newRow("nowhere to lock") << true << true << false;
}

void ProcessTest::startsWithoutUsableRuntimeDirectory()
{
    QFETCH(bool, runtimeFallbackTaken);
    QFETCH(bool, temporaryDirectoryIsFile);
    QFETCH(bool, secondRefused);

    Sandbox sandbox;
    QProcessEnvironment environment = sandbox.environment();
    const QString file = sandbox.path(QStringLiteral("file"));
    QFile(file).open(QIODevice::WriteOnly);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), file + QStringLiteral("/run"));
    if (runtimeFallbackTaken) {
        // Root passes every permission check; only ownership makes Qt refuse a directory.
        if (geteuid() != 0)
            QSKIP("needs root to give a directory to another user");
        const QString taken = sandbox.path(QStringLiteral("tmp/runtime-") + QString::fromLocal8Bit(getpwuid(0)->pw_name));
        QVERIFY(QDir().mkpath(taken));
        QCOMPARE(chown(QFile::encodeName(taken).constData(), 65534, 65534), 0);
    }
    if (temporaryDirectoryIsFile)
        environment.insert(QStringLiteral("TMPDIR"), file);

    GameProcess first(environment);
    QVERIFY(first.waitForWindow());
    if (runtimeFallbackTaken && !temporaryDirectoryIsFile)
        QCOMPARE(QDir(sandbox.path(QStringLiteral("tmp"))).entryList({QStringLiteral("Kovelith-*.lock")}).size(), 1);
    if (secondRefused) {
        GameProcess second(environment);
        QVERIFY(second.waitForExit(2s));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(GameProcess::windowCount(), 1);
    }
    first.requestClose();
    QVERIFY(first.waitForExit(2s));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
}

enum class Moment { Playing, Reveal, Notice };

void ProcessTest::quitEndsAtOnceEvenDuringVerdict_data()
{
    QTest::addColumn<Moment>("moment");
    QTest::addColumn<bool>("byButton");

    QTest::newRow("終 while playing") << Moment::Playing << true;
    QTest::newRow("close while playing") << Moment::Playing << false;
    QTest::newRow("終 during the reveal") << Moment::Reveal << true;
    QTest::newRow("close during the reveal") << Moment::Reveal << false;
    QTest::newRow("終 during the notice") << Moment::Notice << true;
    QTest::newRow("close during the notice") << Moment::Notice << false;
}

void ProcessTest::quitEndsAtOnceEvenDuringVerdict()
{
    QFETCH(Moment, moment);
    QFETCH(bool, byButton);

    Sandbox sandbox;
    GameProcess game(sandbox.environment());
    QVERIFY(game.waitForWindow());
    if (moment != Moment::Playing) {
        game.clickButton(0);
        game.clickButton(1);
        // The reveal lasts 3 s and the notice 2 s: quitting must not wait for their end.
        if (moment == Moment::Reveal)
            QTRY_VERIFY(visibleMarkers(game.screenshot()).size() == 2);
        else
            QTRY_VERIFY_WITH_TIMEOUT(isPlain(game.screenshot(), GameProcess::Board), 6000);
    }
    if (byButton)
        game.click(GameProcess::quitButton());
    else
        game.requestClose();
    QVERIFY(game.waitForExit(1s));
    QCOMPARE(game.exitStatus(), QProcess::NormalExit);
    QCOMPARE(game.exitCode(), 0);
}

void ProcessTest::pickWithdrawAndVerdictPlayAsSeen()
{
    Sandbox sandbox;
    GameProcess game(sandbox.environment());
    QVERIFY(game.waitForWindow());
    QImage board;
    const auto [a, b] = settledPair(game, board);
    QVERIFY2(a >= 0, "no single pair of identical buttons on the board");

    // A first pick marks its button and asks for the other; picking it again takes it back.
    const int single = notIn(a, b);
    game.clickButton(single);
    QTRY_COMPARE(visibleMarkers(game.screenshot()), QList<int>{single});
    QVERIFY(game.screenshot().copy(GameProcess::Label) != board.copy(GameProcess::Label));
    game.clickButton(single);
    QTRY_VERIFY(visibleMarkers(game.screenshot()).isEmpty());
    QTRY_COMPARE(game.screenshot(), board);

    // The right pair: reveal for 3 s, the board hidden for 2 s, then a new board.
    game.clickButton(a);
    QTRY_COMPARE(visibleMarkers(game.screenshot()), QList<int>{a});
    // Screenshots taken while the second click is under way bracket every change of the screen:
    // each one happened between the last sight of the old state and the first of the new.
    const auto cpuBefore = game.cpuTime();
    QElapsedTimer clock;
    clock.start();
    game.click(GameProcess::button(b), false);
    qint64 lastPick = -1, firstReveal = -1, lastReveal = -1, firstHidden = -1, lastHidden = -1, newBoard = -1;
    QImage correctLabel, notice;
    while (newBoard < 0 && clock.elapsed() < 10000) {
        const QImage shot = game.screenshot();
        const qint64 now = clock.elapsed();
        if (isPlain(shot, GameProcess::Board)) {
            if (firstHidden < 0) {
                firstHidden = now;
                notice = shot;
            }
            lastHidden = now;
        } else if (firstHidden >= 0) {
            newBoard = now;
        } else if (visibleMarkers(shot) == QList<int>{a, b}) {
            if (firstReveal < 0) {
                firstReveal = now;
                correctLabel = shot.copy(GameProcess::Label);
            }
            lastReveal = now;
        } else if (firstReveal < 0) {
            lastPick = now;
        }
        QThread::msleep(10);
    }
    const auto cpuUsed = game.cpuTime() - cpuBefore;
    QVERIFY2(firstReveal >= 0 && firstHidden >= 0 && newBoard >= 0, "the verdict did not run its course");
    const QString timings = QStringLiteral("pick seen until %1 ms, reveal %2..%3 ms, hidden %4..%5 ms, new board %6 ms")
                                .arg(lastPick).arg(firstReveal).arg(lastReveal).arg(firstHidden).arg(lastHidden)
                                .arg(newBoard);
    // Fails only when the screenshots prove the reveal shorter than 3 s or longer than 3.3 s.
    QVERIFY2(firstHidden - lastPick >= 3000 && lastReveal - firstReveal < 3300, qPrintable(timings));
    QVERIFY2(newBoard - lastReveal >= 2000 && lastHidden - firstHidden < 2300, qPrintable(timings));
    // Only the board hides: the notice takes the label's place, and the side panel stays.
    QVERIFY(notice.copy(GameProcess::Label) != correctLabel);
    QVERIFY(!isPlain(notice, GameProcess::quitButton()));
    // Waiting out the pauses must cost next to nothing: far below a tenth of a core over 5 s.
    QVERIFY2(cpuUsed < 250ms, qPrintable(QStringLiteral("%1 ms of CPU").arg(cpuUsed.count())));
    qDebug().noquote() << timings << cpuUsed.count() << "ms of CPU";

    // A wrong pick still shows where the true pair was.
    const auto [c, d] = settledPair(game, board);
    QVERIFY2(c >= 0, "the next board has no single pair");
    const int wrong = notIn(c, d);
    game.clickButton(c);
    game.clickButton(wrong);
    QImage shot;
    QTRY_VERIFY((shot = game.screenshot(), visibleMarkers(shot) == (QList<int>{c, d})));
    QVERIFY2(shot.copy(GameProcess::Label) != correctLabel, "a wrong pick is judged as the right one");
}

QTEST_MAIN(ProcessTest)
#include "tst_process.moc"
