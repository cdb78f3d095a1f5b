#include "RtfNumbering.h"

namespace rtf {

namespace {

constexpr int kMostRepeats = 10;

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

QString ParagraphNumbering::label(int number) const
{
    switch (kind) {
    case Kind::Continue:
        return {};
    case Kind::Bullet:
        return (before.isEmpty() && after.isEmpty() ? QStringLiteral("\u2022") : before + after) + u'\t';
    case Kind::Number:
        break;
    }
    return before + numberText(number, style) + after + u'\t';
}

} // namespace rtf
