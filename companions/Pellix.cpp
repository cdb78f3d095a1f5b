#include "companions/Pellix.h"

#include "core/MessageBox.h"

#include <QProcess>
#include <QStandardPaths>

QList<PellixCommand> PellixCommands()
{
    const QString regsvr32 = QStringLiteral("regsvr32");
    const QStringList controls{QStringLiteral("comdlg32.ocx"), QStringLiteral("mscomctl.ocx"),
                               QStringLiteral("comctl32.ocx"), QStringLiteral("Richtx32.ocx"),
                               QStringLiteral("actskin4.ocx")};
    QList<PellixCommand> commands;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        // The first two pairs write the switches the other way round.
        const QStringList unregister = i < 2 ? QStringList{QStringLiteral("/u"), QStringLiteral("/s")}
                                             : QStringList{QStringLiteral("/s"), QStringLiteral("/u")};
        commands.append({regsvr32, unregister + QStringList{controls[i]}});
        commands.append({regsvr32, QStringList{QStringLiteral("/s"), controls[i]}});
    }
    return commands;
}

bool StartDetachedQuietly(const QString& program, const QStringList& arguments, QString& error)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        error = QStringLiteral("%1 was not found on the search path").arg(program);
        return false;
    }
    QProcess process;
    process.setProgram(path);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        error = process.errorString();
        return false;
    }
    return true;
}

void ShowPellixFailure(const QString& message)
{
    MsgBox(message, vbCritical, QStringLiteral("Pellix"));
}

int RunPellix(const CommandStarter& start, const FailureReport& report)
{
    int started = 0;
    for (const PellixCommand& command : PellixCommands()) {
        QString error;
        if (!start(command.program, command.arguments, error)) {
            report(QStringLiteral("Could not start \"%1\": %2.").arg(command.text(), error));
            break;
        }
        ++started;
    }
    return started;
}
