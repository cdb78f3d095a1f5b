#pragma once
// A throw-away home folder with the XDG folders a test process needs.

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>

struct TempHome {
    QTemporaryDir dir;

    TempHome()
    {
        QDir d(dir.path());
        d.mkpath(QStringLiteral(".config"));
        d.mkpath(QStringLiteral("run"));
        QFile::setPermissions(dir.path() + QStringLiteral("/run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString path() const { return dir.path(); }
    QString documents() const { return dir.path() + QStringLiteral("/Documents"); }
    QString settingsFile() const { return documents() + QStringLiteral("/orvenic/vella/Update.xml"); }

    // The environment of a program started in this home.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path() + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.path() + QStringLiteral("/.local/share"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), dir.path() + QStringLiteral("/.cache"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path() + QStringLiteral("/run"));
        env.insert(QStringLiteral("XDG_CONFIG_DIRS"), dir.path() + QStringLiteral("/etc-xdg"));
        // The program asks the maker's server for a message at start: never
        // a real host from a test (nothing listens on the discard port).
        env.insert(QStringLiteral("TAMSEL_SERVER"), QStringLiteral("http://127.0.0.1:9/"));
        return env;
    }
};
