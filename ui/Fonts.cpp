// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Fonts.h"

namespace ui::fonts {

namespace {

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
    static const QStringList faces = gothicFaces();
    return layoutFont(faces, points);
}

QFont mincho(int points)
{
    static const QStringList faces = minchoFaces();
    return layoutFont(faces, points);
}

} // namespace ui::fonts
