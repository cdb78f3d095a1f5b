// Measures the time from pressing the Play/Pause hotkey (XTest) with a line
// selected in a GTK editor (mousepad) to the first sound of it at the sink,
// both ways in one run: the selection taken by copying (Ctrl+C and the
// clipboard poll, the way it was before) and the focused application's
// PRIMARY selection read at once. Prints heard/pressed, the median and the
// slowest press of each.
// Runs on the test desktop: needs DISPLAY, a PulseAudio sink named by
// TAMSEL_TEST_SINK, and the program folder in TAMSEL_PROGRAM_DIR.
// Usage: bench_hotkey_latency [PRESSES]   (default 10 for each way)
#include "TimedRecorder.h"
#include "support/DesktopApps.h"

#include <QCoreApplication>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>

namespace {

// Presses the hotkey as a user would: Ctrl and Alt go down first, and the
// press is the moment its R key goes down (returned), with no tool to start
// and no delay between keys as xdotool would add.
class Keyboard {
public:
    Keyboard() : display_(XOpenDisplay(nullptr)) {}
    ~Keyboard()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    bool ok() const { return display_ != nullptr; }
    Clock::time_point chord(KeySym key)
    {
        const KeyCode ctrl = XKeysymToKeycode(display_, XK_Control_L);
        const KeyCode alt = XKeysymToKeycode(display_, XK_Alt_L);
        const KeyCode code = XKeysymToKeycode(display_, key);
        XTestFakeKeyEvent(display_, ctrl, True, CurrentTime);
        XTestFakeKeyEvent(display_, alt, True, CurrentTime);
        XSync(display_, False);
        const auto pressed = Clock::now();
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XFlush(display_);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        XTestFakeKeyEvent(display_, alt, False, CurrentTime);
        XTestFakeKeyEvent(display_, ctrl, False, CurrentTime);
        XSync(display_, False);
        return pressed;
    }

private:
    Display* display_;
};

const QString kLine = QStringLiteral("The quick brown fox jumps over the lazy dog.");

struct Result {
    int pressed = 0;
    std::vector<double> latencies;
};

Result measure(const QString& dir, const QString& sink, bool byCopying, int presses)
{
    Result result;
    TempHome home;
    const QString hotkeyLog = home.path() + "/hotkeys.log";
    QProcessEnvironment env = home.environment();
    env.remove("QT_QPA_PLATFORM");
    env.insert("TAMSEL_HOTKEY_LOG", hotkeyLog);
    if (byCopying)
        env.insert("TAMSEL_SELECTION_BY_COPY", "1");

    Recorder rec(sink);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(dir + "/tamsel", {"3250"});
    if (!waitUntil([&] { return hotkeyHeld(hotkeyLog, 11112); }, 20000)) {
        std::puts("the program's Play/Pause hotkey was never registered");
        return result;
    }
    // The greeting has played once the sink has been quiet for a while.
    waitUntil([&] { return rec.quietFor(800); }, 15000);

    const QString file = home.path() + "/text.txt";
    putFile(file, (kLine + "\nA second line that is not read.\n").toUtf8());
    Keyboard keyboard;
    DesktopApp editor;
    if (!keyboard.ok() || !editor.start("mousepad", {file}, home)) {
        std::puts("no X display for the keys, or mousepad did not start");
        return result;
    }
    for (int round = 0; round < presses; ++round) {
        // The first line selected anew (a copy's select-all may have
        // widened it).
        editor.focus();
        waitUntil(
            [&] {
                xdotool({"key", "--clearmodifiers", "ctrl+Home", "shift+End"});
                return selectionText("primary") == kLine;
            },
            5000);
        const qint64 from = rec.size();
        const auto t0 = keyboard.chord(XK_r);
        ++result.pressed;
        qint64 onset = -1;
        waitUntil([&] { return (onset = rec.onsetAfter(from)) >= 0; }, 2000);
        if (onset >= 0)
            result.latencies.push_back(msSince(t0, rec.arrival(onset)));
        keyboard.chord(XK_s);
        waitUntil([&] { return rec.quietFor(300); }, 5000);
    }
    editor.stop();
    program.terminate();
    if (!program.waitForFinished(5000))
        program.kill();
    program.waitForFinished(5000);
    return result;
}

void print(const char* way, Result r)
{
    std::sort(r.latencies.begin(), r.latencies.end());
    std::printf("%-44s heard %zu/%d presses", way, r.latencies.size(), r.pressed);
    if (!r.latencies.empty())
        std::printf(", median %.0f ms, max %.0f ms", r.latencies[r.latencies.size() / 2], r.latencies.back());
    std::puts("");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString dir = qEnvironmentVariable("TAMSEL_PROGRAM_DIR");
    const QString sink = qEnvironmentVariable("TAMSEL_TEST_SINK");
    if (dir.isEmpty() || sink.isEmpty() || qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::puts("needs DISPLAY, TAMSEL_TEST_SINK and TAMSEL_PROGRAM_DIR");
        return 1;
    }
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::puts("Play/Pause hotkey -> first sound of a line selected in mousepad, at the sink (goal: every press "
              "heard, median <= 60 ms)");
    print("selection by copying (Ctrl+C, 200 ms poll):", measure(dir, sink, true, presses));
    print("focused application's PRIMARY at once:", measure(dir, sink, false, presses));
    return 0;
}
