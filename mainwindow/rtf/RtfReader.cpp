// The RTF reader: one pass over the bytes, a stack of group states, and
// text collected into runs of one format each. Every byte is looked at a
// bounded number of times; nesting deeper than kMaxDepth is still counted
// but its content is dropped, so no input can exhaust the stack.
#include "RtfReader.h"

#include "RtfCodePages.h"
#include "RtfKeywords.h"

#include <QColor>
#include <QFont>
#include <QTextCursor>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string_view>
#include <unordered_map>

namespace rtf {

namespace {

constexpr int kMaxDepth = 512;
constexpr int kDefaultHalfPoints = 24; // 12 points
constexpr int kDefaultCodePage = 1252;
constexpr int kNoFont = -1;

enum class Dest : std::uint8_t { Text, Skip, FontTable, ColorTable };

// The character format as the file states it; the fonts and colours are
// numbers into the tables, looked up when a run is made.
struct Style {
    int font = kNoFont; // kNoFont: the document's default font (\deff)
    int halfPoints = kDefaultHalfPoints;
    int foreground = -1; // colour table index; -1 none
    int background = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;

    bool operator==(const Style&) const = default;
};

struct StyleHash {
    std::size_t operator()(const Style& s) const noexcept
    {
        std::uint64_t h = std::uint32_t(s.font);
        h = h * 1000003u + std::uint32_t(s.halfPoints);
        h = h * 1000003u + std::uint32_t(s.foreground);
        h = h * 1000003u + std::uint32_t(s.background);
        h = h * 31u + (s.bold | s.italic << 1 | s.underline << 2 | s.strike << 3 | s.hidden << 4);
        return std::size_t(h ^ (h >> 29));
    }
};

struct State {
    Style style;
    Dest dest = Dest::Text;
    int uc = 1; // bytes of fallback after \uN
};

struct Font {
    QString name;
    int charset = -1;
    int codePage = 0; // \cpgN, 0 when not given
    bool nameDone = false;
};

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

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

QString cleanName(const QString& name);

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : p_(reinterpret_cast<const unsigned char*>(bytes.data())), end_(p_ + bytes.size())
    {
    }

    Document run();

private:
    // ---- lexing ----
    void openGroup();
    void closeGroup();
    void controlSequence();
    void controlWord(std::string_view word, bool hasParam, int param);
    void controlSymbol(unsigned char c);
    void textBytes();

    // ---- output ----
    void putByte(unsigned char b);
    void put(char16_t c);
    void putText(char16_t c);
    void append(const char16_t* chars, qsizetype n);
    void appendAscii(const unsigned char* from, const unsigned char* to);
    void paragraphBreak();
    void endHalfPair();
    void flushPending();
    ByteDecoder& decoder();
    int formatOf(const Style& style);
    void tablesChanged();

    // ---- tables ----
    Font* fontEntry(int number);
    void finishFontName();
    void finishColor();
    QColor color(int index) const;

    const unsigned char* p_;
    const unsigned char* const end_;
    bool stopped_ = false;
    bool rootOpened_ = false;

    State st_;
    std::vector<State> stack_;
    int excess_ = 0; // groups opened beyond kMaxDepth
    int ucSkip_ = 0;
    bool cellPending_ = false;
    char16_t highSurrogate_ = 0;

    int ansiCodePage_ = kDefaultCodePage;
    int defaultFont_ = kNoFont;
    std::map<int, Font> fonts_;
    int fontDefining_ = kNoFont;
    std::vector<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorGiven_ = false;

    Decoders decoders_;
    ByteDecoder* decoder_ = nullptr;
    int decoderFont_ = kNoFont;
    bool decoderForTable_ = false;
    QByteArray pending_; // bytes of a multi-byte code page not yet decoded
    ByteDecoder* pendingDecoder_ = nullptr;

    std::unordered_map<Style, int, StyleHash> formatIndex_;
    Style runStyle_;
    int runFormat_ = -1;

    Document doc_;
};

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
    if (int(stack_.size()) >= kMaxDepth || excess_ > 0) {
        ++excess_;
        return;
    }
    rootOpened_ = true;
    stack_.push_back(st_);
}

void Reader::closeGroup()
{
    flushPending();
    ucSkip_ = 0;
    if (excess_ > 0) {
        --excess_;
        return;
    }
    if (stack_.empty())
        return; // a closing brace too many
    const Dest leaving = st_.dest;
    if (leaving == Dest::FontTable)
        finishFontName();
    st_ = stack_.back();
    stack_.pop_back();
    if ((leaving == Dest::FontTable || leaving == Dest::ColorTable) && st_.dest != leaving)
        tablesChanged();
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
        if (st_.dest == Dest::Text && !s.hidden && excess_ == 0) {
            if (cellPending_) {
                cellPending_ = false;
                putText(u'\t'); // the end of an empty cell
            }
            cellPending_ = true;
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
    }
}

// Text bytes up to the next brace, backslash or line end.
void Reader::textBytes()
{
    if (st_.dest == Dest::Skip || excess_ > 0) {
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

// ---------------------------------------------------------------- output

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
    if (st_.dest == Dest::Skip || st_.dest == Dest::ColorTable || excess_ > 0)
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
    if (excess_ > 0)
        return;
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
    case Dest::Skip:
    case Dest::ColorTable:
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
    if (st_.style.hidden || excess_ > 0)
        return;
    endHalfPair();
    const char16_t lf = u'\n';
    append(&lf, 1);
}

void Reader::append(const char16_t* chars, qsizetype n)
{
    if (cellPending_) {
        cellPending_ = false;
        append(u"\t", 1);
    }
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

// A font name as a format takes it: without the spaces around it, and
// with what is not a character of text (half a pair, a code the document
// keeps for itself) replaced.
QString cleanName(const QString& name)
{
    QString out = name.trimmed();
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t c = out[i].unicode();
        if (out[i].isHighSurrogate() && i + 1 < out.size() && out[i + 1].isLowSurrogate())
            ++i;
        else if (out[i].isSurrogate() || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFE || c == 0xFFFF)
            out[i] = QChar(0xFFFD);
    }
    return out;
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

} // namespace

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
    return Reader(bytes).run();
}

void insert(const Document& document, QTextCursor& cursor)
{
    for (const Run& run : document.runs)
        cursor.insertText(document.text.mid(run.start, run.length), document.formats[std::size_t(run.format)]);
}

} // namespace rtf
