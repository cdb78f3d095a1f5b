#pragma once
// Points the per-user and system configuration folders at a temporary
// place and gives the test a settings file (`place` in that place, its
// folders made, holding `text`, an empty root unless given) as
// globals.IniFile, for as long as the object lives. Afterwards the environment and the program's
// paths (IniFile, SettingsFile, MyDocsFolder, AppFolder) are put back as
// they were, so a test may point those elsewhere meanwhile.

#include "core/Globals.h"
#include "support/SavedEnvironment.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

class IsolatedSettings {
public:
    explicit IsolatedSettings(const QByteArray& text = "<r/>", const QString& place = QStringLiteral("Update.xml"))
        : savedIniFile_(globals.IniFile)
        , savedSettingsFile_(globals.SettingsFile)
        , savedMyDocsFolder_(globals.MyDocsFolder)
        , savedAppFolder_(globals.AppFolder)
    {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"}) {
            saved_.keep(name);
            qputenv(name, dir.filePath(name).toUtf8());
        }
        QFile settings(dir.filePath(place));
        QDir().mkpath(QFileInfo(settings).absolutePath());
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

    // Also points the data folders at the temporary place (the system ones
    // still end in /usr/local/share and /usr/share, where the desktop's file
    // types are), lets no $BROWSER open a page and sends the program's
    // requests for the maker's server to `server`.
    void isolateDataAndWeb(const QByteArray& server)
    {
        for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "BROWSER", "TAMSEL_SERVER"})
            saved_.keep(name);
        qputenv("XDG_DATA_HOME", dataHome().toUtf8());
        qputenv("XDG_DATA_DIRS", (dir.filePath("XDG_DATA_DIRS") + ":/usr/local/share:/usr/share").toUtf8());
        qunsetenv("BROWSER");
        qputenv("TAMSEL_SERVER", server);
    }

    // The per-user configuration and data folders ($XDG_CONFIG_HOME,
    // $XDG_DATA_HOME).
    QString configHome() const { return dir.filePath("XDG_CONFIG_HOME"); }
    QString dataHome() const { return dir.filePath("XDG_DATA_HOME"); }

    QTemporaryDir dir;
    QString file;

private:
    QString savedIniFile_, savedSettingsFile_, savedMyDocsFolder_, savedAppFolder_;
    SavedEnvironment saved_;
};
