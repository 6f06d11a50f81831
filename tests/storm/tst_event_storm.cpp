// SPDX-License-Identifier: GPL-3.0-or-later
// A long, seeded storm of clicks against the real window, with the verdict's pauses ended by the
// storm itself, checking after every event that the board, the label and the markers still tell
// one consistent story. Repeat a failing run with KOVELITH_STORM_SEED=<seed>.

#include "Fakes.h"
#include "app/Lifecycle.h"
#include "game/Texts.h"
#include "ui/Form1.h"

#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include <random>

using game::Phase;

namespace {

/// Forwards to the window and counts the boards dealt: a deal writes caption 0 once.
class CountingView final : public game::BoardView {
public:
    explicit CountingView(Form1 &form) : form(form) {}
    long deals = 0;

    void setButtonCaption(game::Int16 position, const QString &caption) override
    {
        deals += position == 0;
        form.setButtonCaption(position, caption);
    }
    void setMarkerVisible(game::Int16 position, bool visible) override { form.setMarkerVisible(position, visible); }
    void setLabelText(const QString &text) override { form.setLabelText(text); }
    void setBoardVisible(bool visible) override { form.setBoardVisible(visible); }
    void processPendingEvents() override { form.processPendingEvents(); }

private:
    Form1 &form;
};

/// What the player sees and the rules remember.
struct Snapshot {
    Phase phase;
    game::Int16 set, pairA, pairB, firstPick, picking;
    QStringList captions;
    quint32 markers; ///< bit i: marker i is shown (by itself; the panel may hide it)
    QString label;
    bool boardShown;
    long deals;
    size_t pausesAsked;
    bool operator==(const Snapshot &) const = default;
};

enum Kind { Click, Next, PauseEnds };

class Storm {
public:
    explicit Storm(quint32 seed) : seed(seed), choice(seed), view(form), game(view, random, pauses)
    {
        connectHandlers(form, game);
        game.loadTables(charsets::buildCharSets(), charsets::buildSetSizes());
        for (const auto &set : game.state().CharSets)
            usable.emplace_back(set.begin(), set.begin() + game.state().SetSizes.at(usable.size()));
        random.seed(seed);
        game.DealBoard();
        form.show();
    }

    /// One event and a turn of the event loop, or a burst of events handled in the same turn.
    void step()
    {
        form.setUpdatesEnabled(choice() % 32 == 0); // painting every step would dominate the run time
        const int burst = choice() % 5 == 0 ? 2 + int(choice() % 5) : 1;
        for (int i = 0; i < burst; ++i) {
            const Kind kind = draw();
            QMetaObject::invokeMethod(&form, [this, kind, position = lastClicked] { run(kind, position); },
                                      Qt::QueuedConnection);
        }
        QCoreApplication::processEvents();
    }

    const quint32 seed;
    long events = 0;
    QString failure;
    std::map<std::pair<Kind, Phase>, long> seen; ///< a storm that never reaches a phase proves little

private:
    Kind draw()
    {
        const int roll = int(choice() % 100);
        if (roll < 38)
            lastClicked = int(choice() % game::PositionCount);
        else if (roll < 53)
            lastClicked = choice() % 2 ? game.state().PairPosA : game.state().PairPosB; // reaches 正解 too
        return roll < 65 ? Click : roll < 73 ? Next : PauseEnds; // 53..64: the last button again
    }

    void run(Kind kind, int position)
    {
        if (!failure.isEmpty())
            return;
        ++events;
        const Snapshot before = snapshot();
        ++seen[{kind, before.phase}];
        if (kind == PauseEnds && pauses.waiting())
            pauses.finish();
        else if (kind != PauseEnds)
            QTest::mouseClick(kind == Click ? form.Command1.at(position) : form.Command2, Qt::LeftButton);
        QString fault = check(kind, before, snapshot());
        if (!fault.isEmpty())
            failure = QStringLiteral("seed %1, event %2: %3").arg(seed).arg(events).arg(fault);
    }

    Snapshot snapshot() const
    {
        const auto &s = game.state();
        Snapshot shot{game.phase(), s.CurrentSet, s.PairPosA, s.PairPosB, s.FirstPick, s.Picking, {}, 0,
                      form.Label1->text(), !form.Picture1->isHidden(), view.deals, pauses.lengths.size()};
        for (int i = 0; i < game::PositionCount; ++i) {
            shot.captions << form.Command1[i]->text();
            shot.markers |= quint32(!form.Picture3[i]->isHidden()) << i;
        }
        return shot;
    }

    QString check(Kind kind, const Snapshot &before, const Snapshot &s) const
    {
        const QSet<QString> distinct(s.captions.begin(), s.captions.end());
        if (s.set < 0 || s.set >= game.state().SetCount || !usable[s.set].contains(distinct)
            || distinct.size() != game::PositionCount - 1 || s.pairA == s.pairB
            || s.captions[s.pairA] != s.captions[s.pairB])
            return "the board does not hold exactly one pair of the current set";
        const bool notice = s.label == game::texts::Changing;
        const bool verdict = notice || s.label == game::texts::Correct || s.label == game::texts::Failed;
        const bool shows = s.phase == Phase::NoPick ? s.label == game::texts::Prompt && !s.markers && !s.picking
                           : s.phase == Phase::OnePick ? s.label == game::texts::SecondPick && s.picking
                                                           && s.markers == 1u << s.firstPick
                                                       : verdict && s.picking && s.markers == (1u << s.pairA | 1u << s.pairB);
        if (!shows || s.boardShown == notice)
            return "the label, markers or board panel do not match the pick state";
        if (pauses.waiting() != (s.phase == Phase::Verdict)
            || (verdict && pauses.lengths.back() != (notice ? game::Game::NoticePause : game::Game::RevealPause)))
            return "the pending pause does not match the verdict step";

        // During a verdict only the end of its pause counts; outside one, a pause ending is nothing.
        if ((before.phase == Phase::Verdict) != (kind == PauseEnds))
            return s == before ? QString() : "an event that must be ignored changed the game";
        const bool dealt = kind == Next || (kind == PauseEnds && before.label == game::texts::Changing);
        if (s.deals != before.deals + dealt || s.set != (kind == Next ? (before.set + 1) % game.state().SetCount : before.set))
            return "the event did not deal exactly one board of the right set";
        return s.pausesAsked == before.pausesAsked + (verdict && s.label != before.label) ? QString()
                                                                                         : "a verdict started twice";
    }

    std::mt19937 choice;
    Form1 form;
    CountingView view;
    game::ClockSeededRandom random;
    ManualPauses pauses;
    game::Game game;
    std::vector<QSet<QString>> usable; ///< per set, the members boards may show
    int lastClicked = 0;
};

} // namespace

class EventStormTest : public QObject {
    Q_OBJECT

private slots:
    void stormNeverBreaksTheBoardOrRunsTwoVerdicts()
    {
        const quint32 seed = qEnvironmentVariable("KOVELITH_STORM_SEED", "20240611").toUInt();
        const long count = qEnvironmentVariable("KOVELITH_STORM_EVENTS", "100000").toLong();
        Storm storm(seed);
        while (storm.events < count && storm.failure.isEmpty())
            storm.step();
        QVERIFY2(storm.failure.isEmpty(), qPrintable(storm.failure));
        for (Kind kind : {Click, Next, PauseEnds})
            for (Phase phase : {Phase::NoPick, Phase::OnePick, Phase::Verdict})
                QVERIFY(storm.seen[std::pair(kind, phase)] > count / 1000);
    }
};

QTEST_MAIN(EventStormTest)
#include "tst_event_storm.moc"
