#include "core/ServerAddress.h"

#include <QUrl>
#include <QtGlobal>

namespace {

const char kDefaultServer[] = "http://www.lectova.example/";

bool Overridden()
{
    return !qEnvironmentVariable("TAMSEL_SERVER").trimmed().isEmpty();
}

}  // namespace

QString ServerAddress()
{
    QString base = qEnvironmentVariable("TAMSEL_SERVER").trimmed();
    if (base.isEmpty())
        return QString::fromLatin1(kDefaultServer);
    if (!base.contains(QLatin1String("://")))
        base.prepend(QLatin1String("http://"));
    if (!base.endsWith(QLatin1Char('/')))
        base.append(QLatin1Char('/'));
    return base;
}

QString ServerUrl(const QString& pathAndQuery)
{
    QString path = pathAndQuery;
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    return ServerAddress() + path;
}

QString ServerUrlOnPort(int port, const QString& pathAndQuery)
{
    const QString full = ServerUrl(pathAndQuery);
    QUrl url(full, QUrl::TolerantMode);
    if (!url.isValid() || (Overridden() && url.port() != -1))
        return full;
    // Only the authority changes; the path and query stay exactly as given.
    const QString oldAuthority = url.authority();
    url.setPort(port);
    const QString prefix = url.scheme() + QLatin1String("://");
    return prefix + url.authority() + full.mid(prefix.size() + oldAuthority.size());
}
