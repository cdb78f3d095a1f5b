#include "ShellExecute.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

QString DefaultApplicationFor(const QString& mimeType)
{
    QProcess p;
    p.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished();
        return QString();
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

namespace {

bool startXdgOpen(const QString& target, const QString& workingDir)
{
    return QProcess::startDetached(QStringLiteral("xdg-open"), {target}, workingDir);
}

bool hasHandlerForFile(const QFileInfo& info)
{
    QMimeDatabase db;
    const QMimeType type = db.mimeTypeForFile(info);
    QStringList candidates{type.name()};
    candidates += type.allAncestors();
    for (const QString& name : candidates) {
        if (!name.isEmpty() && !DefaultApplicationFor(name).isEmpty())
            return true;
    }
    return false;
}

} // namespace

int ShellExecuteOpen(const QString& file, const QString& parameters, const QString& workingDir)
{
    const QString dir = workingDir.isEmpty() ? QDir::currentPath() : workingDir;

    // A web address or other URL with a scheme of two or more letters (one
    // letter would be a drive on the system this program came from).
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]+):"));
    const auto m = scheme.match(file);
    if (m.hasMatch() && !QFileInfo::exists(file)) {
        const QString s = m.captured(1).toLower();
        if (s == u"file")
            return ShellExecuteOpen(QUrl(file).toLocalFile(), parameters, workingDir);
        if (DefaultApplicationFor(QStringLiteral("x-scheme-handler/") + s).isEmpty())
            return 31;
        return startXdgOpen(file, dir) ? kShellOk : 31;
    }

    QString path = file;
    path.replace(u'\\', u'/');
    const QFileInfo info(QDir(dir), path);
    if (!info.exists()) {
        return QFileInfo(info.absolutePath()).isDir() ? 2 : 3;
    }
    if (!info.isReadable())
        return 5;
    if (info.isFile() && info.isExecutable()) {
        const QStringList args = QProcess::splitCommand(parameters);
        return QProcess::startDetached(info.absoluteFilePath(), args, dir) ? kShellOk : 11;
    }
    if (!hasHandlerForFile(info))
        return 31;
    return startXdgOpen(info.absoluteFilePath(), dir) ? kShellOk : 31;
}
