// SPDX-License-Identifier: GPL-3.0-or-later
// Prints where Windows has the game's window, frame included, and the monitor it lies on:
// "left top width height monitor-left monitor-top monitor-width monitor-height". Fails when no such
// window is shown.
#include <windows.h>

#include <cstdio>

int main()
{
    HWND window = FindWindowW(nullptr, L"ぬもさけり？");
    RECT outer;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!window || !IsWindowVisible(window) || !GetWindowRect(window, &outer)
        || !GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return 1;
    const RECT &screen = monitor.rcMonitor;
    std::printf("%ld %ld %ld %ld %ld %ld %ld %ld\n", outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top);
    return 0;
}
