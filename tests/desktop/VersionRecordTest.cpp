// Compiles the Windows resource script with MinGW's windres and reads the binary .res back, the
// way Windows itself would find the version record and the program file's icon.
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

// Reads past the end give 0, so a missing or cut-off resource fails a comparison instead of crashing.
quint16 word(const QByteArray &b, qsizetype at) { return at + 2 <= b.size() ? qFromLittleEndian<quint16>(b.data() + at) : 0; }
quint32 dword(const QByteArray &b, qsizetype at) { return at + 4 <= b.size() ? qFromLittleEndian<quint32>(b.data() + at) : 0; }
qsizetype align4(qsizetype at) { return (at + 3) & ~qsizetype(3); }

QString readString(const QByteArray &bytes, qsizetype &at)
{
    QString text;
    for (; word(bytes, at) != 0; at += 2)
        text += QChar(word(bytes, at));
    at += 2;
    return text;
}

/// A .res type or name: numbers written "#3", names as they are.
QString readIdentifier(const QByteArray &bytes, qsizetype &at)
{
    if (word(bytes, at) != 0xffff)
        return readString(bytes, at);
    at += 4;
    return u'#' + QString::number(word(bytes, at - 2));
}

/// Resources by "type/name".
QMap<QString, QByteArray> readRes(const QByteArray &bytes)
{
    QMap<QString, QByteArray> resources;
    for (qsizetype at = 0; at + 32 <= bytes.size();) {
        const quint32 dataSize = dword(bytes, at);
        const quint32 headerSize = dword(bytes, at + 4);
        if (headerSize < 32)
            break;
        qsizetype p = at + 8;
        const QString type = readIdentifier(bytes, p);
        const QString name = readIdentifier(bytes, p);
        if (dataSize > 0) // the file starts with an empty entry
            resources.insert(type + u'/' + name, bytes.mid(at + headerSize, dataSize));
        at = align4(at + headerSize + dataSize);
    }
    return resources;
}

/// One block of a version record: a key, a value and the blocks inside it.
struct Block {
    QString key;
    QByteArray value;
    QMap<QString, Block> children;

    QString text() const
    {
        return QString::fromUtf16(reinterpret_cast<const char16_t *>(value.constData()), value.size() / 2).section(QChar(0), 0, 0);
    }
};

Block readBlock(const QByteArray &bytes, qsizetype at)
{
    Block block;
    const qsizetype end = at + word(bytes, at);
    const bool isText = word(bytes, at + 4) == 1;
    const qsizetype valueSize = word(bytes, at + 2) * (isText ? 2 : 1);
    qsizetype p = at + 6;
    block.key = readString(bytes, p);
    p = align4(p);
    block.value = bytes.mid(p, valueSize);
    for (p = align4(p + valueSize); p < end && word(bytes, p) > 0; p = align4(p + word(bytes, p))) {
        const Block child = readBlock(bytes, p);
        block.children.insert(child.key, child);
    }
    return block;
}

} // namespace

class VersionRecordTest : public QObject {
    Q_OBJECT

    QMap<QString, QByteArray> resources;

private slots:
    void initTestCase()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcess windres;
        windres.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // MinGW's default preprocessor is the cross gcc, which the Debian package lacks.
        windres.start(QStringLiteral(KOVELITH_WINDRES),
                      {QStringLiteral("--preprocessor=cpp"), QStringLiteral("-i"), QStringLiteral(KOVELITH_RESOURCES "/Kovelith.rc"),
                       QStringLiteral("-O"), QStringLiteral("res"), QStringLiteral("-o"), dir.filePath(QStringLiteral("Kovelith.res"))});
        QVERIFY2(windres.waitForFinished(30000) && windres.exitCode() == 0,
                 "windres failed; it comes with binutils-mingw-w64-x86-64 (scripts/setup --tests)");
        QFile res(dir.filePath(QStringLiteral("Kovelith.res")));
        QVERIFY(res.open(QIODevice::ReadOnly));
        resources = readRes(res.readAll());
    }

    // A symbolic VS_VERSION_INFO without its header would become a named resource Windows never reads.
    void versionRecordIsNumberedOneAndSaysOnePointZero()
    {
        QVERIFY2(resources.contains(QStringLiteral("#16/#1")), qPrintable(resources.keys().join(u' ')));
        const Block root = readBlock(resources[QStringLiteral("#16/#1")], 0);
        QCOMPARE(root.key, QStringLiteral("VS_VERSION_INFO"));
        QCOMPARE(dword(root.value, 0), 0xfeef04bdu);
        for (qsizetype at : {8, 16}) { // file version, product version
            QCOMPARE(dword(root.value, at), 0x00010000u);
            QCOMPARE(dword(root.value, at + 4), 0u);
        }
    }

    // Japanese strings come out garbled when the script is read in the wrong code page.
    void stringsSitInTheJapaneseUnicodeBlock()
    {
        const Block root = readBlock(resources[QStringLiteral("#16/#1")], 0);
        const Block strings = root.children.value(QStringLiteral("StringFileInfo"));
        QCOMPARE(strings.children.keys(), QStringList{QStringLiteral("041104B0")});
        QMap<QString, QString> values;
        for (const Block &value : strings.children.first().children)
            values.insert(value.key, value.text());
        const QMap<QString, QString> expected{
            {QStringLiteral("ProductName"), QStringLiteral("ぬもさけり？")},
            {QStringLiteral("FileDescription"), QStringLiteral("ぬもさけり？")},
            {QStringLiteral("FileVersion"), QStringLiteral("1.00")},
            {QStringLiteral("ProductVersion"), QStringLiteral("1.00")},
            {QStringLiteral("InternalName"), QStringLiteral("Kovelith")},
            {QStringLiteral("OriginalFilename"), QStringLiteral("Kovelith.exe")},
        };
        QCOMPARE(values, expected);
        const Block translation = root.children.value(QStringLiteral("VarFileInfo")).children.value(QStringLiteral("Translation"));
        QCOMPARE(translation.value, QByteArray::fromHex("1104b004"));
    }

    // An ICON statement numbers its image itself; the program file must show image 30001 of group 1.
    void iconGroupOneHoldsOnlyImage30001TheIcoPicture()
    {
        QStringList icons;
        for (const QString &key : resources.keys())
            if (key.startsWith(QLatin1String("#3/")) || key.startsWith(QLatin1String("#14/")))
                icons.append(key);
        QCOMPARE(icons, (QStringList{QStringLiteral("#14/#1"), QStringLiteral("#3/#30001")}));

        QFile file(QStringLiteral(KOVELITH_RESOURCES "/Kovelith.ico"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray ico = file.readAll();
        const QByteArray image = resources[QStringLiteral("#3/#30001")];
        QCOMPARE(image, ico.mid(dword(ico, 18)));

        // The group directory repeats the .ico's own entry, with the image's id in place of its offset.
        const QByteArray group = resources[QStringLiteral("#14/#1")];
        QCOMPARE(group.size(), 20);
        QCOMPARE(group.left(18), ico.left(18));
        QCOMPARE(word(group, 18), 30001);
    }
};

QTEST_GUILESS_MAIN(VersionRecordTest)
#include "VersionRecordTest.moc"
