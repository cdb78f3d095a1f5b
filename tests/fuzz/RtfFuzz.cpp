// libFuzzer target for the RTF reader and writer (built by scripts/fuzz-rtf
// with clang, AddressSanitizer and UndefinedBehaviorSanitizer).
//
// For any input: the reader returns runs that cover its text exactly, in
// whole UTF-16 characters; a QTextDocument filled from them holds that
// text; and writing that document and reading it back gives the same text
// in the same formats: the very formats of the file when the writer has
// what the file held, the same look when it has not. Any difference
// aborts, so that it is reported as a crash with the input that caused it.
#include "richtext/rtf/RtfReader.h"
#include "richtext/rtf/RtfCodePages.h"
#include "richtext/rtf/RtfKept.h"
#include "richtext/rtf/RtfWriter.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void failed(const char* what)
{
    std::fprintf(stderr, "RtfFuzz: %s\n", what);
    std::abort();
}

void checkShape(const rtf::Document& doc)
{
    qsizetype covered = 0;
    for (const rtf::Run& run : doc.runs) {
        if (run.start != covered || run.length <= 0)
            failed("runs do not cover the text in order");
        if (run.format < 0 || std::size_t(run.format) >= doc.formats.size())
            failed("a run's format is out of range");
        covered += run.length;
    }
    if (covered != doc.text.size())
        failed("runs do not cover the text");
    for (qsizetype i = 0; i < doc.text.size(); ++i) {
        const QChar c = doc.text[i];
        if (c.isHighSurrogate() && i + 1 < doc.text.size() && doc.text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            failed("half a surrogate pair in the text");
    }
}

QString fontName(const rtf::Document& doc, int number)
{
    for (const rtf::Kept::Font& f : doc.kept.fonts)
        if (f.number == number)
            return f.name;
    return {};
}

QString linkOf(const rtf::Document& doc, int link)
{
    return link >= 0 ? doc.kept.links[std::size_t(link)].href : QString();
}

// The same format: the file's own, or as it shows (a run without a font of
// its own is written in the document's default).
bool sameFormat(const rtf::Document& a, rtf::CharFormat x, const rtf::Document& b, rtf::CharFormat y, bool asFiled)
{
    const QString hrefX = linkOf(a, x.link), hrefY = linkOf(b, y.link);
    x.link = y.link = -1;
    if (asFiled) {
        if (x.font == -1) // text before the \deff that came after it, or in a font past 16 bits
            x.font = rtf::fontNumberOf(b.kept.defaultFont);
        return hrefX == hrefY && x == y;
    }
    const QString fontX = fontName(a, x.font);
    const auto sign = [](const rtf::CharFormat& f) { return f.script ? f.script : (f.raise > 0) - (f.raise < 0); };
    return hrefX == hrefY && (fontX.isEmpty() || fontX == fontName(b, y.font)) && x.shownBold() == y.shownBold()
        && x.shownItalic() == y.shownItalic() && x.shownHalfPoints() == y.shownHalfPoints()
        && (x.underline == rtf::Underline::None) == (y.underline == rtf::Underline::None) && x.strike == y.strike
        && x.caps == y.caps && x.smallCaps == y.smallCaps && sign(x) == sign(y) && x.foreground == y.foreground
        && x.background == y.background;
}

// The text as a file with the document's final tables gives it: a glyph
// code (U+F020 to U+F0FF) read in a font the tables made a symbol font
// only after its text is that font's glyph.
QString asGlyphsOfFinalFonts(const rtf::Document& doc)
{
    QString text = doc.text;
    for (const rtf::Run& run : doc.runs) {
        const int font = doc.formats[std::size_t(run.format)].font;
        const int number = font == -1 ? doc.kept.defaultFont : font;
        for (const rtf::Kept::Font& f : doc.kept.fonts) {
            if (f.number != number || !f.glyphCodePage)
                continue;
            const rtf::ByteDecoder decoder(f.glyphCodePage);
            for (qsizetype i = run.start; i < run.start + run.length; ++i)
                text[i] = QChar(decoder.privateUse(text[i].unicode()));
        }
    }
    return text;
}

void checkSameFormats(const rtf::Document& a, const rtf::Document& b, bool asFiled)
{
    std::size_t ia = 0;
    std::size_t ib = 0;
    qsizetype at = 0;
    while (ia < a.runs.size() && ib < b.runs.size()) {
        const rtf::Run& ra = a.runs[ia];
        const rtf::Run& rb = b.runs[ib];
        if (!sameFormat(a, a.formats[std::size_t(ra.format)], b, b.formats[std::size_t(rb.format)], asFiled)) {
            // Paragraph breaks and the starts and ends of cells carry no
            // format of their own in the text.
            bool onlyBreak = true;
            const qsizetype end = std::min(ra.start + ra.length, rb.start + rb.length);
            for (qsizetype i = at; i < end && onlyBreak; ++i)
                onlyBreak = a.text[i] == u'\n' || a.text[i] == rtf::kCellStart || a.text[i] == rtf::kTableEnd;
            if (!onlyBreak)
                failed("a format changed on the way through the writer");
        }
        const qsizetype endA = ra.start + ra.length;
        const qsizetype endB = rb.start + rb.length;
        at = std::min(endA, endB);
        if (endA == at)
            ++ia;
        if (endB == at)
            ++ib;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    (void)argc;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char* qtArgv[] = {(*argv)[0], nullptr};
    static QGuiApplication app(qtArgc, qtArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const rtf::Document first = rtf::read(QByteArrayView(data, qsizetype(size)));
    checkShape(first);

    QTextDocument document;
    QTextCursor cursor(&document);
    std::vector<rtf::FileRun> runs;
    cursor.beginEditBlock();
    rtf::insert(first, cursor, {}, &runs);
    cursor.endEditBlock();
    QString expected = first.text;
    expected.replace(QChar(u'\n'), QChar::ParagraphSeparator);
    if (document.toRawText() != expected)
        failed("the document does not hold the text that was read");

    rtf::Kept kept = first.kept;
    kept.formats = first.formats;
    for (const bool asFiled : {false, true}) {
        rtf::WriteOptions options;
        options.kept = asFiled ? &kept : nullptr;
        options.fileRuns = &runs;
        const rtf::Document second = rtf::read(rtf::write(document, options));
        checkShape(second);
        const QString want = asFiled ? asGlyphsOfFinalFonts(first) : first.text;
        if (second.text != want) {
            std::fprintf(stderr, "RtfFuzz: read first \"%s\", then \"%s\"%s\n", qPrintable(want),
                         qPrintable(second.text), asFiled ? " (written as filed)" : "");
            failed("the text changed on the way through the writer");
        }
        checkSameFormats(first, second, asFiled);
    }
    return 0;
}
