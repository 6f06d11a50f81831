// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Lifecycle.h"
#include "app/Startup.h"
#include "game/Game.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>

namespace {

/// What the player sees of the window.
struct Shot {
    explicit Shot(const Form1 &form) : label(form.Label1->text()), frame(form.frameGeometry())
    {
        for (int i = 0; i < 20; ++i) {
            captions << form.Command1[i]->text();
            buttonsSeen += form.Command1[i]->isVisible();
            markersOwn << !form.Picture3[i]->isHidden();
            markersSeen << form.Picture3[i]->isVisible();
        }
        sidesSeen = form.Command2->isVisible() && form.Command3->isVisible() && form.Label1->isVisible();
    }
    QString label;
    QRect frame;
    QStringList captions;
    int buttonsSeen = 0;
    QList<bool> markersOwn; // each marker's own state, whatever its panel does
    QList<bool> markersSeen;
    bool sidesSeen;
};

/// The real window and game, with the game's pauses cut to a tenth on real timers. Records what
/// the window shows at each Show event and as each pause begins.
struct Window final : QObject, game::Pauses {
    Window()
    {
        connectHandlers(form, game);
        form.installEventFilter(this);
    }
    Form1 form;
    game::ClockSeededRandom random;
    game::Game game{form, random, *this};
    QList<Shot> shows;
    QList<Shot> atPause;
    int pausesEnded = 0;
    std::function<void()> onPause = [] {};

    void pause(std::chrono::milliseconds length, std::function<void()> then) override
    {
        QTimer::singleShot(length / 10, this, [this, then = std::move(then)] {
            ++pausesEnded;
            then();
        });
        atPause << Shot(form);
        onPause();
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            shows << Shot(form);
        return false;
    }
    void click(int position) { QTest::mouseClick(form.Command1[position], Qt::LeftButton); }
};

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    // Only the game's own handlers may end the event loop here.
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void brokenTableShowsOnlyTheFailureMessage()
    {
        TableSource broken; // too few hiragana to deal a board from
        broken.setSizes = [] {
            auto sizes = charsets::buildSetSizes();
            sizes[0] = 5;
            return sizes;
        };
        Window w;
        int boxes = 0;
        QTimer inspector;
        QObject::connect(&inspector, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            ++boxes;
            const auto dismiss = qScopeGuard([box] { box->done(0); });
            QCOMPARE(box->windowTitle(), QStringLiteral("ほずめりさ？"));
            QCOMPARE(box->text(), QStringLiteral("「ほずめりさ？」の起動に失敗しました"));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(box->buttons(), QList<QAbstractButton *>{box->button(QMessageBox::Ok)});
        });
        inspector.start(20);

        QVERIFY(!Form_Load(w.form, w.game, w.random, broken));
        QCOMPARE(boxes, 1);
        QCOMPARE(w.shows.size(), 0);
    }

    void firstBoardThenAWholeRound_data()
    {
        QTest::addColumn<bool>("correct");
        QTest::newRow("correct") << true;
        QTest::newRow("wrong") << false;
    }
    void firstBoardThenAWholeRound()
    {
        QFETCH(bool, correct);
        Window w;
        QVERIFY(Form_Load(w.form, w.game, w.random));
        const auto &s = w.game.state();
        QCOMPARE(w.shows.size(), 1);
        const Shot &first = w.shows[0];
        QCOMPARE(QSet<QString>(first.captions.begin(), first.captions.end()).size(), 19);
        QCOMPARE(first.captions[s.PairPosA], first.captions[s.PairPosB]);
        QCOMPARE(first.label, QStringLiteral("ぬもさけり？"));
        QCOMPARE(first.markersOwn, QList<bool>(20, false));
        // Doubled, so that the half pixel of an odd difference stays an integer.
        const QRect screen = w.form.screen()->geometry(), frame = first.frame;
        QVERIFY(std::abs(2 * frame.x() + frame.width() - 2 * screen.x() - screen.width()) <= 1);
        QVERIFY(std::abs(2 * frame.y() + frame.height() - 2 * screen.y() - screen.height()) <= 1);

        QList<bool> pair(20, false);
        pair[s.PairPosA] = pair[s.PairPosB] = true;
        w.click(correct ? s.PairPosA : int(pair.indexOf(false)));
        w.click(s.PairPosB);
        QTRY_COMPARE(w.pausesEnded, 2);

        const Shot &reveal = w.atPause[0], &notice = w.atPause[1];
        QCOMPARE(reveal.label, correct ? QStringLiteral("正解") : QStringLiteral("失敗"));
        QCOMPARE(reveal.markersSeen, pair);
        // The notice hides the board panel with its buttons and markers, which keep their own state.
        QCOMPARE(notice.label, QStringLiteral("表示が変わります"));
        QCOMPARE(notice.buttonsSeen, 0);
        QCOMPARE(notice.markersSeen, QList<bool>(20, false));
        QCOMPARE(notice.markersOwn, pair);
        QVERIFY(notice.sidesSeen);

        const Shot dealt(w.form);
        QCOMPARE(dealt.label, QStringLiteral("ぬもさけり？"));
        QCOMPARE(dealt.buttonsSeen, 20);
        QCOMPARE(dealt.markersSeen, QList<bool>(20, false));
        QCOMPARE(dealt.captions[s.PairPosA], dealt.captions[s.PairPosB]);
    }

    void quitOrCloseDuringAPauseTakesEffectAtOnce_data()
    {
        QTest::addColumn<bool>("close");
        QTest::addColumn<int>("pause");
        QTest::newRow("終 during the reveal") << false << 1;
        QTest::newRow("終 during the notice") << false << 2;
        QTest::newRow("close request during the reveal") << true << 1;
        QTest::newRow("close request during the notice") << true << 2;
    }
    void quitOrCloseDuringAPauseTakesEffectAtOnce()
    {
        QFETCH(bool, close);
        QFETCH(int, pause);
        Window w;
        QVERIFY(Form_Load(w.form, w.game, w.random));
        bool closeAccepted = false;
        w.onPause = [&] {
            if (w.atPause.size() != pause)
                return;
            QTimer::singleShot(0, &w.form, [&] {
                if (close)
                    closeAccepted = w.form.close();
                else
                    QTest::mouseClick(w.form.Command3, Qt::LeftButton);
            });
        };
        w.click(w.game.state().PairPosA);
        w.click(w.game.state().PairPosB);

        QTimer::singleShot(5000, &w.form, [] { QCoreApplication::exit(99); }); // stuck
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(w.pausesEnded, pause - 1); // the step after the pause never ran
        QCOMPARE(closeAccepted, close);
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
