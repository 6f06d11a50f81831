// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

bool SingleInstance::claim()
{
    QStringList places;
#ifdef Q_OS_WIN
    // Every user has a temporary directory of their own (Qt's runtime directory there is the home).
    places << QDir::tempPath() + QStringLiteral("/Kovelith.lock");
#else
    // The runtime directory is the user's own; the temporary directory is the fallback when it
    // cannot be written, with the user's name in the lock's name. Qt names no runtime directory
    // when none is usable, and the lock must not land in "/" then.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        places << runtime + QStringLiteral("/Kovelith.lock");
    places << QDir::tempPath() + QStringLiteral("/Kovelith-%1.lock").arg(qEnvironmentVariable("USER", QStringLiteral("user")));
#endif
    for (const QString &path : places) {
        auto candidate = std::make_unique<QLockFile>(path);
        candidate->setStaleLockTime(0); // a live copy's lock never times out
        if (candidate->tryLock(0)) {
            lock = std::move(candidate);
            return true;
        }
        if (candidate->error() == QLockFile::LockFailedError)
            return false;
    }
    return true;
}
