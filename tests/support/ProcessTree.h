#pragma once
// The processes a process started, their children and so on, from /proc.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QList>
#include <QMultiHash>

inline QList<qint64> DescendantsOf(qint64 pid)
{
    QMultiHash<qint64, qint64> children;
    QDirIterator it(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        bool ok = false;
        const qint64 p = it.next().section(QLatin1Char('/'), -1).toLongLong(&ok);
        if (!ok)
            continue;
        // "pid (name) state ppid ...": the name may hold blanks.
        QFile f(QStringLiteral("/proc/%1/stat").arg(p));
        const QByteArray stat = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        const QList<QByteArray> rest = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (rest.size() > 1)
            children.insert(rest.at(1).toLongLong(), p);
    }
    QList<qint64> out{pid};
    for (int i = 0; i < out.size(); ++i)
        out += children.values(out[i]);
    out.removeFirst();
    return out;
}
