#pragma once
// The paragraph-level structure of an RTF document as the reader goes
// through it: each paragraph's format, decided when it ends (the words in
// force at its mark are its properties), the tables its cells and rows
// build, and the pictures. What the text needs for them (the characters
// that begin cells and end tables, a picture's character) goes into the
// Output; a list paragraph's label, which the file writes as text, is
// taken out of it, since the editor numbers the list itself.

#include "RtfBlocks.h"
#include "RtfBlockWords.h"
#include "RtfListTable.h"
#include "RtfParagraphState.h"
#include "RtfReaderState.h"
#include "RtfTableGrid.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rtf {

class Numbering;

namespace reading {

class Output;

class BlockReader {
public:
    // Tables nested deeper are read as if at this depth; rows of more
    // cells go on in their last cell.
    static constexpr int kDeepestTable = 16;
    static constexpr int kMostColumns = 64;
    static constexpr int kDefaultCellWidth = 1440; // an inch

    BlockReader(Output& out, const Numbering& numbering) : out_(out), numbering_(numbering)
    {
        formatIndex_.emplace(ParagraphFormat{}, 0);
    }

    ListTable& lists() { return lists_; }

    // A word of paragraphs, rows, pictures or lists, in the group whose
    // state is `st`.
    void word(State& st, BlockWord word, bool hasParam, int param, std::size_t depth);
    // The properties a paragraph has after \pard: the document's (\defpap).
    ParagraphProps defaultParagraph() const
    {
        ParagraphProps p = defaultParagraph_;
        p.givenSpacing = 0;
        return p;
    }
    // A word of paragraph properties.
    static void paragraphWord(ParagraphProps& p, BlockWord word, bool hasParam, int param);
    // A word of a table row's definition (\trowd, \cellx, ...).
    void rowWord(BlockWord word, bool hasParam, int param);

    // How a paragraph ends: with its mark (\par), or with its cell's.
    enum class End : std::uint8_t { Paragraph, Cell };
    // The paragraph ends, with these properties, numbered by \pn
    // `numbering` (-1 none), its mark (a paragraph's) in `style`.
    void endParagraph(const ParagraphProps& p, int numbering, End end, const Style& style);
    // \row (depth 1) or \nestrow (depth 0: the innermost table's).
    void endRow(const ParagraphProps& p, int numbering, int depth, const Style& style);
    // The end of the document: the last paragraph, without a mark, and
    // the tables still open.
    void finish(const ParagraphProps& p, int numbering, const Style& style);

    // A paragraph's label as the file writes it (\listtext, \pntext): its
    // group begins at this depth of groups, and a group closes.
    void beginLabel(std::size_t depth);
    bool inLabel() const { return labelDepth_ != 0; }
    // A style's definition begins in a group at this depth of groups; it
    // is of paragraph style `number`, or of another kind of style.
    void beginStyle(std::size_t depth)
    {
        styleDepth_ = depth;
        definingStyle_ = 0;
        definingParagraphStyle_ = true;
    }
    void nameStyle(bool paragraph, int number)
    {
        definingParagraphStyle_ = paragraph;
        definingStyle_ = number;
    }
    // \sN in the text: the paragraph takes the layout the style defines
    // (the definition gives it whole).
    void applyStyle(ParagraphProps& p, int number) const;

    // A group at this depth closes, its paragraph properties `p`.
    void groupClosed(std::size_t depth, const ParagraphProps& p)
    {
        if (depth == styleDepth_) {
            if (definingParagraphStyle_)
                paragraphStyles_[definingStyle_] = p;
            styleDepth_ = 0;
        }
        if (depth == labelDepth_)
            endLabel();
        if (depth == nestedPropertiesDepth_)
            nestedPropertiesDepth_ = 0;
        if (depth == defaultsDepth_) {
            defaultParagraph_ = p;
            defaultsDepth_ = 0;
        }
    }
    // A nested table's properties (\nesttableprops) begin, in a group at
    // this depth: the rows defined there are the nested tables'.
    void beginNestedProperties(std::size_t depth)
    {
        if (nestedPropertiesDepth_ == 0)
            nestedPropertiesDepth_ = depth;
    }

    // ---- pictures
    // A \pict group begins; `inShape`: as a shape's picture (pib), which
    // shows at the shape's size where the picture gives none.
    void beginPicture(bool inShape);
    void pictureWord(BlockWord word, bool hasParam, int param);
    // The picture's data as hex digits, or as bytes (\bin).
    void pictureHex(const unsigned char* from, const unsigned char* to);
    void pictureBytes(const unsigned char* from, qsizetype n);
    // The picture's group closes; the picture goes into the text unless
    // `shown` is false (hidden text).
    void endPicture(const Style& style, bool shown);
    // The shape being read (\shpleft...) and the name of its property
    // (\sn) being read.
    void shapeWord(BlockWord word, int param);
    void beginShapeName() { shapeNameLength_ = 0; }
    void shapeNameCharacter(char16_t c)
    {
        if (shapeNameLength_ < sizeof shapeName_)
            shapeName_[shapeNameLength_++] = char(c < 0x80 ? c : '?');
    }
    // Names are ASCII.
    void shapeNameBytes(const unsigned char* from, const unsigned char* to)
    {
        for (; from != to; ++from)
            shapeNameCharacter(*from);
    }
    bool shapeNameIsPicture() const { return std::string_view(shapeName_, shapeNameLength_) == "pib"; }

    // What was read; the text is `textSize` long once its last mark is cut.
    Blocks take(qsizetype textSize);

private:
    struct CellDefinition {
        int right = 0;
        std::uint8_t merge = 0; // 0 none, 1 first of a merge, 2 merged into the one before
        std::uint8_t mergeDown = 0; // 0 none, 1 first, 2 merged into the one above
    };
    struct RowDefinition {
        int left = 0;
        std::vector<CellDefinition> cells;
        bool borders = false;
    };
    using Covered = GridCell::Covered;
    using CellOfRow = GridCell;
    struct Level {
        int table = 0; // index into blocks_.tables
        bool cellOpen = false;
        std::vector<CellOfRow> row; // the cells of the row being read
        std::vector<std::vector<CellOfRow>> rows;
        bool borders = false;
        std::vector<qsizetype> marks; // where each cell not covered begins
    };

    void endLabel();
    int formatOf(const ParagraphProps& p, int numbering);
    int formatAndLabel(const ParagraphProps& p, int numbering);
    // The characters that put the paragraph at `depth` (its cell begun,
    // tables opened or closed), before its text.
    void placeParagraph(int depth);
    const RowDefinition& definitionOfRow(const Level& level) const;
    CellOfRow cellAt(const Level& level, std::size_t index) const;
    bool coveredCell(const Level& level, CellOfRow& cell) const;
    void endRowOf(Level& level);
    void closeTable();
    void record(qsizetype start, int format);

    Output& out_;
    const Numbering& numbering_;
    ListTable lists_;
    Blocks blocks_;

    qsizetype paragraphStart_ = 0;
    qsizetype labelStart_ = -1;
    qsizetype labelEnd_ = -1;
    std::size_t labelDepth_ = 0; // 0: no label open
    bool complexBeforeLabel_ = false; // Output::lastComplex() where the label began

    struct FormatHash {
        std::size_t operator()(const ParagraphFormat& f) const noexcept;
    };
    std::unordered_map<ParagraphFormat, int, FormatHash> formatIndex_;
    struct Known {
        ParagraphProps props;
        int format = -1;
    };
    std::array<Known, 64> known_;

    std::vector<Level> levels_;
    // The row definitions last given, of the outermost tables and of those
    // inside them, and the depth of groups of the nested table properties
    // being read (0: none).
    RowDefinition latestRow_;
    RowDefinition latestNestedRow_;
    CellDefinition pendingCell_;
    std::size_t nestedPropertiesDepth_ = 0;
    ParagraphProps defaultParagraph_;
    std::unordered_map<int, ParagraphProps> paragraphStyles_;
    std::size_t styleDepth_ = 0; // of the style definition being read
    int definingStyle_ = 0;
    bool definingParagraphStyle_ = false;
    std::size_t defaultsDepth_ = 0; // of the \defpap group being read

    Picture picture_;
    bool pictureInShape_ = false;
    int pendingNibble_ = -1;
    int shapeWidth_ = 0;
    int shapeHeight_ = 0;
    int shapeLeft_ = 0;
    int shapeTop_ = 0;
    char shapeName_[16] = {};
    std::size_t shapeNameLength_ = 0;
};

} // namespace reading
} // namespace rtf
