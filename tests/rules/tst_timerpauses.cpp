// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/TimerPauses.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

class TimerPausesTest : public QObject {
    Q_OBJECT

private slots:
    void pauseNeverEndsEarlyNorMuchLateAndReturnsToTheEventLoop()
    {
        game::TimerPauses pauses;
        for (auto length : {30ms, 45ms, 60ms, 80ms}) {
            QStringList order;
            QElapsedTimer clock;
            qint64 took = -1;
            clock.start();
            pauses.pause(length, [&] { took = clock.nsecsElapsed(); order << "step"; });
            QTimer::singleShot(0, [&] { order << "posted"; });
            QTRY_VERIFY_WITH_TIMEOUT(took >= 0, 5000);
            QCOMPARE(order, (QStringList{"posted", "step"}));
            QVERIFY2(took > std::chrono::nanoseconds(length).count(), qPrintable(QString::number(took)));
            // Generous: other builds may share the machine.
            QVERIFY2(took < std::chrono::nanoseconds(length + 50ms).count(), qPrintable(QString::number(took)));
        }
    }
};

QTEST_GUILESS_MAIN(TimerPausesTest)
#include "tst_timerpauses.moc"
