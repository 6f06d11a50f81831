// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Placement.h"

#include <QRect>
#include <QWidget>

#include <qt_windows.h>

using ui::centredPosition;

namespace {

/// Windows frames the native window as soon as it exists, shown or not: the frame is centred, in
/// Windows' own measures of the window and the monitor (Qt's guess of the frame before the first
/// show can be a few pixels off).
void centreNativeFrame(QWidget &window)
{
    const auto handle = reinterpret_cast<HWND>(window.winId());
    RECT outer;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetWindowRect(handle, &outer) || !GetMonitorInfoW(MonitorFromWindow(handle, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return;
    const RECT &screen = monitor.rcMonitor;
    const QPoint at = centredPosition(QRect(screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top),
                                      QSize(outer.right - outer.left, outer.bottom - outer.top));
    SetWindowPos(handle, nullptr, at.x(), at.y(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

void ui::placeAndShow(QWidget &window)
{
    centreNativeFrame(window);
    window.show();
}
