#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QRegion>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

// The real program on a real X display: what the player sees, sampled at the layout's pixels.
namespace {

constexpr int ColumnLeft[] = {40, 152, 264, 384, 504};
constexpr int ButtonTop[] = {32, 128, 224, 320};
const QRect Label(112, 32, 577, 49);

/// Character button i in window coordinates: the board panel starts at (64, 120).
QRect buttonRect(int i)
{
    return QRect(64 + ColumnLeft[i % 5], 120 + ButtonTop[i / 5], 81, 65);
}

QList<QRect> allButtons()
{
    QList<QRect> buttons{QRect(712, 152, 41, 41), QRect(712, 464, 41, 41)}; // "次", "終"
    for (int i = 0; i < 20; ++i)
        buttons << buttonRect(i);
    return buttons;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000))
        process.kill();
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QRgb background(const QImage &image)
{
    return image.pixel(0, 0);
}

bool inked(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != background(image))
                return true;
    return false;
}

} // namespace

class ScreenTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        const QString runtime = home.filePath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkdir(runtime));
        QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
        game.setProcessEnvironment(environment);
        game.start(QStringLiteral(KOVELITH_EXE), {});
        QVERIFY(game.waitForStarted());

        window = run("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^ぬもさけり？$"}).section(u'\n', 0, 0);
        QVERIFY2(!window.isEmpty(), "the window never appeared");
        const QString geometry = run("xdotool", {"getwindowgeometry", "--shell", window});
        auto value = [&](const char *key) {
            return QRegularExpression(QStringLiteral("%1=(-?\\d+)").arg(key)).match(geometry).captured(1).toInt();
        };
        client = QRect(value("X"), value("Y"), value("WIDTH"), value("HEIGHT"));
        QCOMPARE(client.size(), QSize(767, 583));

        // Painted once the label shows the prompt and the last button its frame.
        const QPoint lastFrame(buttonRect(19).center().x(), buttonRect(19).top());
        QTRY_VERIFY_WITH_TIMEOUT((shot = grab(), inked(shot, Label) && shot.pixel(lastFrame) != background(shot)),
                                 15000);
    }

    void cleanupTestCase()
    {
        game.kill();
        game.waitForFinished();
    }

    void windowManagerIsToldItCannotBeResizedOrMaximised()
    {
        const QString hints = run("xprop", {"-id", window, "WM_NORMAL_HINTS", "_MOTIF_WM_HINTS"});
        QVERIFY2(hints.contains("minimum size: 767 by 583") && hints.contains("maximum size: 767 by 583"),
                 qPrintable(hints));
        // Flags, functions, decorations: neither the minimise and maximise functions nor their boxes.
        const QStringList motif = hints.section(u'=', -1).split(u',');
        QCOMPARE(motif.size(), 5);
        QCOMPARE(motif[1].trimmed().toUInt(nullptr, 16) & (0x1 | 0x8 | 0x10), 0u);
        QCOMPARE(motif[2].trimmed().toUInt(nullptr, 16) & (0x1 | 0x20 | 0x40), 0u);
    }

    // Frame or face on every edge and just inside the rounded corners; the window one pixel out.
    void buttonsAreDrawnWhereTheLayoutPutsThem()
    {
        for (const QRect &r : allButtons()) {
            const QPoint c = r.center();
            for (const QPoint p : {QPoint(r.left(), c.y()), QPoint(r.right(), c.y()), QPoint(c.x(), r.top()),
                                   QPoint(c.x(), r.bottom()), r.topLeft() + QPoint(1, 1), r.topRight() + QPoint(-1, 1),
                                   r.bottomLeft() + QPoint(1, -1), r.bottomRight() + QPoint(-1, -1)})
                QVERIFY2(shot.pixel(p) != background(shot), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
            for (const QPoint p : {QPoint(r.left() - 1, c.y()), QPoint(r.right() + 1, c.y()),
                                   QPoint(c.x(), r.top() - 1), QPoint(c.x(), r.bottom() + 1)})
                QVERIFY2(shot.pixel(p) == background(shot), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        }
    }

    // The gaps between the columns (31 px, then 39 px), the margins, and the markers, which the first
    // deal hides: everywhere outside the label and the buttons the window shows its own background.
    void nothingIsDrawnOutsideTheLabelAndButtons()
    {
        QRegion drawn(Label);
        for (const QRect &button : allButtons())
            drawn += button;
        for (const QRect &a : QRegion(0, 0, 767, 583) - drawn)
            QVERIFY2(!inked(shot, a), qPrintable(QStringLiteral("%1,%2 %3×%4").arg(a.x()).arg(a.y()).arg(a.width())
                                                     .arg(a.height())));
    }

private:
    QImage grab() const
    {
        const QRect &c = client;
        return QGuiApplication::primaryScreen()->grabWindow(0, c.x(), c.y(), c.width(), c.height()).toImage();
    }

    QTemporaryDir home;
    QProcess game;
    QString window;
    QRect client;
    QImage shot;
};

QTEST_MAIN(ScreenTest)
#include "ScreenTest.moc"
