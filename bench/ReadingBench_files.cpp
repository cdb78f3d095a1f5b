// bench_reading, part 3: large documents.
//
// File > Open (the dialog answered with the path) of a 10 MB and a 50 MB
// text file and of a 5 MB RTF file, timed from the command to the moment the
// window answers again (a timer posted when the command returns runs), then
// the longest stall of the event loop while the layout goes on in the
// background; the memory in use; Ctrl+S of the same document; its close.
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
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
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

long procStatusKb(const char* field)
{
    QFile f(QStringLiteral("/proc/self/status"));
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

void openSaveClose(const char* label, const QString& path)
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

    if (const auto mp = mousepadOpen(path))
        std::printf("      mousepad File > Open: window titled %8.1f ms, answers a key %8.1f ms\n", mp->shown,
                    mp->answered);
    else
        std::printf("      mousepad: not measured (needs DISPLAY, mousepad and xdotool)\n");

    QElapsedTimer t;
    t.start();
    const double cpu0 = threadCpuMs();
    main->mnuFileSave_Click();
    const double saveMs = msSince(t);
    std::printf("      Ctrl+S (mnuFileSave_Click) %8.1f ms (CPU %.1f ms)%s\n", saveMs, threadCpuMs() - cpu0,
                main->lastSaveSucceeded() ? "" : "  !! not saved");
    t.restart();
    main->mnuFileClose_Click();
    const double closeMs = msSince(t);
    pump(200);
    std::printf("      File > Close %8.1f ms; memory after %ld MB\n", closeMs, procStatusKb("VmRSS:") / 1024);
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
    openSaveClose("10 MB text", text10);

    const QString rtf5 = session.folder->path() + QStringLiteral("/large5.rtf");
    writeFile(rtf5, makeRtf(5'000'000));
    openSaveClose("5 MB RTF", rtf5);

    const QString text50 = session.folder->path() + QStringLiteral("/large50.txt");
    writeFile(text50, makeText(50'000'000).toUtf8());
    openSaveClose("50 MB text", text50);
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
