// A long, seeded storm of clicks against the real window, with the verdict's pauses ended by the
// storm itself, checking after every single event that the board, the label and the markers still
// tell one consistent story. Repeat a failing run with KOVELITH_STORM_SEED=<seed>.

#include "Fakes.h"
#include "app/Lifecycle.h"
#include "charsets/CharSets.h"
#include "game/Game.h"
#include "game/Texts.h"
#include "ui/Fonts.h"
#include "ui/Form1.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include <random>

using game::Phase;

namespace {

constexpr quint32 DefaultSeed = 20240611;
constexpr long DefaultEvents = 100000;
const char *const eventNames[] = {"click on button ", "click on 次", "end of the pause"};

/// Forwards to the window and counts whole boards: a deal writes each of the twenty captions once.
class CountingView final : public game::BoardView {
public:
    explicit CountingView(Form1 &form) : form(form) {}
    long captionWrites = 0;

    void setButtonCaption(game::Int16 position, const QString &caption) override
    {
        ++captionWrites;
        form.setButtonCaption(position, caption);
    }
    void setMarkerVisible(game::Int16 position, bool visible) override { form.setMarkerVisible(position, visible); }
    void setLabelText(const QString &text) override { form.setLabelText(text); }
    void setBoardVisible(bool visible) override { form.setBoardVisible(visible); }
    void processPendingEvents() override { form.processPendingEvents(); }

private:
    Form1 &form;
};

/// Everything a player could see or the rules remember, read back from the window where possible.
struct Snapshot {
    Phase phase;
    game::Int16 set, answer, pairA, pairB, firstPick, picking;
    QStringList captions;
    quint32 markers; ///< bit i: marker i is shown (by itself; the panel may hide it)
    QString label;
    bool boardShown;
    long captionWrites;
    size_t pausesAsked;
    bool operator==(const Snapshot &) const = default;
};

struct Event {
    enum Kind { Click, Next, PauseEnds } kind; // names in eventNames
    int position = -1;      ///< the character button of a click
    bool viaMouse = false;  ///< a synthetic mouse press and release rather than click()
};

class Storm {
public:
    explicit Storm(quint32 seed) : seed(seed), choice(seed ^ 0x5eedu), view(form), game(view, random, pauses)
    {
        connectHandlers(form, game);
        game.loadTables(charsets::buildCharSets(), charsets::buildSetSizes());
        for (const auto &set : game.state().CharSets)
            usable.emplace_back(set.begin(), set.begin() + game.state().SetSizes.at(usable.size()));
        random.seed(seed);
        game.DealBoard();
        form.show();
    }

    /// One storm step: a single event and a turn of the event loop, or a burst of events posted
    /// together and handled in one turn.
    void step()
    {
        // Painting costs a hundred times what the rules do; paint in a few steps only, enough to
        // draw the window in states the storm reaches.
        form.setUpdatesEnabled(choice() % 32 == 0);
        if (choice() % 100 < 20) {
            const int burst = 2 + int(choice() % 5);
            for (int i = 0; i < burst; ++i) {
                ++queued;
                QMetaObject::invokeMethod(&form, [this, event = draw()] { --queued; run(event); }, Qt::QueuedConnection);
            }
            while (queued > 0)
                QCoreApplication::processEvents();
        } else {
            run(draw());
            QCoreApplication::processEvents();
        }
    }

    const quint32 seed;
    long events = 0;
    QString failure;
    /// How often each kind of event met each phase: a storm that never reaches a phase proves little.
    std::map<std::pair<int, Phase>, long> seen;

    static QString phaseName(Phase phase)
    {
        return phase == Phase::NoPick ? QStringLiteral("with no pick")
               : phase == Phase::OnePick ? QStringLiteral("with one pick") : QStringLiteral("during a verdict");
    }

private:
    Event draw()
    {
        const int roll = int(choice() % 100);
        const auto &s = game.state();
        Event event{Event::Click};
        event.viaMouse = choice() % 2;
        if (roll < 38)
            event.position = int(choice() % game::PositionCount);
        else if (roll < 53)
            event.position = choice() % 2 ? s.PairPosA : s.PairPosB; // reaches "正解" now and then
        else if (roll < 65)
            event.position = lastClicked; // repeated clicks, withdrawals among them
        else if (roll < 73)
            event.kind = Event::Next;
        else
            event.kind = Event::PauseEnds;
        if (event.kind == Event::Click)
            lastClicked = event.position;
        return event;
    }

    void click(QPushButton *button, bool viaMouse)
    {
        if (viaMouse)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            button->click();
    }

    void run(const Event &event)
    {
        if (!failure.isEmpty())
            return;
        ++events;
        const Snapshot before = snapshot();
        ++seen[{event.kind, before.phase}];
        switch (event.kind) {
        case Event::Click: click(form.Command1.at(event.position), event.viaMouse); break;
        case Event::Next: click(form.Command2, event.viaMouse); break;
        case Event::PauseEnds:
            if (pauses.waiting())
                pauses.finish();
            break;
        }
        const Snapshot after = snapshot();
        QString fault = consistent(after);
        if (fault.isEmpty())
            fault = transition(event, before, after);
        if (!fault.isEmpty())
            failure = QStringLiteral("seed %1, event %2 (%3%4 %5): %6")
                          .arg(seed).arg(events)
                          .arg(eventNames[event.kind], event.kind == Event::Click ? QString::number(event.position) : "",
                               phaseName(before.phase), fault);
    }

    Snapshot snapshot() const
    {
        const auto &s = game.state();
        Snapshot shot{game.phase(), s.CurrentSet, s.AnswerIndex, s.PairPosA, s.PairPosB, s.FirstPick, s.Picking,
                      {}, 0, form.Label1->text(), !form.Picture1->isHidden(), view.captionWrites,
                      pauses.lengths.size()};
        for (int i = 0; i < game::PositionCount; ++i) {
            shot.captions << form.Command1[i]->text();
            if (!form.Picture3[i]->isHidden())
                shot.markers |= 1u << i;
        }
        return shot;
    }

    /// What must hold after any event, whatever it was.
    QString consistent(const Snapshot &s) const
    {
        if (s.set < 0 || s.set >= game.state().SetCount)
            return QStringLiteral("set index %1 out of range").arg(s.set);
        if (view.captionWrites % game::PositionCount != 0)
            return QStringLiteral("a board was dealt only in part");
        QSet<QString> distinct;
        for (const QString &caption : s.captions) {
            if (!usable[s.set].contains(caption))
                return QStringLiteral("caption %1 is not a usable member of set %2").arg(caption).arg(s.set);
            distinct.insert(caption);
        }
        const QString answer = game.state().CharSets[s.set].at(s.answer);
        if (distinct.size() != game::PositionCount - 1 || s.pairA == s.pairB || s.captions[s.pairA] != answer
            || s.captions[s.pairB] != answer)
            return QStringLiteral("the board does not hold exactly one pair, at its pair positions");

        const quint32 pair = 1u << s.pairA | 1u << s.pairB;
        switch (s.phase) {
        case Phase::NoPick:
            if (s.label != game::texts::Prompt || s.markers != 0 || s.picking != 0 || !s.boardShown)
                return QStringLiteral("no pick, but the window shows otherwise");
            break;
        case Phase::OnePick:
            if (s.label != game::texts::SecondPick || s.markers != 1u << s.firstPick || s.picking != 1 || !s.boardShown)
                return QStringLiteral("one pick, but the window shows otherwise");
            break;
        case Phase::Verdict: {
            const bool notice = s.label == game::texts::Changing;
            if (!(notice || s.label == game::texts::Correct || s.label == game::texts::Failed))
                return QStringLiteral("verdict with the label %1").arg(s.label);
            if (s.markers != pair || s.picking != 1 || s.boardShown == notice)
                return QStringLiteral("verdict, but the markers or the board panel show otherwise");
            if (!pauses.waiting() || pauses.lengths.back() != (notice ? game::Game::NoticePause : game::Game::RevealPause))
                return QStringLiteral("verdict without the matching pause pending");
            return {};
        }
        }
        return pauses.waiting() ? QStringLiteral("a pause is pending outside a verdict") : QString();
    }

    /// What the event itself must have changed, and nothing more.
    QString transition(const Event &event, const Snapshot &before, const Snapshot &after) const
    {
        const bool sameBoard = after.set == before.set && after.captions == before.captions
                               && after.captionWrites == before.captionWrites;
        const bool oneNewBoard = after.captionWrites == before.captionWrites + game::PositionCount;
        const bool noPauseAsked = after.pausesAsked == before.pausesAsked;
        const bool inert = before.phase == Phase::Verdict ? event.kind != Event::PauseEnds
                                                          : event.kind == Event::PauseEnds;
        if (inert)
            return after == before ? QString() : QStringLiteral("an event that must be ignored changed the game");

        switch (event.kind) {
        case Event::Click:
            if (!sameBoard)
                return QStringLiteral("a pick changed the board");
            if (before.phase == Phase::NoPick)
                return after.phase == Phase::OnePick && after.firstPick == event.position && noPauseAsked
                           ? QString() : QStringLiteral("a first click did not become the first pick");
            if (event.position == before.firstPick)
                return after.phase == Phase::NoPick && noPauseAsked ? QString()
                                                                    : QStringLiteral("the pick was not withdrawn");
            {
                const bool correct = (1u << before.firstPick | 1u << event.position)
                                     == (1u << before.pairA | 1u << before.pairB);
                return after.phase == Phase::Verdict && after.pausesAsked == before.pausesAsked + 1
                               && after.label == (correct ? game::texts::Correct : game::texts::Failed)
                           ? QString() : QStringLiteral("the second pick did not give the right verdict");
            }
        case Event::Next:
            return after.phase == Phase::NoPick && oneNewBoard && noPauseAsked
                           && after.set == (before.set + 1) % game.state().SetCount
                       ? QString() : QStringLiteral("\"次\" did not deal exactly one board of the next set");
        case Event::PauseEnds:
            if (before.label == game::texts::Changing)
                return after.phase == Phase::NoPick && oneNewBoard && after.set == before.set && noPauseAsked
                           ? QString() : QStringLiteral("the verdict did not end with exactly one board of its set");
            return after.phase == Phase::Verdict && after.label == game::texts::Changing && sameBoard
                           && after.pausesAsked == before.pausesAsked + 1
                       ? QString() : QStringLiteral("the reveal did not give way to the notice");
        }
        return {};
    }

    std::mt19937 choice;
    Form1 form;
    CountingView view;
    game::ClockSeededRandom random;
    ManualPauses pauses;
    game::Game game;
    std::vector<QSet<QString>> usable; ///< per set, the members boards may show
    int lastClicked = 0;
    int queued = 0;
};

} // namespace

class EventStormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ui::fonts::installSubstitutions(); }

    void stormNeverBreaksTheBoardOrRunsTwoVerdicts()
    {
        const quint32 seed = qEnvironmentVariable("KOVELITH_STORM_SEED", QString::number(DefaultSeed)).toUInt();
        const long count = qEnvironmentVariable("KOVELITH_STORM_EVENTS", QString::number(DefaultEvents)).toLong();
        qInfo("storm seed %u, %ld events (KOVELITH_STORM_SEED and KOVELITH_STORM_EVENTS override)", seed, count);

        QElapsedTimer clock;
        clock.start();
        Storm storm(seed);
        while (storm.events < count && storm.failure.isEmpty())
            storm.step();
        if (!storm.failure.isEmpty())
            QFAIL(qPrintable(storm.failure));
        qInfo("%ld events in %lld ms", storm.events, clock.elapsed());

        // Every kind of event must have met every phase, or the storm did not test the rules.
        for (int kind : {Event::Click, Event::Next, Event::PauseEnds})
            for (Phase phase : {Phase::NoPick, Phase::OnePick, Phase::Verdict}) {
                const long met = storm.seen[std::pair(kind, phase)];
                QVERIFY2(met > count / 1000, qPrintable(QStringLiteral("%1 came %2 only %3 times")
                                                            .arg(eventNames[kind], Storm::phaseName(phase)).arg(met)));
            }
    }
};

QTEST_MAIN(EventStormTest)
#include "tst_event_storm.moc"
