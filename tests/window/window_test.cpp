// SPDX-License-Identifier: GPL-3.0-or-later
// The real window and start-up on Qt's offscreen platform: its controls' places, faces and focus,
// the start-up failure message, and quitting.
#include "../support/ExpectedLayout.h"
#include "app/Lifecycle.h"
#include "app/Startup.h"
#include "game/Game.h"
#include "game/TimerPauses.h"
#include "charsets/CharSets.h"
#include "game/Texts.h"
#include "ui/GameWindow.h"
#include "ui/WholeTextLabel.h"

#include <QtTest>
#include <QtWidgets>

namespace {

/// The window and its game, as the program puts them together, with real pauses.
struct Program {
    GameWindow window;
    game::ClockSeededRandom random;
    game::TimerPauses pauses;
    game::Game game{window, random, pauses};
    Program() { connectHandlers(window, game); }
};

/// Every member of every set, each a caption some character button may carry.
QStringList allMembers()
{
    QStringList members;
    for (const auto &set : charsets::buildCharSets())
        members += QStringList(set.begin(), set.end());
    return members;
}

/// The face fontconfig itself gives a pattern, by its first name; asked through fontconfig's own
/// tool, not as the game asks.
QString fontconfigMatch(const QString &pattern)
{
    QProcess match;
    match.start("fc-match", {"-f", "%{family[0]}", pattern});
    match.waitForFinished();
    return QString::fromUtf8(match.readAllStandardOutput());
}

bool fontconfigHas(const QString &pattern)
{
    const int status = QProcess::execute("fc-list", {"-q", pattern});
    if (status < 0)
        qFatal("fc-list (Debian's fontconfig) did not run"); // or every run would skip
    return status == 0;
}

/// The box of the pixels that a text changes in its control, drawn at the window's scale.
QRect inkOf(QWidget *control, const QString &text)
{
    control->setProperty("text", QString());
    const QImage blank = control->grab().toImage();
    control->setProperty("text", text);
    const QImage shown = control->grab().toImage();
    QRect ink;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != blank.pixel(x, y))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    // Only the game's own handlers may quit here.
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void controlsSitAtTheirPixelsInTheirFacesAndColours()
    {
        GameWindow window;
        QList<std::pair<QWidget *, QRect>> controls{{window.promptLabel, expected::PromptLabel},
            {window.board, expected::Board}, {window.sidePanel, expected::SidePanel},
            {window.nextSetButton, expected::NextSetButton}, {window.quitButton, expected::QuitButton}};
        for (int i = 0; i < game::PositionCount; ++i)
            controls += {{window.characterButtons[i], expected::button(i)}, {window.markers[i], expected::marker(i)}};
        for (const auto &[control, pixels] : controls)
            QVERIFY2(QRect(control->mapTo(&window, QPoint()), control->size()) == pixels, qPrintable(control->objectName()));

        // A shown marker stands out from the board behind it, or a verdict would show no answer: in the
        // light scheme, in the dark one GNOME hands Qt (its Dark role barely darker than the window),
        // and in a grey one with black text, each taken up while the game runs.
        window.setMarkerVisible(7, true);
        const QPalette light = QApplication::palette();
        QPalette dark = light, grey = light;
        for (const auto &[role, colour] : {std::pair{QPalette::Window, 0x323232}, {QPalette::WindowText, 0xffffff},
                                           {QPalette::Button, 0x353535}, {QPalette::Dark, 0x212121}})
            dark.setColor(role, QColor::fromRgb(colour));
        grey.setColor(QPalette::Window, QColor::fromRgb(0x8c8c8c));
        grey.setColor(QPalette::WindowText, Qt::black);
        for (const QPalette &scheme : {dark, grey, light}) {
            QApplication::setPalette(scheme);
            QCoreApplication::processEvents(); // the new palette reaches the widgets through posted events
            const QImage shot = window.grab().toImage();
            // The fill against the panel below, and the one-pixel frame in the text colour against both.
            const QColor panel = shot.pixelColor(expected::marker(7).center() + QPoint(0, 8));
            const QColor fill = shot.pixelColor(expected::marker(7).center());
            const QColor frame = shot.pixelColor(expected::marker(7).topLeft() + QPoint(40, 0));
            for (const auto &[a, b] : {std::pair{fill, panel}, {frame, panel}, {frame, fill}})
                QVERIFY2(std::max({qAbs(a.red() - b.red()), qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())}) >= 48,
                         qPrintable(scheme.window().color().name()));
        }

        // The program file's icon, as drawn in its .ico, is the window's.
        QCOMPARE(window.windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
                 QImage(KOVELITH_RESOURCES "/Kovelith.ico").convertToFormat(QImage::Format_ARGB32));

        // The game's faces, the same in every locale: the proportional IPA faces where installed, else
        // the Japanese Mincho and Gothic faces fontconfig itself prefers. 36 pt bold at 96 dots per
        // inch and 12 pt beside the board, and in each every character its control may show.
        if (!fontconfigHas(":lang=ja"))
            QSKIP("no Japanese face here");
        const auto face = [](const QString &proportional, const QString &kind) {
            return fontconfigHas(proportional) ? proportional : fontconfigMatch(kind + ":lang=ja");
        };
        const QString mincho = face("IPAPMincho", "serif"), gothic = face("IPAPGothic", "sans-serif");
        using namespace game::texts;
        const QList<std::tuple<QWidget *, int, QString, QStringList>> faces{
            {window.promptLabel, 48, mincho, {Prompt, SecondPick, Correct, Failed, Changing}},
            {window.characterButtons[0], 48, gothic, allMembers()}, {window.nextSetButton, 16, gothic, {"次", "終"}}};
        for (const auto &[control, pixels, name, texts] : faces) {
            const QFontInfo info(control->font());
            QVERIFY2(info.pixelSize() == pixels && info.bold() && info.family() == QFontInfo(QFont(name)).family(),
                     qPrintable(control->objectName() + ": " + info.family() + ", not " + name));
            for (const QString &text : texts)
                for (const char32_t ucs4 : text.toUcs4())
                    QVERIFY2(control->fontMetrics().inFontUcs4(ucs4), qPrintable(control->objectName() + ": " + text));
        }
    }

    // Every text of the label and every caption is drawn whole, in whatever face fills in and at the
    // run's scale (QT_SCALE_FACTOR): faces whose lines are taller than the controls once cut them.
    // Its ink keeps a pixel clear of its control's edges.
    void everyTextAndCaptionIsDrawnWhole()
    {
        if (!fontconfigHas(":lang=ja"))
            QSKIP("no Japanese face here");
        GameWindow window;
        using namespace game::texts;
        const QList<std::pair<QWidget *, QStringList>> texts{
            {window.promptLabel, {Prompt, SecondPick, Correct, Failed, Changing}}, {window.characterButtons[0], allMembers()},
            {window.nextSetButton, {"次", "終"}}};
        for (const auto &[control, shown] : texts) {
            const qreal scale = control->devicePixelRatioF();
            const QRect inside(1, 1, qFloor(control->width() * scale) - 2, qFloor(control->height() * scale) - 2);
            for (const QString &text : shown)
                QVERIFY2(inside.contains(inkOf(control, text)), qPrintable(control->objectName() + ": " + text));
        }
    }

    // The label's line, placed from the top, is moved up until its ink keeps a pixel clear of the
    // bottom, or, where the ink is taller than that leaves room for, until the ink is centred.
    void theLabelsInkIsMovedClearOfItsBottomOrCentred()
    {
        // first and last rows of ink, the label's rows, and the shift
        const int cases[][4] = {{3, 40, 49, 0}, {2, 47, 49, 0}, {3, 48, 49, -1}, {1, 48, 49, -1}, {5, 60, 49, -8},
                                {9, 60, 49, -10}};
        for (const auto &[first, last, rows, shift] : cases)
            QVERIFY2(WholeTextLabel::shift(first, last, rows) == shift, qPrintable(QString::number(first)));
    }

    void brokenTableShowsOnlyTheFailureMessage()
    {
        TableSource broken; // too few hiragana to deal a board from
        broken.setSizes = [] { auto sizes = charsets::buildSetSizes(); sizes[0] = 5; return sizes; };
        Program p;
        QString shown;
        // Looked for until it shows, however late on a busy machine.
        QTimer look;
        connect(&look, &QTimer::timeout, &p.window, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown = box->windowTitle() + " " + box->text();
                box->accept();
            }
        });
        look.start(20);
        QTest::ignoreMessage(QtCriticalMsg, "Kovelith did not start: a character set is too small or too large to deal from");
        QVERIFY(!startGame(p.window, p.game, p.random, broken));
        QCOMPARE(shown, "ほずめりさ？ 「ほずめりさ？」の起動に失敗しました");
        QVERIFY(!p.window.isVisible());
    }

    // Tab stops only at "次" and "終", and a click still focuses a character button. Once a verdict
    // has hidden the board and brought the next one, nothing is focused that a stray Space or Enter
    // would press: the window holds the focus, as it does at the start.
    void onlyTheSideButtonsAreTabStopsAndAVerdictLeavesNoButtonFocused()
    {
        GameWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), &window);
        for (QWidget *next : {window.nextSetButton, window.quitButton, window.nextSetButton}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::mouseClick(window.characterButtons[5], Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), window.characterButtons[5]);
        window.setBoardVisible(false);
        window.setBoardVisible(true);
        QCOMPARE(QApplication::focusWidget(), &window);
    }

    // The window starts centred on the primary screen. A close request is never refused, nor
    // answered with a question (the real program's test clicks "終").
    void startsCentredAndACloseDuringAVerdictEndsAtOnce()
    {
        Program p;
        QVERIFY(startGame(p.window, p.game, p.random));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        // No window manager here to tell the frame: the window is centred on its own size.
        QCOMPARE(p.window.frameGeometry().topLeft(),
                 screen.topLeft() + QPoint((screen.width() - p.window.width()) / 2, (screen.height() - p.window.height()) / 2));
        p.window.characterButtons[p.game.state().PairPosA]->click();
        p.window.characterButtons[p.game.state().PairPosB]->click();
        QTimer::singleShot(0, &p.window, &QWidget::close);
        QTimer::singleShot(2000, &p.window, [] { QCoreApplication::exit(99); }); // stuck
        QCOMPARE(QCoreApplication::exec(), 0);
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
