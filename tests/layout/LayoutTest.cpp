// SPDX-License-Identifier: GPL-3.0-or-later
#include "charsets/CharSets.h"
#include "game/Texts.h"
#include "ui/Form1.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRawFont>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// The published pixel figures, independent of the twips arithmetic in ui/Layout.h.
constexpr int ColumnLeft[] = {40, 152, 264, 384, 504};
constexpr int ButtonTop[] = {32, 128, 224, 320};
constexpr int MarkerTop[] = {100, 196, 292, 388};
const QSize ClientSize(767, 583);

// Set by the run that re-starts this test at a higher display scale.
constexpr char ScaleVariable[] = "QT_SCALE_FACTOR";

const QStringList LabelTexts{game::texts::Prompt, game::texts::SecondPick, game::texts::Correct,
                             game::texts::Failed, game::texts::Changing};

QStringList allMembers()
{
    QStringList members;
    for (const auto &set : charsets::buildCharSets())
        members += QStringList(set.begin(), set.end());
    return members;
}

QStringList names(const QString &array)
{
    QStringList names;
    for (int i = 0; i < 20; ++i)
        names << QStringLiteral("%1(%2)").arg(array).arg(i);
    return names;
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        form = std::make_unique<Form1>();
    }

    // Also run at higher display scales, where the window grows as a whole.
    void windowHasAFixedSizeAndOnlyTheCloseBox()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("ぬもさけり？"));
        QVERIFY(form->minimumSize() == ClientSize && form->maximumSize() == ClientSize);
        QCOMPARE(form->grab().size(), (QSizeF(ClientSize) * qEnvironmentVariable(ScaleVariable, "1").toDouble()).toSize());
        // Without CustomizeWindowHint the platform adds its default boxes.
        const auto boxes = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint;
        QCOMPARE(form->windowFlags() & (boxes | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint), boxes);
    }

    void controlsSitAtTheirPixels_data()
    {
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<QRect>>("expected");

        QList<QRect> buttons, markers;
        for (int i = 0; i < 20; ++i) {
            buttons << QRect(ColumnLeft[i % 5], ButtonTop[i / 5], 81, 65);
            markers << QRect(ColumnLeft[i % 5], MarkerTop[i / 5], 81, 9);
        }
        QTest::newRow("label") << "Form1" << QStringList{"Label1"} << QList<QRect>{{112, 32, 577, 49}};
        QTest::newRow("panels") << "Form1" << QStringList{"Picture1", "Picture2"}
                                << QList<QRect>{{64, 120, 633, 417}, {704, 120, 57, 417}};
        QTest::newRow("next and quit") << "Picture2" << QStringList{"Command2", "Command3"}
                                       << QList<QRect>{{8, 32, 41, 41}, {8, 344, 41, 41}};
        QTest::newRow("character buttons") << "Picture1" << names("Command1") << buttons;
        QTest::newRow("markers") << "Picture1" << names("Picture3") << markers;
    }

    void controlsSitAtTheirPixels()
    {
        QFETCH(QString, parent);
        QFETCH(QStringList, names);
        QFETCH(QList<QRect>, expected);
        for (int i = 0; i < names.size(); ++i) {
            auto *widget = form->findChild<QWidget *>(names[i]);
            QVERIFY2(widget, qPrintable(names[i]));
            QCOMPARE(widget->parentWidget()->objectName(), parent);
            QCOMPARE(widget->geometry(), expected[i]);
        }
    }

    void columnGapsWidenAndNoControlOverlapsOrLeavesItsContainer()
    {
        for (int column = 0; column < 4; ++column) // gaps of 465 and 585 twips
            QCOMPARE(form->Command1[column + 1]->x() - form->Command1[column]->geometry().right() - 1,
                     (column < 2 ? 465 : 585) / 15);
        for (QWidget *container : {static_cast<QWidget *>(form.get()), form->Picture1, form->Picture2}) {
            const auto children = container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
            for (qsizetype i = 0; i < children.size(); ++i) {
                QVERIFY2(container->rect().contains(children[i]->geometry()), qPrintable(children[i]->objectName()));
                for (qsizetype j = i + 1; j < children.size(); ++j)
                    QVERIFY2(!children[i]->geometry().intersects(children[j]->geometry()),
                             qPrintable(children[i]->objectName() + " / " + children[j]->objectName()));
            }
        }
    }

    void facesAreProportionalJapaneseOfTheRightKind_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("pixelSize"); // 36 pt and 12 pt at 96 dots per inch
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("texts");

        const QString gothic = QStringLiteral("Gothic|ゴシック|Sans");
        QTest::newRow("character buttons") << names("Command1") << 48 << gothic << allMembers();
        QTest::newRow("next and quit") << QStringList{"Command2", "Command3"} << 16 << gothic
                                       << QStringList{"次", "終"};
        QTest::newRow("label") << QStringList{"Label1"} << 48 << "Mincho|明朝|Serif" << LabelTexts;
    }

    void facesAreProportionalJapaneseOfTheRightKind()
    {
        QFETCH(QStringList, names);
        QFETCH(int, pixelSize);
        QFETCH(QString, kind);
        QFETCH(QStringList, texts);
        for (const QString &name : names) {
            const QFont font = form->findChild<QWidget *>(name)->font();
            QVERIFY(font.pixelSize() == pixelSize && font.bold());
        }
        const QFont font = form->findChild<QWidget *>(names.first())->font();
        const QFontInfo info(font);
        QVERIFY2(info.family().contains(QRegularExpression(kind)), qPrintable(info.family()));
        const QFontMetrics metrics(font);
        QVERIFY2(metrics.horizontalAdvance(u'i') < metrics.horizontalAdvance(u'W'), qPrintable(info.family()));

        // Every character must come from the chosen face itself, not from a fallback of another kind.
        const QRawFont raw = QRawFont::fromFont(font);
        QCOMPARE(raw.familyName().toLower(), info.family().toLower());
        for (const QString &text : texts)
            for (const char32_t ucs4 : text.toUcs4())
                QVERIFY2(metrics.inFontUcs4(ucs4) && raw.supportsCharacter(ucs4), qPrintable(text));
    }

    void captionsFitTheirButtonsOnOneLine()
    {
        const QPushButton *button = form->Command1[0];
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        for (const QString &text : allMembers())
            QVERIFY2(contents.contains(button->fontMetrics().boundingRect(contents, Qt::AlignCenter, text)),
                     qPrintable(text));
    }

    // Drawn, not measured: a face whose line box is taller than the label loses ink at its edges.
    // Drawn as the label draws it but unclipped, with blank bands above and below, no ink may reach the bands.
    void labelTextsAreShownWholeOnOneLine()
    {
        const QLabel *label = form->Label1;
        const qreal scale = label->devicePixelRatio();
        const int room = 20;
        const int band = room * scale;
        for (const QString &text : LabelTexts) {
            QVERIFY(label->fontMetrics().horizontalAdvance(text) <= label->contentsRect().width());
            QImage image((QSizeF(label->width(), label->height() + 2 * room) * scale).toSize(), QImage::Format_RGB32);
            image.setDevicePixelRatio(scale);
            image.fill(Qt::white);
            QImage blank = image.copy(0, 0, image.width(), band);
            QPainter painter(&image);
            painter.setFont(label->font());
            painter.drawText(label->contentsRect().translated(0, room), int(label->alignment()) | Qt::TextDontClip, text);
            painter.end();
            QVERIFY2(image.copy(0, 0, image.width(), band) == blank, qPrintable(text));
            QVERIFY2(image.copy(0, image.height() - band, image.width(), band) == blank, qPrintable(text));
        }
    }

    // The frame must not take the style's role that contrasts with Dark (Light), which fades away.
    void markersAreFramedBarsInTheWorkspaceColour()
    {
        const QPalette palette = form->palette();
        for (QFrame *marker : form->Picture3) {
            const QImage bar = marker->grab().toImage();
            QCOMPARE(bar.pixel(80, 8), palette.color(QPalette::WindowText).rgb());
            QCOMPARE(bar.pixel(79, 7), palette.color(QPalette::Dark).rgb());
        }
        // Everything else follows the desktop's colours.
        for (QWidget *widget : form->findChildren<QWidget *>())
            QVERIFY2(!widget->testAttribute(Qt::WA_SetPalette), qPrintable(widget->objectName()));
    }

    void tabOrderRunsLabelBoardSidePanelMarkers()
    {
        const QStringList expected = QStringList{"Label1", "Picture1"} + names("Command1")
            + QStringList{"Picture2", "Command2", "Command3"} + names("Picture3");
        QWidget *widget = form->Label1;
        for (qsizetype i = 1; i < expected.size(); ++i) {
            widget = widget->nextInFocusChain();
            QCOMPARE(widget->objectName(), expected[i]);
        }
        QCOMPARE(form->Label1->focusPolicy(), Qt::NoFocus);
        for (QPushButton *button : form->findChildren<QPushButton *>())
            QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->objectName()));
    }

    void layoutStaysInLogicalPixelsAtHigherScales()
    {
        if (qEnvironmentVariableIsSet(ScaleVariable))
            QSKIP("already running at a chosen scale");
        for (const char *scale : {"1.5", "2"}) {
            qputenv(ScaleVariable, scale);
            const QStringList tests{"windowHasAFixedSizeAndOnlyTheCloseBox", "controlsSitAtTheirPixels",
                                    "facesAreProportionalJapaneseOfTheRightKind", "labelTextsAreShownWholeOnOneLine"};
            QVERIFY2(QProcess::execute(QCoreApplication::applicationFilePath(), tests) == 0, scale);
        }
        qunsetenv(ScaleVariable);
    }

    // The faces are picked once from those installed: without the proportional IPA faces every
    // character must still come from some Japanese face, and without any the window must still paint.
    void startsWithOtherFacesOrNoJapaneseFace()
    {
        if (qEnvironmentVariableIsSet("FONTCONFIG_FILE"))
            QSKIP("already running with chosen faces");
        QTemporaryDir dir;
        const auto runHiding = [&](const QByteArray &globs, const QString &test) {
            QFile config(dir.filePath(QStringLiteral("fonts.conf")));
            config.open(QIODevice::WriteOnly);
            config.write("<?xml version=\"1.0\"?><fontconfig><include>/etc/fonts/fonts.conf</include><selectfont>"
                         "<rejectfont>" + globs + "</rejectfont></selectfont></fontconfig>");
            config.close();
            qputenv("FONTCONFIG_FILE", QFile::encodeName(config.fileName()));
            return QProcess::execute(QCoreApplication::applicationFilePath(), {test});
        };
        QCOMPARE(runHiding("<glob>*/ipagp.ttf</glob><glob>*/ipamp.ttf</glob>", "everyCharacterHasAGlyph"), 0);
        QCOMPARE(runHiding("<glob>*/ipa*</glob><glob>*japanese*</glob>", "windowHasAFixedSizeAndOnlyTheCloseBox"), 0);
        qunsetenv("FONTCONFIG_FILE");
    }

    void everyCharacterHasAGlyph()
    {
        const std::pair<QWidget *, QStringList> shown[] = {
            {form->Command1[0], allMembers()}, {form->Command2, {"次", "終"}}, {form->Label1, LabelTexts}};
        for (const auto &[widget, texts] : shown)
            for (const QString &text : texts)
                for (const char32_t ucs4 : text.toUcs4())
                    QVERIFY2(widget->fontMetrics().inFontUcs4(ucs4), qPrintable(text));
    }

private:
    std::unique_ptr<Form1> form;
};

QTEST_MAIN(LayoutTest)
#include "LayoutTest.moc"
