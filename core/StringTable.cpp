#include "StringTable.h"

#include "Globals.h"

#include <QFile>
#include <QHash>

QHash<int, QString> ParseStringTable(const QByteArray& data)
{
    QHash<int, QString> table;
    for (const QByteArray& rawLine : data.split('\n')) {
        const QString line = QString::fromUtf8(rawLine.endsWith('\r') ? rawLine.chopped(1) : rawLine);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            continue;
        bool ok = false;
        const int id = line.left(tab).toInt(&ok);
        const QString quoted = line.mid(tab + 1);
        if (!ok || quoted.size() < 2 || !quoted.startsWith(u'"') || !quoted.endsWith(u'"'))
            continue;
        QString text;
        text.reserve(quoted.size());
        for (qsizetype i = 1; i < quoted.size() - 1; ++i) {
            QChar c = quoted[i];
            if (c == u'\\' && i + 1 < quoted.size() - 1) {
                const QChar e = quoted[++i];
                c = e == u'n' ? QChar(u'\n') : e == u'r' ? QChar(u'\r') : e == u't' ? QChar(u'\t') : e;
            }
            text += c;
        }
        table.insert(id, text);
    }
    return table;
}

namespace {

// The table of the current program folder, read on first use.
const QHash<int, QString>& table()
{
    static QString loadedFrom;
    static QHash<int, QString> cache;
    const QString path = globals.AppFolder + QStringLiteral("/strings.txt");
    if (path != loadedFrom) {
        QFile f(path);
        cache = f.open(QIODevice::ReadOnly) ? ParseStringTable(f.readAll()) : QHash<int, QString>();
        loadedFrom = path;
    }
    return cache;
}

} // namespace

std::optional<QString> FindResString(int id)
{
    const auto& t = table();
    const auto it = t.constFind(id);
    if (it == t.constEnd())
        return std::nullopt;
    return *it;
}

QString LoadResString(int id)
{
    return FindResString(id).value_or(QString());
}

QIcon LoadResIcon(int id)
{
    return QIcon(globals.AppFolder + QStringLiteral("/icons/%1.png").arg(id));
}
