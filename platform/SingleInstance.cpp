#include "SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include <memory>

bool PreviousInstanceRunning()
{
    static std::unique_ptr<QLockFile> lock;
    static bool answer = false;
    if (lock)
        return answer;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    lock = std::make_unique<QLockFile>(dir + QStringLiteral("/tamsel.lock"));
    lock->setStaleLockTime(0); // only a dead owner makes the lock stale
    answer = !lock->tryLock(0) && lock->error() == QLockFile::LockFailedError;
    return answer;
}
