#pragma once
// The paragraph-level structure of an RTF document as the reader gives it
// beside the text: each paragraph's layout (alignment, indents, spacing,
// direction, list), the lists, the tables and the pictures. The editor
// holds them in Qt's own structures (block formats, QTextList, QTextTable,
// images); the writer writes them back from there.
//
// Document::text holds the characters the editor holds for them: U+FDD0
// where a table cell begins (it ends the paragraph before it), U+FDD1
// where a table ends (it ends the last cell's last paragraph) and U+FFFC
// where a picture stands. The reader never takes these from the file.

#include "RtfKeywords.h"

#include <QByteArray>
#include <QString>
#include <QTextFormat>
#include <QTextListFormat>

#include <cstdint>
#include <vector>

namespace rtf {

constexpr char16_t kCellStart = 0xFDD0;
constexpr char16_t kTableEnd = 0xFDD1;
constexpr char16_t kPictureMark = 0xFFFC;

// Properties of Qt formats that carry what the file said and Qt has no
// property for, so that it is written back as it was.
namespace property {
// Block format: the first-line indent (twips) of a list paragraph, whose
// label stands in the room the indent leaves; Qt shows it at no indent.
constexpr int kListFirstIndent = QTextFormat::UserProperty + 0x110;
// List format: the list (\ls number) and level (0-8) it came from, the
// number format (\levelnfc), the first number and the label as the file
// gives it (\leveltext: the level numbers as characters 0 to 8).
constexpr int kListNumber = QTextFormat::UserProperty + 0x111;
constexpr int kListLevel = QTextFormat::UserProperty + 0x112;
constexpr int kListNumberFormat = QTextFormat::UserProperty + 0x113;
constexpr int kListStart = QTextFormat::UserProperty + 0x114;
constexpr int kListLevelText = QTextFormat::UserProperty + 0x115;
// Image format: the picture's kind and sizes as RTF words (\pngblip\picw
// ...\pichgoal); its data as the file holds it is the document's
// UserResource of the image's name.
constexpr int kPictureWords = QTextFormat::UserProperty + 0x116;
} // namespace property

// A paragraph's layout. Lengths are in twips (1/20 point), as in RTF.
struct ParagraphFormat {
    enum class Align : std::uint8_t { Left, Centre, Right, Justify };
    enum class Direction : std::uint8_t { Auto, LeftToRight, RightToLeft };
    int left = 0;
    int right = 0;
    int firstLine = 0;
    int before = 0;
    int after = 0;
    // \sl: 0 single; with lineMultiple, 240 is single spacing; otherwise
    // above 0 at least, below 0 exactly that much.
    int lineSpacing = 0;
    bool lineMultiple = false;
    Align align = Align::Left;
    Direction direction = Direction::Auto;
    int list = -1; // index into Blocks::lists; -1 none

    bool operator==(const ParagraphFormat&) const = default;
};

// The paragraphs from `start` (the position of the first one's first
// character) to the next ParagraphRun have this format.
struct ParagraphRun {
    qsizetype start = 0;
    int format = 0; // index into Blocks::paragraphFormats
};

// A list of one level as the editor numbers it: the paragraphs in it
// count on from one another, whatever stands between them.
struct List {
    int number = 0; // the file's list (\ls); 0 for numbering given by \pn
    int level = 0;
    int numberFormat = 23; // \levelnfc: 0 1 2 3 4 decimal, roman, letters; 23 bullet; 255 none
    int start = 1;
    // The label, the level numbers as characters 0 to 8 (\leveltext).
    QString levelText;
    int left = 0; // the level's indents, twips
    int firstLine = 0;

    bool operator==(const List&) const = default;
};

// The numbered list formats (\levelnfc 0 to 4: decimal, upper and lower
// roman, upper and lower letters) as number styles and as Qt's list
// styles; 23 is a bullet and 255 no label.
constexpr int kBulletFormat = 23;
constexpr int kNoLabelFormat = 255;
constexpr NumberStyle kNumberStyles[] = {NumberStyle::Arabic, NumberStyle::UpperRoman, NumberStyle::LowerRoman,
                                         NumberStyle::UpperLetter, NumberStyle::LowerLetter};
constexpr QTextListFormat::Style kListStyles[] = {QTextListFormat::ListDecimal, QTextListFormat::ListUpperRoman,
                                                  QTextListFormat::ListLowerRoman, QTextListFormat::ListUpperAlpha,
                                                  QTextListFormat::ListLowerAlpha};

struct TableCell {
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
};

struct Table {
    qsizetype start = 0; // the position of its first U+FDD0
    int rows = 0;
    std::vector<int> columnWidths; // twips
    std::vector<TableCell> cells; // as their U+FDD0 come in the text
    bool borders = false;
};

// \pngblip, \jpegblip, \emfblip, \wmetafile, \dibitmap, \wbitmap,
// \macpict, \pmmetafile
enum class PictureKind : std::uint8_t { Png, Jpeg, Emf, Wmf, DeviceBitmap, Bitmap, Mac, Os2 };

struct Picture {
    PictureKind kind = PictureKind::Png;
    int kindParam = -1; // \wmetafile8: 8; -1 none
    QByteArray data;
    // \picw \pich (pixels, or 0.01 mm for metafiles), \picwgoal \pichgoal
    // (twips, 0 when not given), \picscalex \picscaley (percent).
    int width = 0;
    int height = 0;
    int goalWidth = 0;
    int goalHeight = 0;
    int scaleX = 100;
    int scaleY = 100;
};

struct Blocks {
    std::vector<ParagraphFormat> paragraphFormats{ParagraphFormat{}}; // [0]: the plain one
    std::vector<ParagraphRun> paragraphs; // in order; none: all plain
    std::vector<List> lists;
    std::vector<Table> tables; // in order of their start
    std::vector<Picture> pictures; // one for each U+FFFC, in order
};

// The size a picture shows at, in twips.
int shownWidth(const Picture& picture);
int shownHeight(const Picture& picture);
// Its kind and sizes as RTF words, for the writer.
QByteArray pictureWords(const Picture& picture);

} // namespace rtf
