// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SystemColours.h"

#include <qt_windows.h>

namespace ui::colours {

QColor applicationWorkspace(const QPalette &)
{
    // Windows names the colour itself, high-contrast schemes too; Qt's palette has no such role.
    const COLORREF workspace = GetSysColor(COLOR_APPWORKSPACE);
    return QColor(GetRValue(workspace), GetGValue(workspace), GetBValue(workspace));
}

} // namespace ui::colours
