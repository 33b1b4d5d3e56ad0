#include "folder_lock.h"

#include <QSysInfo>
#include <QThread>

// Takes the folder's lock; false when a running copy holds it. Qt itself
// clears a lock that names a dead process, a process of another program or
// an earlier boot. What it keeps is a lock it cannot read (empty or garbage,
// as a power cut leaves it) and one from another machine: such a lock is
// stale unless a running copy still holds the file locked, which Qt's
// removal of a stale lock file checks (a running copy keeps a system lock on it).
bool TakeFolderLock(QLockFile& lock) {
    // A copy that runs for hours must not look stale by age.
    lock.setStaleLockTime(0);
    bool lookedAgain = false;
    for (int attempt = 0; attempt < 4; ++attempt) {
        // Any error but "locked" (a read-only folder) leaves nothing to guard: the program runs as before.
        if (lock.tryLock(0) || lock.error() != QLockFile::LockFailedError) return true;
        qint64 pid = 0;
        QString host, app;
        const bool readable = lock.getLockInfo(&pid, &host, &app);
        if (readable && (host.isEmpty() || host == QSysInfo::machineHostName())) return false;
        if (!readable && !lookedAgain) {
            // A copy starting this moment writes its lock just after creating it: look once more.
            lookedAgain = true;
            QThread::msleep(200);
            continue;
        }
        if (!lock.removeStaleLockFile()) return false;
    }
    return false;
}
