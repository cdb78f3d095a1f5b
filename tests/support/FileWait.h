#pragma once
// Waits for a file another process writes, and reads such a file back.

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QThread>

// True once `path` exists and holds something; false when `ms` ran out first.
inline bool waitForFile(const QString& path, int ms = 10000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly) && !f.readAll().isEmpty())
            return true;
        QThread::msleep(20);
    }
    return false;
}

// The file's text without surrounding white space; empty when unreadable.
inline QString readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
}
