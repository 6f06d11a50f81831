// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QImage>
#include <QtEndian>
#include <QtTest>

#include "resources/Kovelith.xpm"

class IconTest : public QObject {
    Q_OBJECT

private slots:
    void icoIsOne32PixelSixteenColourImageWithAMask()
    {
        QFile file(QStringLiteral(":/Kovelith.ico"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray ico = file.readAll();
        const auto word = [&](qsizetype at) { return qFromLittleEndian<quint16>(ico.constData() + at); };
        QCOMPARE(word(4), 1); // images
        QCOMPARE(ico.mid(6, 3), QByteArray("\x20\x20\x10")); // 32 × 32 pixels, 16 colours
        QCOMPARE(word(12), 4); // bits per pixel
        const qsizetype image = word(18);
        QCOMPARE(word(image + 8), 64); // colours and 1-bit mask stacked
        QCOMPARE(word(image + 14), 4);
    }

    // Decoded through Qt's .ico reader, as the window decodes it.
    void yellowSquareWithCyanGlyphOnTransparentGround()
    {
        const QImage image = QImage(QStringLiteral(":/Kovelith.ico")).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(32, 32));
        int cyan = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb pixel = image.pixel(x, y);
                const bool inside = x >= 5 && x <= 26 && y >= 5 && y <= 26;
                const bool edge = x == 5 || x == 26 || y == 5 || y == 26;
                const bool right = inside ? pixel == qRgb(255, 255, 0) || (pixel == qRgb(0, 255, 255) && !edge)
                                          : qAlpha(pixel) == 0;
                QVERIFY2(right, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                cyan += pixel == qRgb(0, 255, 255);
            }
        QVERIFY(cyan > 0);
    }

    void windowIconAndDesktopPngShowTheSamePicture()
    {
        const QImage ico = QImage(QStringLiteral(":/Kovelith.ico")).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(QImage(kovelith_xpm).convertToFormat(QImage::Format_ARGB32), ico);
        QCOMPARE(QImage(QStringLiteral(KOVELITH_RESOURCES "/kovelith.png")).convertToFormat(QImage::Format_ARGB32), ico);
    }
};

QTEST_GUILESS_MAIN(IconTest)
#include "IconTest.moc"
