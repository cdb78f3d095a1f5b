#pragma once
// What an RTF file held that the editor does not show by itself, kept from
// reading it to writing it again: the file's tables, the format each of
// its characters had in the file, and the groups of the file the editor
// does not show at all (headers, footers, notes, hidden text, bookmarks,
// drawing objects), as the file wrote them. The editor shows a document in a look of
// the user's choosing; saving writes each character that came from the
// file in the file's own format, found through the property below.

#include <QByteArray>
#include <QRgb>
#include <QString>
#include <QTextFormat>

#include <cstdint>
#include <vector>

namespace rtf {

// Properties of the editor's character formats (QTextFormat::UserProperty
// + N): N 0x100 to 0x10F for character formats, 0x110 to 0x11F for
// paragraph structure, 0x120 to 0x12F for parts of the file kept unshown.
//
// The index into Kept::formats of the format the character had in the file.
// Text typed or pasted has none: it is written as it shows.
constexpr int kFileFormatProperty = QTextFormat::UserProperty + 0x100;

// Indexes into Kept::groups of groups the file had right before, right
// after, or instead of the character (the text of a note's mark, which the
// file gives as a word that numbers the note). Text typed or pasted has none.
constexpr int kGroupsBeforeProperty = QTextFormat::UserProperty + 0x120;
constexpr int kGroupsAfterProperty = QTextFormat::UserProperty + 0x121;
constexpr int kGroupsInsteadProperty = QTextFormat::UserProperty + 0x122;

// The same, beside the text rather than in its formats: from `start` (a
// position in the editor) to the next run's start, the characters had
// format `format` in the file (-1: none, the text is not the file's). A
// document shown in one look has a few formats however many the file had;
// one property in each character's format would make them as many again.
struct FileRun {
    int start = 0;
    int format = -1;
};

// Kinds of underline, as the file names them (\ul, \uldb, \ulwave, ...);
// None is no underline. The words are those of underlineWord().
enum class Underline : std::uint8_t {
    None, Single, Dotted, Dash, DashDot, DashDotDot, Double, HeavyWave, LongDash, Thick, ThickDotted,
    ThickDash, ThickDashDot, ThickDashDotDot, ThickLongDash, DoubleWave, Words, Wave,
};
// The RTF word of an underline kind (without the backslash); "ulnone" for None.
const char* underlineWord(Underline kind);

// The word a background came with: all three show the same.
enum class BackgroundWord : std::uint8_t { Highlight, Cb, Chcbpat };

// A bold or italic of the complex scripts that follows the other text's.
constexpr std::int8_t kSame = -1;

// A character format of the document, as the file gives it. Kept this
// small, rather than as a QTextCharFormat (some 800 bytes each), because a
// file can hold hundreds of thousands of different ones; each becomes a
// QTextCharFormat only when it goes into the editor. Numbers fit in 16
// bits and the switches in a bit or two each: 28 bytes in all.
struct CharFormat {
    // Numbers in the file's font table, -1 where the file gives none: the
    // font of most text, of East Asian text (\dbch\af) and of the complex
    // scripts (\rtlch\af). See fontNumberOf().
    std::int16_t font = -1;
    std::int16_t asianFont = -1;
    std::int16_t complexFont = -1;
    std::int16_t halfPoints = 24; // 2 to 3276, as the reader takes \fs
    // The colours are opaque; 0 (transparent) stands for none.
    QRgb foreground = 0;
    QRgb background = 0;
    int link = -1; // index into Kept::links; -1: not in a link
    std::int16_t raise = 0; // half-points above the line (\up), below it when negative (\dn)
    std::int8_t script : 2 = 0; // 1 superscript (\super), -1 subscript (\sub)
    bool bold : 1 = false;
    bool italic : 1 = false;
    bool strike : 1 = false;
    bool caps : 1 = false; // \caps
    bool smallCaps : 1 = false; // \scaps
    bool sizeGiven : 1 = false; // halfPoints is the file's (\fs), not the plain size
    Underline underline = Underline::None;
    BackgroundWord backgroundWord = BackgroundWord::Highlight;
    // Right-to-left and other complex scripts (Arabic, Hebrew, Thai, the
    // Indian scripts) have a bold, italic and size of their own where the
    // file gives them one; kSame (0 for the size) where it does not.
    std::int8_t complexBold : 2 = kSame;
    std::int8_t complexItalic : 2 = kSame;
    // The characters are of the complex scripts: they show those.
    bool complex : 1 = false;
    std::int16_t complexHalfPoints = 0;

    bool operator==(const CharFormat&) const = default;

    bool shownBold() const { return complex && complexBold != kSame ? complexBold != 0 : bold; }
    bool shownItalic() const { return complex && complexItalic != kSame ? complexItalic != 0 : italic; }
    int shownHalfPoints() const { return complex && complexHalfPoints ? complexHalfPoints : halfPoints; }
};
static_assert(sizeof(CharFormat) <= 28, "a file of many formats keeps one CharFormat for each");

// The highest font number a character format holds. Word processors
// number their fonts in 16 bits (Word's highest, of its theme fonts, are
// about 31,500).
constexpr int kLastFontNumber = INT16_MAX;
// A font number of the file as a character format holds it: -1 (none, the
// document's default font) for one past 16 bits.
constexpr std::int16_t fontNumberOf(int number)
{
    return number >= INT16_MIN && number <= kLastFontNumber ? std::int16_t(number) : std::int16_t(-1);
}

std::size_t hashOf(const CharFormat& format);

// Finds formats in a list by their value, adding those it lacks. A list
// that grew or was replaced elsewhere is indexed anew at the next search.
class FormatIndex {
public:
    // The index of `format` in `formats`, put at its end when not there.
    int find(std::vector<CharFormat>& formats, const CharFormat& format);

private:
    void grow(const std::vector<CharFormat>& formats);
    // Indexes into the list by hash, -1 where free; a power of two in size,
    // at most three quarters full.
    std::vector<int> slots_;
    std::size_t known_ = 0; // the size of the list the slots index
};

struct Kept {
    // ---- character formats
    struct Font {
        int number = 0;
        QString name; // as the editor takes a family name
        int charset = -1; // \fcharsetN; -1 none
        int codePage = 0; // \cpgN; 0 none
        // A font of glyphs rather than characters: the code page its glyphs
        // are read in (RtfCodePages.h), 0 for any other font.
        int glyphCodePage = 0;
        // The entry of the font table as the file wrote it, without the
        // braces around it; empty when it is to be made from the above.
        QByteArray entry;
    };
    // A field whose result is text of the document: a link, or another
    // field (a page number, a date) whose instruction is kept.
    struct Link {
        QString href; // as the editor's anchor takes it: an address, or "#name" in the document; empty: no link
        QString instruction; // the field's instruction as the file wrote it (HYPERLINK "...")
    };
    // The font table, in the file's order.
    std::vector<Font> fonts;
    int defaultFont = -1; // \deffN; -1 none given
    int codePage = 1252; // \ansicpgN
    // The colour table, in order; 0 is an entry without a colour (the
    // automatic colour).
    std::vector<QRgb> colors;
    std::vector<Link> links;
    // Every different format of the file's characters, once, and those the
    // user's formatting made of them since. Filled from Document::formats
    // when the editor keeps the document.
    std::vector<CharFormat> formats;

    // ---- parts of the file the editor does not show
    // The file's own bytes of each, written back where they stood: groups
    // in the text by the character they stand by (the properties above);
    // those before any text (headers, footers, the document's information)
    // in front of the text, and those by no character after it.
    std::vector<QByteArray> groups;
    QByteArray leadingGroups;
    QByteArray trailingGroups;
    // Groups that show as text of their own (a text box), each written in
    // place of that text while the text is as the file had it: `characters`
    // characters standing for the group (kGroupsInsteadProperty), `span`
    // positions from the first to the last of them, the paragraph breaks
    // among them, and the `breaksAfter` right after the last, its own.
    // Its text takes the format of the text around the group (`format`,
    // into `formats`) where it gives none, and its font, bold, italic and
    // size words are for the text `wordsFor` says, as they were there: 0
    // other text (\loch), 1 \hich, 2 East Asian text (\dbch), 3 the complex
    // scripts (\rtlch); its \u characters are followed by `uc` bytes for
    // readers without Unicode. Once the user edits inside that text, it is
    // written as the text it shows, and the group not at all.
    struct ShownGroup {
        int group = 0;
        int characters = 0;
        int span = 0;
        int breaksAfter = 0;
        int format = -1;
        std::uint8_t wordsFor = 0;
        std::uint8_t uc = 1;
    };
    std::vector<ShownGroup> shownGroups;

    bool empty() const
    {
        return fonts.empty() && colors.empty() && formats.empty() && links.empty() && groups.empty()
            && leadingGroups.isEmpty() && trailingGroups.isEmpty();
    }
    // The index of a format in `formats`, added when new.
    int formatIndex(const CharFormat& format) { return index_.find(formats, format); }
    // The number of the first font with this name, one added when none has it.
    int fontNumber(const QString& name);
    // A number no font of `fonts` has, and that a character format holds:
    // one past the highest.
    static int unusedFontNumber(const std::vector<Font>& fonts);

private:
    FormatIndex index_;
};

} // namespace rtf
