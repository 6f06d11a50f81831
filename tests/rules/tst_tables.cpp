// SPDX-License-Identifier: GPL-3.0-or-later
#include "charsets/CharSets.h"

#include <QSet>
#include <QTest>

class TablesTest : public QObject {
    Q_OBJECT

private slots:
    void tablesHoldTheirInvariants()
    {
        const auto sets = charsets::buildCharSets();
        const auto sizes = charsets::buildSetSizes();
        QCOMPARE(sets.size(), 10u);
        QCOMPARE(sizes.size(), 10u);
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
            // ASCII, kana or CJK ideographs only: full-width letters and surrogates fail here.
            for (const QString &member : sets[k])
                for (const QChar c : member)
                    QVERIFY2((c > u' ' && c < u'\x7F') || (c >= u'\u3040' && c <= u'\u30FF')
                                 || (c >= u'\u4E00' && c <= u'\u9FFF'),
                             qPrintable(member));
        }
        QCOMPARE(total, 287);
    }

    void calledOutCodePointsAndKanaOrder()
    {
        const auto sets = charsets::buildCharSets();
        struct { int set, index; char16_t codePoint; } variants[] = {
            {7, 9, u'\u9589'}, {7, 15, u'\u9587'}, {9, 1, u'\u9D2C'}, {9, 8, u'\u9DAF'},
            {6, 14, u'\u9738'}, {8, 18, u'\u7B5D'}, {9, 9, u'\u9D5E'},
        };
        for (const auto &v : variants)
            QCOMPARE(sets.at(v.set).at(v.index), QString(QChar(v.codePoint)));
        // The ら row stands before the や row; the katakana mirror the hiragana member by member.
        QCOMPARE(QStringList(sets[0].begin() + 35, sets[0].begin() + 43).join(""), "らりるれろやゆよ");
        QCOMPARE(sets[1].size(), sets[0].size());
        for (std::size_t i = 0; i < sets[0].size(); ++i)
            QCOMPARE(sets[1][i], QString(QChar(sets[0][i].at(0).unicode() + 0x60)));
    }
};

QTEST_GUILESS_MAIN(TablesTest)
#include "tst_tables.moc"
