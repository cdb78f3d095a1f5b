// RTF code pages. Qt decodes every code page that its ICU knows; for a Qt
// built without ICU the three most common Windows code pages are kept here
// as tables, and any other single-byte code page falls back to 1252.
#include "RtfCodePages.h"

#include <QStringConverter>

#include <algorithm>
#include <array>
#include <vector>

namespace rtf {

namespace {

// The upper halves (0x80 to 0xFF) of Windows code pages 1250 and 1251, and
// 0x80 to 0x9F of 1252 (the rest of 1252 is ISO 8859-1).
constexpr char16_t kCp1250[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9
};
constexpr char16_t kCp1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F
};
constexpr char16_t kCp1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178
};

// The characters of the Symbol font's glyphs 0x20 to 0x7E and 0xA0 to
// 0xFE: Greek letters where the letters of ASCII are, mathematical signs,
// arrows and card suits; 0 where a glyph is a piece of a bracket or of an
// arrow with no character of its own.
constexpr char16_t kSymbolLow[0x7F - 0x20] = {
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220D, 0x0028, 0x0029, 0x2217, 0x002B,
    0x002C, 0x2212, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F, 0x2245, 0x0391, 0x0392, 0x03A7,
    0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396, 0x005B,
    0x2234, 0x005D, 0x22A5, 0x005F, 0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,
    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3,
    0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C,
};
constexpr char16_t kSymbolHigh[0xFF - 0xA0] = {
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194,
    0x2190, 0x2191, 0x2192, 0x2193, 0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0, 0, 0x21B5, 0x2135, 0x2111, 0x211C, 0x2118,
    0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4,
    0x21D0, 0x21D1, 0x21D2, 0x21D3, 0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0x232A, 0x222B, 0x2320,
    0, 0x2321, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

// A few glyphs of the symbol fonts that documents use as bullets.
struct Glyph {
    unsigned char byte;
    char16_t character;
};
constexpr Glyph kWingdingsGlyphs[] = {
    {0x6C, 0x25CF}, {0x6E, 0x25A0}, {0x71, 0x2751}, {0x76, 0x2756}, {0x77, 0x2B25},
    {0xA7, 0x25AA}, {0xA8, 0x25FB}, {0x9F, 0x2022}, {0xD8, 0x27A2}, {0xE8, 0x2794},
    {0xF0, 0x21E8}, {0xFB, 0x2717}, {0xFC, 0x2713}, {0xFE, 0x2611},
};

bool isMultiByte(int codePage)
{
    switch (codePage) {
    case 932: case 936: case 949: case 950: case 1361: case 10001: case 10002: case 10003:
    case 10008: case 20932: case 51932: case 51936: case 51949: case 54936: case 65001:
        return true;
    default:
        return false;
    }
}

} // namespace

bool isEastAsianCodePage(int codePage)
{
    return codePage != 65001 && isMultiByte(codePage);
}

namespace {

// Names ICU knows a code page by, best first.
std::vector<QByteArray> namesOf(int codePage)
{
    const QByteArray n = QByteArray::number(codePage);
    switch (codePage) {
    case 437: return {"IBM437"};
    case 850: return {"IBM850"};
    case 932: return {"CP932", "windows-31j", "Shift_JIS"};
    case 936: return {"GBK", "windows-936"};
    case 949: return {"windows-949", "EUC-KR"};
    case 950: return {"windows-950", "Big5"};
    case 1361: return {"ibm-1361", "johab"};
    case 10000: return {"macintosh"};
    case 10001: return {"x-mac-japanese", "Shift_JIS"};
    case 10007: return {"x-mac-cyrillic"};
    case 20866: return {"KOI8-R"};
    case 21866: return {"KOI8-U"};
    case 20932: case 51932: return {"EUC-JP"};
    case 51936: return {"GB2312"};
    case 51949: return {"EUC-KR"};
    case 54936: return {"GB18030"};
    default: break;
    }
    if (codePage >= 28591 && codePage <= 28606)
        return {"ISO-8859-" + QByteArray::number(codePage - 28590)};
    return {"windows-" + n, "cp" + n, "ibm-" + n};
}

QStringDecoder decoderFor(int codePage)
{
    if (codePage == 65001)
        return QStringDecoder(QStringConverter::Utf8);
    for (const QByteArray& name : namesOf(codePage)) {
        QStringDecoder d(name.constData());
        if (d.isValid())
            return d;
    }
    return {};
}

} // namespace

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 2: return kSymbolCodePage;
    case 77: return 10000;
    case 78: return 10001;
    case 79: return 10003;
    case 80: return 10008;
    case 81: return 10002;
    case 83: return 10005;
    case 84: return 10004;
    case 85: return 10006;
    case 86: return 10081;
    case 87: return 10021;
    case 88: return 10029;
    case 89: return 10007;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0; // 0 ANSI, 1 default, and sets unknown here
    }
}

ByteDecoder::ByteDecoder(int codePage) : codePage_(codePage)
{
    for (int b = 0; b < 256; ++b)
        table_[b] = char16_t(b);

    if (codePage == kSymbolCodePage || codePage == kWingdingsCodePage) {
        if (codePage == kWingdingsCodePage) {
            asciiIsAscii_ = false;
            for (const Glyph& g : kWingdingsGlyphs)
                table_[g.byte] = g.character;
        } else {
            asciiIsAscii_ = false;
            for (int b = 0x20; b < 0x7F; ++b)
                table_[b] = kSymbolLow[b - 0x20];
            for (int b = 0xA0; b < 0xFF; ++b)
                if (kSymbolHigh[b - 0xA0])
                    table_[b] = kSymbolHigh[b - 0xA0];
        }
        return;
    }

    if (isMultiByte(codePage)) {
        multi_ = decoderFor(codePage);
        if (multi_.isValid()) {
            singleByte_ = false;
            return;
        }
        codePage_ = 1252; // no decoder here: the bytes are read as Western
    }

    QStringDecoder probe = decoderFor(codePage_);
    if (probe.isValid()) {
        for (int b = 0x80; b < 256; ++b) {
            const char c = char(b);
            const QString s = probe(QByteArrayView(&c, 1));
            probe.resetState();
            table_[b] = s.size() == 1 ? s[0].unicode() : char16_t(0xFFFD);
        }
        // ASCII is the same in every Windows code page; one whose lower
        // half differs (an EBCDIC page) is read as Western instead.
        char ascii[0x7F - 0x20];
        for (int b = 0x20; b < 0x7F; ++b)
            ascii[b - 0x20] = char(b);
        const QByteArrayView asciiBytes(ascii, sizeof ascii);
        const QString decoded = probe(asciiBytes);
        if (decoded == QLatin1StringView(asciiBytes.data(), asciiBytes.size()))
            return;
        for (int b = 0; b < 256; ++b)
            table_[b] = char16_t(b);
        codePage_ = 1252;
    }

    // Tables of our own.
    if (codePage_ == 1250) {
        std::copy(std::begin(kCp1250), std::end(kCp1250), table_ + 0x80);
    } else if (codePage_ == 1251) {
        std::copy(std::begin(kCp1251), std::end(kCp1251), table_ + 0x80);
    } else {
        codePage_ = 1252;
        std::copy(std::begin(kCp1252), std::end(kCp1252), table_ + 0x80);
    }
}

QString ByteDecoder::decode(const QByteArray& bytes)
{
    if (singleByte_) {
        QString out(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            out[i] = QChar(table_[static_cast<unsigned char>(bytes[i])]);
        return out;
    }
    // Each sequence stands alone: a lead byte left over at its end is not
    // joined to the next one.
    QString out = multi_(bytes);
    multi_.resetState();
    return out;
}

char16_t ByteDecoder::privateUse(char16_t c) const
{
    if (c < 0xF020 || c > 0xF0FF)
        return c;
    const auto b = static_cast<unsigned char>(c - 0xF000);
    if ((codePage_ == kSymbolCodePage || codePage_ == kWingdingsCodePage) && table_[b] != b)
        return table_[b];
    if (c == 0xF0B7)
        return 0x2022;
    if (c == 0xF0A7)
        return 0x25AA;
    return c;
}

ByteDecoder& Decoders::get(int codePage)
{
    // Real documents use a few code pages; one that names hundreds (each
    // costs a look-up in ICU and a table) gets the Western one for the rest.
    constexpr std::size_t kMostCodePages = 32;
    auto it = cache_.find(codePage);
    if (it == cache_.end()) {
        if (cache_.size() >= kMostCodePages && codePage != 1252)
            return get(1252);
        it = cache_.emplace(codePage, std::make_unique<ByteDecoder>(codePage)).first;
    }
    return *it->second;
}

} // namespace rtf
