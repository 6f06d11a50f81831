// SPDX-License-Identifier: GPL-3.0-or-later
#include "charsets/CharSets.h"

#include <QStringList>

namespace charsets {

namespace {

// Members separated by blanks, in index order. The kana rows keep ら before や, and a few kanji
// are variant forms whose exact code points matter (閇 beside 閉, 鴬 beside 鶯, 霸, 筝, 鵞).
const QString setMembers[BuiltInSetCount] = {
    QStringLiteral("あ い う え お か き く け こ さ し す せ そ た ち つ て と な に ぬ ね の "
                   "は ひ ふ へ ほ ま み む め も ら り る れ ろ や ゆ よ わ ん"),
    QStringLiteral("ア イ ウ エ オ カ キ ク ケ コ サ シ ス セ ソ タ チ ツ テ ト ナ ニ ヌ ネ ノ "
                   "ハ ヒ フ ヘ ホ マ ミ ム メ モ ラ リ ル レ ロ ヤ ユ ヨ ワ ン"),
    QStringLiteral("A B C D E F G H I J K L M N O P Q R S T U V W X Y Z"),
    QStringLiteral("a b c d e f g h i j k l m n o p q r s t u v w x y z"),
    QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20"),
    QStringLiteral("九 七 十 人 二 八 力 刀 丁 又 下 口 三 山 上 夕 千 川 大 丸 工 才 万 刃 巾 "
                   "円 王 月 犬 五 水 中 天 日 木 文 六 元 心 太 玉 田 左 石 右"),
    QStringLiteral("雲 需 震 雪 霜 電 雰 霧 雷 零 霊 露 霞 雫 霸 雹 霖 霙 霰 霹"),
    QStringLiteral("闇 閲 開 閣 間 閑 関 闘 閥 閉 門 閏 閤 閃 閂 閇 閊 閔 閖 閘"),
    QStringLiteral("箇 簡 筋 算 笑 節 笛 筒 箱 筆 符 笠 笹 筑 箔 筍 筧 箒 筝 筥"),
    QStringLiteral("鴛 鴬 鷺 鷹 鳶 鳳 鷲 鴦 鶯 鵞 鶩 鷙 鷽 鸞 鶏 鶴 鵜 鴎 鳩 鵬"),
};

} // namespace

CharSetTable buildCharSets()
{
    CharSetTable sets;
    sets.reserve(BuiltInSetCount);
    for (const QString &members : setMembers) {
        const QStringList split = members.split(u' ');
        sets.emplace_back(split.cbegin(), split.cend());
    }
    return sets;
}

SetSizeTable buildSetSizes()
{
    return {45, 45, 26, 26, 20, 45, 20, 20, 20, 20};
}

} // namespace charsets
