#include "app/Startup.h"
#include "game/Game.h"
#include "game/TimerPauses.h"
#include "ui/Fonts.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {

/// Counts the Show events of a widget and calls a function on the first.
class ShowWatcher final : public QObject {
public:
    ShowWatcher(QWidget &widget, std::function<void()> onShow) : onShow(std::move(onShow))
    {
        widget.installEventFilter(this);
    }
    int shows = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show && ++shows == 1)
            onShow();
        return false;
    }

private:
    std::function<void()> onShow;
};

struct Window {
    Form1 form;
    game::ClockSeededRandom random;
    game::TimerPauses pauses;
    game::Game game{form, random, pauses};
};

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ui::fonts::installSubstitutions(); }
    void brokenTableShowsOnlyTheFailureMessageAndNeverTheWindow();
    void windowIsFirstSeenCentredWithACompleteBoard();
};

void StartupTest::brokenTableShowsOnlyTheFailureMessageAndNeverTheWindow()
{
    // Too few hiragana for a board: dealing them would look for a free character for ever.
    TableSource broken;
    broken.charSets = [] {
        auto sets = charsets::buildCharSets();
        sets[0].resize(5);
        return sets;
    };
    broken.setSizes = [] {
        auto sizes = charsets::buildSetSizes();
        sizes[0] = 5;
        return sizes;
    };

    Window w;
    ShowWatcher watcher(w.form, [] {});
    int boxesSeen = 0;
    bool looksRight = true;
    QTimer inspector;
    QObject::connect(&inspector, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        ++boxesSeen;
        looksRight = box->icon() == QMessageBox::NoIcon && box->windowTitle() == u"ほずめりさ？"
            && box->text() == u"「ほずめりさ？」の起動に失敗しました" && box->buttons().size() == 1
            && box->standardButtons() == QMessageBox::Ok;
        auto *ok = box->button(QMessageBox::Ok);
        ok ? ok->click() : box->done(0);
    });
    inspector.start(20);

    const bool started = Form_Load(w.form, w.game, w.random, broken);
    inspector.stop();

    QVERIFY(!started);
    QCOMPARE(boxesSeen, 1);
    QVERIFY(looksRight);
    QCOMPARE(watcher.shows, 0);
    QVERIFY(!w.form.isVisible());
}

void StartupTest::windowIsFirstSeenCentredWithACompleteBoard()
{
    Window w;
    QStringList captions;
    QString label;
    int markersShown = -1;
    QRect frame;
    ShowWatcher watcher(w.form, [&] {
        for (auto *button : w.form.Command1)
            captions << button->text();
        label = w.form.Label1->text();
        markersShown = int(std::count_if(w.form.Picture3.begin(), w.form.Picture3.end(),
                                         [](QFrame *marker) { return !marker->isHidden(); }));
        frame = w.form.frameGeometry();
    });

    QVERIFY(Form_Load(w.form, w.game, w.random));
    QCOMPARE(watcher.shows, 1);

    const auto &s = w.game.state();
    QCOMPARE(s.CurrentSet, 0);
    QCOMPARE(captions.size(), 20);
    const auto hiragana = charsets::buildCharSets().at(0);
    const auto drawn = QList<QString>(hiragana.begin(), hiragana.begin() + charsets::buildSetSizes().at(0));
    for (const QString &caption : captions)
        QVERIFY2(drawn.contains(caption), qPrintable(caption));
    QCOMPARE(QSet<QString>(captions.begin(), captions.end()).size(), 19);
    QCOMPARE(captions.at(s.PairPosA), captions.at(s.PairPosB));
    QCOMPARE(label, QStringLiteral("ぬもさけり？"));
    QCOMPARE(markersShown, 0);

    // Twice the centres, so that the half pixel of an odd difference stays an integer.
    const QRect screen = w.form.screen()->geometry();
    QVERIFY2(std::abs(2 * frame.x() + frame.width() - 2 * screen.x() - screen.width()) <= 1, "not centred across");
    QVERIFY2(std::abs(2 * frame.y() + frame.height() - 2 * screen.y() - screen.height()) <= 1, "not centred down");
    QCOMPARE(w.form.frameGeometry(), frame);
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
