#pragma once
// Points the per-user and system configuration folders at a temporary
// place and gives the test a settings file (Update.xml in that place,
// holding `text`, an empty root unless given) as globals.IniFile, for as
// long as the object lives. Afterwards the environment and the program's
// paths (IniFile, SettingsFile, MyDocsFolder, AppFolder) are put back as
// they were, so a test may point those elsewhere meanwhile.

#include "core/Globals.h"
#include "support/SavedEnvironment.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

class IsolatedSettings {
public:
    explicit IsolatedSettings(const QByteArray& text = "<r/>")
        : savedIniFile_(globals.IniFile)
        , savedSettingsFile_(globals.SettingsFile)
        , savedMyDocsFolder_(globals.MyDocsFolder)
        , savedAppFolder_(globals.AppFolder)
    {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"}) {
            saved_.keep(name);
            qputenv(name, dir.filePath(name).toUtf8());
        }
        QFile settings(dir.filePath("Update.xml"));
        if (settings.open(QIODevice::WriteOnly))
            settings.write(text);
        file = settings.fileName();
        globals.IniFile = file;
    }
    ~IsolatedSettings()
    {
        globals.IniFile = savedIniFile_;
        globals.SettingsFile = savedSettingsFile_;
        globals.MyDocsFolder = savedMyDocsFolder_;
        globals.AppFolder = savedAppFolder_;
        saved_.restore();
    }
    IsolatedSettings(const IsolatedSettings&) = delete;
    IsolatedSettings& operator=(const IsolatedSettings&) = delete;

    // The per-user configuration folder ($XDG_CONFIG_HOME).
    QString configHome() const { return dir.filePath("XDG_CONFIG_HOME"); }

    QTemporaryDir dir;
    QString file;

private:
    QString savedIniFile_, savedSettingsFile_, savedMyDocsFolder_, savedAppFolder_;
    SavedEnvironment saved_;
};
