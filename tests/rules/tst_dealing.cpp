// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"

#include "game/Texts.h"

#include <QSet>
#include <QTest>

using namespace game;

class DealingTest : public QObject {
    Q_OBJECT

private slots:
    void drawsAreConsumedInBoardOrderAndRepeatsDiscarded()
    {
        // Position draws 10, 10 (repeat), 0; answer 4; position 1 draws the answer, then 44;
        // position 2 draws 44 again, then members 5, 6, ... follow one draw each.
        GameRig<ScriptedRandom> rig;
        rig.random.values = {0.50f, 0.52f, 0.00f, 0.10f, 0.10f, 0.99f, 0.99f};
        for (int m = 5; m < 22; ++m)
            rig.random.values.push_back((m + 0.5f) / 45);
        rig.game.DealBoard();
        QVERIFY(rig.random.values.empty());

        const auto &hiragana = rig.game.state().CharSets[0];
        QStringList expected;
        for (int i = 0; i < PositionCount; ++i)
            expected << QStringLiteral("marker %1 hide").arg(i);
        for (int k = 0, other = 5; k < PositionCount; ++k) {
            const int member = (k == 0 || k == 10) ? 4 : k == 1 ? 44 : other++;
            expected << QStringLiteral("caption %1 %2").arg(k).arg(hiragana.at(member));
        }
        expected << "label " + texts::Prompt << "process";
        QCOMPARE(rig.view.log, expected);
    }

    // Walks every set through 次, dealing many seeded boards on each, and must end back on set 0.
    void seededDealsOnEverySetShowExactlyOnePair()
    {
        GameRig rig;
        auto &[view, random, pauses, game] = rig;
        const GameState &s = game.state();
        for (int set = 0; set < charsets::BuiltInSetCount; ++set) {
            QCOMPARE(s.CurrentSet, set);
            const QSet<QString> usable(s.CharSets[set].begin(), s.CharSets[set].begin() + s.SetSizes[set]);
            QSet<QString> seen;
            for (std::uint32_t seed = 0; seed < 200; ++seed) {
                random.seed(seed * 10 + set);
                game.Command1_Click(Int16(seed % PositionCount)); // a pending pick must not survive
                game.DealBoard();

                // Nineteen different usable members, the answer at both (different) pair positions.
                const QSet<QString> shown(view.captions.begin(), view.captions.end());
                QVERIFY(usable.contains(shown));
                QCOMPARE(shown.size(), 19);
                QVERIFY(s.PairPosA != s.PairPosB);
                QCOMPARE(view.captions[s.PairPosA], s.CharSets[set].at(s.AnswerIndex));
                QCOMPARE(view.captions[s.PairPosB], s.CharSets[set].at(s.AnswerIndex));
                QVERIFY(view.markers.empty());
                QCOMPARE(s.Picking, 0);
                QCOMPARE(view.label, texts::Prompt);
                QCOMPARE(std::count(s.UsedChars.begin(), s.UsedChars.end(), 1), 19);
                seen.unite(shown);
            }
            QCOMPARE(seen, usable); // the last usable member is reachable too
            game.Command2_Click();
        }
        QCOMPARE(s.CurrentSet, 0);
    }

    void drawsStayBelowTheMultiplierAndOverflowThrows()
    {
        const float largest = ClockSeededRandom::fromBits(0xFFFFFFFFu);
        QVERIFY(largest < 1.0f);
        QCOMPARE(scaledDraw(20, largest), 19);
        QCOMPARE(scaledDraw(45, largest), 44);
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, toInt16(32768));
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, toInt16(-32769));
    }

    void unusableTablesAreRefusedInsteadOfHanging()
    {
        struct { int members, size; bool refused; } tables[] = {
            {18, 18, true}, {20, 21, true}, {51, 51, true}, {19, 19, false}, {50, 50, false}, {30, 20, false},
        };
        for (const auto &t : tables) {
            std::vector<QString> set; // members "0", "1", ...
            for (int i = 0; i < t.members; ++i)
                set.push_back(QString::number(i));
            RecordingView view;
            ClockSeededRandom random;
            ManualPauses pauses;
            Game game(view, random, pauses); // no tables yet: after a refused load nothing is dealable
            if (t.refused) {
                QVERIFY_THROWS_EXCEPTION(std::length_error, game.loadTables({set}, {Int16(t.size)}));
                QVERIFY_THROWS_EXCEPTION(std::logic_error, game.DealBoard());
                continue;
            }
            game.loadTables({set}, {Int16(t.size)});
            game.DealBoard();
            for (const QString &caption : view.captions)
                QVERIFY(caption.toInt() < t.size);
        }
    }
};

QTEST_GUILESS_MAIN(DealingTest)
#include "tst_dealing.moc"
