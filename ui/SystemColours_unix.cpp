// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SystemColours.h"

#include <QPalette>

namespace ui::colours {

QColor applicationWorkspace(const QPalette &palette)
{
    // Desktops name no workspace colour, and shade roles such as Dark sit right beside the window
    // colour in many dark schemes. Halfway between the window and its text stands out from the board
    // in every scheme whose text is readable on it, light, dark or high-contrast alike.
    const QColor window = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::WindowText);
    return QColor((window.red() + text.red()) / 2, (window.green() + text.green()) / 2,
                  (window.blue() + text.blue()) / 2);
}

} // namespace ui::colours
