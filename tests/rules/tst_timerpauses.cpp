#include "game/TimerPauses.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

class TimerPausesTest : public QObject {
    Q_OBJECT

private slots:
    void pauseNeverEndsEarlyNorMuchLate()
    {
        game::TimerPauses pauses;
        for (auto length : {30ms, 45ms, 60ms, 80ms}) {
            QElapsedTimer clock;
            qint64 took = -1;
            clock.start();
            pauses.pause(length, [&] { took = clock.nsecsElapsed(); });
            QTRY_VERIFY_WITH_TIMEOUT(took >= 0, 5000);
            const qint64 wanted = std::chrono::nanoseconds(length).count();
            QVERIFY2(took > wanted, qPrintable(QString::number(took)));
            // Generous: other builds may share the machine.
            QVERIFY2(took < wanted + 50'000'000, qPrintable(QString::number(took)));
        }
    }

    void pauseReturnsToTheEventLoop()
    {
        game::TimerPauses pauses;
        QStringList order;
        pauses.pause(40ms, [&] { order << "step"; });
        QTimer::singleShot(0, [&] { order << "posted"; });
        QTRY_COMPARE_WITH_TIMEOUT(order.size(), 2, 5000);
        QCOMPARE(order, (QStringList{"posted", "step"}));
    }
};

QTEST_GUILESS_MAIN(TimerPausesTest)
#include "tst_timerpauses.moc"
