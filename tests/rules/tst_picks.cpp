// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"

#include "game/Texts.h"

#include <QTest>

using namespace game;

namespace {

// A seeded game on its first board, played by roles: A and B are its pair positions, N and M the
// first two positions outside the pair, "next" is a click on 次.
struct Table : GameRig<> {
    QHash<QChar, int> at;

    Table()
    {
        random.seed(7);
        game.DealBoard();
        const GameState &s = game.state();
        at = {{u'A', s.PairPosA}, {u'B', s.PairPosB}};
        for (int i = 0; at.size() < 4; ++i)
            if (i != s.PairPosA && i != s.PairPosB)
                at[at.contains(u'N') ? u'M' : u'N'] = i;
    }
    void play(const QString &events)
    {
        for (const QString &event : events.split(u' '))
            event == u"next" ? game.Command2_Click() : game.Command1_Click(Int16(at[event[0]]));
    }
};

} // namespace

class PicksTest : public QObject {
    Q_OBJECT

private slots:
    void eachPhaseAnswersEachClick_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("markers");
        QTest::addColumn<int>("picking");
        QTest::addColumn<int>("deals");
        QTest::newRow("no pick: first pick") << "N" << texts::SecondPick << "N" << 1 << 1;
        QTest::newRow("no pick: next") << "next" << texts::Prompt << "" << 0 << 2;
        QTest::newRow("one pick: same again") << "N N" << texts::Prompt << "" << 0 << 1;
        QTest::newRow("one pick: next") << "N next" << texts::Prompt << "" << 0 << 2;
        QTest::newRow("pair in order") << "A B" << texts::Correct << "AB" << 1 << 1;
        QTest::newRow("pair reversed") << "B A" << texts::Correct << "AB" << 1 << 1;
        QTest::newRow("pair, then other") << "A N" << texts::Failed << "AB" << 1 << 1;
        QTest::newRow("other, then pair") << "N B" << texts::Failed << "AB" << 1 << 1;
        QTest::newRow("two others") << "N M" << texts::Failed << "AB" << 1 << 1;
        QTest::newRow("verdict: click") << "N M B" << texts::Failed << "AB" << 1 << 1;
        QTest::newRow("verdict: next") << "N M next" << texts::Failed << "AB" << 1 << 1;
    }
    void eachPhaseAnswersEachClick()
    {
        QFETCH(QString, events);
        QFETCH(QString, label);
        QFETCH(QString, markers);
        QFETCH(int, picking);
        QFETCH(int, deals);
        Table t;
        t.play(events);
        std::set<int> shown;
        for (QChar role : markers)
            shown.insert(t.at[role]);
        QVERIFY(t.view.markers == shown);
        QCOMPARE(t.view.label, label);
        QCOMPARE(t.game.state().Picking, picking);
        QCOMPARE(t.view.deals(), deals);
        // Only the final verdict is ever written: no 失敗 before 正解.
        for (const QString &line : t.view.log.filter(u"label "))
            QVERIFY(line.endsWith(texts::Prompt) || line.endsWith(texts::SecondPick) || line.endsWith(label));
    }

    void verdictRunsItsStepsInOrderAndIgnoresClicksMeanwhile()
    {
        Table t;
        const GameState &s = t.game.state();
        const auto clicksChangeNothing = [&] {
            const QStringList log = t.view.log; // a deal, a caption, marker or label would show here
            const auto state = std::tuple(s.CurrentSet, s.Picking, s.FirstPick, t.game.phase());
            for (Int16 i = 0; i < PositionCount; ++i)
                t.game.Command1_Click(i);
            t.game.Command2_Click();
            return t.view.log == log && std::tuple(s.CurrentSet, s.Picking, s.FirstPick, t.game.phase()) == state;
        };
        t.play("N");
        t.view.log.clear();
        t.play("A");
        QStringList expected{"label " + texts::Failed};
        for (int i = 0; i < PositionCount; ++i)
            expected << QStringLiteral("marker %1 hide").arg(i);
        expected << QStringLiteral("marker %1 show").arg(s.PairPosA) << QStringLiteral("marker %1 show").arg(s.PairPosB)
                 << "process" << "pause 3000";
        QCOMPARE(t.view.log, expected);
        QVERIFY(clicksChangeNothing());

        t.view.log.clear();
        t.pauses.finish();
        QCOMPARE(t.view.log, (QStringList{"label " + texts::Changing, "board hide", "process", "pause 2000"}));
        QVERIFY(clicksChangeNothing());

        t.view.log.clear();
        t.pauses.finish();
        QCOMPARE(t.view.deals(), 1);
        QCOMPARE(t.view.log.last(4), (QStringList{"label " + texts::Prompt, "process", "board show", "process"}));
        QVERIFY(!t.pauses.waiting());
        t.game.Command1_Click(0); // the first click on the new board is a first pick
        QCOMPARE(t.game.phase(), Phase::OnePick);
    }
};

QTEST_GUILESS_MAIN(PicksTest)
#include "tst_picks.moc"
