#include "charsets/CharSets.h"
#include "game/Texts.h"
#include "ui/Fonts.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRawFont>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <memory>

namespace {

// The published pixel figures, independent of the twips arithmetic in ui/Layout.h.
constexpr int ColumnLeft[] = {40, 152, 264, 384, 504}; // gaps 31, 31, 39, 39
constexpr int ButtonTop[] = {32, 128, 224, 320};
constexpr int MarkerTop[] = {100, 196, 292, 388}; // 3 px below each button
const QSize ClientSize(767, 583);

// Set by the run that re-starts this test at a higher display scale.
constexpr char ScaleVariable[] = "QT_SCALE_FACTOR";

QStringList labelTexts()
{
    using namespace game::texts;
    return {Prompt, SecondPick, Correct, Failed, Changing};
}

QStringList allMembers()
{
    QStringList members;
    for (const auto &set : charsets::buildCharSets())
        for (const QString &member : set)
            members << member;
    return members;
}

/// The twenty controls of an array, by object name.
QStringList names(const QString &array)
{
    QStringList names;
    for (int i = 0; i < 20; ++i)
        names << QStringLiteral("%1(%2)").arg(array).arg(i);
    return names;
}

/// Rows of the image that carry anything but the background.
QList<int> inkedRows(const QImage &image, QRgb background)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) {
                rows << y;
                break;
            }
    return rows;
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        ui::fonts::installSubstitutions();
        form = std::make_unique<Form1>();
    }

    void windowCannotBeResizedOrMaximised()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("ぬもさけり？"));
        QCOMPARE(form->size(), ClientSize);
        QCOMPARE(form->minimumSize(), ClientSize);
        QCOMPARE(form->maximumSize(), ClientSize);
        form->resize(1000, 800);
        QCOMPARE(form->size(), ClientSize);

        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags.testFlags(Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testAnyFlags(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        QVERIFY2(flags.testFlag(Qt::CustomizeWindowHint), "without it the platform adds its default boxes");
    }

    void controlsSitAtTheirPixels_data()
    {
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<QRect>>("expected");

        QList<QRect> buttonRects, markerRects;
        for (int i = 0; i < 20; ++i) {
            buttonRects << QRect(ColumnLeft[i % 5], ButtonTop[i / 5], 81, 65);
            markerRects << QRect(ColumnLeft[i % 5], MarkerTop[i / 5], 81, 9);
        }
        QTest::newRow("label") << "Form1" << QStringList{"Label1"} << QList<QRect>{{112, 32, 577, 49}};
        QTest::newRow("panels") << "Form1" << QStringList{"Picture1", "Picture2"}
                                << QList<QRect>{{64, 120, 633, 417}, {704, 120, 57, 417}};
        QTest::newRow("next and quit") << "Picture2" << QStringList{"Command2", "Command3"}
                                       << QList<QRect>{{8, 32, 41, 41}, {8, 344, 41, 41}};
        QTest::newRow("character buttons") << "Picture1" << names("Command1") << buttonRects;
        QTest::newRow("markers") << "Picture1" << names("Picture3") << markerRects;
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

    void noControlOverlapsAnotherOrLeavesItsContainer()
    {
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
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("texts");

        const QString gothic = QStringLiteral("Gothic|ゴシック|Sans");
        // 36 pt and 12 pt at 96 dots per inch.
        QTest::newRow("character buttons") << names("Command1") << "ＭＳ Ｐゴシック" << 48 << gothic << allMembers();
        QTest::newRow("next and quit") << QStringList{"Command2", "Command3"} << "ＭＳ Ｐゴシック" << 16 << gothic
                                       << QStringList{"次", "終"};
        QTest::newRow("label") << QStringList{"Label1"} << "ＭＳ Ｐ明朝" << 48 << "Mincho|明朝|Serif" << labelTexts();
    }

    void facesAreProportionalJapaneseOfTheRightKind()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, face);
        QFETCH(int, pixelSize);
        QFETCH(QString, kind);
        QFETCH(QStringList, texts);
        for (const QString &name : names) {
            const QFont font = form->findChild<QWidget *>(name)->font();
            QCOMPARE(font.family(), face);
            QCOMPARE(font.pixelSize(), pixelSize);
            QVERIFY(font.bold() && !font.italic() && !font.underline() && !font.strikeOut());
        }
        const QFont font = form->findChild<QWidget *>(names.first())->font();
        const QFontInfo info(font);
        QVERIFY2(info.family().contains(QRegularExpression(kind)), qPrintable(info.family()));
        const QFontMetrics metrics(font);
        QVERIFY2(metrics.horizontalAdvance(u'i') < metrics.horizontalAdvance(u'W'),
                 qPrintable(info.family() + " is fixed-width"));

        // Every character must come from the chosen face itself, not from a fallback of another kind.
        const QRawFont raw = QRawFont::fromFont(font);
        QCOMPARE(raw.familyName().toLower(), info.family().toLower());
        for (const QString &text : texts)
            for (const char32_t ucs4 : text.toUcs4())
                QVERIFY2(metrics.inFontUcs4(ucs4) && raw.supportsCharacter(ucs4), qPrintable(text));
    }

    void captionsFitTheirButtonsOnOneLine()
    {
        const QStringList captions = allMembers();
        for (QPushButton *button : {form->Command1[0], form->Command2}) {
            const QStringList texts = button == form->Command2 ? QStringList{"次", "終"} : captions;
            const QFontMetrics metrics(button->font());
            for (const QString &text : texts) {
                QStyleOptionButton option;
                option.initFrom(button);
                option.text = text;
                const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
                const QRect needed = metrics.boundingRect(contents, Qt::AlignCenter, text);
                QVERIFY2(contents.contains(needed),
                         qPrintable(QStringLiteral("%1 needs %2×%3, has %4×%5").arg(text).arg(needed.width())
                                        .arg(needed.height()).arg(contents.width()).arg(contents.height())));
            }
        }
    }

    // Drawn, not measured: a face whose line box is taller than the label loses ink at its edges.
    // Drawn as the label draws it but unclipped, with room above and below, the ink must stay inside.
    void labelTextsAreShownWholeOnOneLine()
    {
        const QLabel *label = form->Label1;
        const int room = 20;
        const qreal scale = label->devicePixelRatio();
        for (const QString &text : labelTexts()) {
            QVERIFY(QFontMetrics(label->font()).horizontalAdvance(text) <= label->contentsRect().width());
            QImage image((QSizeF(label->width(), label->height() + 2 * room) * scale).toSize(), QImage::Format_RGB32);
            image.setDevicePixelRatio(scale);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setFont(label->font());
            painter.drawText(label->contentsRect().translated(0, room), int(label->alignment()) | Qt::TextDontClip, text);
            painter.end();
            const QList<int> rows = inkedRows(image, qRgb(255, 255, 255));
            QVERIFY2(!rows.isEmpty(), qPrintable(text));
            QVERIFY2(rows.first() >= room * scale && rows.last() < (room + label->height()) * scale,
                     qPrintable(QStringLiteral("%1 inks rows %2..%3 of %4..%5").arg(text).arg(rows.first())
                                    .arg(rows.last()).arg(room * scale).arg((room + label->height()) * scale - 1)));
        }
    }

    void markersAreFlatBarsInTheWorkspaceColour()
    {
        // A frame left to the style takes the role that contrasts with Dark, Light, and fades away.
        const QPalette palette = form->palette();
        for (QFrame *marker : form->Picture3) {
            QVERIFY(marker->frameStyle() == (QFrame::Box | QFrame::Plain) && marker->lineWidth() == 1);
            const QImage bar = marker->grab().toImage();
            QCOMPARE(bar.pixel(40, 4), palette.color(QPalette::Dark).rgb());
            QCOMPARE(bar.pixel(0, 0), palette.color(QPalette::WindowText).rgb());
            QCOMPARE(bar.pixel(80, 8), palette.color(QPalette::WindowText).rgb());
        }

        // Everything else looks like the window: default palettes, an opaque label in the window colour.
        for (QWidget *widget : form->findChildren<QWidget *>())
            QVERIFY2(!widget->testAttribute(Qt::WA_SetPalette), qPrintable(widget->objectName()));
        QCOMPARE(form->Label1->backgroundRole(), QPalette::Window);
        QVERIFY(form->Label1->autoFillBackground());
        QVERIFY(!form->Picture1->autoFillBackground() && !form->Picture2->autoFillBackground());
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

    // Run here at the display scale of the environment, and again below at 1.5 and 2.
    void windowScalesAsAWhole()
    {
        const qreal scale = qEnvironmentVariableIsSet(ScaleVariable)
            ? qEnvironmentVariable(ScaleVariable).toDouble() : 1.0;
        QCOMPARE(form->devicePixelRatio(), scale);
        const QPixmap grab = form->grab();
        QCOMPARE(grab.size(), (QSizeF(ClientSize) * scale).toSize());
        QCOMPARE(form->Command1[0]->font().pixelSize(), 48);
    }

    void layoutStaysInLogicalPixelsAtHigherScales_data()
    {
        QTest::addColumn<QString>("scale");
        QTest::newRow("150%") << "1.5";
        QTest::newRow("200%") << "2";
    }

    void layoutStaysInLogicalPixelsAtHigherScales()
    {
        if (qEnvironmentVariableIsSet(ScaleVariable))
            QSKIP("already running at a chosen scale");
        QFETCH(QString, scale);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(ScaleVariable, scale);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {"windowCannotBeResizedOrMaximised", "controlsSitAtTheirPixels",
                     "labelTextsAreShownWholeOnOneLine", "windowScalesAsAWhole"});
        QVERIFY(child.waitForFinished(50000));
        const QStringList lines = QString::fromLocal8Bit(child.readAll()).split(u'\n');
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 qPrintable(lines.filter(QRegularExpression("^(FAIL|   )")).join(u'\n')));
    }

private:
    std::unique_ptr<Form1> form;
};

QTEST_MAIN(LayoutTest)
#include "LayoutTest.moc"
