// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace ui::fonts {

namespace {

#ifdef Q_OS_WIN
// The faces the layout was drawn in, then the nearest that Windows ships where those optional
// faces are missing: proportional Gothic faces for the buttons, Mincho faces only for the label.
// Windows knows each under its Japanese and its English name.
const QStringList GothicFaces{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                              QStringLiteral("游ゴシック"), QStringLiteral("Yu Gothic"),
                              QStringLiteral("メイリオ"), QStringLiteral("Meiryo")};
const QStringList MinchoFaces{QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("MS PMincho"),
                              QStringLiteral("游明朝"), QStringLiteral("Yu Mincho"),
                              QStringLiteral("ＭＳ 明朝"), QStringLiteral("MS Mincho")};

QStringList facesToAskFor(const QStringList &faces, const QString &)
{
    return faces;
}
#else
// The same faces are not on Linux: proportional Japanese faces that are, best first.
const QStringList GothicFaces{QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")};
const QStringList MinchoFaces{QStringLiteral("IPAPMincho"), QStringLiteral("Noto Serif CJK JP")};

// Every face asked for that fontconfig lacks costs a full search of the installed fonts at start-up,
// so only the first installed face is named. Without any, the generic face still borrows the
// characters from whatever Japanese face there is.
QStringList facesToAskFor(const QStringList &faces, const QString &generic)
{
    const QStringList installed = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString &face : faces)
        if (installed.contains(face))
            return {face};
    return {generic};
}
#endif

QFont layoutFont(const QStringList &faces, int points)
{
    QFont font(faces);
    // Sized in logical pixels like the layout itself, so text and controls scale together.
    font.setPixelSize(points * 96 / 72);
    font.setBold(true);
    return font;
}

} // namespace

QFont gothic(int points)
{
    static const QStringList faces = facesToAskFor(GothicFaces, QStringLiteral("sans-serif"));
    return layoutFont(faces, points);
}

QFont mincho(int points)
{
    static const QStringList faces = facesToAskFor(MinchoFaces, QStringLiteral("serif"));
    return layoutFont(faces, points);
}

} // namespace ui::fonts
