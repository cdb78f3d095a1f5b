#pragma once
// Runs the real program in a home folder of its own, for tests that watch
// it from outside.

#include "support/TempHome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <csignal>

inline QString programDir()
{
    return qEnvironmentVariable("TAMSEL_PROGRAM_DIR");
}

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool putFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

// Runs a command to its end (at most ms) and returns what it printed.
inline QString commandOutput(const QString& program, const QStringList& args, int ms = 5000)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished();
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

template <class Pred>
bool waitUntil(Pred pred, int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (pred())
            return true;
        QThread::msleep(20);
    }
    return pred();
}

// One running copy of the program.
class Program {
public:
    Program(const TempHome& home, const QStringList& args = {}, const QProcessEnvironment& extra = {})
    {
        QProcessEnvironment env = home.environment();
        // On the test desktop the program gets the real display, whatever
        // platform the test process itself runs on.
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            env.insert("QT_QPA_PLATFORM", "offscreen");
        else
            env.remove("QT_QPA_PLATFORM");
        for (const QString& k : extra.keys())
            env.insert(k, extra.value(k));
        proc.setProcessEnvironment(env);
        proc.setProcessChannelMode(QProcess::ForwardedChannels);
        proc.start(programDir() + "/tamsel", args);
        started = proc.waitForStarted(5000);
    }
    ~Program()
    {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(5000);
        }
    }
    bool runningAfter(int ms) { return !proc.waitForFinished(ms) && proc.state() == QProcess::Running; }
    // Ends the program as the desktop would at log-out.
    bool terminate()
    {
        ::kill(static_cast<pid_t>(proc.processId()), SIGTERM);
        return proc.waitForFinished(5000) && proc.exitStatus() == QProcess::NormalExit && proc.exitCode() == 0;
    }

    QProcess proc;
    bool started = false;
};
