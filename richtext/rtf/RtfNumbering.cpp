#include "RtfNumbering.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>

namespace rtf {

namespace {

constexpr int kMostRepeats = 10;
// Longer texts around a list number are cut.
constexpr qsizetype kMostNumberingText = 32;
// Past this many different numberings in a file, the last is replaced.
constexpr std::size_t kMostNumberings = 1024;

QString roman(int n, bool upper)
{
    static const struct {
        int value;
        const char* digits;
    } kParts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
                  {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    QString out;
    for (const auto& part : kParts) {
        for (; n >= part.value; n -= part.value)
            out += QLatin1String(part.digits);
    }
    return upper ? out.toUpper() : out;
}


} // namespace

// Whether the note whose mark came just before `ahead` is an endnote, that
// is, whether the group that comes next is "{\footnote\ftnalt". Word
// writes a space or the end of the mark's group between them, LibreOffice
// "{\*\footnote\ftnalt". Looks at a few bytes only.
bool endnoteFollows(QByteArrayView ahead)
{
    const char* q = ahead.data();
    const char* const limit = q + std::min<qsizetype>(ahead.size(), 64);
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto skipBlanks = [&] {
        while (q != limit && (*q == ' ' || *q == '\r' || *q == '\n'))
            ++q;
    };
    const auto takeWord = [&](std::string_view w) {
        if (limit - q <= qsizetype(w.size()) || std::memcmp(q, w.data(), w.size()) != 0 || isLetter(q[w.size()]))
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

QString numberText(int n, NumberStyle style)
{
    if (n >= 1) {
        switch (style) {
        case NumberStyle::Arabic:
            break;
        case NumberStyle::LowerLetter:
        case NumberStyle::UpperLetter:
            if (n <= 26 * kMostRepeats) {
                const char16_t first = style == NumberStyle::UpperLetter ? u'A' : u'a';
                return QString((n - 1) / 26 + 1, QChar(char16_t(first + (n - 1) % 26)));
            }
            break;
        case NumberStyle::LowerRoman:
        case NumberStyle::UpperRoman:
            if (n < 4000)
                return roman(n, style == NumberStyle::UpperRoman);
            break;
        case NumberStyle::Symbols:
            if (n <= 4 * kMostRepeats) {
                static const char16_t kSymbols[] = {u'*', 0x2020, 0x2021, 0x00A7};
                return QString((n - 1) / 4 + 1, QChar(kSymbols[(n - 1) % 4]));
            }
            break;
        }
    }
    return QString::number(n);
}

void Numbering::begin()
{
    read_ = ParagraphNumbering{};
}

void Numbering::word(const Keyword& k, bool hasParam, int param)
{
    const int start = std::clamp(hasParam ? param : 1, 0, kMaxStartNumber);
    switch (k.word) {
    case Word::NumberingBullet:
        read_.kind = ParagraphNumbering::Kind::Bullet;
        break;
    case Word::NumberingBody:
        read_.kind = ParagraphNumbering::Kind::Number;
        break;
    case Word::NumberingContinue:
        read_.kind = ParagraphNumbering::Kind::Continue;
        break;
    case Word::NumberingStyle:
        read_.style = k.style;
        break;
    case Word::NumberingStart:
        read_.start = start;
        break;
    case Word::FootnoteStyle:
        footnoteStyle_ = k.style;
        break;
    case Word::EndnoteStyle:
        endnoteStyle_ = k.style;
        break;
    case Word::FootnoteStart:
        nextFootnote_ = start;
        break;
    case Word::EndnoteStart:
        nextEndnote_ = start;
        break;
    default:
        break;
    }
}

void Numbering::beginText(bool before)
{
    (before ? read_.before : read_.after).clear();
}

void Numbering::text(bool before, char16_t c)
{
    // No control characters and no paragraph separator: the label is one
    // paragraph's start.
    if (QString& t = before ? read_.before : read_.after; c >= 0x20 && c != 0x2029 && t.size() < kMostNumberingText)
        t.append(QChar(c));
}

int Numbering::end()
{
    if (numberings_.empty() || !(numberings_.back() == read_)) {
        if (numberings_.size() < kMostNumberings)
            numberings_.push_back(read_);
        else
            numberings_.back() = read_;
    }
    return int(numberings_.size()) - 1;
}

QString Numbering::noteMark(QByteArrayView ahead)
{
    const bool endnote = endnoteFollows(ahead);
    int& next = endnote ? nextEndnote_ : nextFootnote_;
    const QString mark = numberText(next, endnote ? endnoteStyle_ : footnoteStyle_);
    if (next < INT_MAX)
        ++next;
    return mark;
}

} // namespace rtf
