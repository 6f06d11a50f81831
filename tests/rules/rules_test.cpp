// SPDX-License-Identifier: GPL-3.0-or-later
// The rules without a window: the character tables, dealing, picks and verdicts.
#include "game/Game.h"

#include <QtTest>

using namespace game;

namespace {

/// A game on the built-in tables that keeps what its window was last told, logs deals, board hides
/// and shows and pauses, ends a pause only when the test says so, and draws the scripted values
/// first, then those of the generator's fixed default seed.
struct Rig final : BoardView, Pauses, RandomSource {
    std::array<QString, PositionCount> captions;
    std::array<bool, PositionCount> markers{};
    QString label;
    QStringList log;
    std::function<void()> pending;
    QList<float> script;
    ClockSeededRandom seeded;
    Game game{*this, *this, *this};

    Rig()
    {
        game.loadTables(charsets::buildCharSets(), charsets::buildSetSizes());
        game.DealBoard();
        log.clear();
    }
    void setButtonCaption(Int16 i, const QString &caption) override
    {
        captions.at(i) = caption;
        if (i == 0) // once a deal
            log << "deal";
    }
    void setMarkerVisible(Int16 i, bool visible) override { markers.at(i) = visible; }
    void setLabelText(const QString &text) override { label = text; }
    void setBoardVisible(bool visible) override { log << (visible ? "show" : "hide"); }
    float next() override { return script.isEmpty() ? seeded.next() : script.takeFirst(); }
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
    // Each set's members and size, hashed when the sets were written down: a character changed (a
    // look-alike variant too), added, dropped or moved, or a size changed, shows in its set's place.
    void everyTableHoldsExactlyItsMembers()
    {
        const auto sets = charsets::buildCharSets();
        const auto sizes = charsets::buildSetSizes();
        QStringList digests;
        for (std::size_t k = 0; k < sets.size(); ++k) {
            const QString members = QStringList(sets[k].begin(), sets[k].end()).join(u' ') + QString(" %1").arg(sizes.at(k));
            digests << QCryptographicHash::hash(members.toUtf8(), QCryptographicHash::Sha256).toHex().left(12);
        }
        QCOMPARE(digests.join(u' '), "b0ae200748a9 c22fb1a97801 afdb69dd07cc 92d678fc509b a47513eeff22 "
                                     "54a49f5f3d70 6dd0521dceba 7e4b3c56f796 9269e16a6dae a44b460946a8");
    }

    void everySetDealsExactlyOnePairInTheOrderOfItsDraws()
    {
        // On the hiragana: the pair at 10, then at 0 once 0.52 has repeated 10; the answer お (4),
        // which the pair positions show without a draw; position 1 draws お again and takes ん (44),
        // the floor of 44.55. Then every member in turn, so the rest of the board follows from the draws.
        Rig r;
        r.script = {0.50f, 0.52f, 0.00f, 0.10f, 0.10f, 0.99f};
        for (int member = 0; member < 45; ++member)
            r.script << (member + 0.5f) / 45;
        r.game.DealBoard();
        QCOMPARE(QStringList(r.captions.begin(), r.captions.end()).join(""), "おんあいうえかきくけおこさしすせそたちつ");

        // 次 walks every set and back to the first; each board shows nineteen different usable members.
        const GameState &s = r.game.state();
        for (int set = 0; set < charsets::BuiltInSetCount; ++set) {
            const QSet<QString> usable(s.CharSets[set].begin(), s.CharSets[set].begin() + s.SetSizes[set]);
            QSet<QString> seen;
            for (int deal = 0; deal < 200; ++deal) {
                r.game.DealBoard();
                const QSet<QString> shown(r.captions.begin(), r.captions.end());
                QVERIFY(usable.contains(shown) && shown.size() == 19);
                seen += shown;
            }
            QCOMPARE(seen, usable); // the last usable member is drawn too
            r.game.nextSet();
        }
        QCOMPARE(s.CurrentSet, 0);
        // The largest draw stays below its multiplier.
        QCOMPARE(scaledDraw(20, ClockSeededRandom::fromBits(0xFFFFFFFFu)), 19);
    }

    void eachPhaseAnswersEachClick_data()
    {
        // A and B are the pair's positions, N and M two others; "next" clicks 次, "end" ends a pause.
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("label"); // as the player reads it
        QTest::addColumn<QString>("markers");
        QTest::addColumn<QString>("log"); // deals, board hides and shows, pauses
        QTest::newRow("pick taken back") << "N N" << "ぬもさけり？" << "" << "";
        QTest::newRow("pick taken back, then another") << "N N M" << "もうひとつは？" << "M" << "";
        QTest::newRow("next after a pick") << "N next" << "ぬもさけり？" << "" << "deal";
        QTest::newRow("pair") << "A B" << "正解" << "AB" << "3000";
        QTest::newRow("pair reversed") << "B A" << "正解" << "AB" << "3000";
        QTest::newRow("pair, then other") << "A N" << "失敗" << "AB" << "3000";
        QTest::newRow("other, then pair") << "N B" << "失敗" << "AB" << "3000";
        QTest::newRow("two others") << "N M" << "失敗" << "AB" << "3000";
        QTest::newRow("clicks during the verdict") << "N M A next B" << "失敗" << "AB" << "3000";
        QTest::newRow("notice") << "A B end N next" << "表示が変わります" << "AB" << "3000 hide 2000";
        QTest::newRow("next board") << "A B end end" << "ぬもさけり？" << "" << "3000 hide 2000 deal show";
        QTest::newRow("pick on the next board") << "A M end end N" << "もうひとつは？" << "N" << "3000 hide 2000 deal show";
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
        for (const QString &event : events.split(u' ')) {
            if (event == "next")
                r.game.nextSet();
            else if (event == "end")
                std::exchange(r.pending, {})();
            else
                r.game.pick(at[event[0]]);
        }
        std::array<bool, PositionCount> expected{};
        for (QChar role : markers)
            expected.at(at[role]) = true;
        QVERIFY(r.markers == expected);
        QCOMPARE(r.label, label);
        QCOMPARE(r.log.join(u' '), log);
    }
};

QTEST_GUILESS_MAIN(RulesTest)
#include "rules_test.moc"
