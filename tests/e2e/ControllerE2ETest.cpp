// The program on the test desktop: real hotkeys pressed with xdotool, the
// selection of another application read aloud into the null sink, the tray
// icon and its menu, a second start, and exit.
#include "core/SettingsStore.h"
#include "support/DesktopApps.h"
#include "support/ProgramRun.h"
#include "support/SinkRecorder.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

QString run(const QString& program, const QStringList& args, int ms = 5000)
{
    return runTool(program, args, ms);
}

void press(const QString& keys)
{
    run("xdotool", {"key", "--clearmodifiers", keys});
}

// "free" or "taken": whether another client can grab the combination.
QString grabState(int xmods, const QString& keysym)
{
    return run(programDir() + "/grab_check", {QString::number(xmods), keysym});
}

constexpr int kCtrlAlt = 4 + 8;

// The program's hotkey ids.
constexpr int kPlayPause = 11112;
constexpr int kSwitchFace = 11114;
constexpr int kSpeedUp = 11115;
constexpr int kSlowDown = 11116;
constexpr int kNextVoice = 11117;
constexpr int kStop = 11118;

// The spoken texts the program logged, one per line.
QStringList spoken(const QString& log)
{
    QStringList out;
    for (const QString& line : QString::fromUtf8(fileBytes(log)).split('\n', Qt::SkipEmptyParts))
        out << line.section('\t', 1);
    return out;
}

// Whether the log holds an utterance of text, line breaks and the spaces
// around it aside.
bool spokenText(const QString& log, const QString& text)
{
    const auto plain = [](QString t) {
        return t.replace("\\r", " ").replace("\\n", " ").replace('\n', ' ').simplified();
    };
    for (const QString& entry : spoken(log)) {
        if (plain(entry) == plain(text))
            return true;
    }
    return false;
}

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || SinkRecorder::sink().isEmpty())
            GTEST_SKIP() << "needs the test desktop (DISPLAY and a test sink)";
        ASSERT_EQ(grabState(kCtrlAlt, "r"), "free") << "another program holds the test hotkey";
    }

    // Starts the program with the shipped settings and waits until its
    // hotkeys are in place.
    void startProgram(const QStringList& args = {})
    {
        QProcessEnvironment extra;
        extra.insert("TAMSEL_SPEECH_LOG", log);
        extra.insert("TAMSEL_HOTKEY_LOG", hotkeyLog);
        QFile::remove(hotkeyLog);
        // "3250": the controller alone, in the tray, without a face.
        SinkRecorder greeting;
        ASSERT_TRUE(greeting.start());
        program = std::make_unique<Program>(home, args.isEmpty() ? QStringList{"3250"} : args, extra);
        ASSERT_TRUE(program->started);
        ASSERT_TRUE(waitUntil([&] { return hotkeyHeld(hotkeyLog, kPlayPause); }, 15000))
            << "the Play/Pause hotkey was never registered: " << fileBytes(hotkeyLog).toStdString();
        // The greeting (a second of sound) plays at start: wait until it has
        // been heard and is over.
        ASSERT_TRUE(greeting.waitForSound(SinkRecorder::kRate / 4, 15000)) << "no greeting";
        greeting.stop();
    }

    // Presses keys and waits until the program has handled the press of
    // hotkey id.
    void pressHandled(const QString& keys, int id)
    {
        const int before = hotkeyPressesHandled(hotkeyLog, id);
        press(keys);
        ASSERT_TRUE(waitUntil([&] { return hotkeyPressesHandled(hotkeyLog, id) > before; }, 15000))
            << keys.toStdString() << " was not handled";
    }

    // Another application holding selected text, with the focus.
    void holdSelection(const QString& text, int from, int length)
    {
        holder.setProcessChannelMode(QProcess::SeparateChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM"); // a real window on the test desktop
        holder.setProcessEnvironment(env);
        holder.start(programDir() + "/selection_holder", {text, QString::number(from), QString::number(length)});
        ASSERT_TRUE(holder.waitForStarted(5000));
        ASSERT_TRUE(holder.waitForReadyRead(10000));
        ASSERT_TRUE(holder.readAllStandardOutput().contains("ready"));
    }

    QString setting(const QString& key) { return ReadSetting(home.settingsFile(), "ReadSet", key, ""); }

    // The user copied text: xclip holds the clipboard until another
    // program takes it, and then ends.
    void userCopies(const QString& text)
    {
        ASSERT_TRUE(putFile(home.path() + "/copied.txt", text.toUtf8()));
        clipboardOwner.setStandardOutputFile(QProcess::nullDevice());
        clipboardOwner.start("xclip", {"-quiet", "-selection", "clipboard", "-i", home.path() + "/copied.txt"});
        ASSERT_TRUE(waitUntil([&] { return selectionText("clipboard") == text; }, 5000));
    }

    void TearDown() override
    {
        for (QProcess* p : {&holder, &clipboardOwner}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished();
            }
        }
    }

    TempHome home;
    QString log = home.path() + "/spoken.log";
    QString hotkeyLog = home.path() + "/hotkeys.log";
    std::unique_ptr<Program> program;
    QProcess holder;
    QProcess clipboardOwner;
};

TEST_F(DesktopTest, PlayPauseHotkeyReadsTheSelectionPausesResumesAndStops)
{
    startProgram();
    const QString text = "Some words before. The quick brown fox jumps over the lazy dog, and then it runs "
                         "far away into the forest where nobody can find it again. Words after.";
    const int from = text.indexOf("The quick");
    const int length = text.indexOf(" Words after") - from;
    const QString selection = text.mid(from, length);
    holdSelection(text, from, length);

    SinkRecorder rec;
    ASSERT_TRUE(rec.start());
    pressHandled("ctrl+alt+r", kPlayPause);
    ASSERT_TRUE(waitUntil([&] { return spoken(log).contains(selection); }, 15000))
        << "spoken: " << spoken(log).join(" | ").toStdString();
    ASSERT_TRUE(rec.waitForSound(SinkRecorder::kRate / 4, 15000)) << "the selection was not heard";
    pressHandled("ctrl+alt+r", kPlayPause); // pause
    rec.stop();

    // Nothing is heard while paused (the pause is in place once the press
    // has been handled), however long the pause.
    SinkRecorder paused;
    ASSERT_TRUE(paused.start());
    QThread::msleep(1000);
    EXPECT_LT(SinkRecorder::loudSamples(paused.stop()), 200) << "sound while paused";

    // Resume goes on with the paused text: sound again, and no second
    // reading of the selection.
    SinkRecorder resumed;
    ASSERT_TRUE(resumed.start());
    pressHandled("ctrl+alt+r", kPlayPause); // resume
    EXPECT_TRUE(resumed.waitForSound(SinkRecorder::kRate / 4, 15000)) << "no sound after resume";
    pressHandled("ctrl+alt+s", kStop);
    resumed.stop();
    EXPECT_EQ(spoken(log).count(selection), 1) << "the selection was read again instead of resumed";

    SinkRecorder stopped;
    ASSERT_TRUE(stopped.start());
    QThread::msleep(1000);
    EXPECT_LT(SinkRecorder::loudSamples(stopped.stop()), 200) << "sound after stop";
    EXPECT_TRUE(program->runningAfter(100));
}

// A window with nothing to copy: the copy keystroke brings nothing, and
// what the user had on the clipboard is there again afterwards.
TEST_F(DesktopTest, TheClipboardIsKeptWhenNothingIsCopied)
{
    startProgram();
    const QString mine = "Copied by the user earlier.";
    userCopies(mine);
    holdSelection("", 0, 0);

    pressHandled("ctrl+alt+r", kPlayPause);
    // The program empties the clipboard to see what arrives.
    ASSERT_TRUE(clipboardOwner.waitForFinished(10000)) << "the clipboard was never emptied for the copy";
    EXPECT_TRUE(waitUntil([&] { return selectionText("clipboard") == mine; }, 10000))
        << "the clipboard holds \"" << selectionText("clipboard").toStdString() << "\"";
    EXPECT_FALSE(spokenText(log, mine)) << "the user's clipboard was read as the selection";
}

TEST_F(DesktopTest, SpeedAndVoiceHotkeysChangeTheSettings)
{
    ASSERT_TRUE(putFile(home.settingsFile(), fileBytes(programDir() + "/Update.xml")));
    WriteSetting(home.settingsFile(), "ReadSet", "Speed", "3");
    startProgram();
    pressHandled("ctrl+shift+KP_Add", kSpeedUp);
    EXPECT_EQ(setting("Speed"), "4");
    pressHandled("ctrl+shift+KP_Add", kSpeedUp);
    EXPECT_EQ(setting("Speed"), "4") << "speed goes no higher than 4";
    WriteSetting(home.settingsFile(), "ReadSet", "Speed", "-5");
    pressHandled("ctrl+shift+KP_Subtract", kSlowDown);
    EXPECT_EQ(setting("Speed"), "-6");
    pressHandled("ctrl+shift+KP_Subtract", kSlowDown);
    EXPECT_EQ(setting("Speed"), "-6") << "speed goes no lower than -6";

    // Next voice, and from the last one back to the first.
    const int voices = setting("Readers").count(';');
    ASSERT_GT(voices, 1);
    WriteSetting(home.settingsFile(), "ReadSet", "Reader", "0");
    pressHandled("ctrl+alt+v", kNextVoice);
    EXPECT_EQ(setting("Reader"), "1");
    WriteSetting(home.settingsFile(), "ReadSet", "Reader", QString::number(voices - 1));
    pressHandled("ctrl+alt+v", kNextVoice);
    EXPECT_EQ(setting("Reader"), "0");
}

TEST_F(DesktopTest, SecondStartIsHandedToTheRunningProgram)
{
    startProgram();
    Program second(home);
    ASSERT_TRUE(second.started);
    // Limits for a busy machine: a start takes well under a second when idle.
    ASSERT_TRUE(second.proc.waitForFinished(30000));
    // The running program's poll takes the signal and resets it.
    EXPECT_TRUE(waitUntil([&] { return setting("isopened") == "0"; }, 30000)) << setting("isopened").toStdString();
    EXPECT_TRUE(program->runningAfter(100));
}

// The program's windows on the display: id and geometry.
struct Window {
    QString id;
    int x = 0, y = 0, w = 0, h = 0;
};

QList<Window> visibleWindows(qint64 pid)
{
    QList<Window> out;
    for (const QString& id :
         run("xdotool", {"search", "--onlyvisible", "--pid", QString::number(pid)}).split('\n', Qt::SkipEmptyParts)) {
        Window w{id};
        for (const QString& line : run("xdotool", {"getwindowgeometry", "--shell", id}).split('\n')) {
            const QString v = line.section('=', 1);
            if (line.startsWith("X="))
                w.x = v.toInt();
            else if (line.startsWith("Y="))
                w.y = v.toInt();
            else if (line.startsWith("WIDTH="))
                w.w = v.toInt();
            else if (line.startsWith("HEIGHT="))
                w.h = v.toInt();
        }
        out << w;
    }
    return out;
}

// Chooses Exit, the last item of the tray menu, with clicks on the tray icon
// (a small window of the program docked in the tray) and on the menu that
// opens. False when either did not appear.
bool chooseTrayExit(qint64 pid)
{
    Window icon, menu;
    QStringList before;
    const auto find = [&](Window& found, auto pred) {
        return waitUntil(
            [&] {
                for (const Window& w : visibleWindows(pid))
                    if (pred(w))
                        found = w;
                return !found.id.isEmpty();
            },
            5000);
    };
    if (!find(icon, [&](const Window& w) { before << w.id; return w.w > 0 && w.w <= 64 && w.h <= 64; }))
        return false;
    run("xdotool", {"mousemove", QString::number(icon.x + icon.w / 2), QString::number(icon.y + icon.h / 2), "click", "3"});
    if (!find(menu, [&](const Window& w) { return !before.contains(w.id) && w.h > 100 && w.w > 50; }))
        return false;
    run("xdotool", {"mousemove", QString::number(menu.x + menu.w / 2), QString::number(menu.y + menu.h - 10), "click", "1"});
    return true;
}

TEST_F(DesktopTest, TrayMenuOpensAndExitReleasesEverything)
{
    startProgram();
    const qint64 pid = program->proc.processId();
    ASSERT_TRUE(chooseTrayExit(pid)) << "no tray icon or menu";
    ASSERT_TRUE(program->proc.waitForFinished(5000)) << "Exit did not end the program";
    EXPECT_EQ(program->proc.exitCode(), 0);
    EXPECT_TRUE(visibleWindows(pid).isEmpty());
    for (const char* key : {"r", "m", "w", "v", "s"})
        EXPECT_EQ(grabState(kCtrlAlt, key), "free") << key;
    EXPECT_EQ(grabState(4 + 1, "KP_Add"), "free");
    EXPECT_EQ(grabState(4 + 1, "KP_Subtract"), "free");
}

} // namespace

namespace {

// The floating bar: a frameless window of about 280 x 70 pixels.
Window findBar(qint64 pid)
{
    Window bar;
    waitUntil(
        [&] {
            for (const Window& w : visibleWindows(pid))
                if (w.w >= 200 && w.w <= 400 && w.h >= 50 && w.h <= 100)
                    bar = w;
            return !bar.id.isEmpty();
        },
        10000);
    return bar;
}

TEST_F(DesktopTest, FloatingBarReadsTheSelectionUnderThePointerAndKeepsItsPlace)
{
    ASSERT_TRUE(putFile(home.settingsFile(), fileBytes(programDir() + "/Update.xml")));
    WriteSetting(home.settingsFile(), "ReadSet", "StartUp", "1");
    startProgram({"face"}); // any command line but the tray-only switch
    const qint64 pid = program->proc.processId();
    const Window bar = findBar(pid);
    ASSERT_FALSE(bar.id.isEmpty()) << "the floating bar did not appear";

    const QString text = "Nothing here. The floating bar reads this sentence aloud. Nothing here.";
    const int from = text.indexOf("The floating");
    const int length = text.indexOf(" Nothing here.", from) - from;
    holdSelection(text, from, length);

    // Pointing at Read copies the selection; clicking it reads it.
    run("xdotool", {"mousemove", QString::number(bar.x + 30), QString::number(bar.y + 35)});
    QThread::msleep(700);
    SinkRecorder rec;
    ASSERT_TRUE(rec.start());
    run("xdotool", {"click", "1"});
    ASSERT_TRUE(waitUntil([&] { return spoken(log).contains(text.mid(from, length)); }, 15000))
        << "spoken: " << spoken(log).join(" | ").toStdString();
    EXPECT_TRUE(rec.waitForSound(SinkRecorder::kRate / 4, 15000)) << "the selection was not heard";
    pressHandled("ctrl+alt+s", kStop);
    rec.stop();

    // Move the bar, close it (which ends the program), start again: it comes
    // back where it was left.
    run("xdotool", {"windowmove", bar.id, "300", "400"});
    Window moved;
    ASSERT_TRUE(waitUntil(
        [&] {
            moved = findBar(pid);
            return moved.x != bar.x || moved.y != bar.y;
        },
        10000))
        << "the bar did not move";
    run("xdotool", {"mousemove", QString::number(moved.x + 256), QString::number(moved.y + 35)});
    run("xdotool", {"click", "1"});
    ASSERT_TRUE(program->proc.waitForFinished(5000)) << "Close did not end the program";
    EXPECT_FALSE(setting("DockX").isEmpty());

    startProgram({"face"});
    const Window again = findBar(program->proc.processId());
    ASSERT_FALSE(again.id.isEmpty());
    EXPECT_NEAR(again.x, moved.x, 2);
    EXPECT_NEAR(again.y, moved.y, 2);
}

} // namespace

namespace {

// ---- the Play/Pause hotkey over other applications ----

// The running job of a terminal started with "-e sleep 600".
QString terminalJob(const DesktopApp& terminal)
{
    return run("pgrep", {"-P", QString::number(terminal.proc.processId()), "-x", "sleep"});
}

TEST_F(DesktopTest, ATerminalJobIsNeverInterruptedAndGetsNoKeys)
{
    startProgram();
    DesktopApp terminal;
    ASSERT_TRUE(terminal.start("xterm", {"-e", "sleep", "600"}, home));
    const QString job = terminalJob(terminal);
    ASSERT_FALSE(job.isEmpty());

    // Watch the keys the terminal gets; with the pointer away from it they
    // arrive at its focused top-level window.
    xdotool({"mousemove", "0", "0"});
    QProcess keys;
    keys.start("xev", {"-id", terminal.window, "-event", "keyboard"});
    ASSERT_TRUE(keys.waitForStarted(5000));
    QByteArray seen;
    ASSERT_TRUE(waitUntil(
        [&] {
            xdotool({"key", "shift"});
            keys.waitForReadyRead(100);
            seen += keys.readAllStandardOutput();
            return seen.contains("KeyPress");
        },
        10000));

    const qsizetype spokenBefore = spoken(log).size();
    press("ctrl+alt+r");
    // Hotkeys are handled one after another: once Speed Up has acted, the
    // read has been handled.
    const QString speed = setting("Speed");
    press("ctrl+shift+KP_Add");
    ASSERT_TRUE(waitUntil([&] { return setting("Speed") != speed; }, 5000));

    // Keys reach the terminal in the order they were sent: once a key sent
    // now has arrived, any the program sent has too.
    xdotool({"key", "Shift_R"});
    ASSERT_TRUE(waitUntil(
        [&] {
            keys.waitForReadyRead(100);
            seen += keys.readAllStandardOutput();
            return seen.contains("Shift_R");
        },
        5000));
    keys.kill();
    keys.waitForFinished();
    EXPECT_FALSE(seen.contains("keysym 0x63, c")) << "Ctrl+C was sent to the terminal";
    EXPECT_FALSE(seen.contains("keysym 0x61, a")) << "Ctrl+A was sent to the terminal";
    EXPECT_TRUE(terminal.running());
    EXPECT_EQ(terminalJob(terminal).toStdString(), job.toStdString()) << "the terminal's job was interrupted";
    EXPECT_EQ(spoken(log).size(), spokenBefore) << "something was read from a terminal without a selection";
}

TEST_F(DesktopTest, TextSelectedInATerminalIsRead)
{
    startProgram();
    const QString line = "The terminal line that is read aloud.";
    DesktopApp terminal;
    ASSERT_TRUE(terminal.start("xterm", {"-e", "sh", "-c", "echo '" + line + "'; exec sleep 600"}, home));
    // A triple click selects the first line.
    ASSERT_TRUE(waitUntil(
        [&] {
            xdotool({"mousemove", "--window", terminal.window, "40", "8"});
            xdotool({"click", "--repeat", "3", "--delay", "80", "1"});
            return selectionText("primary") == line;
        },
        10000))
        << "the terminal's line could not be selected";
    const QString job = terminalJob(terminal);

    press("ctrl+alt+r");
    EXPECT_TRUE(waitUntil([&] { return spokenText(log, line); }, 5000))
        << "spoken: " << spoken(log).join(" | ").toStdString();
    press("ctrl+alt+s");
    EXPECT_EQ(terminalJob(terminal).toStdString(), job.toStdString()) << "the terminal's job was interrupted";
}

// A GTK editor (not a window of ours) holding a text file.
class EditorTest : public DesktopTest {
protected:
    bool openEditor(const QString& text)
    {
        const QString file = home.path() + "/editor.txt";
        return putFile(file, text.toUtf8()) && editor.start("mousepad", {file}, home);
    }
    DesktopApp editor;
};

TEST_F(EditorTest, ASelectionIsReadAndTheClipboardKept)
{
    startProgram();
    const QString first = "The editor reads this first line aloud.";
    const QString second = "The second line was copied earlier.";
    ASSERT_TRUE(openEditor(first + "\n" + second + "\n"));
    // The user copied the second line earlier, then selected the first.
    ASSERT_TRUE(waitUntil(
        [&] {
            xdotool({"key", "--clearmodifiers", "ctrl+End", "Up", "Home", "shift+End", "ctrl+c"});
            return selectionText("clipboard") == second;
        },
        10000))
        << "the editor did not copy";
    ASSERT_TRUE(waitUntil(
        [&] {
            xdotool({"key", "--clearmodifiers", "ctrl+Home", "shift+End"});
            return selectionText("primary") == first;
        },
        10000));

    press("ctrl+alt+r");
    EXPECT_TRUE(waitUntil([&] { return spoken(log).contains(first); }, 5000))
        << "spoken: " << spoken(log).join(" | ").toStdString();
    press("ctrl+alt+s");
    EXPECT_EQ(selectionText("clipboard").toStdString(), second.toStdString()) << "the clipboard was changed";
}

TEST_F(EditorTest, NothingSelectedReadsTheWholeTextAndTheClipboardIsKept)
{
    startProgram();
    const QString mine = "Copied by the user earlier.";
    userCopies(mine);
    const QString text = "Everything in this editor is read.\nThe second line too.";
    ASSERT_TRUE(openEditor(text));

    press("ctrl+alt+r");
    EXPECT_TRUE(waitUntil([&] { return spokenText(log, text); }, 5000))
        << "spoken: " << spoken(log).join(" | ").toStdString();
    press("ctrl+alt+s");
    // The editor's text went through the clipboard; the user's is back.
    EXPECT_TRUE(waitUntil([&] { return selectionText("clipboard") == mine; }, 5000))
        << "the clipboard holds \"" << selectionText("clipboard").toStdString() << "\"";
}

// ---- message boxes and the windows they belong to ----

// A modal box or dialog of the program on the display ("" when none).
QString modalBox(qint64 pid)
{
    for (const Window& w : visibleWindows(pid))
        if (run("xprop", {"-id", w.id, "_NET_WM_STATE"}).contains("_NET_WM_STATE_MODAL"))
            return w.id;
    return {};
}

// The main window, shown maximised.
QString mainWindow(qint64 pid)
{
    for (const Window& w : visibleWindows(pid))
        if (w.w > 800 && w.h > 500)
            return w.id;
    return {};
}

// Gives a window the keyboard focus, then presses keys one after another.
bool keysTo(const QString& window, const QString& keys)
{
    const bool focused = waitUntil(
        [&] {
            run("xdotool", {"windowactivate", window});
            return run("xdotool", {"getwindowfocus"}) == window;
        },
        10000);
    run("xdotool", QStringList{"key", "--clearmodifiers"} + keys.split(' '));
    return focused;
}

// A window unloaded under a box or dialog of its own (by a second start, by
// the switch hotkey) takes it along, and the program runs on. Escape or the
// close of the save question keep the document, and the program running.
TEST_F(DesktopTest, BoxesGoWithTheirWindowsAndNeverDiscardText)
{
    ASSERT_TRUE(putFile(home.settingsFile(), fileBytes(programDir() + "/Update.xml")));
    WriteSetting(home.settingsFile(), "ReadSet", "StartUp", "1");
    startProgram({"face"});
    const qint64 pid = program->proc.processId();
    QString box;
    const auto boxShown = [&] { return waitUntil([&] { return !(box = modalBox(pid)).isEmpty(); }, 15000); };
    const auto afterBox = [&](auto then) {
        return waitUntil([&] { return !program->runningAfter(0) || (modalBox(pid).isEmpty() && then()); }, 20000)
            && program->runningAfter(0);
    };
    const auto mainShown = [&] { return !mainWindow(pid).isEmpty(); };
    const auto barShown = [&] { return !findBar(pid).id.isEmpty(); };

    const Window bar = findBar(pid); // Read with nothing captured: "no text"
    run("xdotool", {"mousemove", QString::number(bar.x + 30), QString::number(bar.y + 35), "click", "1"});
    ASSERT_TRUE(boxShown()) << "no box for Read without text";
    ASSERT_TRUE(Program(home).proc.waitForFinished(30000));
    ASSERT_TRUE(afterBox(mainShown)) << "the bar unloaded under its box";

    ASSERT_TRUE(keysTo(mainWindow(pid), "ctrl+f"));
    const QStringList findWindow{"search", "--all", "--onlyvisible", "--pid", QString::number(pid), "--name", "^Find and"};
    ASSERT_TRUE(waitUntil([&] { return !run("xdotool", findWindow).isEmpty(); }, 10000));
    ASSERT_TRUE(keysTo(run("xdotool", findWindow), "z q x j v Return"));
    ASSERT_TRUE(boxShown()) << "no box for a word that is not there";
    pressHandled("ctrl+alt+w", kSwitchFace);
    ASSERT_TRUE(afterBox(barShown)) << "the main window unloaded under a box of its find window";

    pressHandled("ctrl+alt+w", kSwitchFace);
    ASSERT_TRUE(waitUntil(mainShown, 15000) && keysTo(mainWindow(pid), "ctrl+o") && boxShown()) << "no file dialog";
    pressHandled("ctrl+alt+w", kSwitchFace);
    ASSERT_TRUE(afterBox(barShown)) << "the main window unloaded under its file dialog";

    // The save question: Escape at File > Close, then the close box at the
    // tray's Exit, twice (the document still there, still edited).
    pressHandled("ctrl+alt+w", kSwitchFace);
    ASSERT_TRUE(waitUntil(mainShown, 15000) && keysTo(mainWindow(pid), "ctrl+End space M o r e"));
    ASSERT_TRUE(keysTo(mainWindow(pid), "alt+f c") && boxShown()) << "no question at File > Close";
    ASSERT_TRUE(keysTo(box, "Escape") && afterBox([] { return true; }));
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(chooseTrayExit(pid) && boxShown()) << "no question at Exit " << i + 1;
        ASSERT_TRUE(keysTo(box, "alt+F4") && afterBox([] { return true; }));
    }
}

} // namespace
