// libFuzzer target for the RTF reader and writer (built by scripts/fuzz-rtf
// with clang, AddressSanitizer and UndefinedBehaviorSanitizer).
//
// For any input: the reader returns runs that cover its text exactly, in
// whole UTF-16 characters; a QTextDocument filled from them holds that
// text; and writing that document and reading it back gives the same text
// in the same formats. Any difference aborts, so that it is reported as a
// crash with the input that caused it.
#include "richtext/rtf/RtfReader.h"
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

// The format of every character, as far as the writer keeps it. A run
// without a font of its own is written in the document's default.
bool sameLook(const rtf::CharFormat& a, rtf::CharFormat b)
{
    if (a.families.isEmpty())
        b.families.clear();
    return a == b;
}

void checkSameFormats(const rtf::Document& a, const rtf::Document& b)
{
    std::size_t ia = 0;
    std::size_t ib = 0;
    qsizetype at = 0;
    while (ia < a.runs.size() && ib < b.runs.size()) {
        const rtf::Run& ra = a.runs[ia];
        const rtf::Run& rb = b.runs[ib];
        if (!sameLook(a.formats[std::size_t(ra.format)], b.formats[std::size_t(rb.format)])) {
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
    cursor.beginEditBlock();
    rtf::insert(first, cursor);
    cursor.endEditBlock();
    QString expected = first.text;
    expected.replace(QChar(u'\n'), QChar::ParagraphSeparator);
    if (document.toRawText() != expected)
        failed("the document does not hold the text that was read");

    const QByteArray written = rtf::write(document);
    const rtf::Document second = rtf::read(written);
    checkShape(second);
    if (second.text != first.text)
        failed("the text changed on the way through the writer");
    checkSameFormats(first, second);
    return 0;
}
