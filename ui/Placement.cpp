// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Placement.h"

#include <QRect>

#include <cmath>

QPoint ui::centredPosition(const QRect &screen, QSize outer)
{
    return {screen.x() + int(std::floor(screen.width() / 2.0 - outer.width() / 2.0)),
            screen.y() + int(std::floor(screen.height() / 2.0 - outer.height() / 2.0))};
}
