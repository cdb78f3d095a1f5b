#pragma once
// The tables of an RTF document as the reader collects them: its fonts
// (\fonttbl) with their character sets, its colours (\colortbl), its
// default font and its code page. The reader decodes bytes in the code
// page these give a font and makes formats from the colours; the tables
// are kept as they are for writing the document back.

#include "RtfKeywords.h"
#include "RtfReaderState.h"

#include <QByteArrayView>
#include <QRgb>
#include <QString>

#include <map>
#include <vector>

namespace rtf::reading {

class Tables {
public:
    // ---- the font table
    void beginFonts();
    // \fN in the font table: font N is being defined.
    void defineFont(int number);
    int fontDefining() const { return defining_; }
    // A character of the name of the font being defined.
    void addToName(char16_t c);
    // The name of the font being defined has ended; false when there was
    // none to end. `entry` is the font's entry in the table as the file
    // wrote it, from its \f on, kept for writing it back when its braces
    // pair up; `uc` is the \uc in effect where it starts, which decides
    // what of it the fallback of a \uN in it skips.
    bool finishName(QByteArrayView entry = {}, int uc = 1);
    // \fcharsetN or \cpgN of the font being defined; false without one.
    bool setCharset(Word word, int value);

    // ---- the colour table
    void beginColors();
    // \redN, \greenN or \blueN of the colour being defined.
    void setComponent(Word word, int value);
    void finishColor();
    // Colour `index` of the table, opaque; 0 when there is none.
    QRgb color(int index) const;

    // ---- the document
    int defaultFont() const { return defaultFont_; }
    void setDefaultFont(int number) { defaultFont_ = number; }
    // \ansicpgN, or the code page \ansi, \mac, \pc or \pca stand for; false
    // when the number is no code page.
    bool setCodePage(int codePage);

    // The code page of bytes in this font (kNoFont: the document's), in
    // its name when forName, or a symbol font's (kSymbolCodePage...).
    // Fonts of the symbol character set, and fonts named Symbol that give
    // no character set, are symbol fonts.
    int codePageOf(int font, bool forName) const;
    // The tables as they are, for writing them back.
    void keep(Kept& kept) const;

private:
    struct Font {
        QString name;
        int charset = -1;
        int codePage = 0; // \cpgN, 0 when not given
        bool nameDone = false;
        int nameCodePage = 0; // the code page its name was read in
        QByteArray entry;
    };
    const Font* font(int number) const;
    static QString family(const QString& name);

    std::map<int, Font> fonts_;
    int defining_ = kNoFont;
    int defaultFont_ = kNoFont;
    int codePage_ = kDefaultCodePage;
    std::vector<QRgb> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorGiven_ = false;
};

} // namespace rtf::reading
