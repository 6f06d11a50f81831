// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Fonts.h"

namespace ui::fonts {

// The faces the layout was drawn in, then the nearest that Windows ships where those optional
// faces are missing: proportional Gothic faces for the buttons, Mincho faces for the label. A
// Windows installed in another language may lack every Mincho face (they come with its optional
// Japanese fonts), but every Windows carries MS PGothic: the label takes it last, a Japanese face
// whose line is one em like MS PMincho's, rather than Qt's default Latin face. Windows knows each
// face under its Japanese and its English name.

QStringList gothicFaces()
{
    return {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("游ゴシック"),
            QStringLiteral("Yu Gothic"), QStringLiteral("メイリオ"), QStringLiteral("Meiryo")};
}

QStringList minchoFaces()
{
    return {QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("MS PMincho"), QStringLiteral("游明朝"),
            QStringLiteral("Yu Mincho"), QStringLiteral("ＭＳ 明朝"), QStringLiteral("MS Mincho"),
            QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic")};
}

} // namespace ui::fonts
