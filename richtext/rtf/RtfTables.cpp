#include "RtfTables.h"

#include "RtfCodePages.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <string_view>

namespace rtf::reading {

void Tables::beginFonts()
{
    defining_ = kNoFont;
}

void Tables::defineFont(int number)
{
    finishName();
    defining_ = number;
    fonts_[number] = Font{};
}

void Tables::addToName(char16_t c)
{
    // Font names are short; a longer one is cut (it is copied into every
    // format that uses it).
    const auto it = fonts_.find(defining_);
    if (it != fonts_.end() && !it->second.nameDone && c >= 0x20 && it->second.name.size() < 256)
        it->second.name.append(QChar(c));
}

namespace {

// True when an entry of the font table can be written back as it was, in
// braces of its own: its braces pair up, it holds no control characters
// (nor binary data, \bin, which could hold any byte), and its control words
// are those of one font's entry, so that it says nothing of other fonts or
// of the document.
bool keepsAsWritten(QByteArrayView entry)
{
    static const std::set<std::string_view> words = {
        "fnil", "froman", "fswiss", "fmodern", "fscript", "fdecor", "ftech", "fbidi", "fcharset", "fprq", "cpg",
        "panose", "falt", "fname", "fontemb", "fontfile", "ftnil", "fttruetype", "u", "uc", "upr", "ud",
        "flomajor", "fhimajor", "fdbmajor", "fbimajor", "flominor", "fhiminor", "fdbminor", "fbiminor"};
    int depth = 0;
    int fonts = 0;
    for (qsizetype i = 0; i < entry.size(); ++i) {
        const char c = entry[i];
        if (static_cast<unsigned char>(c) < 0x20 && c != '\r' && c != '\n' && c != '\t')
            return false;
        if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth < 0) {
            return false;
        } else if (c == '\\' && i + 1 < entry.size()) {
            qsizetype end = i + 1;
            while (end < entry.size() && std::isalpha(static_cast<unsigned char>(entry[end])))
                ++end;
            const std::string_view word(entry.data() + i + 1, std::size_t(end - i - 1));
            if (word == "f" ? ++fonts > 1 : !word.empty() && !words.count(word))
                return false;
            i = word.empty() ? i + 1 : end - 1;
        }
    }
    return depth == 0;
}

} // namespace

bool Tables::finishName(QByteArrayView entry, int uc)
{
    const auto it = fonts_.find(defining_);
    if (it == fonts_.end() || it->second.nameDone)
        return false;
    it->second.nameDone = true;
    // Written back in braces of its own in a table at \uc1: it starts with
    // the \uc it was read at when that is another.
    if (keepsAsWritten(entry) && entry.size() < 4096)
        it->second.entry = (uc == 1 ? QByteArray() : "\\uc" + QByteArray::number(uc)) + entry.toByteArray();
    it->second.nameCodePage = codePageOf(defining_, true);
    return true;
}

bool Tables::setCharset(Word word, int value)
{
    const auto it = fonts_.find(defining_);
    if (it == fonts_.end())
        return false;
    (word == Word::Charset ? it->second.charset : it->second.codePage) = value;
    it->second.entry.clear(); // given after its name: the entry as written says otherwise
    return true;
}

void Tables::beginColors()
{
    colors_.clear();
    red_ = green_ = blue_ = 0;
    colorGiven_ = false;
}

void Tables::setComponent(Word word, int value)
{
    (word == Word::Red ? red_ : word == Word::Green ? green_ : blue_) = std::clamp(value, 0, 255);
    colorGiven_ = true;
}

void Tables::finishColor()
{
    colors_.push_back(colorGiven_ ? qRgb(red_, green_, blue_) : QRgb(0));
    red_ = green_ = blue_ = 0;
    colorGiven_ = false;
}

QRgb Tables::color(int index) const
{
    if (index < 0 || index >= int(colors_.size()))
        return 0;
    return colors_[std::size_t(index)];
}

bool Tables::setCodePage(int codePage)
{
    if (codePage <= 0 || codePage >= 100000)
        return false;
    codePage_ = codePage;
    return true;
}

const Tables::Font* Tables::font(int number) const
{
    if (number == kNoFont)
        return nullptr;
    const auto it = fonts_.find(number);
    return it != fonts_.end() ? &it->second : nullptr;
}

int Tables::codePageOf(int number, bool forName) const
{
    int codePage = 0;
    if (const Font* f = font(number)) {
        if (f->codePage > 0 && f->codePage < 100000)
            codePage = f->codePage;
        else if (f->charset >= 0)
            codePage = codePageOfCharset(f->charset);
        if (codePage == 0 && f->charset < 0
            && f->name.trimmed().compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0)
            codePage = kSymbolCodePage;
        if (codePage == kSymbolCodePage && f->name.contains(QLatin1String("wingdings"), Qt::CaseInsensitive))
            codePage = kWingdingsCodePage;
        // Western fonts in an East Asian document are Western: their
        // bytes are single letters of Windows-1252, not halves of
        // characters.
        if (codePage == 0 && f->charset == 0 && isEastAsianCodePage(codePage_))
            codePage = kDefaultCodePage;
    }
    if (codePage == 0 || (forName && codePage < 0))
        codePage = codePage_;
    return codePage;
}

void Tables::keep(Kept& kept) const
{
    kept.fonts.clear();
    for (const auto& [number, font] : fonts_) {
        // The entry is written back under the document's last code page:
        // as it was only when its name's bytes mean there what they meant
        // where it stood (a \ansicpg may come after the table).
        const bool sameName = font.nameCodePage == codePageOf(number, true);
        kept.fonts.push_back(Kept::Font{number, family(font.name), font.charset, font.codePage,
                                        std::min(codePageOf(number, false), 0), sameName ? font.entry : QByteArray()});
    }
    kept.defaultFont = defaultFont_;
    kept.codePage = codePage_;
    kept.colors = colors_;
}

// Without the spaces around it, and with what is not a character of text
// (half a pair, a code the document keeps for itself) replaced.
QString Tables::family(const QString& name)
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

} // namespace rtf::reading
