#include "RtfWriterChars.h"

#include "RtfCodePages.h"
#include "RtfFields.h"

#include <QFont>
#include <QTextDocument>
#include <QTextFragment>

#include <algorithm>
#include <climits>
#include <cmath>

namespace rtf::writing {

void appendText(QStringView chars, QByteArray& out, bool& delimit)
{
    const auto control = [&](const char* w) {
        out.append(w);
        delimit = true;
    };
    for (qsizetype i = 0; i < chars.size(); ++i) {
        char16_t c = chars[i].unicode();
        if (c >= 0x20 && c < 0x7F) {
            if (delimit) {
                out.append(' ');
                delimit = false;
            }
            if (c == '\\' || c == '{' || c == '}')
                out.append('\\');
            out.append(char(c));
            continue;
        }
        switch (c) {
        case u'\t':
            control("\\tab");
            continue;
        case 0x2028:
            control("\\line");
            continue;
        case 0x00A0:
            out.append("\\~");
            delimit = false;
            continue;
        case 0x00AD:
            out.append("\\-");
            delimit = false;
            continue;
        case 0x2011:
            out.append("\\_");
            delimit = false;
            continue;
        default:
            break;
        }
        if (c < 0x20 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1)
            continue; // breaks are written by the caller; other controls are not text
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < chars.size() && chars[i + 1].isLowSurrogate()) {
                out.append("\\u").append(QByteArray::number(int(std::int16_t(c)))).append('?');
                c = chars[++i].unicode();
            } else {
                c = 0xFFFD;
            }
        } else if (QChar::isLowSurrogate(c)) {
            c = 0xFFFD;
        }
        out.append("\\u").append(QByteArray::number(int(std::int16_t(c)))).append('?');
        delimit = false;
    }
}

namespace {

Underline underlineOf(QTextCharFormat::UnderlineStyle style)
{
    switch (style) {
    case QTextCharFormat::NoUnderline:
        return Underline::None;
    case QTextCharFormat::DashUnderline:
        return Underline::Dash;
    case QTextCharFormat::DotLine:
        return Underline::Dotted;
    case QTextCharFormat::DashDotLine:
        return Underline::DashDot;
    case QTextCharFormat::DashDotDotLine:
        return Underline::DashDotDot;
    case QTextCharFormat::WaveUnderline:
    case QTextCharFormat::SpellCheckUnderline:
        return Underline::Wave;
    case QTextCharFormat::SingleUnderline:
        break;
    }
    return Underline::Single;
}

} // namespace

Characters::Characters(const QTextDocument& document, const WriteOptions& options, QByteArray& out, bool& delimit)
    : doc_(document), options_(options), kept_(options.kept), fileRuns_(kept_ ? options.fileRuns : nullptr),
      out_(out), delimit_(delimit)
{
    // A document from a file keeps the file's tables and numbers, new
    // fonts and colours after them; any other has its default font first.
    if (kept_) {
        fonts_ = kept_->fonts;
        // The first font of a name is the one text in that font is given.
        for (auto it = fonts_.rbegin(); it != fonts_.rend(); ++it)
            fontByName_.insert(it->name, it->number);
        defaultFont_ = kept_->defaultFont;
        colors_ = kept_->colors;
    } else {
        const QFont base = document.defaultFont();
        fontNumber(base.families().value(0, base.family()));
        defaultFont_ = 0;
    }
    if (colors_.empty())
        colors_.push_back(0);
    // Colour 0 is never given by number: a background of 0 is none.
    for (std::size_t i = colors_.size(); i-- > 1;) {
        if (colors_[i])
            colorIndex_.insert(colors_[i] | 0xFF000000u, int(i));
    }
    current_ = plain();
}

// The format \plain gives. Its font counts as unknown and its size as not
// given (0): a font and a size given are written even when they are the
// plain ones, as readers differ in what they take for the document's
// default font and the plain size of East Asian text.
Characters::Written Characters::plain() const
{
    Written w;
    w.other = Set{kUnknown, 0, 0, 0};
    return w;
}

const CharFormat* Characters::fileFormat(int index) const
{
    return kept_ && index >= 0 && std::size_t(index) < kept_->formats.size() ? &kept_->formats[std::size_t(index)]
                                                                             : nullptr;
}

// The file run after the one `position` is in.
std::vector<FileRun>::const_iterator Characters::runAfter(int position) const
{
    return std::upper_bound(fileRuns_->begin(), fileRuns_->end(), position,
                            [](int p, const FileRun& run) { return p < run.start; });
}

void Characters::fragment(const QTextFragment& fragment)
{
    part(fragment.charFormat(), fragment.position(), fragment.text());
}

void Characters::part(const QTextCharFormat& format, int start, QStringView text)
{
    if (!fileRuns_) {
        const QVariant index = format.property(kFileFormatProperty);
        piece(format, fileFormat(index.isValid() ? index.toInt() : -1), text);
        return;
    }
    // The file's runs beside the text cut the fragment into pieces.
    const std::vector<FileRun>& runs = *fileRuns_;
    auto next = runAfter(start);
    for (qsizetype at = 0; at < text.size();) {
        const int run = next == runs.begin() ? -1 : std::prev(next)->format;
        const qsizetype n = next == runs.end() ? text.size() - at
                                               : std::min<qsizetype>(text.size() - at, next->start - (start + at));
        piece(format, fileFormat(run), text.sliced(at, n));
        at += n;
        if (next != runs.end() && start + at >= next->start)
            ++next;
    }
}

void Characters::object(const QTextCharFormat& format, int position, int index, std::uint8_t wordsFor)
{
    if (const CharFormat* file = fileFormat(index))
        piece(format, file, QStringView());
    else
        object(format, position);
    static constexpr const char* kWords[] = {"loch", "hich", "dbch", "rtlch"};
    static constexpr Mode kModes[] = {Mode::Other, Mode::Unknown, Mode::Asian, Mode::Complex};
    if (wordsFor < std::size(kWords) && (mode_ != kModes[wordsFor] || mode_ == Mode::Unknown)) {
        word(kWords[wordsFor]);
        mode_ = kModes[wordsFor];
    }
}

void Characters::objectFragment(const QTextFragment& fragment)
{
    object(fragment.charFormat(), fragment.position());
}

void Characters::object(const QTextCharFormat& format, int position)
{
    int index = -1;
    if (!fileRuns_) {
        const QVariant v = format.property(kFileFormatProperty);
        index = v.isValid() ? v.toInt() : -1;
    } else if (const auto next = runAfter(position); next != fileRuns_->begin()) {
        index = std::prev(next)->format;
    }
    piece(format, fileFormat(index), QStringView());
}

void Characters::piece(const QTextCharFormat& format, const CharFormat* file, QStringView text)
{
    const QString href = format.isAnchor() ? format.anchorHref() : QString();
    const int keptLink = file ? file->link : -1;
    // A field of the file that is no link (a page number, a date) goes
    // around its text once: a result of several paragraphs (a table of
    // contents) is one field.
    const bool field = keptLink >= 0 && kept_ && std::size_t(keptLink) < kept_->links.size()
        && kept_->links[std::size_t(keptLink)].href.isEmpty() && !fieldsWritten_.contains(keptLink);
    // Two links of the file side by side stay two, even to one address.
    if (inLink_
        && (href != linkHref_
            || (keptLink != linkKept_ && (linkHref_.isEmpty() || (keptLink >= 0 && linkKept_ >= 0)))))
        closeLink();
    if (!inLink_ && (!href.isEmpty() || field)) {
        openLink(href, keptLink);
        if (field)
            fieldsWritten_.insert(keptLink);
    }
    switchTo(file ? fromFile(*file) : shown(format));
    const int glyphs = file ? glyphCodePage(current_.other.font) : 0;
    if (glyphs)
        appendGlyphs(text, glyphs);
    else
        appendText(text, out_, delimit_);
}

int Characters::glyphCodePage(int font) const
{
    for (const Kept::Font& f : fonts_) {
        if (f.number == font)
            return f.glyphCodePage;
    }
    return 0;
}

// Text in a symbol font: the characters the reader made of the font's
// glyphs as those glyphs (U+F020 to U+F0FF), which other readers show in
// that font; letters that stand for another glyph in it as what they are.
void Characters::appendGlyphs(QStringView text, int codePage)
{
    QHash<char16_t, char16_t>& glyphs = glyphs_[codePage];
    const ByteDecoder decoder(codePage);
    if (glyphs.isEmpty()) {
        for (int b = 0xFF; b >= 0x20; --b) {
            const char16_t c = decoder.byte(static_cast<unsigned char>(b));
            if (c != b)
                glyphs.insert(c, char16_t(0xF000 + b));
        }
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char16_t glyph = glyphs.value(c);
        if (glyph || (c < 0x80 && decoder.byte(static_cast<unsigned char>(c)) != c)) {
            out_.append("\\u").append(QByteArray::number(int(std::int16_t(glyph ? glyph : c)))).append('?');
            delimit_ = false;
        } else {
            const qsizetype n = QChar::isHighSurrogate(c) && i + 1 < text.size() ? 2 : 1;
            appendText(text.sliced(i, n), out_, delimit_);
            i += n - 1;
        }
    }
}

void Characters::paragraphEnd()
{
    if (inLink_)
        closeLink();
}

void Characters::openLink(const QString& href, int keptLink)
{
    const bool fromFile = keptLink >= 0 && kept_ && std::size_t(keptLink) < kept_->links.size();
    out_.append("{\\field{\\*\\fldinst");
    delimit_ = true;
    // Read in the font of the text around it, as the text is.
    const QString instruction = fromFile ? kept_->links[std::size_t(keptLink)].instruction : hyperlinkInstruction(href);
    const int font = current_.other.font == kUnknown ? defaultFont_ : current_.other.font;
    if (const int glyphs = glyphCodePage(font))
        appendGlyphs(instruction, glyphs);
    else
        appendText(instruction, out_, delimit_);
    out_.append("}{\\fldrslt");
    delimit_ = true;
    inLink_ = true;
    linkHref_ = href;
    linkKept_ = fromFile ? keptLink : -1;
    beforeLink_ = current_;
    modeBeforeLink_ = mode_;
}

// The groups close: the format is again the one before the link.
void Characters::closeLink()
{
    out_.append("}}");
    delimit_ = false;
    inLink_ = false;
    current_ = beforeLink_;
    mode_ = modeBeforeLink_;
}

Characters::Written Characters::fromFile(const CharFormat& f)
{
    Written w;
    // Text the file gave no font (before its \deff) takes the default one.
    w.other = Set{f.font == kNone ? defaultFont_ : f.font, f.sizeGiven ? f.halfPoints : 0, f.bold, f.italic};
    w.complex = Set{f.complexFont, f.complexHalfPoints, f.complexBold, f.complexItalic};
    w.asianFont = f.asianFont;
    w.underline = f.underline;
    w.strike = f.strike;
    w.caps = f.caps;
    w.smallCaps = f.smallCaps;
    w.script = f.script;
    w.raise = f.raise;
    w.foreground = f.foreground ? colorNumber(f.foreground) : kNone;
    w.background = f.background ? colorNumber(f.background) : kNone;
    if (f.background)
        w.backgroundWord = f.backgroundWord;
    return w;
}

// What the editor shows, the same for every script.
Characters::Written Characters::shown(const QTextCharFormat& format)
{
    Written w;
    const QFont font = format.font().resolve(doc_.defaultFont());
    double points = font.pointSizeF();
    if (points <= 0)
        points = font.pixelSize() > 0 ? font.pixelSize() * 72.0 / 96.0 : 12.0;
    w.other = Set{fontNumber(font.families().value(0, font.family())),
                  std::clamp(int(std::lround(points * 2)), 2, 3276), font.bold(), font.italic()};
    w.complex = w.other;
    w.complex.font = kNone;
    w.strike = font.strikeOut();
    if (format.hasProperty(QTextFormat::TextUnderlineStyle) || format.hasProperty(QTextFormat::FontUnderline))
        w.underline = underlineOf(format.underlineStyle());
    else
        w.underline = doc_.defaultFont().underline() ? Underline::Single : Underline::None;
    w.caps = font.capitalization() == QFont::AllUppercase;
    w.smallCaps = font.capitalization() == QFont::SmallCaps;
    const auto vertical = format.verticalAlignment();
    w.script = vertical == QTextCharFormat::AlignSuperScript ? 1 : vertical == QTextCharFormat::AlignSubScript ? -1 : 0;
    const QBrush fg = format.foreground();
    if (fg.style() != Qt::NoBrush)
        w.foreground = colorNumber(fg.color().rgb());
    const QBrush bg = format.background();
    if (bg.style() != Qt::NoBrush && bg.color().isValid()
        && !(options_.plainBackground.isValid() && bg.color().rgb() == options_.plainBackground.rgb()))
        w.background = colorNumber(bg.color().rgb());
    return w;
}

int Characters::fontNumber(const QString& family)
{
    const auto it = fontByName_.constFind(family);
    if (it != fontByName_.constEnd())
        return *it;
    const int n = Kept::unusedFontNumber(fonts_);
    fonts_.push_back(Kept::Font{n, family, 0, 0, 0, {}});
    fontByName_.insert(family, n);
    return n;
}

int Characters::colorNumber(QRgb color)
{
    const QRgb rgb = color | 0xFF000000u;
    const auto it = colorIndex_.constFind(rgb);
    if (it != colorIndex_.constEnd())
        return *it;
    colors_.push_back(rgb);
    const int n = int(colors_.size()) - 1;
    colorIndex_.insert(rgb, n);
    return n;
}

void Characters::word(const char* w, int param)
{
    out_.append('\\');
    out_.append(w);
    if (param != INT32_MIN)
        out_.append(QByteArray::number(param));
    delimit_ = true;
}

// \rtlch, \dbch and \loch say which text the words after them are for.
void Characters::setMode(Mode mode)
{
    if (mode_ == mode)
        return;
    word(mode == Mode::Complex ? "rtlch" : mode == Mode::Asian ? "dbch" : "loch");
    mode_ = mode;
}

// What differs of a set, after the word that says which text it is for.
void Characters::writeSet(Mode mode, const Set& next, Set& current)
{
    if (next == current)
        return;
    setMode(mode);
    const bool complex = mode == Mode::Complex;
    if (next.font != current.font)
        word(complex ? "af" : "f", next.font);
    if (next.bold != current.bold && next.bold != kSame)
        word(next.bold ? (complex ? "ab" : "b") : (complex ? "ab0" : "b0"));
    if (next.italic != current.italic && next.italic != kSame)
        word(next.italic ? (complex ? "ai" : "i") : (complex ? "ai0" : "i0"));
    if (next.halfPoints != current.halfPoints)
        word(complex ? "afs" : "fs", next.halfPoints);
    current = next;
}

void Characters::switchTo(const Written& next)
{
    if (next == current_)
        return;
    // What is given cannot be taken back but by starting again from the
    // plain format.
    const bool automaticFirst = colors_.front() == 0;
    if (current_.other.lostIn(next.other) || current_.complex.lostIn(next.complex)
        || (next.asianFont == kNone && current_.asianFont != kNone)
        || (next.foreground == kNone && current_.foreground != kNone && !automaticFirst)) {
        word("plain");
        current_ = plain();
        mode_ = Mode::Unknown;
    }
    Written& cur = current_;
    const auto flag = [&](bool on, bool& was, const char* yes, const char* no) {
        if (on != was)
            word(on ? yes : no);
        was = on;
    };
    writeSet(Mode::Complex, next.complex, cur.complex);
    if (next.asianFont != cur.asianFont) {
        setMode(Mode::Asian);
        word("af", next.asianFont);
    }
    writeSet(Mode::Other, next.other, cur.other);
    if (next.underline != cur.underline)
        word(underlineWord(next.underline));
    flag(next.strike, cur.strike, "strike", "strike0");
    flag(next.caps, cur.caps, "caps", "caps0");
    flag(next.smallCaps, cur.smallCaps, "scaps", "scaps0");
    if (next.script != cur.script)
        word(next.script > 0 ? "super" : next.script < 0 ? "sub" : "nosupersub");
    if (next.raise != cur.raise)
        word(next.raise >= 0 ? "up" : "dn", std::abs(next.raise));
    if (next.foreground != cur.foreground)
        word("cf", std::max(next.foreground, 0));
    if (next.background != cur.background || next.backgroundWord != cur.backgroundWord) {
        static constexpr const char* kWords[] = {"highlight", "cb", "chcbpat"};
        if (cur.background >= 0 && (next.background < 0 || next.backgroundWord != cur.backgroundWord))
            word(kWords[int(cur.backgroundWord)], 0);
        if (next.background >= 0)
            word(kWords[int(next.backgroundWord)], next.background);
    }
    current_ = next;
}

QByteArray Characters::documentWords() const
{
    QByteArray words = "\\ansicpg" + QByteArray::number(kept_ ? kept_->codePage : 1252);
    if (defaultFont_ != kNone)
        words += "\\deff" + QByteArray::number(defaultFont_);
    return words;
}

QByteArray Characters::tables() const
{
    QByteArray h = "{\\fonttbl";
    for (const Kept::Font& f : fonts_) {
        if (!f.entry.isEmpty()) {
            h.append('{').append(f.entry).append('}');
            continue;
        }
        h.append("{\\f").append(QByteArray::number(f.number)).append("\\fnil");
        if (f.charset >= 0)
            h.append("\\fcharset").append(QByteArray::number(f.charset));
        if (f.codePage)
            h.append("\\cpg").append(QByteArray::number(f.codePage));
        bool delimit = true;
        QByteArray name;
        appendText(f.name, name, delimit);
        // A ';' would end the name: written as a character number.
        name.replace(";", "\\u59?");
        h.append(name).append(";}");
    }
    h.append("}\r\n{\\colortbl");
    for (const QRgb rgb : colors_) {
        if (rgb) {
            h.append("\\red").append(QByteArray::number(qRed(rgb)));
            h.append("\\green").append(QByteArray::number(qGreen(rgb)));
            h.append("\\blue").append(QByteArray::number(qBlue(rgb)));
        }
        h.append(';');
    }
    h.append("}\r\n");
    return h;
}

} // namespace rtf::writing
