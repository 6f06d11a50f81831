#include "ui/Form1.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QtEndian>
#include <QtTest>

namespace {

quint16 word(const QByteArray &bytes, qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); }
quint32 dword(const QByteArray &bytes, qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }

bool insideSquare(int x, int y) { return x >= 5 && x <= 26 && y >= 5 && y <= 26; }

const QRgb Yellow = qRgb(255, 255, 0);
const QRgb Cyan = qRgb(0, 255, 255);

} // namespace

class IconTest : public QObject {
    Q_OBJECT

private slots:
    void icoIsOneSixteenColourImageWithTheStandardPalette()
    {
        QFile file(QStringLiteral(":/Kovelith.ico"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray ico = file.readAll();
        QCOMPARE(word(ico, 4), 1); // one image
        QCOMPARE(quint8(ico[6]), 32);
        QCOMPARE(quint8(ico[7]), 32);
        QCOMPARE(quint8(ico[8]), 16); // colours
        QCOMPARE(word(ico, 12), 4); // bits per pixel
        const quint32 offset = dword(ico, 18);
        QCOMPARE(dword(ico, 14), quint32(ico.size()) - offset);
        QCOMPARE(dword(ico, offset + 8), 64u); // colours and mask stacked
        QCOMPARE(word(ico, offset + 14), 4);

        const QList<QRgb> standard{
            qRgb(0, 0, 0), qRgb(128, 0, 0), qRgb(0, 128, 0), qRgb(128, 128, 0),
            qRgb(0, 0, 128), qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(255, 255, 0),
            qRgb(0, 0, 255), qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
        };
        QList<QRgb> palette;
        for (int i = 0; i < 16; ++i)
            palette.append(dword(ico, offset + 40 + 4 * i) | 0xff000000u); // stored as B, G, R, 0
        QCOMPARE(palette, standard);
    }

    // Decodes through Qt's .ico reader, the same way the window gets its icon.
    void yellowSquareAtFiveToTwentySixWithCyanGlyphOnTransparentGround()
    {
        const QImage image = QImage(QStringLiteral(":/Kovelith.ico")).convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!image.isNull(), "no .ico image reader: Qt's qico plugin is missing");
        QCOMPARE(image.size(), QSize(32, 32));
        int cyan = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const QRgb pixel = image.pixel(x, y);
                const QByteArray where = QByteArray::number(x) + ',' + QByteArray::number(y);
                if (!insideSquare(x, y)) {
                    QVERIFY2(qAlpha(pixel) == 0, "opaque outside the square at " + where);
                    continue;
                }
                QVERIFY2(qAlpha(pixel) == 255, "transparent inside the square at " + where);
                const bool edge = x == 5 || x == 26 || y == 5 || y == 26;
                QVERIFY2(pixel == Yellow || (pixel == Cyan && !edge), "wrong colour at " + where);
                cyan += pixel == Cyan;
            }
        }
        QVERIFY2(cyan > 0, "no glyph");
    }

    void desktopPngShowsTheSamePicture()
    {
        const QImage ico = QImage(QStringLiteral(":/Kovelith.ico")).convertToFormat(QImage::Format_ARGB32);
        const QImage png = QImage(QStringLiteral(KOVELITH_RESOURCES "/kovelith.png")).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(png, ico);
    }

    void windowIconLoadsAsOne32PixelImage()
    {
        Form1 form;
        const QIcon icon = form.windowIcon();
        QCOMPARE(icon.availableSizes(), QList<QSize>{QSize(32, 32)});
        QVERIFY(!icon.pixmap(32, 32).isNull());
    }
};

QTEST_MAIN(IconTest)
#include "IconTest.moc"
