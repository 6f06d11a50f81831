#include "Fakes.h"

#include "game/Texts.h"

#include <QSet>
#include <QTest>

using namespace game;

namespace {

// A table of one set whose members are "0", "1", ...
charsets::CharSetTable numberedSet(int members)
{
    std::vector<QString> set;
    for (int i = 0; i < members; ++i)
        set.push_back(QString::number(i));
    return {set};
}

} // namespace

class DealingTest : public QObject {
    Q_OBJECT

private slots:
    void drawsAreConsumedInBoardOrderAndRepeatsDiscarded()
    {
        // Position draws 10, 10 (repeat), 0; answer 4; position 1 draws the answer, then 44;
        // position 2 draws 44 again, then the next members follow one draw each.
        GameRig<ScriptedRandom> rig;
        rig.random.values = {0.50f, 0.52f, 0.00f, 0.10f, 0.10f, 0.99f, 0.99f};
        QList<int> others;
        for (int m = 5; m < 22; ++m) {
            others << m;
            rig.random.values.push_back((m + 0.5f) / 45);
        }
        Game &game = rig.game;
        game.DealBoard();

        QVERIFY(rig.random.values.empty()); // the scripted random fails the test on one draw too many
        QCOMPARE(game.state().PairPosA, 10);
        QCOMPARE(game.state().PairPosB, 0);
        QCOMPARE(game.state().AnswerIndex, 4);

        const auto &hiragana = game.state().CharSets[0];
        QStringList expected;
        for (int i = 0; i < PositionCount; ++i)
            expected << QStringLiteral("marker %1 hide").arg(i);
        for (int k = 0; k < PositionCount; ++k) {
            const int member = (k == 0 || k == 10) ? 4 : k == 1 ? 44 : others.takeFirst();
            expected << QStringLiteral("caption %1 %2").arg(k).arg(hiragana.at(member));
        }
        expected << QStringLiteral("label ") + texts::Prompt << QStringLiteral("process");
        QCOMPARE(rig.view.log, expected);
    }

    void seededDealsShowExactlyOnePairFromTheUsableMembers()
    {
        GameRig rig;
        auto &[view, random, pauses, game] = rig;
        for (int set = 0; set < charsets::BuiltInSetCount; ++set) {
            const GameState &s = game.state();
            QCOMPARE(s.CurrentSet, set);
            const int size = s.SetSizes[set];
            const std::vector<QString> usable(s.CharSets[set].begin(), s.CharSets[set].begin() + size);
            QSet<QString> seen;
            for (std::uint32_t seed = 0; seed < 200; ++seed) {
                random.seed(seed * 10 + set);
                game.Command1_Click(Int16(seed % PositionCount)); // a pending pick must not survive
                game.DealBoard();

                const QString answer = usable.at(s.AnswerIndex);
                QSet<QString> others;
                for (int k = 0; k < PositionCount; ++k) {
                    const QString &caption = view.captions[k];
                    QVERIFY(std::find(usable.begin(), usable.end(), caption) != usable.end());
                    if (k == s.PairPosA || k == s.PairPosB)
                        QCOMPARE(caption, answer);
                    else
                        others.insert(caption);
                }
                QCOMPARE(others.size(), 18); // also fails if the pair positions coincide
                QVERIFY(!others.contains(answer));
                QVERIFY(view.visibleMarkers().isEmpty());
                QCOMPARE(s.Picking, 0);
                QCOMPARE(game.phase(), Phase::NoPick);
                QCOMPARE(view.label, texts::Prompt);
                QCOMPARE(std::count(s.UsedChars.begin(), s.UsedChars.end(), 1), 19);
                seen.unite(others).insert(answer);
            }
            QCOMPARE(seen.size(), size); // the last usable member is reachable too
            game.Command2_Click();
        }
    }

    void nextSetWrapsFromLastToFirst()
    {
        GameRig rig;
        auto &[view, random, pauses, game] = rig;
        view.log.clear();
        // Thirty steps: every set is left three times, and every ten steps return to the start.
        for (int step = 1; step <= 30; ++step) {
            game.Command2_Click();
            const int set = step % 10;
            QCOMPARE(game.state().CurrentSet, set);
            QCOMPARE(view.deals(), step);
            const auto &members = game.state().CharSets[set];
            QVERIFY(std::find(members.begin(), members.end(), view.captions[0]) != members.end());
        }
    }

    void drawsNeitherReachTheMultiplierNorWrapAround()
    {
        const float largest = ClockSeededRandom::fromBits(0xFFFFFFFFu);
        QVERIFY(largest < 1.0f);
        QCOMPARE(scaledDraw(20, largest), 19);
        QCOMPARE(scaledDraw(45, largest), 44);
        QCOMPARE(ClockSeededRandom::fromBits(0), 0.0f);
        QCOMPARE(scaledDraw(45, 0.0f), 0);
        QCOMPARE(toInt16(-32768), -32768);
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, toInt16(32768));
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, toInt16(-32769));
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, scaledDraw(32767, 2.0f));
    }

    void unusableTablesAreRefusedInsteadOfHanging_data()
    {
        QTest::addColumn<int>("members");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("refused");
        QTest::newRow("18 members") << 18 << 18 << true;
        QTest::newRow("size above the members") << 20 << 21 << true;
        QTest::newRow("51 members") << 51 << 51 << true;
        QTest::newRow("19 members") << 19 << 19 << false;
        QTest::newRow("50 members") << 50 << 50 << false;
        QTest::newRow("members beyond the size") << 30 << 20 << false;
    }
    void unusableTablesAreRefusedInsteadOfHanging()
    {
        QFETCH(int, members);
        QFETCH(int, size);
        QFETCH(bool, refused);
        RecordingView view;
        ClockSeededRandom random;
        ManualPauses pauses;
        Game game(view, random, pauses); // no tables yet: after a refused load nothing is dealable
        if (refused) {
            QVERIFY_THROWS_EXCEPTION(std::length_error, game.loadTables(numberedSet(members), {Int16(size)}));
            QVERIFY_THROWS_EXCEPTION(std::logic_error, game.DealBoard());
            return;
        }
        game.loadTables(numberedSet(members), {Int16(size)});
        for (std::uint32_t seed = 0; seed < 50; ++seed) {
            random.seed(seed);
            game.DealBoard();
            for (const QString &caption : view.captions)
                QVERIFY(caption.toInt() < size);
        }
    }
};

QTEST_GUILESS_MAIN(DealingTest)
#include "tst_dealing.moc"
