// SPDX-License-Identifier: GPL-3.0-or-later
// Prints where Windows has the game's window, frame included, and the screen's size:
// "left top width height screen-width screen-height". Fails when no such window is shown.
#include <windows.h>

#include <cstdio>

int main()
{
    HWND window = FindWindowW(nullptr, L"ぬもさけり？");
    RECT outer;
    if (!window || !IsWindowVisible(window) || !GetWindowRect(window, &outer))
        return 1;
    std::printf("%ld %ld %ld %ld %d %d\n", outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return 0;
}
