#include "app/Lifecycle.h"
#include "app/Startup.h"
#include "game/Game.h"
#include "ui/Fonts.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

/// The game's pauses shortened by a divisor, on real timers. Tells the test when each pause
/// begins: from then until it ends the window must not change.
class ShortPauses final : public QObject, public game::Pauses {
public:
    explicit ShortPauses(int divisor) : divisor(divisor) {}

    void pause(std::chrono::milliseconds length, std::function<void()> then) override
    {
        QTimer::singleShot(length / divisor, this, [this, then = std::move(then)] {
            ++ended;
            then();
        });
        ++started;
        if (onPause)
            onPause(started);
    }

    int started = 0;
    int ended = 0;
    std::function<void(int)> onPause;

private:
    int divisor;
};

/// What the player sees, and the pick state behind it.
struct Screen {
    QString label;
    QStringList captions;
    QList<bool> markersOwn; ///< each marker's own visibility, whatever its panel does
    QList<bool> markersSeen;
    QList<bool> buttonsOwn;
    QList<bool> buttonsSeen;
    bool boardSeen = false;
    bool sideAndLabelSeen = false;
    QList<int> state;
    bool operator==(const Screen &) const = default;
};

enum Role { PairA, PairB, Other, OtherToo };

struct Round {
    explicit Round(int divisor) : pauses(divisor) { connectHandlers(form, game); }

    Form1 form;
    game::ClockSeededRandom random;
    ShortPauses pauses;
    game::Game game{form, random, pauses};

    void click(int position) { QTest::mouseClick(form.Command1[position], Qt::LeftButton); }
    void clickNext() { QTest::mouseClick(form.Command2, Qt::LeftButton); }

    int position(Role role) const
    {
        const auto &s = game.state();
        QList<int> others;
        for (int i = 0; i < 20; ++i)
            if (i != s.PairPosA && i != s.PairPosB)
                others << i;
        return QList<int>{s.PairPosA, s.PairPosB, others.first(), others.last()}.at(role);
    }

    Screen screen() const
    {
        Screen shot;
        shot.label = form.Label1->text();
        for (int i = 0; i < 20; ++i) {
            shot.captions << form.Command1[i]->text();
            shot.markersOwn << !form.Picture3[i]->isHidden();
            shot.markersSeen << form.Picture3[i]->isVisible();
            shot.buttonsOwn << !form.Command1[i]->isHidden();
            shot.buttonsSeen << form.Command1[i]->isVisible();
        }
        shot.boardSeen = form.Picture1->isVisible();
        shot.sideAndLabelSeen = form.Command2->isVisible() && form.Command3->isVisible() && form.Label1->isVisible();
        const auto &s = game.state();
        shot.state = {s.CurrentSet, s.Picking, s.FirstPick, s.PairPosA, s.PairPosB, s.AnswerIndex};
        return shot;
    }
};

} // namespace

Q_DECLARE_METATYPE(Role)

class RoundTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void verdictRevealsThePairIgnoresClicksAndDealsOnceFromTheSameSet_data();
    void verdictRevealsThePairIgnoresClicksAndDealsOnceFromTheSameSet();
    void quitOrCloseDuringAPauseEndsTheLoopBeforeTheNextStep_data();
    void quitOrCloseDuringAPauseEndsTheLoopBeforeTheNextStep();
    void hiddenBoardKeepsWhatWasWrittenToIt();
};

void RoundTest::initTestCase()
{
    ui::fonts::installSubstitutions();
    // Only the game's own close handler may end the loop in these tests.
    QApplication::setQuitOnLastWindowClosed(false);
}

void RoundTest::verdictRevealsThePairIgnoresClicksAndDealsOnceFromTheSameSet_data()
{
    QTest::addColumn<Role>("first");
    QTest::addColumn<Role>("second");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("pair in order") << PairA << PairB << QStringLiteral("正解");
    QTest::newRow("pair reversed") << PairB << PairA << QStringLiteral("正解");
    QTest::newRow("pair then other") << PairA << Other << QStringLiteral("失敗");
    QTest::newRow("other then pair") << Other << PairB << QStringLiteral("失敗");
    QTest::newRow("two others") << Other << OtherToo << QStringLiteral("失敗");
}

void RoundTest::verdictRevealsThePairIgnoresClicksAndDealsOnceFromTheSameSet()
{
    QFETCH(Role, first);
    QFETCH(Role, second);
    QFETCH(QString, verdict);

    Round r(10);
    QVERIFY(Form_Load(r.form, r.game, r.random));
    r.clickNext(); // a set other than the first, so that falling back to it would show
    const int set = r.game.state().CurrentSet;
    QCOMPARE(set, 1);
    QList<bool> revealed(20, false);
    revealed[r.game.state().PairPosA] = revealed[r.game.state().PairPosB] = true;

    QList<Screen> atStart, afterClicks;
    QList<int> endedAtClicks;
    r.pauses.onPause = [&](int) {
        atStart << r.screen();
        QTimer::singleShot(0, &r.form, [&] {
            for (int i = 0; i < 20; ++i)
                r.click(i);
            r.clickNext();
            endedAtClicks << r.pauses.ended;
            afterClicks << r.screen();
        });
    };
    const int firstPick = r.position(first);
    r.click(firstPick);
    QVERIFY(r.form.Picture3[firstPick]->isVisible());
    QCOMPARE(r.form.Label1->text(), QStringLiteral("もうひとつは？"));
    r.click(firstPick); // taken back
    QCOMPARE(r.form.Label1->text(), QStringLiteral("ぬもさけり？"));
    QCOMPARE(r.screen().markersOwn, QList<bool>(20, false));

    r.click(firstPick);
    r.click(r.position(second));
    QTRY_COMPARE(r.pauses.ended, 2);
    const Screen dealt = r.screen();

    QCOMPARE(atStart.size(), 2);
    QCOMPARE(endedAtClicks, QList<int>({0, 1})); // the clicks really came during the pauses
    QVERIFY2(afterClicks == atStart, "a click during a pause changed the game");

    const Screen &reveal = atStart[0];
    QCOMPARE(reveal.label, verdict);
    QCOMPARE(reveal.markersSeen, revealed);
    QVERIFY(reveal.boardSeen);

    const Screen &notice = atStart[1];
    QCOMPARE(notice.label, QStringLiteral("表示が変わります"));
    QVERIFY(!notice.boardSeen);
    QCOMPARE(notice.markersOwn, revealed);
    QCOMPARE(notice.markersSeen, QList<bool>(20, false));
    QCOMPARE(notice.buttonsOwn, QList<bool>(20, true));
    QCOMPARE(notice.buttonsSeen, QList<bool>(20, false));
    QVERIFY(notice.sideAndLabelSeen);

    QCOMPARE(dealt.label, QStringLiteral("ぬもさけり？"));
    QVERIFY(dealt.boardSeen);
    QCOMPARE(dealt.markersOwn, QList<bool>(20, false));
    QCOMPARE(dealt.buttonsSeen, QList<bool>(20, true));
    QCOMPARE(dealt.state[0], set);
    QCOMPARE(dealt.state[1], 0);
    QCOMPARE(dealt.captions[r.game.state().PairPosA], dealt.captions[r.game.state().PairPosB]);

    // Long enough for a second verdict to have run its course: no other board may follow.
    QTest::qWait(700);
    QCOMPARE(r.pauses.started, 2);
    QVERIFY(r.screen() == dealt);

    const int next = r.position(Other);
    r.click(next);
    QCOMPARE(r.form.Label1->text(), QStringLiteral("もうひとつは？"));
    QVERIFY(r.form.Picture3[next]->isVisible());
}

void RoundTest::quitOrCloseDuringAPauseEndsTheLoopBeforeTheNextStep_data()
{
    QTest::addColumn<bool>("close");
    QTest::addColumn<int>("pause");
    QTest::newRow("終 during the reveal") << false << 1;
    QTest::newRow("終 during the notice") << false << 2;
    QTest::newRow("close request during the reveal") << true << 1;
    QTest::newRow("close request during the notice") << true << 2;
}

void RoundTest::quitOrCloseDuringAPauseEndsTheLoopBeforeTheNextStep()
{
    QFETCH(bool, close);
    QFETCH(int, pause);

    Round r(3);
    QVERIFY(Form_Load(r.form, r.game, r.random));
    QSignalSpy closeRequests(&r.form, &Form1::QueryUnload);
    Screen atQuit;
    bool closeAccepted = false;
    r.pauses.onPause = [&](int started) {
        if (started != pause)
            return;
        QTimer::singleShot(0, &r.form, [&] {
            atQuit = r.screen();
            if (close)
                closeAccepted = r.form.close();
            else
                QTest::mouseClick(r.form.Command3, Qt::LeftButton);
        });
    };
    r.click(r.position(PairA));
    r.click(r.position(PairB));

    QTimer::singleShot(5000, &r.form, [] { QCoreApplication::exit(99); }); // stuck
    QCOMPARE(QCoreApplication::exec(), 0);

    QCOMPARE(r.pauses.ended, pause - 1); // the step after the pause never ran
    QCOMPARE(r.form.Label1->text(), atQuit.label);
    QCOMPARE(r.screen().markersOwn, atQuit.markersOwn);
    QCOMPARE(r.form.Picture1->isHidden(), pause == 2);
    QCOMPARE(closeRequests.count(), close ? 1 : 0);
    QCOMPARE(closeAccepted, close);
}

void RoundTest::hiddenBoardKeepsWhatWasWrittenToIt()
{
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.setMarkerVisible(4, true);

    form.setBoardVisible(false);
    form.setMarkerVisible(7, true);
    form.setMarkerVisible(4, false);
    form.setButtonCaption(9, QStringLiteral("ぬ"));
    for (int i = 0; i < 20; ++i) {
        QVERIFY(!form.Command1[i]->isVisible());
        QVERIFY(!form.Command1[i]->isHidden());
        QCOMPARE(form.Picture3[i]->isHidden(), i != 7);
    }

    form.setBoardVisible(true);
    for (int i = 0; i < 20; ++i) {
        QVERIFY(form.Command1[i]->isVisible());
        QCOMPARE(form.Picture3[i]->isVisible(), i == 7);
    }
    QCOMPARE(form.Command1[9]->text(), QStringLiteral("ぬ"));
}

QTEST_MAIN(RoundTest)
#include "RoundTest.moc"
