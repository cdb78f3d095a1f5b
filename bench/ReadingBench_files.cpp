// bench_reading, part 3: large documents.
//
// File > Open (the dialog answered with the path) of a 10 MB and a 50 MB
// text file and of a 5 MB RTF file, timed from the command to the moment the
// window answers again (a timer posted when the command returns runs), then
// the longest stall of the event loop while the layout goes on in the
// background; the memory in use once the layout has reached the end; Ctrl+S
// of the same document after one typed character; its close. Beside them,
// FeatherPad's memory after opening the same text file and its Ctrl+S after
// one typed character.
//
// 50 opens and closes of a 5 MB text file, with the memory before and after.
// Side by side, mousepad opens the same files through its own File > Open on
// the same desktop, driven with xdotool: from the Return in its file dialog
// to the window titled with the file, and to the answer to a typed key
// (its title gains "*"). Polling through xdotool adds some 10 ms to those.
//
// Closing the main window while reading deep into a 10 MB document: from
// close() to the window gone.
#include "ReadingBench.h"

#include "core/Globals.h"
#include "core/SettingsStore.h"
#include "mainwindow/CommonDialog.h"
#include "richtext/RichTextBox.h"
#include "mainwindow/frmDocument.h"
#include "mainwindow/frmMain.h"
#include "platform/EspeakVoice.h"
#include "speech/ReadingState.h"
#include "speech/systemtray.h"
#include "support/ScriptedSpeechVoice.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <optional>

#include <time.h>

namespace readingbench {

namespace {

// RTF as a word processor writes it: two fonts, three colours, sizes,
// bold and italic in runs of a few words, a paragraph every few sentences.
QByteArray makeRtf(qsizetype size)
{
    static const char* const words[] = {"the", "reader", "speaks", "every", "sentence", "of", "this",
                                        "document", "aloud", "while", "it", "is", "painted", "yellow",
                                        "and", "then", "cleared", "again", "caf\\'e9", "na\\'efve"};
    static const char* const looks[] = {"\\plain\\f0\\fs24 ", "\\plain\\f0\\fs24\\b ", "\\plain\\f1\\fs24\\i ",
                                        "\\plain\\f0\\fs28\\cf1 ", "\\plain\\f1\\fs20\\cf2\\b ",
                                        "\\plain\\f0\\fs24\\ul ", "\\plain\\f1\\fs24\\cf3 "};
    QRandomGenerator random(11);
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
                     "{\\colortbl;\\red192\\green0\\blue0;\\red0\\green0\\blue160;\\red0\\green128\\blue0;}\n";
    rtf.reserve(size + 1000);
    int sentences = 0;
    while (rtf.size() < size) {
        rtf += '{';
        rtf += looks[random.bounded(int(std::size(looks)))];
        const int n = 2 + int(random.bounded(5));
        for (int i = 0; i < n; ++i) {
            rtf += words[random.bounded(int(std::size(words)))];
            rtf += ' ';
        }
        rtf += '}';
        if (random.bounded(4) == 0) {
            rtf += ". ";
            if (++sentences % 5 == 0)
                rtf += "\\par\n";
        }
    }
    rtf += "\\par}\n";
    return rtf;
}

// CPU time of this thread in milliseconds: on a busy machine the wall
// clock also counts the time others had the processor.
double threadCpuMs()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// A field of /proc/<pid>/status in kB (this process when pid is 0).
long procStatusKb(const char* field, qint64 pid = 0)
{
    QFile f(pid ? QStringLiteral("/proc/%1/status").arg(pid) : QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Fragments (runs of one format) not in the configured font, size and
// colour, and their number in all.
std::pair<int, int> fragmentsOffFormat(RichTextBox* rtf)
{
    auto frmSet = [](const char* key, const char* def) {
        return ReadSetting(globals.IniFile, QStringLiteral("FrmSet"), QLatin1String(key), QLatin1String(def));
    };
    const QString family = frmSet("FontName", "Arial");
    const double points = frmSet("FontSize", "12").toDouble();
    const std::uint32_t color = frmSet("Color", "0").toUInt();
    int off = 0, all = 0;
    const QFont base = rtf->document()->defaultFont();
    for (QTextBlock b = rtf->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QFont font = f.font().resolve(base);
            const QColor shown = f.foreground().style() == Qt::NoBrush ? rtf->palette().color(QPalette::Text)
                                                                        : f.foreground().color();
            ++all;
            if (font.family() != family || font.pointSizeF() != points || RichTextBox::toColorref(shown) != color)
                ++off;
        }
    }
    return {off, all};
}

struct OpenFigures {
    double cpu = -1;        // CPU time of the command
    double returned = -1;   // the command returned
    double answered = -1;   // the window answers again
    double layoutDone = -1; // the background layout last grew the document
    double longestStall = 0;
    int stallsOver100 = 0;
};

// File > Open with the dialog answered; the document opened is the active one.
OpenFigures openThroughMenu(const QString& path)
{
    frmMain* main = frmMain::instance();
    SetCommonDialogAnswerer([path](CommonDialog& d, CommonDialog::Kind kind) {
        if (kind == CommonDialog::Open) {
            d.FileName = path;
            d.FileTitle = QFileInfo(path).fileName();
        }
    });
    OpenFigures f;
    QElapsedTimer t;
    QTimer::singleShot(0, main, [&] {
        t.start();
        const double cpu0 = threadCpuMs();
        main->mnuFileOpen_Click();
        f.returned = msSince(t);
        f.cpu = threadCpuMs() - cpu0;
        QTimer::singleShot(0, main, [&] { f.answered = msSince(t); });
    });
    pumpUntil([&] { return f.answered >= 0; }, 600000);
    SetCommonDialogAnswerer({});

    // The layout goes on a part at a time; the event loop's gaps meanwhile.
    frmDocument* doc = main->activeDocument();
    if (!doc)
        return f;
    double lastGrowth = f.answered;
    QObject::connect(doc->rtfText->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged,
                     main, [&] { lastGrowth = msSince(t); });
    double lastTick = msSince(t);
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const double now = msSince(t);
        const double gap = now - lastTick;
        lastTick = now;
        f.longestStall = std::max(f.longestStall, gap);
        f.stallsOver100 += gap > 100;
    });
    tick.start();
    pumpUntil([&] { return msSince(t) - lastGrowth > 1500; }, 300000);
    tick.stop();
    QObject::disconnect(doc->rtfText->document()->documentLayout(), nullptr, main, nullptr);
    f.layoutDone = lastGrowth;
    return f;
}

// File > Close of the active document, run from the event loop as the menu
// runs it (a window closed outside any event is never deleted).
double closeThroughMenu()
{
    frmMain* main = frmMain::instance();
    double ms = -1;
    QTimer::singleShot(0, main, [&] {
        QElapsedTimer t;
        t.start();
        main->mnuFileClose_Click();
        ms = msSince(t);
    });
    pumpUntil([&] { return ms >= 0; }, 60000);
    return ms;
}

// ---- mousepad ----

QString xdotool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

bool waitForWindow(const QString& titlePattern, int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (!xdotool({QStringLiteral("search"), QStringLiteral("--name"), titlePattern}).isEmpty())
            return true;
        QThread::msleep(5);
    }
    return false;
}

struct MousepadFigures {
    double shown = -1;
    double answered = -1;
};

std::optional<MousepadFigures> mousepadOpen(const QString& path)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return std::nullopt;
    QProcess mousepad;
    mousepad.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mousepad.setStandardOutputFile(QProcess::nullDevice());
    mousepad.start(QStringLiteral("mousepad"), {});
    if (!mousepad.waitForStarted(5000))
        return std::nullopt;
    const auto done = [&mousepad](std::optional<MousepadFigures> result) {
        mousepad.kill();
        mousepad.waitForFinished(5000);
        return result;
    };
    if (!waitForWindow(QStringLiteral("^Untitled 1 - Mousepad"), 20000))
        return done(std::nullopt);
    QThread::msleep(500);
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+o")});
    if (!waitForWindow(QStringLiteral("^Open File"), 10000))
        return done(std::nullopt);
    QThread::msleep(300);
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+l")});
    QThread::msleep(300);
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("1"), path});
    QThread::msleep(300);
    const QString title = QRegularExpression::escape(path) + QStringLiteral(" - Mousepad");
    MousepadFigures f;
    QElapsedTimer t;
    t.start();
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    if (!waitForWindow(QStringLiteral("^") + title, 300000))
        return done(std::nullopt);
    f.shown = msSince(t);
    xdotool({QStringLiteral("key"), QStringLiteral("x")});
    if (!waitForWindow(QStringLiteral("^\\*") + title, 300000))
        return done(std::nullopt);
    f.answered = msSince(t);
    return done(f);
}

// ---- FeatherPad ----

struct FeatherPadFigures {
    long rssMb = -1;     // when its memory has settled after the open
    double saveMs = -1;  // Ctrl+S after one typed character, to the title without "*"
};

QString windowName(const QString& id)
{
    return xdotool({QStringLiteral("getwindowname"), id});
}

// FeatherPad (a Qt editor of plain text) opens a copy of `path` given on its
// command line, with settings of its own; its memory once it has settled,
// then Ctrl+S after one typed character, from the key to the title that no
// longer marks the text changed (FeatherPad changes it once the file is
// written). Polling through xdotool adds some 10 ms.
std::optional<FeatherPadFigures> featherPadOpenSave(const QString& path)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return std::nullopt;
    const QString copy = session.folder->path() + QStringLiteral("/featherpad-") + QFileInfo(path).fileName();
    QFile::remove(copy);
    if (!QFile::copy(path, copy))
        return std::nullopt;
    QProcess featherpad;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), session.folder->path() + QStringLiteral("/featherpad-config"));
    featherpad.setProcessEnvironment(env);
    featherpad.setStandardOutputFile(QProcess::nullDevice());
    featherpad.setStandardErrorFile(QProcess::nullDevice());
    featherpad.start(QStringLiteral("featherpad"), {QStringLiteral("-s"), copy});
    if (!featherpad.waitForStarted(5000))
        return std::nullopt;
    const auto done = [&featherpad, &copy](std::optional<FeatherPadFigures> result) {
        featherpad.kill();
        featherpad.waitForFinished(5000);
        QFile::remove(copy);
        return result;
    };
    const QString title = QStringLiteral("^") + QRegularExpression::escape(copy) + QStringLiteral("$");
    if (!waitForWindow(title, 300000))
        return done(std::nullopt);
    const QString id = xdotool({QStringLiteral("search"), QStringLiteral("--name"), title}).section(u'\n', 0, 0);
    FeatherPadFigures f;
    // Settled: the same memory for a second (a minute at the most).
    long last = -1;
    QElapsedTimer settling;
    settling.start();
    for (int same = 0; same < 4 && settling.elapsed() < 60000;) {
        QThread::msleep(250);
        const long now = procStatusKb("VmRSS:", featherpad.processId());
        same = now == last ? same + 1 : 0;
        last = now;
    }
    f.rssMb = last / 1024;
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), id});
    QThread::msleep(300);
    xdotool({QStringLiteral("key"), QStringLiteral("x")});
    QElapsedTimer t;
    t.start();
    while (!windowName(id).startsWith(u'*') && t.elapsed() < 60000)
        QThread::msleep(5);
    if (!windowName(id).startsWith(u'*'))
        return done(std::nullopt);
    QThread::msleep(300);
    t.restart();
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+s")});
    while (windowName(id).startsWith(u'*') && t.elapsed() < 60000)
        QThread::msleep(1);
    f.saveMs = msSince(t);
    return done(f);
}

// Waits until the layout has reached the last line of the document.
double waitForWholeLayout(RichTextBox* rtf)
{
    QElapsedTimer t;
    t.start();
    pumpUntil(
        [rtf] {
            const QTextBlock last = rtf->document()->lastBlock();
            return last.layout() && last.layout()->lineCount() > 0;
        },
        300000);
    return msSince(t);
}

void openSaveClose(const char* label, const QString& path, bool beside)
{
    frmMain* main = frmMain::instance();
    std::printf("\n  -- %s: %s, %lld bytes --\n", label, qPrintable(QFileInfo(path).fileName()),
                static_cast<long long>(QFileInfo(path).size()));
    const long rssBefore = procStatusKb("VmRSS:");
    const OpenFigures open = openThroughMenu(path);
    frmDocument* doc = main->activeDocument();
    if (!doc || doc->windowTitle() != path) {
        std::printf("      !! the document did not open\n");
        return;
    }
    RichTextBox* rtf = doc->rtfText;
    std::printf("      Lectova  File > Open: command %8.1f ms (CPU %.1f ms), window answers %8.1f ms\n", open.returned,
                open.cpu, open.answered);
    std::printf("               then layout in the background until %.0f ms: longest stall %.1f ms, "
                "%d stalls over 100 ms\n",
                open.layoutDone, open.longestStall, open.stallsOver100);
    const auto [off, all] = fragmentsOffFormat(rtf);
    std::printf("               %d characters, %d lines, %d runs%s; caret %d, selection %d; memory %ld MB "
                "(%+ld MB), peak %ld MB\n",
                rtf->TextLength(), rtf->document()->blockCount(), all,
                off == 0 ? " all in the configured font, size and colour" : " !! some NOT in the configured format",
                rtf->SelStart(), rtf->SelLength(), procStatusKb("VmRSS:") / 1024,
                (procStatusKb("VmRSS:") - rssBefore) / 1024, procStatusKb("VmHWM:") / 1024);

    const double layoutMs = waitForWholeLayout(rtf);
    std::printf("      Lectova  laid out to the end %.0f ms later: memory %ld MB (%+ld MB over the %ld MB before "
                "the open)\n",
                layoutMs, procStatusKb("VmRSS:") / 1024, (procStatusKb("VmRSS:") - rssBefore) / 1024,
                rssBefore / 1024);
    if (!beside) {
    } else if (const auto fp = featherPadOpenSave(path)) {
        std::printf("      FeatherPad memory after the open %ld MB; Ctrl+S after one typed character %8.1f ms\n",
                    fp->rssMb, fp->saveMs);
    } else {
        std::printf("      FeatherPad: %s\n", QStandardPaths::findExecutable(QStringLiteral("featherpad")).isEmpty()
                                                  ? "featherpad not installed"
                                                  : "not measured (needs DISPLAY and xdotool)");
    }

    if (const auto mp = mousepadOpen(path))
        std::printf("      mousepad File > Open: window titled %8.1f ms, answers a key %8.1f ms\n", mp->shown,
                    mp->answered);
    else
        std::printf("      mousepad: not measured (needs DISPLAY, mousepad and xdotool)\n");

    // One character typed at the caret, then Ctrl+S.
    rtf->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(rtf, &press);
    QCoreApplication::sendEvent(rtf, &release);
    pump(300);
    QElapsedTimer t;
    t.start();
    const double cpu0 = threadCpuMs();
    main->mnuFileSave_Click();
    const double saveMs = msSince(t);
    std::printf("      Lectova  Ctrl+S after one typed character (mnuFileSave_Click) %8.1f ms (CPU %.1f ms)%s\n",
                saveMs, threadCpuMs() - cpu0, main->lastSaveSucceeded() ? "" : "  !! not saved");
    const double closeMs = closeThroughMenu();
    pump(200);
    std::printf("      File > Close %8.1f ms; memory after %ld MB (%+ld MB over the %ld MB before the open)\n",
                closeMs, procStatusKb("VmRSS:") / 1024, (procStatusKb("VmRSS:") - rssBefore) / 1024,
                rssBefore / 1024);
}

// Opening and closing a 5 MB text 50 times: the memory after each ten,
// beside the memory before the first.
void openCloseCycles(const QString& path)
{
    std::printf("  File > Open and File > Close of %s, %lld bytes\n", qPrintable(QFileInfo(path).fileName()),
                static_cast<long long>(QFileInfo(path).size()));
    pump(300);
    const long idle = procStatusKb("VmRSS:");
    std::printf("      memory before %ld MB;", idle / 1024);
    for (int round = 1; round <= 50; ++round) {
        openThroughMenu(path);
        closeThroughMenu();
        pump(100);
        if (round % 10 == 0)
            std::printf(" after %d: %ld MB%s", round, procStatusKb("VmRSS:") / 1024, round == 50 ? "" : ";");
    }
    const long after = procStatusKb("VmRSS:");
    std::printf("\n      after 50: %+ld MB (%+.1f %%) over the memory before\n", (after - idle) / 1024,
                100.0 * double(after - idle) / double(idle));
}

} // namespace

void figureFiles()
{
    std::printf("\n== 3. Large documents: File > Open, Ctrl+S, Close ==\n");
    if (const auto small = [] {
            const QString tiny = session.folder->path() + QStringLiteral("/small.txt");
            writeFile(tiny, "A small file.\n");
            return mousepadOpen(tiny);
        }())
        std::printf("  mousepad File > Open of a one-line file: window titled %.1f ms, answers a key %.1f ms\n",
                    small->shown, small->answered);

    const QString text10 = session.folder->path() + QStringLiteral("/large10.txt");
    writeFile(text10, makeText(10'000'000).toUtf8());
    openSaveClose("10 MB text", text10, true);

    const QString rtf5 = session.folder->path() + QStringLiteral("/large5.rtf");
    writeFile(rtf5, makeRtf(5'000'000));
    openSaveClose("5 MB RTF", rtf5, false);

    const QString text50 = session.folder->path() + QStringLiteral("/large50.txt");
    writeFile(text50, makeText(50'000'000).toUtf8());
    openSaveClose("50 MB text", text50, true);
}

void figureOpenCloseCycles()
{
    std::printf("\n== 5. Memory of 50 opens and closes of a 5 MB text ==\n");
    const QString text5 = session.folder->path() + QStringLiteral("/cycle5.txt");
    writeFile(text5, makeText(5'000'000).toUtf8());
    openCloseCycles(text5);
}

void figureCloseWhileReading()
{
    std::printf("\n== 4. Closing the main window while reading the middle of a 10 MB document ==\n");
    ScriptedSpeechEngine engine;
    if (EspeakVoice* real = espeakVoice())
        engine.voices = real->GetVoices({}, {});
    session.tray->releaseVoice();
    const QString path = session.folder->path() + QStringLiteral("/close10.txt");
    writeFile(path, makeText(10'000'000).toUtf8());
    frmDocument* doc = openDocument(path, nullptr);
    if (!doc) {
        std::printf("  !! could not open %s\n", qPrintable(path));
        return;
    }
    RichTextBox* rtf = doc->rtfText;
    pump(300);
    rtf->setSelStart(sentenceStartFrom(rtf, rtf->TextLength() / 2));
    rtf->ensureCursorVisible();
    pump(300);
    doc->SpeakBtn_Click();
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        if (ScriptedSpeechVoice* voice = scriptedVoice())
            voice->emitEnd(voice->lastStream());
    }
    QCoreApplication::processEvents();
    std::printf("  reading at %d of %d characters (speaking: %s)\n", rtf->SelStart(), rtf->TextLength(),
                readingState.IsSpeaking() ? "yes" : "no");
    frmMain* main = frmMain::instance();
    QElapsedTimer t;
    t.start();
    main->close();
    const double closeCall = msSince(t);
    const bool gone = pumpUntil([] { return frmMain::instance() == nullptr || !frmMain::instance()->isVisible(); },
                                120000);
    std::printf("  frmMain::close() returned after %.1f ms; the window %s after %.1f ms\n", closeCall,
                gone ? "was gone" : "!! was still there", msSince(t));
}

} // namespace readingbench
