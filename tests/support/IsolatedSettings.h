#pragma once
// Points the per-user and system configuration folders at a temporary
// place and gives the test a settings file holding an empty root, for as
// long as the object lives; the environment is put back afterwards.

#include "core/Globals.h"
#include "support/SavedEnvironment.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <utility>

class IsolatedSettings {
public:
    IsolatedSettings()
    {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"}) {
            saved_.keep(name);
            qputenv(name, dir.filePath(name).toUtf8());
        }
        QFile settings(dir.filePath("Update.xml"));
        if (settings.open(QIODevice::WriteOnly))
            settings.write("<r/>");
        file = settings.fileName();
        globals.IniFile = file;
    }
    ~IsolatedSettings()
    {
        globals.IniFile.clear();
        saved_.restore();
    }
    IsolatedSettings(const IsolatedSettings&) = delete;
    IsolatedSettings& operator=(const IsolatedSettings&) = delete;

    QTemporaryDir dir;
    QString file;

private:
    SavedEnvironment saved_;
};
