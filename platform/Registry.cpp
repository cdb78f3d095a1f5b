#include "Registry.h"

#include "SystemServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QString normaliseKey(const QString& subKey)
{
    QString k = subKey;
    k.replace(u'/', u'\\');
    while (k.startsWith(u'\\'))
        k.remove(0, 1);
    while (k.endsWith(u'\\'))
        k.chop(1);
    return k;
}

QJsonObject loadRoot(RegRoot root)
{
    QFile f(RegistryFile(root));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

// Finds a member by name, letter case ignored; returns its stored name.
QString findMember(const QJsonObject& o, const QString& name)
{
    if (o.contains(name))
        return name;
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
    }
    return QString();
}

} // namespace

QString RegistryFile(RegRoot root)
{
    if (root == RegRoot::LocalMachine)
        return SystemConfigDir() + QStringLiteral("/tamsel/registry.json");
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/tamsel/registry.json");
}

std::optional<RegValue> RegQueryValue(RegRoot root, const QString& subKey, const QString& name)
{
    const QJsonObject all = loadRoot(root);
    const QString keyName = findMember(all, normaliseKey(subKey));
    if (keyName.isEmpty())
        return std::nullopt;
    const QJsonObject key = all.value(keyName).toObject();
    const QString valueName = findMember(key, name);
    if (valueName.isEmpty())
        return std::nullopt;
    const QJsonValue v = key.value(valueName);
    if (v.isString())
        return RegValue{RegType::String, v.toString(), 0};
    if (v.isDouble())
        return RegValue{RegType::Dword, QString(), static_cast<std::uint32_t>(v.toDouble())};
    return std::nullopt;
}

bool RegSetValue(RegRoot root, const QString& subKey, const QString& name, const RegValue& value)
{
    QJsonObject all = loadRoot(root);
    QString keyName = findMember(all, normaliseKey(subKey));
    if (keyName.isEmpty())
        keyName = normaliseKey(subKey);
    QJsonObject key = all.value(keyName).toObject();
    QString valueName = findMember(key, name);
    if (valueName.isEmpty())
        valueName = name;
    const QJsonValue stored = value.type == RegType::String ? QJsonValue(value.text)
                                                            : QJsonValue(static_cast<double>(value.number));
    // The reading state is published at every sentence; a value that is
    // already there is not written again (a write waits for the disk).
    if (key.contains(valueName) && key.value(valueName) == stored)
        return true;
    key.insert(valueName, stored);
    all.insert(keyName, key);

    const QString path = RegistryFile(root);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(QJsonDocument(all).toJson());
    return f.commit();
}

namespace {
QString vbKey(const QString& app, const QString& section)
{
    return QStringLiteral("Software\\VB and VBA Program Settings\\%1\\%2").arg(app, section);
}
} // namespace

bool SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value)
{
    return RegSetValue(RegRoot::CurrentUser, vbKey(app, section), key, RegValue{RegType::String, value, 0});
}

std::optional<QString> GetSetting(const QString& app, const QString& section, const QString& key)
{
    const auto v = RegQueryValue(RegRoot::CurrentUser, vbKey(app, section), key);
    if (!v || v->type != RegType::String)
        return std::nullopt;
    return v->text;
}
