// SPDX-License-Identifier: GPL-3.0-or-later
// The decisions that place the window on X11, from what the server would tell, without a display.
#include "ui/PlacementPlan.h"

#include <QtTest>

using ui::PlacementPlan;
using ui::PlacementStep;

namespace {

/// The game's window, on a screen as large as the test displays'.
constexpr QSize Window{767, 583};
constexpr QRect Screen{0, 0, 1280, 1024};

/// "4,2,30,6" as told extents; "" as none.
ui::ToldExtents extents(const QString &text)
{
    ui::ToldExtents values;
    for (const QString &value : text.split(u',', Qt::SkipEmptyParts))
        values.push_back(value.toUInt());
    return values;
}

QString describe(const PlacementStep &step)
{
    const char *const kinds[] = {"wait", "ask", "show at", "gravity", "move to", "reveal"};
    QString text = kinds[step.kind];
    if (step.kind == PlacementStep::ShowAt || step.kind == PlacementStep::MoveTo)
        text += QString(" %1,%2").arg(step.place.x()).arg(step.place.y());
    if (step.transparent)
        text += " transparent";
    if (step.deadline)
        text += QString(" for %1").arg(step.deadline->count());
    return text;
}

} // namespace

class PlacementTest : public QObject {
    Q_OBJECT

private slots:
    // Each row is a script of what the server tells ("start", its window manager answering frame
    // requests and a compositing manager running, or not; "told" extents before the mapping; "seen"
    // once mapped, with the extents and where X has the client area; "time up") and the step each
    // leads to, with the deadline of any wait it begins.
    void eachReportLeadsToItsStep_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QString>("script");
        // On the whole screen the frame 4,2,30,6 stands centred with the client area at 257,232.
        QTest::newRow("told beforehand, on a primary screen away from the origin")
            << QRect(256, 200, 1024, 768) << "start asks > ask for 500; told 4,2,30,6 > show at 385,304";
        QTest::newRow("told no frame, left to the gravity, shown once centred")
            << Screen << "start asks composited > ask for 500; told 0,0,0,0 > gravity transparent for 500;"
                         "told 4,2,30,6 > wait; seen at 256,220 > wait; seen 4,2,30,6 at 258,233 > reveal";
        // Extents that could be no frame of a window with a title bar are no answer.
        QTest::newRow("told too wide") << Screen << "start asks > ask for 500; told 1281,0,0,0 > gravity";
        QTest::newRow("told a negative side") << Screen << "start asks > ask for 500; told 4294967295,2,30,6 > gravity";
        QTest::newRow("told three sides") << Screen << "start asks > ask for 500; told 4,2,30 > gravity";
        QTest::newRow("told too late") << Screen << "start asks > ask for 500; time up > gravity; told 4,2,30,6 > wait";
        QTest::newRow("nothing told, left to the gravity") << Screen << "start > gravity; seen 4,2,30,6 at 260,250 > wait";
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
                const ui::ToldExtents at = extents(event.last());
                step = plan.reported({true, true, extents(event.size() == 4 ? event[1] : ""), QPoint(at[0], at[1])});
            } else {
                step = plan.timeUp();
            }
            QCOMPARE(describe(step), eventAndStep.at(1).trimmed());
        }
    }
};

QTEST_GUILESS_MAIN(PlacementTest)
#include "placement_test.moc"
