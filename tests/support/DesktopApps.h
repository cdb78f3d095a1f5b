#pragma once
// Other applications on the test desktop, driven as a user would with
// xdotool: a terminal and a GTK editor whose selection the program reads.
// Used by the desktop tests and the hotkey benchmark.

#include "support/ProgramRun.h"

#include <QProcess>
#include <QStringList>

// Runs a tool to its end (at most ms) and returns its trimmed output.
inline QString runTool(const QString& program, const QStringList& args, int ms = 5000)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished();
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

inline QString xdotool(const QStringList& args)
{
    return runTool(QStringLiteral("xdotool"), args);
}

// What a selection of the display holds now ("primary" or "clipboard").
inline QString selectionText(const QString& selection)
{
    return runTool(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"), selection}, 3000);
}

// The program's hotkeys are in place: it writes a line to the file named by
// TAMSEL_HOTKEY_LOG for each hotkey it takes.
inline bool hotkeyHeld(const QString& hotkeyLog, int id)
{
    for (const QByteArray& line : fileBytes(hotkeyLog).split('\n')) {
        if (line.startsWith(QByteArray::number(id) + ' ') && line.endsWith(" held"))
            return true;
    }
    return false;
}

// How many presses of hotkey id the program has handled to the end: it
// writes a line for each, after its handler has returned.
inline int hotkeyPressesHandled(const QString& hotkeyLog, int id)
{
    int n = 0;
    for (const QByteArray& line : fileBytes(hotkeyLog).split('\n'))
        n += line.startsWith(QByteArray::number(id) + ' ') && line.endsWith(" handled") ? 1 : 0;
    return n;
}

// One application window of its own on the test desktop, with the focus.
class DesktopApp {
public:
    DesktopApp() = default;
    DesktopApp(const DesktopApp&) = delete;
    DesktopApp& operator=(const DesktopApp&) = delete;
    ~DesktopApp() { stop(); }

    // Starts program and waits until its window is shown and has the focus.
    bool start(const QString& program, const QStringList& args, const TempHome& home)
    {
        QProcessEnvironment env = home.environment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        // No session bus or settings daemon on the test desktop.
        env.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
        env.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
        proc.setProcessEnvironment(env);
        proc.setProcessChannelMode(QProcess::MergedChannels);
        proc.setStandardOutputFile(QProcess::nullDevice());
        proc.start(program, args);
        if (!proc.waitForStarted(5000))
            return false;
        const QString pid = QString::number(proc.processId());
        if (!waitUntil(
                [&] {
                    window = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), pid})
                                 .section(u'\n', -1);
                    return !window.isEmpty();
                },
                20000))
            return false;
        return focus();
    }

    // Gives the window the keyboard focus and waits until it has it.
    bool focus()
    {
        return waitUntil(
            [&] {
                if (xdotool({QStringLiteral("getwindowfocus")}) == window)
                    return true;
                xdotool({QStringLiteral("windowactivate"), window});
                return false;
            },
            10000);
    }

    bool running() const { return proc.state() == QProcess::Running; }

    void stop()
    {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(5000);
        }
    }

    QProcess proc;
    QString window;
};
