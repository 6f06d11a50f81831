// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

/// The lock file, opened without following a link and without ever blocking; -1 unless it is a
/// plain file (a FIFO or a device opens, so its kind is checked after opening).
int openLockFile(const QByteArray &path)
{
    const int file = open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    struct stat status {};
    if (file >= 0 && (fstat(file, &status) != 0 || !S_ISREG(status.st_mode))) {
        close(file);
        return -1;
    }
    return file;
}

} // namespace

bool claimSingleInstance()
{
    // Qt names the runtime directory only when the player owns it and nobody else may enter it.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return true;
    const QByteArray path = QFile::encodeName(runtime + QStringLiteral("/Kovelith.lock"));
    int file = openLockFile(path);
    struct stat status {};
    if (file < 0 && lstat(path.constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
        // A link, a FIFO, a directory or a device where the lock goes: removed once (a link's target
        // is left alone), then the lock is made anew.
        if (S_ISDIR(status.st_mode))
            rmdir(path.constData());
        else
            unlink(path.constData());
        file = openLockFile(path);
    }
    if (file < 0)
        return true;
    // Never waits: either the lock is free, whatever the file holds, or a live copy holds it.
    if (flock(file, LOCK_EX | LOCK_NB) == 0)
        return true; // the descriptor stays open on purpose until the process ends
    const bool heldByAnotherCopy = errno == EWOULDBLOCK;
    close(file);
    return !heldByAnotherCopy;
}
