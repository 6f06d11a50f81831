// SPDX-License-Identifier: GPL-3.0-or-later
// The rules without a window: the character tables, dealing, picks and verdicts, and the pause timer.
#include "game/Game.h"
#include "game/Texts.h"
#include "game/TimerPauses.h"

#include <QtTest>

using namespace game;
using namespace std::chrono_literals;

namespace {

/// A seeded game on the built-in tables that keeps what its window was last told, logs deals, board
/// hides and shows and pauses, and ends a pause only when the test says so.
struct Rig final : BoardView, Pauses {
    std::array<QString, PositionCount> captions;
    QSet<int> markers;
    QString label;
    QStringList log;
    std::function<void()> pending;
    ClockSeededRandom random;
    Game game{*this, random, *this};

    Rig()
    {
        game.loadTables(charsets::buildCharSets(), charsets::buildSetSizes());
        random.seed(7);
        game.DealBoard();
        log.clear();
    }
    void setButtonCaption(Int16 i, const QString &caption) override
    {
        captions.at(i) = caption;
        if (i == 0) // once a deal
            log << "deal";
    }
    void setMarkerVisible(Int16 i, bool visible) override { visible ? void(markers.insert(i)) : void(markers.remove(i)); }
    void setLabelText(const QString &text) override { label = text; }
    void setBoardVisible(bool visible) override { log << (visible ? "show" : "hide"); }
    void pause(std::chrono::milliseconds length, std::function<void()> then) override 
    {
        log << QString::number(length.count());
        pending = std::move(then);
    }
};

} // namespace

class RulesTest : public QObject {
    Q_OBJECT

private slots:
    void tablesHoldDistinctMembersInOrderWithTheirVariantCodePoints()
    {
        const auto sets = charsets::buildCharSets();
        const auto sizes = charsets::buildSetSizes();
        QVERIFY(sets.size() == 10 && sizes.size() == 10);
        for (std::size_t k = 0; k < sets.size(); ++k) {
            QCOMPARE(QSet<QString>(sets[k].begin(), sets[k].end()).size(), qsizetype(sets[k].size()));
            QCOMPARE(qsizetype(sizes[k]), qsizetype(sets[k].size()));
        }
        // Look-alike variants, each at its own code point: 閉 閇, 鴬 鶯, 霸, 筝, 鵞.
        struct { int set, index; char16_t codePoint; } variants[] = {
            {7, 9, u'\u9589'}, {7, 15, u'\u9587'}, {9, 1, u'\u9D2C'}, {9, 8, u'\u9DAF'},
            {6, 14, u'\u9738'}, {8, 18, u'\u7B5D'}, {9, 9, u'\u9D5E'},
        };
        for (const auto &v : variants)
            QCOMPARE(sets.at(v.set).at(v.index), QString(QChar(v.codePoint)));
        // The ら row stands before the や row, in katakana too.
        QCOMPARE(QStringList(sets[0].begin() + 35, sets[0].begin() + 43).join(""), "らりるれろやゆよ");
        QCOMPARE(QStringList(sets[1].begin() + 35, sets[1].begin() + 43).join(""), "ラリルレロヤユヨ");
    }

    // 次 walks every set and back to the first; each board shows nineteen different usable members.
    void everySetDealsExactlyOnePair()
    {
        Rig r;
        const GameState &s = r.game.state();
        for (int set = 0; set < charsets::BuiltInSetCount; ++set) {
            const QSet<QString> usable(s.CharSets[set].begin(), s.CharSets[set].begin() + s.SetSizes[set]);
            QSet<QString> seen;
            for (int deal = 0; deal < 200; ++deal) {
                r.game.DealBoard();
                const QSet<QString> shown(r.captions.begin(), r.captions.end());
                QVERIFY(usable.contains(shown) && shown.size() == 19);
                QVERIFY(s.PairPosA != s.PairPosB && r.captions[s.PairPosA] == r.captions[s.PairPosB]);
                seen += shown;
            }
            QCOMPARE(seen, usable); // the last usable member is drawn too
            r.game.Command2_Click();
        }
        QCOMPARE(s.CurrentSet, 0);
        // The largest draw stays below its multiplier.
        QCOMPARE(scaledDraw(20, ClockSeededRandom::fromBits(0xFFFFFFFFu)), 19);
    }

    void eachPhaseAnswersEachClick_data()
    {
        // A and B are the pair's positions, N and M two others; "next" clicks 次, "end" ends a pause.
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("markers");
        QTest::addColumn<QString>("log"); // deals, board hides and shows, pauses
        using namespace texts;
        QTest::newRow("first pick") << "N" << SecondPick << "N" << "";
        QTest::newRow("pick taken back") << "N N" << Prompt << "" << "";
        QTest::newRow("next without a pick") << "next" << Prompt << "" << "deal";
        QTest::newRow("next after a pick") << "N next" << Prompt << "" << "deal";
        QTest::newRow("pair") << "A B" << Correct << "AB" << "3000";
        QTest::newRow("pair reversed") << "B A" << Correct << "AB" << "3000";
        QTest::newRow("pair, then other") << "A N" << Failed << "AB" << "3000";
        QTest::newRow("other, then pair") << "N B" << Failed << "AB" << "3000";
        QTest::newRow("two others") << "N M" << Failed << "AB" << "3000";
        QTest::newRow("clicks during the verdict") << "N M A next B" << Failed << "AB" << "3000";
        QTest::newRow("notice") << "A B end N next" << Changing << "AB" << "3000 hide 2000";
        QTest::newRow("next board") << "A B end end" << Prompt << "" << "3000 hide 2000 deal show";
        QTest::newRow("pick on the next board") << "A M end end N" << SecondPick << "N" << "3000 hide 2000 deal show";
    }
    void eachPhaseAnswersEachClick()
    {
        QFETCH(QString, events);
        QFETCH(QString, label);
        QFETCH(QString, markers);
        QFETCH(QString, log);
        Rig r;
        const GameState &s = r.game.state();
        QHash<QChar, Int16> at{{u'A', s.PairPosA}, {u'B', s.PairPosB}};
        for (Int16 i = 0; at.size() < 4; ++i)
            if (i != s.PairPosA && i != s.PairPosB)
                at[at.contains(u'N') ? u'M' : u'N'] = i;
        for (const QString &event : events.split(u' '))
            event == "next" ? r.game.Command2_Click()
            : event == "end" ? std::exchange(r.pending, {})()
                             : r.game.Command1_Click(at[event[0]]);
        QSet<int> expected;
        for (QChar role : markers)
            expected.insert(at[role]);
        QVERIFY(r.markers == expected);
        QCOMPARE(r.label, label);
        QCOMPARE(r.log.join(u' '), log);
    }

    // The pause never ends early, and the event loop runs meanwhile.
    void timerPauseLastsItsLengthWithoutBlocking()
    {
        TimerPauses pauses;
        QStringList order;
        QElapsedTimer clock;
        clock.start();
        pauses.pause(40ms, [&] { order << QString::number(clock.elapsed()); });
        QTimer::singleShot(0, [&] { order << "posted"; });
        QTRY_COMPARE(order.size(), 2);
        QCOMPARE(order[0], "posted");
        QVERIFY2(order[1].toInt() >= 40 && order[1].toInt() < 90, qPrintable(order[1]));
    }
};

QTEST_GUILESS_MAIN(RulesTest)
#include "rules_test.moc"
