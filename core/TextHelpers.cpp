#include "TextHelpers.h"

#include <array>

bool IsInList(const QString& text, const QStringList& list)
{
    for (const QString& item : list) {
        if (item == text)
            return true;
    }
    return false;
}

bool IsBlankText(const QString& text)
{
    if (text.isEmpty())
        return true;
    static const QStringList blanks = {QStringLiteral(" "), QStringLiteral("\n"), QStringLiteral("\r"),
                                       QStringLiteral("\r\n"), QStringLiteral("\t")};
    for (QChar c : text) {
        if (!IsInList(QString(c), blanks))
            return false;
    }
    return true;
}

QString TruncateTo500(const QString& text)
{
    return text.size() <= 500 ? text : text.left(500);
}

QString StripTrailingSlash(const QString& path)
{
    if (path.endsWith(u'\\') || path.endsWith(u'/'))
        return path.left(path.size() - 1);
    return path;
}

QString StripNulls(QString& text)
{
    const qsizetype limit = qMin<qsizetype>(text.size(), 255);
    for (qsizetype i = 0; i < limit; ++i) {
        if (text[i] == QChar(u'\0')) {
            text.truncate(i);
            break;
        }
    }
    return text;
}

int Cp1252Code(char32_t ch)
{
    // 0x80..0x9F of Windows-1252; 0 where the code page has no character,
    // which the system maps straight through to the same code.
    static constexpr std::array<char16_t, 32> high = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return static_cast<int>(ch);
    for (int i = 0; i < 32; ++i) {
        if (high[i] == ch)
            return 0x80 + i;
    }
    return '?';
}

QString URLEncode(const QString& text)
{
    // Codes that stay as they are: digits and ASCII letters. Built once.
    static const std::array<bool, 256> URLSafe = [] {
        std::array<bool, 256> t{};
        for (int c = '0'; c <= '9'; ++c) t[c] = true;
        for (int c = 'A'; c <= 'Z'; ++c) t[c] = true;
        for (int c = 'a'; c <= 'z'; ++c) t[c] = true;
        return t;
    }();

    static const char hex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(text.size() * 3);
    for (char32_t ch : text.toUcs4()) {
        const int code = Cp1252Code(ch);
        if (code == 32) {
            out += QStringLiteral("%20");
        } else if (URLSafe[code]) {
            out += QChar(code);
        } else {
            out += u'%';
            out += QChar(hex[code >> 4]);
            out += QChar(hex[code & 15]);
        }
    }
    return out;
}
