#pragma once
// Pellix: unregisters and registers again the five controls of the
// program with `regsvr32`, ten commands started one after the other
// without waiting for any of them.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct PellixCommand {
    QString program;
    QStringList arguments;
    // The command as one line of text ("regsvr32 /u /s comdlg32.ocx").
    QString text() const { return (QStringList{program} + arguments).join(QLatin1Char(' ')); }
};

// The ten commands, in the order they are started.
QList<PellixCommand> PellixCommands();

// Starts a program found on the search path, detached, with no input or
// output and without waiting. False with the reason in `error` when it
// cannot be started.
using CommandStarter = std::function<bool(const QString& program, const QStringList& arguments, QString& error)>;
bool StartDetachedQuietly(const QString& program, const QStringList& arguments, QString& error);

// Shows why a command could not be started, in a message box.
using FailureReport = std::function<void(const QString& message)>;
void ShowPellixFailure(const QString& message);

// Starts the ten commands in order. At the first that cannot be started it
// reports a message naming the command and the reason, and starts none of
// the rest. Returns the number of commands started.
int RunPellix(const CommandStarter& start = StartDetachedQuietly, const FailureReport& report = ShowPellixFailure);
