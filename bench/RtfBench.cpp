// RTF figures: opening and saving a 5 MB RTF file through the document's
// rich-text control. The file is made here: prose in paragraphs whose
// words change font, size, bold, italic, underline, colour and background
// every few words, with escaped and Unicode characters, lists, a table
// row now and then, and pictures in hex that the reader skips. The
// control is shown (offscreen unless QT_QPA_PLATFORM says otherwise).
// RTF files named on the command line are read by the reader alone too;
// with --reader-only, the reader's times are all it prints; with
// --open-only, only the figures of opening the file of many formats (it
// runs itself so for them, and a heap profiler can run it so too).
// First of all, the memory a file of many formats takes: a 16 MB file
// whose 700,000 runs each have a font, size and colour of their own,
// opened as File > Open does and edited, then read and put into a
// QTextDocument in the file's own formats, the peak resident memory
// measured for each step (Linux: the peak is reset through
// /proc/self/clear_refs). Blocks of a megabyte or more are given back to
// the system when freed, so that each step's figure is its own rather than
// what the steps before left in the heap.
#include "richtext/RichTextBox.h"
#include "richtext/rtf/RtfReader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextDocument>

#include <QTextCursor>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

QByteArray makeRtf(qsizetype size)
{
    static const char* const words[] = {"the", "reader", "speaks", "every", "sentence", "of", "this",
                                        "document", "aloud", "while", "it", "is", "painted", "yellow",
                                        "caf\\'e9", "na\\'efve", "\\u1055?\\u1088?\\u1080?", "\\{braces\\}",
                                        "\\ldblquote quoted\\rdblquote", "\\u20013?\\u25991?"};
    static const char* const looks[] = {"\\b ", "\\i ", "\\ul ", "\\strike ", "\\cf1 ", "\\cf2 ",
                                        "\\highlight3 ", "\\f1 ", "\\f2\\fs28 ", "\\fs16 "};
    QRandomGenerator random(11);
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033"
                     "{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}{\\f1\\froman\\fcharset0 Times New Roman;}"
                     "{\\f2\\fmodern\\fcharset0 Courier New;}{\\f3\\fnil\\fcharset2 Symbol;}}\r\n"
                     "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green77\\blue187;\\red255\\green255\\blue0;}\r\n"
                     "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1\r\n"
                     "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 ";
    rtf.reserve(size + 4096);
    int paragraph = 0;
    while (rtf.size() < size) {
        ++paragraph;
        if (paragraph % 40 == 0) {
            // A small picture, as hex: skipped by the reader.
            rtf += "{\\*\\shppict{\\pict\\pngblip\\picw64\\pich64 ";
            for (int i = 0; i < 2000; ++i)
                rtf += "89504e470d0a1a0a"[i % 16];
            rtf += "}}";
        }
        if (paragraph % 25 == 0)
            rtf += "\\trowd\\cellx2000\\cellx4000\\intbl Cell one\\cell Cell two\\cell\\row\\pard ";
        if (paragraph % 7 == 0)
            rtf += "{\\pntext\\f3\\'b7\\tab}";
        const int sentenceCount = 2 + int(random.bounded(5));
        for (int s = 0; s < sentenceCount; ++s) {
            const int wordCount = 8 + int(random.bounded(20));
            for (int w = 0; w < wordCount; ++w) {
                const bool formatted = random.bounded(5) == 0;
                if (formatted) {
                    rtf += '{';
                    rtf += looks[random.bounded(int(std::size(looks)))];
                }
                rtf += words[random.bounded(int(std::size(words)))];
                if (formatted)
                    rtf += '}';
                rtf += w + 1 < wordCount ? " " : ". ";
            }
        }
        rtf += "\\par\r\n";
    }
    rtf += "}\r\n";
    return rtf;
}

double ms(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// The reader alone, five times: the best and the median time, per MB too.
void timeReader(const char* label, const QByteArray& rtf)
{
    std::vector<double> times;
    rtf::Document parsed;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        parsed = rtf::read(rtf);
        times.push_back(ms(t));
    }
    std::sort(times.begin(), times.end());
    const double megabytes = double(rtf.size()) / 1e6;
    std::printf("%s (%.2f MB)\n  reader alone: best %.1f ms, median %.1f ms = %.1f ms per MB (best %.1f)"
                " (%lld characters, %zu runs, %zu formats)\n",
                label, megabytes, times.front(), times[2], times[2] / megabytes, times.front() / megabytes,
                static_cast<long long>(parsed.text.size()), parsed.runs.size(), parsed.formats.size());
}

// 700,000 runs, each in a combination of font (of 40), size (of 35) and
// colour (of 500) no other run has, a paragraph every twenty runs.
QByteArray makeManyFormatsRtf()
{
    constexpr int kFonts = 40, kSizes = 35, kColors = 500;
    static const char* const words[] = {"one ", "word ", "and ", "more ", "text ", "read ", "aloud "};
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl";
    for (int f = 0; f < kFonts; ++f)
        rtf += "{\\f" + QByteArray::number(f) + "\\fswiss\\fcharset0 Font Family " + QByteArray::number(f) + ";}";
    rtf += "}\r\n{\\colortbl;";
    for (int c = 0; c < kColors; ++c)
        rtf += "\\red" + QByteArray::number(c % 256) + "\\green" + QByteArray::number(c / 2 % 256) + "\\blue"
               + QByteArray::number(c / 256 * 100) + ';';
    rtf += "}\r\n\\pard ";
    rtf.reserve(17'000'000);
    for (int i = 0; i < kFonts * kSizes * kColors; ++i) {
        rtf += "{\\f" + QByteArray::number(i % kFonts) + "\\fs" + QByteArray::number(16 + i / kFonts % kSizes)
               + "\\cf" + QByteArray::number(1 + i / (kFonts * kSizes)) + ' ' + words[i % 7] + '}';
        if (i % 20 == 19)
            rtf += "\\par\r\n";
    }
    rtf += "}\r\n";
    return rtf;
}

// Resident memory now and at its peak since the last reset, and the heap
// in use (freed memory the heap keeps for itself is not in it), in MB.
struct Memory {
    double now = 0, peak = 0, heap = 0;
};

Memory memory()
{
    Memory m;
    const struct mallinfo2 heap = mallinfo2();
    m.heap = double(heap.uordblks + heap.hblkhd) / (1024 * 1024);
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            m.now = std::stod(line.substr(6)) / 1024;
        else if (line.rfind("VmHWM:", 0) == 0)
            m.peak = std::stod(line.substr(6)) / 1024;
    }
    return m;
}

void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The reader's document, and the same put into a QTextDocument in the
// file's own formats.
void measureReadAndInsert(const QByteArray& rtf)
{
    const double megabytes = double(rtf.size()) / 1e6;
    const Memory start = memory();
    resetPeak();
    QElapsedTimer t;
    t.start();
    auto parsed = std::make_unique<rtf::Document>(rtf::read(rtf));
    const double readMs = ms(t);
    const Memory read = memory();
    std::printf("  read:   %.0f ms = %.1f ms per MB; %zu runs, %zu formats; peak +%.0f MB; heap +%.0f MB\n",
                readMs, readMs / megabytes, parsed->runs.size(), parsed->formats.size(), read.peak - start.now,
                read.heap - start.heap);
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    t.restart();
    {
        QTextCursor at(document.get());
        at.beginEditBlock();
        rtf::insert(*parsed, at);
        at.endEditBlock();
    }
    const double insertMs = ms(t);
    const Memory inserted = memory();
    std::printf("  insert: %.0f ms; the document has %lld formats; peak +%.0f MB (%.1f times the file);"
                " heap +%.0f MB\n",
                insertMs, static_cast<long long>(document->allFormats().size()), inserted.peak - start.now,
                (inserted.peak - start.now) / megabytes, inserted.heap - start.heap);
    parsed.reset();
    std::printf("  the document alone: heap +%.0f MB\n", memory().heap - start.heap);
    document.reset();
}

// As File > Open does it, in the look the user chose for documents.
void measureOpen(const QByteArray& rtf)
{
    const double megabytes = double(rtf.size()) / 1e6;
    QTemporaryDir folder;
    const QString path = folder.path() + QStringLiteral("/formats.rtf");
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(rtf);
    }
    RichTextBox::FontAndColor look;
    look.fontName = QStringLiteral("DejaVu Sans");
    look.fontSize = 12;
    look.color = 0x202020;
    RichTextBox box;
    malloc_trim(0);
    const Memory before = memory();
    resetPeak();
    QElapsedTimer t;
    t.start();
    box.LoadFile(path, RichTextBox::rtfRTF, look);
    const double loadMs = ms(t);
    const Memory loaded = memory();
    std::printf("  LoadFile in a chosen look: %.0f ms; the document has %lld formats; peak +%.0f MB (%.1f times the"
                " file); the control holds +%.0f MB\n",
                loadMs, static_cast<long long>(box.document()->allFormats().size()), loaded.peak - before.now,
                (loaded.peak - before.now) / megabytes, loaded.heap - before.heap);
    // The first edit puts the file's formats into the characters' own.
    resetPeak();
    t.restart();
    box.setSelText(QStringLiteral("x"));
    const double editMs = ms(t);
    const Memory edited = memory();
    std::printf("  then the first edit: %.0f ms; the document has %lld formats; peak +%.0f MB;"
                " the control holds +%.0f MB\n",
                editMs, static_cast<long long>(box.document()->allFormats().size()), edited.peak - before.now,
                edited.heap - before.heap);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    QApplication app(argc, argv);
    QStringList files = app.arguments().mid(1);
    const bool readerOnly = files.removeAll(QStringLiteral("--reader-only")) > 0;
    const bool openOnly = files.removeAll(QStringLiteral("--open-only")) > 0;
    if (openOnly) {
        const QByteArray rtf = makeManyFormatsRtf();
        std::printf("Many formats (%.2f MB): resident %.0f MB before opening\n", double(rtf.size()) / 1e6,
                    memory().now);
        measureOpen(rtf);
        return 0;
    }
    if (!readerOnly) {
        // The Open in a process of its own, then the reader and the insert
        // here: a document of 700,000 formats freed leaves the heap in
        // pieces, and what is allocated after it touches pages all over it
        // (some 40 to 60 MB more at the next step's peak).
        std::fflush(stdout);
        QProcess open;
        open.setProcessChannelMode(QProcess::ForwardedChannels);
        open.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--open-only")});
        open.waitForFinished(-1);
        measureReadAndInsert(makeManyFormatsRtf());
    }
    QTemporaryDir folder;
    const QString path = folder.path() + QStringLiteral("/big.rtf");
    const QString savedPath = folder.path() + QStringLiteral("/saved.rtf");

    const QByteArray rtf = makeRtf(5'000'000);
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(rtf);
    }
    for (const QString& file : files) {
        QFile given(file);
        if (given.open(QIODevice::ReadOnly))
            timeReader(qPrintable(file), given.readAll());
    }
    timeReader("RTF file", rtf);
    if (readerOnly)
        return 0;

    QElapsedTimer t;

    for (int round = 1; round <= 3; ++round) {
        RichTextBox box;
        box.resize(900, 700);
        box.show();
        QCoreApplication::processEvents();

        std::printf("round %d\n", round);
        t.restart();
        box.LoadFile(path, RichTextBox::rtfRTF);
        std::printf("  LoadFile (open):            %8.1f ms (%d characters, %d lines)\n", ms(t), box.TextLength(),
                    box.document()->blockCount());
        t.restart();
        QCoreApplication::processEvents();
        std::printf("  first paint after opening:  %8.1f ms\n", ms(t));
        t.restart();
        box.setSelStart(box.TextLength());
        box.ensureCursorVisible();
        std::printf("  layout to the end:          %8.1f ms\n", ms(t));

        t.restart();
        box.SaveFile(savedPath, RichTextBox::rtfRTF);
        std::printf("  SaveFile (save):            %8.1f ms (%.2f MB written)\n", ms(t),
                    double(QFileInfo(savedPath).size()) / 1e6);

        RichTextBox again;
        t.restart();
        again.LoadFile(savedPath, RichTextBox::rtfRTF);
        std::printf("  LoadFile of the saved file: %8.1f ms%s\n", ms(t),
                    again.Text() == box.Text() ? "" : "  !! text differs");
    }
    return 0;
}
