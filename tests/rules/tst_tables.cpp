#include "charsets/CharSets.h"

#include <QSet>
#include <QTest>

using charsets::buildCharSets;
using charsets::buildSetSizes;

class TablesTest : public QObject {
    Q_OBJECT

private slots:
    void sizesOrMembersDoNotDriftApart()
    {
        const auto sets = buildCharSets();
        const auto sizes = buildSetSizes();
        QCOMPARE(sizes, (charsets::SetSizeTable{45, 45, 26, 26, 20, 45, 20, 20, 20, 20}));
        QCOMPARE(int(sets.size()), int(charsets::BuiltInSetCount));
        QSet<QString> everywhere;
        int total = 0;
        for (std::size_t k = 0; k < sets.size(); ++k) {
            const QSet<QString> distinct(sets[k].cbegin(), sets[k].cend());
            QCOMPARE(distinct.size(), qsizetype(sets[k].size())); // a repeat would deal two pairs
            QCOMPARE(qsizetype(sizes[k]), qsizetype(sets[k].size()));
            QVERIFY(sizes[k] >= 19 && sizes[k] <= 50);
            QVERIFY2(!everywhere.intersects(distinct), qPrintable(QString::number(k)));
            everywhere.unite(distinct);
            total += int(sets[k].size());
        }
        QCOMPARE(total, 287);
    }

    void variantKanjiKeepTheirCodePoints_data()
    {
        QTest::addColumn<int>("set");
        QTest::addColumn<int>("index");
        QTest::addColumn<char32_t>("codePoint");
        QTest::newRow("閉") << 7 << 9 << U'\u9589';
        QTest::newRow("閇") << 7 << 15 << U'\u9587';
        QTest::newRow("鴬") << 9 << 1 << U'\u9D2C';
        QTest::newRow("鶯") << 9 << 8 << U'\u9DAF';
        QTest::newRow("霸 not 覇") << 6 << 14 << U'\u9738';
        QTest::newRow("筝 not 箏") << 8 << 18 << U'\u7B5D';
        QTest::newRow("鵞 not 鵝") << 9 << 9 << U'\u9D5E';
    }
    void variantKanjiKeepTheirCodePoints()
    {
        QFETCH(int, set);
        QFETCH(int, index);
        QFETCH(char32_t, codePoint);
        QCOMPARE(buildCharSets().at(set).at(index), QString(QChar(char16_t(codePoint))));
    }

    void kanaKeepRaRowBeforeYaRow()
    {
        const auto sets = buildCharSets();
        const QStringList hiragana = {"ら", "り", "る", "れ", "ろ", "や", "ゆ", "よ"};
        for (int i = 0; i < hiragana.size(); ++i)
            QCOMPARE(sets[0].at(35 + i), hiragana[i]);
        // Katakana mirror the hiragana member by member, a fixed distance apart in Unicode.
        QCOMPARE(sets[1].size(), sets[0].size());
        for (std::size_t i = 0; i < sets[0].size(); ++i)
            QCOMPARE(sets[1][i], QString(QChar(sets[0][i].at(0).unicode() + 0x60)));
    }

    void onlyTenToTwentyHaveTwoCharacters()
    {
        QStringList longer;
        for (const auto &set : buildCharSets())
            for (const QString &member : set) {
                QVERIFY(!member.isEmpty());
                if (member.size() != 1)
                    longer << member;
            }
        QStringList expected;
        for (int n = 10; n <= 20; ++n)
            expected << QString::number(n);
        QCOMPARE(longer, expected);
    }

    void everyCharacterComesFromTheExpectedBlocks() // full-width letters and digits fail here
    {
        const auto inBlock = [](char16_t c) {
            return (c > 0x20 && c < 0x7F) || (c >= 0x3040 && c <= 0x309F)
                || (c >= 0x30A0 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF);
        };
        for (const auto &set : buildCharSets())
            for (const QString &member : set)
                for (QChar c : member)
                    QVERIFY2(inBlock(c.unicode()), qPrintable(member)); // surrogates fail here too
    }
};

QTEST_GUILESS_MAIN(TablesTest)
#include "tst_tables.moc"
