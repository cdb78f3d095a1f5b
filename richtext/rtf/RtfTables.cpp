#include "RtfTables.h"

#include "RtfCodePages.h"

#include <algorithm>

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

bool Tables::finishName()
{
    const auto it = fonts_.find(defining_);
    if (it == fonts_.end() || it->second.nameDone)
        return false;
    it->second.nameDone = true;
    if (const QString name = family(it->second.name); !name.isEmpty())
        it->second.families = QStringList{name};
    return true;
}

bool Tables::setCharset(Word word, int value)
{
    const auto it = fonts_.find(defining_);
    if (it == fonts_.end())
        return false;
    (word == Word::Charset ? it->second.charset : it->second.codePage) = value;
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

QStringList Tables::families(int number) const
{
    const Font* f = font(number);
    if (!f)
        return {};
    if (f->nameDone)
        return f->families;
    const QString name = family(f->name);
    return name.isEmpty() ? QStringList{} : QStringList{name};
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
