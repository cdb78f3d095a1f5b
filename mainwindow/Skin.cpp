#include "mainwindow/Skin.h"

#include "core/Globals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QWidget>

namespace {

QString ToSlashes(const QString& path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

// The entry of `folder` called `name`, an exact match first, otherwise the
// first one equal without regard to case. Empty when there is none.
QString MatchEntry(const QDir& folder, const QString& name)
{
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return name;
    if (QFileInfo::exists(folder.filePath(name)))
        return name;
    const QStringList entries = folder.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

// Walks `parts` down from `start`, matching each without regard to case.
QString WalkNoCase(const QString& start, const QStringList& parts)
{
    QString current = start;
    for (const QString& part : parts) {
        const QDir folder(current);
        if (!folder.exists())
            return QString();
        const QString entry = MatchEntry(folder, part);
        if (entry.isEmpty())
            return QString();
        current = folder.filePath(entry);
    }
    const QFileInfo info(current);
    return info.exists() ? QDir::cleanPath(info.absoluteFilePath()) : QString();
}

// Rewrites relative url(...) references so they point beside the skin file;
// Qt would otherwise look them up from the working folder.
QString ResolveImages(const QString& sheet, const QString& skinFolder)
{
    static const QRegularExpression urlRef(
        QStringLiteral(R"(url\(\s*(["']?)([^"')]*)\1\s*\))"),
        QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype last = 0;
    auto it = urlRef.globalMatch(sheet);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString ref = m.captured(2).trimmed();
        QString replacement = m.captured(0);
        const bool relative = !ref.isEmpty() && !ref.startsWith(QLatin1Char(':'))
                              && !ref.startsWith(QLatin1Char('/'))
                              && !ref.startsWith(QLatin1Char('\\')) && !ref.contains(QLatin1String("://"))
                              && QDir::isRelativePath(ToSlashes(ref));
        if (relative) {
            QString found = FindFileNoCase(ref, skinFolder);
            if (found.isEmpty())
                found = QDir::cleanPath(QDir(skinFolder).filePath(ToSlashes(ref)));
            replacement = QStringLiteral("url(\"%1\")").arg(found);
        }
        out += sheet.mid(last, m.capturedStart(0) - last);
        out += replacement;
        last = m.capturedEnd(0);
    }
    out += sheet.mid(last);
    return out;
}

}  // namespace

QString FindFileNoCase(const QString& path, const QString& baseFolder)
{
    QString p = ToSlashes(path).trimmed();
    if (p.isEmpty())
        return QString();
    if (QDir::isRelativePath(p))
        p = QDir(baseFolder).filePath(p);
    p = QDir::cleanPath(p);
    QFileInfo direct(p);
    if (direct.isFile())
        return direct.absoluteFilePath();

    // Keep the longest leading part that exists as it is written, then match
    // the rest piece by piece.
    QStringList parts = p.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QStringList rest;
    QString start;
    while (!parts.isEmpty()) {
        const QString candidate = QLatin1Char('/') + parts.join(QLatin1Char('/'));
        if (QFileInfo(candidate).isDir()) {
            start = candidate;
            break;
        }
        rest.prepend(parts.takeLast());
    }
    if (start.isEmpty())
        start = QStringLiteral("/");
    const QString found = WalkNoCase(start, rest);
    return QFileInfo(found).isFile() ? found : QString();
}

QString FindProgramFile(const QString& name)
{
    QString n = ToSlashes(name).trimmed();
    while (n.startsWith(QLatin1Char('/')))
        n.remove(0, 1);
    if (n.isEmpty() || globals.AppFolder.isEmpty())
        return QString();
    return FindFileNoCase(n, globals.AppFolder);
}

bool Skin::LoadSkin(const QString& path)
{
    loaded_ = false;
    styleSheet_.clear();
    fileName_.clear();

    const QString p = ToSlashes(path).trimmed();
    QString file;
    // A full path is used as given (letter case aside); a bare name, or one
    // with a single leading separator that is not a real path, is a file of
    // the program folder.
    if (!p.isEmpty() && QDir::isAbsolutePath(p))
        file = FindFileNoCase(p, globals.AppFolder);
    if (file.isEmpty())
        file = FindProgramFile(p);
    if (file.isEmpty())
        return false;

    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return false;

    styleSheet_ = ResolveImages(QString::fromUtf8(bytes), QFileInfo(file).absolutePath());
    fileName_ = file;
    loaded_ = true;
    return true;
}

void Skin::ApplySkin(QWidget* target) const
{
    if (target == nullptr || !loaded_)
        return;
    target->setStyleSheet(styleSheet_);
}
