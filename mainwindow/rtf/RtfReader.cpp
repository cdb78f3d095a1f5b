// The RTF reader: one pass over the bytes, a stack of group states, and
// text collected into runs of one format each. Every byte is looked at a
// bounded number of times, and the stack of group states is on the heap
// and bounded (GroupStack), so no input can exhaust memory or the stack.
#include "RtfReaderImpl.h"

#include "RtfKeywords.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace rtf {

namespace detail {

namespace {

int hexValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

} // namespace

Document Reader::run()
{
    // White space or a byte order mark before the first brace is not text.
    const unsigned char* start = p_;
    while (start != end_ && (*start <= ' ' || *start >= 0x80) && *start != '{')
        ++start;
    if (start != end_ && *start == '{')
        p_ = start;

    while (p_ < end_ && !stopped_) {
        switch (*p_) {
        case '{':
            ++p_;
            openGroup();
            break;
        case '}':
            ++p_;
            closeGroup();
            break;
        case '\\':
            ++p_;
            controlSequence();
            break;
        case '\r':
        case '\n':
            ++p_;
            break;
        default:
            textBytes();
            break;
        }
    }
    flushPending();
    endHalfPair();
    // The mark that ends the last paragraph.
    if (!doc_.text.isEmpty() && doc_.text.back() == u'\n') {
        doc_.text.chop(1);
        if (--doc_.runs.back().length == 0)
            doc_.runs.pop_back();
    }
    return std::move(doc_);
}

// ---------------------------------------------------------------- lexing

void Reader::openGroup()
{
    flushPending();
    ucSkip_ = 0;
    rootOpened_ = true;
    stack_.push(st_);
    st_.starredFrom = Dest::Skip; // a \* counts in its own group only
}

void Reader::closeGroup()
{
    flushPending();
    ucSkip_ = 0;
    if (stack_.empty())
        return; // a closing brace too many
    const Dest leaving = st_.dest;
    if (leaving == Dest::FontTable)
        finishFontName();
    st_ = stack_.pop();
    if ((leaving == Dest::FontTable || leaving == Dest::ColorTable) && st_.dest != leaving)
        tablesChanged();
    if (leaving == Dest::Numbering && st_.dest != leaving)
        finishNumbering();
    if (stack_.empty() && rootOpened_)
        stopped_ = true; // the end of the document's group: what follows is not RTF
}

void Reader::controlSequence()
{
    if (p_ == end_)
        return;
    if (!isLetter(*p_)) {
        const unsigned char c = *p_++;
        controlSymbol(c);
        return;
    }
    char word[33];
    std::size_t length = 0;
    while (p_ != end_ && isLetter(*p_)) {
        if (length < 32)
            word[length++] = char(*p_);
        ++p_;
    }
    bool hasParam = false;
    bool negative = false;
    std::int64_t value = 0;
    if (p_ + 1 == end_ && *p_ == '-') {
        p_ = end_; // cut before the digits of a negative number
        return;
    }
    if (p_ != end_ && *p_ == '-' && p_ + 1 != end_ && isDigit(p_[1])) {
        negative = true;
        ++p_;
    }
    while (p_ != end_ && isDigit(*p_)) {
        hasParam = true;
        if (value < 10'000'000'000)
            value = value * 10 + (*p_ - '0');
        ++p_;
    }
    // A word that runs into the end of the data was cut short: it may be
    // the start of another (\pard of \par, \linex of \line).
    if (p_ == end_)
        return;
    if (*p_ == ' ')
        ++p_;
    value = std::clamp<std::int64_t>(negative ? -value : value, INT32_MIN, INT32_MAX);
    controlWord(std::string_view(word, length), hasParam, int(value));
}

void Reader::controlSymbol(unsigned char c)
{
    if (c == '\'') {
        // Two hex digits; an escape cut short stands for nothing.
        const int hi = p_ != end_ ? hexValue(*p_) : -1;
        if (hi < 0)
            return;
        ++p_;
        const int lo = p_ != end_ ? hexValue(*p_) : -1;
        if (lo < 0)
            return;
        ++p_;
        if (ucSkip_ > 0) {
            --ucSkip_;
            return;
        }
        putByte(static_cast<unsigned char>(hi * 16 + lo));
        return;
    }
    flushPending();
    if (ucSkip_ > 0) {
        --ucSkip_;
        return;
    }
    switch (c) {
    case '*':
        st_.starredFrom = st_.dest;
        st_.dest = Dest::Skip;
        break;
    case '~':
        put(0x00A0);
        break;
    case '-':
        put(0x00AD);
        break;
    case '_':
        put(0x2011);
        break;
    case '{':
    case '}':
    case '\\':
        put(c);
        break;
    case '\r':
    case '\n':
        if (st_.dest == Dest::Text)
            paragraphBreak();
        break;
    case '\t':
        put(u'\t');
        break;
    default:
        break; // \| \: and the like: nothing to show
    }
}

void Reader::controlWord(std::string_view word, bool hasParam, int param)
{
    const Keyword k = keyword(word);

    if (k.word == Word::Bin) {
        // Binary data, whatever the destination: skipped unread.
        flushPending();
        const std::int64_t n = std::max(0, hasParam ? param : 0);
        p_ += std::min<std::int64_t>(n, end_ - p_);
        return;
    }
    if (k.word == Word::Unicode) {
        flushPending();
        if (ucSkip_ > 0) {
            --ucSkip_;
            return;
        }
        std::int64_t code = param;
        if (code < 0)
            code += 65536;
        if (code >= 0xF020 && code <= 0xF0FF)
            code = decoder().privateUse(char16_t(code));
        if (code > 0xFFFF && code <= 0x10FFFF) {
            put(char16_t(0xD800 + ((code - 0x10000) >> 10)));
            put(char16_t(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else if (code >= 0 && code <= 0xFFFF) {
            put(char16_t(code));
        }
        ucSkip_ = st_.uc;
        return;
    }
    flushPending();
    if (ucSkip_ > 0) {
        --ucSkip_;
        return;
    }

    const bool on = !hasParam || param != 0;
    Style& s = st_.style;
    switch (k.word) {
    case Word::Ignore:
    case Word::Bin:
    case Word::Unicode:
        break;
    case Word::Skip:
        st_.dest = Dest::Skip;
        break;
    case Word::FontTable:
        if (st_.dest != Dest::Skip) {
            st_.dest = Dest::FontTable;
            fontDefining_ = kNoFont;
        }
        break;
    case Word::ColorTable:
        if (st_.dest != Dest::Skip) {
            st_.dest = Dest::ColorTable;
            colors_.clear();
            red_ = green_ = blue_ = 0;
            colorGiven_ = false;
        }
        break;
    case Word::Char:
        put(k.character);
        break;
    case Word::Par:
        if (st_.dest == Dest::Text)
            paragraphBreak();
        break;
    case Word::Line:
        put(0x2028);
        break;
    case Word::Tab:
        put(u'\t');
        break;
    case Word::Cell:
        if (st_.dest == Dest::Text && !s.hidden) {
            if (cellPending_) {
                cellPending_ = false;
                putText(u'\t'); // the end of an empty cell
            }
            cellPending_ = true;
            paragraphLabelled_ = false;
        }
        break;
    case Word::Row:
        if (st_.dest == Dest::Text) {
            cellPending_ = false;
            paragraphBreak();
        }
        break;
    case Word::Font:
        if (st_.dest == Dest::FontTable) {
            finishFontName();
            fontDefining_ = param;
            fonts_[param] = Font{};
            tablesChanged();
        } else if (hasParam) {
            s.font = param;
        }
        break;
    case Word::FontSize:
        s.halfPoints = hasParam && param > 0 ? std::clamp(param, 2, 3276) : kDefaultHalfPoints;
        break;
    case Word::Bold:
        s.bold = on;
        break;
    case Word::Italic:
        s.italic = on;
        break;
    case Word::Underline:
        s.underline = on;
        break;
    case Word::UnderlineNone:
        s.underline = false;
        break;
    case Word::Strike:
        s.strike = on;
        break;
    case Word::Hidden:
        s.hidden = on;
        break;
    case Word::Foreground:
        s.foreground = hasParam ? param : -1;
        break;
    case Word::Background:
        // Index 0 means no background for all three words.
        s.background = hasParam && param > 0 ? param : -1;
        break;
    case Word::Plain:
        s = Style{};
        break;
    case Word::UnicodeSkip:
        st_.uc = std::clamp(hasParam ? param : 1, 0, 255);
        break;
    case Word::Charset:
    case Word::CodePage:
        if (st_.dest == Dest::FontTable) {
            if (Font* f = fontEntry(fontDefining_)) {
                (k.word == Word::Charset ? f->charset : f->codePage) = param;
                tablesChanged();
            }
        }
        break;
    case Word::Red:
    case Word::Green:
    case Word::Blue:
        if (st_.dest == Dest::ColorTable) {
            const int v = std::clamp(param, 0, 255);
            (k.word == Word::Red ? red_ : k.word == Word::Green ? green_ : blue_) = v;
            colorGiven_ = true;
        }
        break;
    case Word::DefaultFont:
        defaultFont_ = param;
        tablesChanged();
        break;
    case Word::AnsiCodePage:
        if (param > 0 && param < 100000) {
            ansiCodePage_ = param;
            tablesChanged();
        }
        break;
    case Word::Ansi:
    case Word::Mac:
    case Word::Pc:
    case Word::Pca:
        ansiCodePage_ = k.word == Word::Ansi ? 1252 : k.word == Word::Mac ? 10000 : k.word == Word::Pc ? 437 : 850;
        tablesChanged();
        break;
    case Word::ParagraphDefault:
        st_.numbering = -1;
        break;
    case Word::ListText:
        // The paragraph's number or bullet as the writer shows it.
        if (st_.dest == Dest::Text)
            paragraphLabelled_ = true;
        break;
    case Word::Numbering:
        if (st_.dest == Dest::Text || (st_.dest == Dest::Skip && st_.starredFrom == Dest::Text)) {
            st_.dest = Dest::Numbering;
            numberingRead_ = ParagraphNumbering{};
        }
        break;
    case Word::NumberingBefore:
    case Word::NumberingAfter:
        if (st_.dest == Dest::Numbering || (st_.dest == Dest::Skip && st_.starredFrom == Dest::Numbering)) {
            const bool before = k.word == Word::NumberingBefore;
            st_.dest = before ? Dest::NumberingBefore : Dest::NumberingAfter;
            (before ? numberingRead_.before : numberingRead_.after).clear();
        }
        break;
    case Word::NumberingBullet:
    case Word::NumberingBody:
    case Word::NumberingContinue:
        if (st_.dest == Dest::Numbering) {
            numberingRead_.kind = k.word == Word::NumberingBullet ? ParagraphNumbering::Kind::Bullet
                : k.word == Word::NumberingBody                   ? ParagraphNumbering::Kind::Number
                                                                  : ParagraphNumbering::Kind::Continue;
        }
        break;
    case Word::NumberingStyle:
        if (st_.dest == Dest::Numbering)
            numberingRead_.style = k.style;
        break;
    case Word::NumberingStart:
        if (st_.dest == Dest::Numbering)
            numberingRead_.start = std::clamp(hasParam ? param : 1, 0, kMaxStartNumber);
        break;
    case Word::NumberingFont:
        // The font the texts of the numbering are in.
        if (st_.dest == Dest::Numbering && hasParam)
            s.font = param;
        break;
    case Word::FootnoteMark:
        if (st_.dest == Dest::Text)
            noteMark();
        break;
    case Word::FootnoteStyle:
        footnoteStyle_ = k.style;
        break;
    case Word::EndnoteStyle:
        endnoteStyle_ = k.style;
        break;
    case Word::FootnoteStart:
    case Word::EndnoteStart:
        (k.word == Word::FootnoteStart ? nextFootnote_ : nextEndnote_) =
            std::clamp(hasParam ? param : 1, 0, kMaxStartNumber);
        break;
    }
}

// After a note's mark (\chftn): whether the note is an endnote, that is,
// whether the group that comes next is "{\footnote\ftnalt". Word writes
// a space or the end of the mark's group between them, LibreOffice
// "{\*\footnote\ftnalt". Looks at a few bytes ahead only.
bool Reader::endnoteFollows() const
{
    const unsigned char* q = p_;
    const unsigned char* const limit = p_ + std::min<std::ptrdiff_t>(end_ - p_, 64);
    const auto skipBlanks = [&] {
        while (q != limit && (*q == ' ' || *q == '\r' || *q == '\n'))
            ++q;
    };
    const auto takeWord = [&](std::string_view w) {
        if (limit - q <= std::ptrdiff_t(w.size()) || std::memcmp(q, w.data(), w.size()) != 0
            || isLetter(q[w.size()]))
            return false;
        q += w.size();
        return true;
    };
    while (q != limit && (*q == ' ' || *q == '\r' || *q == '\n' || *q == '}'))
        ++q;
    if (q == limit || *q != '{')
        return false;
    ++q;
    skipBlanks();
    if (takeWord("\\*"))
        skipBlanks();
    if (!takeWord("\\footnote"))
        return false;
    skipBlanks();
    return takeWord("\\ftnalt");
}

// Text bytes up to the next brace, backslash or line end.
void Reader::textBytes()
{
    if (st_.dest == Dest::Skip) {
        while (p_ != end_ && *p_ != '\\' && *p_ != '{' && *p_ != '}')
            ++p_;
        return;
    }
    if (st_.dest == Dest::Text && ucSkip_ == 0 && pending_.isEmpty() && !st_.style.hidden
        && decoder().asciiIsAscii()) {
        const unsigned char* q = p_;
        while (q != end_ && *q >= 0x20 && *q < 0x80 && *q != '\\' && *q != '{' && *q != '}')
            ++q;
        if (q != p_) {
            appendAscii(p_, q);
            p_ = q;
            return;
        }
    }
    const unsigned char c = *p_++;
    if (ucSkip_ > 0) {
        --ucSkip_;
        return;
    }
    if (c == ';' && st_.dest == Dest::FontTable) {
        flushPending();
        finishFontName();
        return;
    }
    if (c == ';' && st_.dest == Dest::ColorTable) {
        finishColor();
        return;
    }
    if (c == '\t') {
        flushPending();
        put(u'\t');
        return;
    }
    if (c < 0x20)
        return;
    putByte(c);
}

} // namespace detail

bool looksLikeRtf(QByteArrayView bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    const QByteArrayView rest = bytes.sliced(i);
    return rest.startsWith("{\\rtf") || rest.startsWith("{\\urtf");
}

Document read(QByteArrayView bytes)
{
    return detail::Reader(bytes).run();
}

} // namespace rtf
