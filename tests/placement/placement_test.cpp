// SPDX-License-Identifier: GPL-3.0-or-later
// The decisions that place the window on X11, from what the server would tell, without a display.
#include "ui/PlacementPlan.h"

#include <QtTest>

using ui::PlacementPlan;
using ui::PlacementStep;

namespace {

/// The game's window on the test display's screen.
constexpr QSize Window{767, 583};
constexpr QRect Screen{0, 0, 1280, 1024};

QPoint point(const QString &text)
{
    const QStringList xy = text.split(u',');
    return {xy.at(0).toInt(), xy.at(1).toInt()};
}

ui::ToldExtents extents(const QString &text)
{
    ui::ToldExtents values;
    for (const QString &value : text.split(u',', Qt::SkipEmptyParts))
        values.push_back(value.toUInt());
    return values;
}

QString describe(const PlacementStep &step)
{
    QString text;
    switch (step.kind) {
    case PlacementStep::Wait:
        text = "wait";
        break;
    case PlacementStep::AskForFrame:
        text = "ask";
        break;
    case PlacementStep::ShowAt:
        text = QString("show at %1,%2").arg(step.place.x()).arg(step.place.y());
        break;
    case PlacementStep::ShowWithGravity:
        text = step.transparent ? "gravity transparent" : "gravity";
        break;
    case PlacementStep::MoveTo:
        text = QString("move to %1,%2").arg(step.place.x()).arg(step.place.y());
        break;
    case PlacementStep::Reveal:
        text = "reveal";
        break;
    }
    if (step.deadline)
        text += QString(" for %1").arg(step.deadline->count());
    return text;
}

} // namespace

class PlacementTest : public QObject {
    Q_OBJECT

private slots:
    // Told extents are left, right, top, bottom; anything that could not be the frame of a window
    // with a title bar is no answer.
    void aToldFrameIsBelievedOnlyWhenItCouldBeOne()
    {
        const QList<std::pair<QString, std::optional<QMargins>>> cases{
            {"4,2,30,6", QMargins(4, 30, 2, 6)}, {"0,0,1024,0", QMargins(0, 1024, 0, 0)},
            {"0,0,0,0", std::nullopt},    // mutter 48, for a window it has not framed yet
            {"", std::nullopt},           // nothing told
            {"4,2,30", std::nullopt},     // not a frame
            {"1281,0,0,0", std::nullopt}, // wider than the screen
            {"0,0,1025,0", std::nullopt}, // taller than the screen
            {"4294967295,0,30,0", std::nullopt}, // a negative side, or one that would overflow a sum
        };
        for (const auto &[told, frame] : cases)
            QVERIFY2(ui::toldFrame(extents(told), Screen.size()) == frame, qPrintable(told));
    }

    // Each row is a script of what the server tells ("start", its window manager answering frame
    // requests and a compositing manager running, or not; "told" extents before the mapping; "seen"
    // once mapped, with the extents and where X has the client area; "time up") and the step each
    // leads to, with the deadline of any wait it begins.
    void eachReportLeadsToItsStep_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QString>("script");
        // The frame 4,2,30,6 around the window stands centred with the client area at 257,232.
        QTest::newRow("told beforehand") << Screen << "start asks > ask for 500; told 4,2,30,6 > show at 257,232";
        QTest::newRow("told, on a primary screen away from the origin")
            << QRect(256, 200, 1024, 768) << "start asks > ask for 500; told 4,2,30,6 > show at 385,304";
        QTest::newRow("told no frame, left to the gravity, shown once centred")
            << Screen << "start asks composited > ask for 500; told 0,0,0,0 > gravity transparent for 500;"
                         "told 4,2,30,6 > wait; seen at 256,220 > wait; seen 4,2,30,6 at 258,233 > reveal";
        QTest::newRow("told nonsense") << Screen << "start asks > ask for 500; told 2000,0,0,0 > gravity";
        QTest::newRow("told too late")
            << Screen << "start asks > ask for 500; time up > gravity; told 4,2,30,6 > wait";
        QTest::newRow("nothing told, the gravity honoured") << Screen << "start > gravity; seen 4,2,30,6 at 260,250 > wait";
        // KWin under Wayland ignores the gravity as it maps the window and may honour it for a move.
        QTest::newRow("the gravity ignored, moved unseen until centred")
            << Screen << "start composited > gravity transparent for 500; seen 4,2,30,6 at 260,250 > move to 253,202;"
                         "seen 4,2,30,6 at 260,250 > wait; seen 4,2,30,6 at 257,251 > move to 253,183;"
                         "seen 4,2,30,6 at 257,232 > reveal; time up > wait";
        QTest::newRow("three moves at most, then shown when the time is up")
            << Screen << "start composited > gravity transparent for 500; seen 4,2,30,6 at 260,250 > move to 253,202;"
                         "seen 4,2,30,6 at 257,251 > move to 253,183; seen 4,2,30,6 at 257,252 > move to 253,163;"
                         "seen 4,2,30,6 at 257,253 > wait; time up > reveal";
    }
    void eachReportLeadsToItsStep()
    {
        QFETCH(QRect, screen);
        QFETCH(QString, script);
        PlacementPlan plan(screen, Window);
        for (const QString &line : script.split(u';')) {
            const QStringList eventAndStep = line.split(u'>');
            const QStringList event = eventAndStep.at(0).split(u' ', Qt::SkipEmptyParts);
            PlacementStep step;
            if (event[0] == "start") {
                step = plan.start(event.contains("asks"), event.contains("composited"));
            } else if (event[0] == "told") {
                step = plan.reported({true, false, extents(event.value(1)), plan.hiddenPlace()});
            } else if (event[0] == "seen") {
                step = plan.reported({true, true, extents(event.size() == 4 ? event[1] : ""), point(event.last())});
            } else {
                step = plan.timeUp();
            }
            QCOMPARE(describe(step), eventAndStep.at(1).trimmed());
        }
    }
};

QTEST_GUILESS_MAIN(PlacementTest)
#include "placement_test.moc"
