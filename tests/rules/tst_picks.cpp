#include "Fakes.h"

#include "game/Texts.h"

#include <QTest>

using namespace game;

namespace {

QString labelLine(const QString &text)
{
    return QStringLiteral("label ") + text;
}

// A seeded game on its first board, played by roles rather than positions.
struct Table : GameRig<> {
    Table()
    {
        random.seed(7);
        game.DealBoard();
    }

    // A and B are the pair positions, N and M the first two positions outside the pair.
    int position(QChar role) const
    {
        const GameState &s = game.state();
        if (role == u'A')
            return s.PairPosA;
        if (role == u'B')
            return s.PairPosB;
        int skip = role == u'N' ? 0 : 1;
        for (int i = 0;; ++i)
            if (i != s.PairPosA && i != s.PairPosB && skip-- == 0)
                return i;
    }
    // Plays "A", "N", ... as clicks on character buttons and "next" as a click on 次.
    void play(const QString &events)
    {
        for (const QString &event : events.split(u' ', Qt::SkipEmptyParts))
            event == u"next" ? game.Command2_Click() : game.Command1_Click(Int16(position(event.at(0))));
    }
    QList<int> positions(const QString &roles) const
    {
        QList<int> result;
        for (const QString &role : roles.split(u' ', Qt::SkipEmptyParts))
            result << position(role.at(0));
        std::sort(result.begin(), result.end());
        return result;
    }
};

} // namespace

class PicksTest : public QObject {
    Q_OBJECT

private slots:
    void eachPhaseAnswersEachClickAsItShould_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("markers");
        QTest::addColumn<int>("picking");
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("deals");
        const int none = int(Phase::NoPick), one = int(Phase::OnePick), verdict = int(Phase::Verdict);
        QTest::newRow("no pick: first pick") << "N" << texts::SecondPick << "N" << 1 << one << 1;
        QTest::newRow("no pick: next") << "next" << texts::Prompt << "" << 0 << none << 2;
        QTest::newRow("one pick: same again") << "N N" << texts::Prompt << "" << 0 << none << 1;
        QTest::newRow("one pick: withdrawn, picked anew") << "N N M" << texts::SecondPick << "M" << 1 << one << 1;
        QTest::newRow("one pick: next") << "N next" << texts::Prompt << "" << 0 << none << 2;
        QTest::newRow("one pick: next, pick again") << "N next N" << texts::SecondPick << "N" << 1 << one << 2;
        QTest::newRow("pair in order") << "A B" << texts::Correct << "A B" << 1 << verdict << 1;
        QTest::newRow("pair reversed") << "B A" << texts::Correct << "A B" << 1 << verdict << 1;
        QTest::newRow("pair, then other") << "A N" << texts::Failed << "A B" << 1 << verdict << 1;
        QTest::newRow("other, then pair") << "N B" << texts::Failed << "A B" << 1 << verdict << 1;
        QTest::newRow("two others") << "N M" << texts::Failed << "A B" << 1 << verdict << 1;
        QTest::newRow("verdict: first pick again") << "A B A" << texts::Correct << "A B" << 1 << verdict << 1;
        QTest::newRow("verdict: another button") << "N M B" << texts::Failed << "A B" << 1 << verdict << 1;
        QTest::newRow("verdict: next") << "N M next" << texts::Failed << "A B" << 1 << verdict << 1;
    }
    void eachPhaseAnswersEachClickAsItShould()
    {
        QFETCH(QString, events);
        QFETCH(QString, label);
        QFETCH(QString, markers);
        QFETCH(int, picking);
        QFETCH(int, phase);
        QFETCH(int, deals);
        Table t;
        t.play(events);
        QCOMPARE(t.view.label, label);
        QCOMPARE(t.view.visibleMarkers(), t.positions(markers));
        QCOMPARE(t.game.state().Picking, picking);
        QCOMPARE(int(t.game.phase()), phase);
        QCOMPARE(t.view.deals(), deals);
        // Only the final verdict is ever written: no 失敗 before 正解.
        for (const QString &line : t.view.log.filter(QStringLiteral("label ")))
            QVERIFY2(line == labelLine(texts::Prompt) || line == labelLine(texts::SecondPick)
                         || line == labelLine(label), qPrintable(line));
    }

    void verdictRunsItsStepsInOrderAndIgnoresClicksMeanwhile_data()
    {
        QTest::addColumn<QString>("picks");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("correct") << "B A" << texts::Correct;
        QTest::newRow("failed") << "N A" << texts::Failed;
    }
    void verdictRunsItsStepsInOrderAndIgnoresClicksMeanwhile()
    {
        QFETCH(QString, picks);
        QFETCH(QString, verdict);
        Table t;
        t.game.Command2_Click(); // the next board must come from this set, not the first
        t.game.Command2_Click();
        const GameState &s = t.game.state();
        const int a = s.PairPosA, b = s.PairPosB;
        t.play(picks.left(1));
        t.view.log.clear();
        t.play(picks.mid(2));

        QStringList expected{labelLine(verdict)};
        for (int i = 0; i < PositionCount; ++i)
            expected << QStringLiteral("marker %1 hide").arg(i);
        expected << QStringLiteral("marker %1 show").arg(a) << QStringLiteral("marker %1 show").arg(b)
                 << "process" << "pause 3000";
        QCOMPARE(t.view.log, expected);
        QVERIFY(clicksChangeNothing(t));

        t.view.log.clear();
        t.pauses.finish();
        QCOMPARE(t.view.log, (QStringList{labelLine(texts::Changing), "board hide", "process", "pause 2000"}));
        QVERIFY(clicksChangeNothing(t));

        t.view.log.clear();
        t.pauses.finish();
        QCOMPARE(t.view.deals(), 1);
        QCOMPARE(t.view.log.size(), 44);
        QCOMPARE(t.view.log.mid(40), (QStringList{labelLine(texts::Prompt), "process", "board show", "process"}));
        QVERIFY(!t.pauses.waiting());
        QCOMPARE(s.CurrentSet, 2);
        QVERIFY(t.view.visibleMarkers().isEmpty());

        t.play("N"); // the first click on the new board is a first pick
        QCOMPARE(int(t.game.phase()), int(Phase::OnePick));
        QCOMPARE(t.view.label, texts::SecondPick);
    }

private:
    // Clicks every character button and 次; true if no state changed and nothing was written.
    static bool clicksChangeNothing(Table &t)
    {
        const auto snapshot = [&t] {
            const GameState &s = t.game.state();
            return std::tuple(s.CurrentSet, s.Picking, s.FirstPick, s.PairPosA, s.PairPosB, s.AnswerIndex,
                              s.UsedChars, t.game.phase(), t.view.log.size());
        };
        const auto before = snapshot();
        for (Int16 i = 0; i < PositionCount; ++i)
            t.game.Command1_Click(i);
        t.game.Command2_Click();
        return snapshot() == before;
    }
};

QTEST_GUILESS_MAIN(PicksTest)
#include "tst_picks.moc"
