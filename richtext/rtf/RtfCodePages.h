#pragma once
// Byte decoding for the RTF reader: the code page of a document (\ansicpg)
// or of a font (\fcharset, \cpg), turned into characters.

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <map>
#include <memory>

namespace rtf {

// Code pages that are not Windows code pages: the symbol fonts, whose bytes
// are glyph numbers rather than characters.
constexpr int kSymbolCodePage = -2;
constexpr int kWingdingsCodePage = -3;

// The Windows code page of a font character set (\fcharsetN); 0 for the
// ANSI and default sets, which follow the document's code page.
int codePageOfCharset(int charset);

// True for the East Asian code pages in which a character takes one byte
// or more (Japanese, Chinese, Korean); false for UTF-8 and single-byte
// code pages.
bool isEastAsianCodePage(int codePage);

// Decodes bytes of one code page. A single-byte code page is a table of 256
// characters; a multi-byte one (Japanese, Chinese, Korean, UTF-8) is
// decoded a sequence at a time.
class ByteDecoder {
public:
    explicit ByteDecoder(int codePage);

    int codePage() const { return codePage_; }
    bool isSingleByte() const { return singleByte_; }
    // True when the bytes below 0x80 are ASCII (not so in symbol fonts).
    bool asciiIsAscii() const { return asciiIsAscii_; }
    char16_t byte(unsigned char b) const { return table_[b]; }
    // For multi-byte code pages: the characters of a byte sequence.
    QString decode(const QByteArray& bytes);
    // A symbol font's character as Unicode writes it, in the private-use
    // area U+F020 to U+F0FF (U+F000 plus the byte). These fonts are not on
    // every machine, so a glyph of this font known here becomes the
    // character it shows, as its byte does; failing that, the common list
    // bullets, Symbol's U+F0B7 and Wingdings' U+F0A7, become "•" and "▪",
    // whatever the font. Any other character comes back as it is.
    char16_t privateUse(char16_t c) const;

private:
    int codePage_;
    bool singleByte_ = true;
    bool asciiIsAscii_ = true;
    char16_t table_[256];
    QStringDecoder multi_;
};

// The decoders a document needs, made on first use.
class Decoders {
public:
    ByteDecoder& get(int codePage);

private:
    std::map<int, std::unique_ptr<ByteDecoder>> cache_;
};

} // namespace rtf
