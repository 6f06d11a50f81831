// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include <QDir>
#include <qt_windows.h>

#include <string>

bool claimSingleInstance()
{
    // Every player has a temporary directory of their own (Qt's runtime directory there is the home).
    const std::wstring path = QDir::toNativeSeparators(QDir::tempPath() + QStringLiteral("/Kovelith.lock")).toStdWString();
    for (int attempt = 0; attempt < 2; ++attempt) {
        // Shared with nobody while it is open; Windows closes it however the process ends. A link
        // at the path is opened itself, never followed, and nothing is read or written.
        const HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (lock != INVALID_HANDLE_VALUE)
            return true; // left open on purpose until the process ends
        if (GetLastError() == ERROR_SHARING_VIOLATION)
            return false;
        // An empty directory in its place goes; anything else that cannot be opened leaves the game unlocked.
        if (!RemoveDirectoryW(path.c_str()))
            break;
    }
    return true;
}
