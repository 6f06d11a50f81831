// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Fonts.h"

#include <QStringList>

namespace ui::fonts {

namespace {

const QString GothicFace = QStringLiteral("ＭＳ Ｐゴシック");
const QString MinchoFace = QStringLiteral("ＭＳ Ｐ明朝");

QFont layoutFont(const QString &face, int points)
{
    QFont font(face);
    // Sized in logical pixels like the layout itself, so text and controls scale together.
    font.setPixelSize(points * 96 / 72);
    font.setBold(true);
    return font;
}

} // namespace

void installSubstitutions()
{
    // fontconfig knows no alias for these faces: unmapped, Qt would fall back to a Latin face
    // and borrow Japanese glyphs from a fixed-width Gothic, even for the Mincho label.
    const QStringList gothics{QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
                              QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")};
    const QStringList minchos{QStringLiteral("IPAPMincho"), QStringLiteral("IPA P明朝"),
                              QStringLiteral("Noto Serif CJK JP"), QStringLiteral("serif")};
    QFont::insertSubstitutions(GothicFace, gothics);
    QFont::insertSubstitutions(QStringLiteral("MS PGothic"), gothics);
    QFont::insertSubstitutions(MinchoFace, minchos);
    QFont::insertSubstitutions(QStringLiteral("MS PMincho"), minchos);
}

QFont gothic(int points)
{
    return layoutFont(GothicFace, points);
}

QFont mincho(int points)
{
    return layoutFont(MinchoFace, points);
}

} // namespace ui::fonts
