// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

bool SingleInstance::claim()
{
    // The runtime directory is the user's own; the temporary directory is the fallback when it
    // cannot be written, with the user's name in the lock's name. Qt names no runtime directory
    // when none is usable, and the lock must not land in "/" then.
    QStringList places;
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        places << runtime + QStringLiteral("/Kovelith.lock");
    places << QDir::tempPath() + QStringLiteral("/Kovelith-%1.lock").arg(qEnvironmentVariable("USER", QStringLiteral("user")));
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
