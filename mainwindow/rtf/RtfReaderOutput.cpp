// The RTF reader's output: bytes decoded in the code page of their font,
// characters made fit for the editor, runs of one format each, and the
// font and colour tables they are looked up in.
#include "RtfReaderImpl.h"

#include <QFont>
#include <QTextCursor>

#include <algorithm>
#include <climits>

namespace rtf {

namespace detail {

namespace {

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// Characters a format or the editor does not take as text (half a pair,
// a code the document keeps for itself, a paragraph separator) replaced.
QString cleanText(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate() || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFE || c == 0xFFFF
                 || c == 0xFFFC)
            text[i] = QChar(0xFFFD);
    }
    return text;
}

// A font name as a format takes it: without the spaces around it.
QString cleanName(const QString& name)
{
    return cleanText(name.trimmed());
}

// Longer texts around a list number are cut.
constexpr qsizetype kMostNumberingText = 32;
// Past this many different numberings in a file, the last is replaced.
constexpr std::size_t kMostNumberings = 1024;

} // namespace

ByteDecoder& Reader::decoder()
{
    const bool forTable = st_.dest == Dest::FontTable;
    const int number = forTable ? fontDefining_ : (st_.style.font != kNoFont ? st_.style.font : defaultFont_);
    if (decoder_ && number == decoderFont_ && forTable == decoderForTable_)
        return *decoder_;
    int codePage = 0;
    if (const Font* f = fontEntry(number)) {
        if (f->codePage > 0 && f->codePage < 100000)
            codePage = f->codePage;
        else if (f->charset >= 0)
            codePage = codePageOfCharset(f->charset);
        if (codePage == kSymbolCodePage && f->name.contains(QLatin1String("wingdings"), Qt::CaseInsensitive))
            codePage = kWingdingsCodePage;
        // Western fonts in an East Asian document are Western: their
        // bytes are single letters of Windows-1252, not halves of
        // characters.
        if (codePage == 0 && f->charset == 0 && isEastAsianCodePage(ansiCodePage_))
            codePage = kDefaultCodePage;
    }
    if (codePage == 0 || (forTable && codePage < 0))
        codePage = ansiCodePage_;
    decoder_ = &decoders_.get(codePage);
    decoderFont_ = number;
    decoderForTable_ = forTable;
    return *decoder_;
}

void Reader::putByte(unsigned char b)
{
    if (st_.dest == Dest::Skip || st_.dest == Dest::ColorTable)
        return;
    ByteDecoder& d = decoder();
    if (d.isSingleByte()) {
        flushPending();
        put(d.byte(b));
        return;
    }
    if (!pending_.isEmpty() && pendingDecoder_ != &d)
        flushPending();
    if (pending_.isEmpty() && b < 0x80) {
        put(b);
        return;
    }
    pendingDecoder_ = &d;
    pending_.append(char(b));
}

void Reader::flushPending()
{
    if (pending_.isEmpty())
        return;
    const QString chars = pendingDecoder_->decode(pending_);
    pending_.clear();
    for (const QChar c : chars)
        put(c.unicode());
}

void Reader::put(char16_t c)
{
    switch (st_.dest) {
    case Dest::Text:
        putText(c);
        break;
    case Dest::FontTable:
        // Font names are short; a longer one is cut (it is copied into
        // every format that uses it).
        if (Font* f = fontEntry(fontDefining_); f && !f->nameDone && c >= 0x20 && f->name.size() < 256)
            f->name.append(QChar(c));
        break;
    case Dest::NumberingBefore:
    case Dest::NumberingAfter:
        if (QString& t = st_.dest == Dest::NumberingBefore ? numberingRead_.before : numberingRead_.after;
            c >= 0x20 && t.size() < kMostNumberingText)
            t.append(QChar(c));
        break;
    case Dest::Skip:
    case Dest::ColorTable:
    case Dest::Numbering:
        break;
    }
}

// One character of the document's text, made fit for the editor.
void Reader::putText(char16_t c)
{
    if (st_.style.hidden)
        return;
    if (c == 0x2029) {
        paragraphBreak();
        return;
    }
    if (c == u'\v')
        c = 0x2028;
    if (c < 0x20 && c != u'\t')
        return;
    if (c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFE || c == 0xFFFF || c == 0xFFFC)
        c = 0xFFFD;
    if (isHighSurrogate(c)) {
        endHalfPair();
        highSurrogate_ = c;
        return;
    }
    if (isLowSurrogate(c)) {
        if (!highSurrogate_) {
            c = 0xFFFD;
        } else {
            const char16_t pair[2] = {highSurrogate_, c};
            highSurrogate_ = 0;
            append(pair, 2);
            return;
        }
    } else {
        endHalfPair();
    }
    append(&c, 1);
}

// A first half of a pair whose second half did not come.
void Reader::endHalfPair()
{
    if (!highSurrogate_)
        return;
    highSurrogate_ = 0;
    const char16_t bad = 0xFFFD;
    append(&bad, 1);
}

void Reader::paragraphBreak()
{
    if (st_.style.hidden)
        return;
    endHalfPair();
    const char16_t lf = u'\n';
    append(&lf, 1);
    paragraphLabelled_ = false;
}

void Reader::append(const char16_t* chars, qsizetype n)
{
    if (cellPending_) {
        cellPending_ = false;
        appendToRun(u"\t", 1);
    }
    if (!paragraphLabelled_)
        startParagraph();
    appendToRun(chars, n);
}

// The first character of a paragraph is coming: a paragraph numbered by
// \pn, whose writer gave it no number or bullet of its own, gets one.
void Reader::startParagraph()
{
    paragraphLabelled_ = true;
    if (st_.numbering < 0)
        return;
    const ParagraphNumbering& numbering = numberings_[std::size_t(st_.numbering)];
    int number = 0;
    if (numbering.kind == ParagraphNumbering::Kind::Number) {
        // Paragraphs numbered alike count on, whatever comes between.
        const bool countOn = numberedBefore_ && numbering == lastNumbered_ && lastNumber_ < INT_MAX;
        number = countOn ? lastNumber_ + 1 : numbering.start;
        numberedBefore_ = true;
        lastNumbered_ = numbering;
        lastNumber_ = number;
    }
    for (const QChar c : numbering.label(number))
        putText(c.unicode());
}

// The \pn group has been read: its numbering is the paragraph's.
void Reader::finishNumbering()
{
    numberingRead_.before = cleanText(numberingRead_.before);
    numberingRead_.after = cleanText(numberingRead_.after);
    if (numberings_.empty() || !(numberings_.back() == numberingRead_)) {
        if (numberings_.size() < kMostNumberings)
            numberings_.push_back(numberingRead_);
        else
            numberings_.back() = numberingRead_;
    }
    st_.numbering = int(numberings_.size()) - 1;
}

// A footnote's or an endnote's mark: the note's number.
void Reader::noteMark()
{
    const bool endnote = endnoteFollows();
    int& next = endnote ? nextEndnote_ : nextFootnote_;
    const QString mark = numberText(next, endnote ? endnoteStyle_ : footnoteStyle_);
    if (next < INT_MAX)
        ++next;
    for (const QChar c : mark)
        putText(c.unicode());
}

void Reader::appendToRun(const char16_t* chars, qsizetype n)
{
    if (runFormat_ < 0 || !(st_.style == runStyle_)) {
        runStyle_ = st_.style;
        runFormat_ = formatOf(runStyle_);
    }
    if (doc_.runs.empty() || doc_.runs.back().format != runFormat_)
        doc_.runs.push_back(Run{doc_.text.size(), 0, runFormat_});
    doc_.text.append(reinterpret_cast<const QChar*>(chars), n);
    doc_.runs.back().length += n;
}

void Reader::appendAscii(const unsigned char* from, const unsigned char* to)
{
    endHalfPair();
    char16_t buffer[256];
    while (from != to) {
        const qsizetype n = std::min<qsizetype>(to - from, qsizetype(std::size(buffer)));
        for (qsizetype i = 0; i < n; ++i)
            buffer[i] = from[i];
        append(buffer, n);
        from += n;
    }
}

int Reader::formatOf(const Style& style)
{
    const auto found = formatIndex_.find(style);
    if (found != formatIndex_.end())
        return found->second;
    QTextCharFormat f;
    const Font* font = fontEntry(style.font != kNoFont ? style.font : defaultFont_);
    if (font) {
        if (const QString name = cleanName(font->name); !name.isEmpty())
            f.setFontFamilies(QStringList{name});
    }
    f.setFontPointSize(style.halfPoints / 2.0);
    f.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(style.italic);
    f.setFontUnderline(style.underline);
    f.setFontStrikeOut(style.strike);
    if (const QColor c = color(style.foreground); c.isValid())
        f.setForeground(c);
    if (const QColor c = color(style.background); c.isValid())
        f.setBackground(c);
    const int index = int(doc_.formats.size());
    doc_.formats.push_back(f);
    formatIndex_.emplace(style, index);
    return index;
}

// The fonts, colours or code page changed: formats and decoders are looked
// up anew.
void Reader::tablesChanged()
{
    // A new table rather than clear(), which would keep (and sweep) all
    // the buckets it ever grew.
    if (!formatIndex_.empty())
        decltype(formatIndex_)().swap(formatIndex_);
    runFormat_ = -1;
    decoder_ = nullptr;
}

// ---------------------------------------------------------------- tables

Font* Reader::fontEntry(int number)
{
    if (number == kNoFont)
        return nullptr;
    const auto it = fonts_.find(number);
    return it != fonts_.end() ? &it->second : nullptr;
}

void Reader::finishFontName()
{
    Font* f = fontEntry(fontDefining_);
    if (!f || f->nameDone)
        return;
    f->nameDone = true;
    tablesChanged();
}


void Reader::finishColor()
{
    colors_.push_back(colorGiven_ ? QColor(red_, green_, blue_) : QColor());
    red_ = green_ = blue_ = 0;
    colorGiven_ = false;
    tablesChanged();
}

QColor Reader::color(int index) const
{
    if (index < 0 || index >= int(colors_.size()))
        return {};
    return colors_[std::size_t(index)];
}

} // namespace detail

void insert(const Document& document, QTextCursor& cursor)
{
    for (const Run& run : document.runs)
        cursor.insertText(document.text.mid(run.start, run.length), document.formats[std::size_t(run.format)]);
}

} // namespace rtf
