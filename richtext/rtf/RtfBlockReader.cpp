#include "RtfBlockReader.h"

#include "RtfNumbering.h"
#include "RtfOutput.h"
#include "RtfTableGrid.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace rtf::reading {

namespace {

// Lengths beyond this (some 700 inches) are taken as this.
constexpr int kLongest = 1'000'000;
constexpr std::size_t kMostCellDefinitions = 4 * BlockReader::kMostColumns;

int length(int param)
{
    return std::clamp(param, -kLongest, kLongest);
}

// The value of each byte as a hex digit; -1 for other bytes.
const std::array<signed char, 256> kHexValues = [] {
    std::array<signed char, 256> values;
    values.fill(-1);
    for (int i = 0; i < 10; ++i)
        values[std::size_t('0' + i)] = static_cast<signed char>(i);
    for (int i = 0; i < 6; ++i)
        values[std::size_t('a' + i)] = values[std::size_t('A' + i)] = static_cast<signed char>(10 + i);
    return values;
}();

} // namespace

std::size_t BlockReader::FormatHash::operator()(const ParagraphFormat& f) const noexcept
{
    std::size_t h = qHashMulti(0, f.left, f.right, f.firstLine, f.before, f.after, f.lineSpacing, f.list);
    return h * 31u + (std::size_t(f.align) | std::size_t(f.direction) << 2 | std::size_t(f.lineMultiple) << 4);
}

// ---------------------------------------------------------------- words

void BlockReader::word(State& st, BlockWord w, bool hasParam, int param, std::size_t depth)
{
    // The group's destination before a \* in it made it one to skip.
    const Dest unstarred = st.dest == Dest::Skip ? st.starredFrom : st.dest;
    const auto skip = [&st] {
        st.dest = Dest::Skip;
        st.heldTextTo = Dest::Skip;
    };
    // The words of a row's definition and of a picture.
    if (w >= BlockWord::RowDefaults && w <= BlockWord::CellBorder) {
        if (st.dest == Dest::Text)
            rowWord(w, hasParam, param);
        return;
    }
    if (w >= BlockWord::Png && w <= BlockWord::ScaleY) {
        if (st.dest == Dest::Picture)
            pictureWord(w, hasParam, param);
        return;
    }
    switch (w) {
    case BlockWord::LeftIndent:
    case BlockWord::FirstIndent:
        if (st.dest == Dest::ListLevel)
            lists_.levelWord(w, param);
        else
            paragraphWord(st.paragraph, w, hasParam, param);
        break;
    case BlockWord::ListNumber:
        if (st.dest == Dest::ListTable)
            lists_.overrideNumber(param);
        else
            paragraphWord(st.paragraph, w, hasParam, param);
        break;
    case BlockWord::Picture:
        if (unstarred == Dest::Text || st.dest == Dest::ShapePicture) {
            beginPicture(st.dest == Dest::ShapePicture);
            st.dest = Dest::Picture;
        } else {
            skip();
        }
        break;
    case BlockWord::ShapePicture:
        // The picture of Word's shapes, for readers that know them.
        if (unstarred == Dest::Text)
            st.dest = Dest::Text;
        break;
    case BlockWord::ShapeProperty:
        // Skipped, but what the shape holds for the text stays known.
        st.dest = Dest::Skip;
        break;
    case BlockWord::ShapeName:
        if (st.heldTextTo == Dest::Text) {
            st.dest = Dest::ShapeName;
            beginShapeName();
        } else {
            skip();
        }
        break;
    case BlockWord::ShapeValue:
        if (st.heldTextTo == Dest::Text && shapeNameIsPicture())
            st.dest = Dest::ShapePicture;
        else
            skip();
        break;
    case BlockWord::ShapeLeft:
    case BlockWord::ShapeRight:
    case BlockWord::ShapeTop:
    case BlockWord::ShapeBottom:
        shapeWord(w, param);
        break;
    case BlockWord::ListTable:
        if (unstarred == Dest::Text)
            st.dest = Dest::ListTable;
        else
            skip();
        break;
    case BlockWord::List:
    case BlockWord::ListOverride:
        if (st.dest == Dest::ListTable) {
            if (w == BlockWord::List)
                lists_.beginList();
            else
                lists_.beginOverride();
        }
        break;
    case BlockWord::ListId:
        if (st.dest == Dest::ListTable)
            lists_.listId(param);
        break;
    case BlockWord::ListLevelGroup:
        if (st.dest == Dest::ListTable) {
            st.dest = Dest::ListLevel;
            lists_.beginLevel();
        }
        break;
    case BlockWord::LevelText:
        st.dest = st.dest == Dest::ListLevel ? Dest::LevelText : Dest::Skip;
        break;
    case BlockWord::LevelFormat:
    case BlockWord::LevelStart:
        if (st.dest == Dest::ListLevel)
            lists_.levelWord(w, param);
        break;
    case BlockWord::DefaultParagraph:
        // Its words are read into the group's paragraph, kept as it closes.
        if (unstarred == Dest::Text) {
            defaultsDepth_ = depth;
            st.paragraph = ParagraphProps{};
        }
        skip();
        break;
    default:
        paragraphWord(st.paragraph, w, hasParam, param);
        break;
    }
}

void BlockReader::paragraphWord(ParagraphProps& p, BlockWord word, bool hasParam, int param)
{
    using Align = ParagraphFormat::Align;
    using Direction = ParagraphFormat::Direction;
    switch (word) {
    case BlockWord::AlignLeft:
        p.align = std::uint8_t(Align::Left);
        break;
    case BlockWord::AlignCentre:
        p.align = std::uint8_t(Align::Centre);
        break;
    case BlockWord::AlignRight:
        p.align = std::uint8_t(Align::Right);
        break;
    case BlockWord::AlignJustify:
        p.align = std::uint8_t(Align::Justify);
        break;
    case BlockWord::LeftIndent:
        p.left = length(param);
        break;
    case BlockWord::RightIndent:
        p.right = length(param);
        break;
    case BlockWord::FirstIndent:
        p.firstLine = length(param);
        break;
    case BlockWord::SpaceBefore:
        p.before = std::max(0, length(param));
        p.givenSpacing |= kSpaceBeforeGiven;
        break;
    case BlockWord::SpaceAfter:
        p.after = std::max(0, length(param));
        p.givenSpacing |= kSpaceAfterGiven;
        break;
    case BlockWord::LineSpacing:
        p.lineSpacing = length(param);
        p.givenSpacing |= kLineSpacingGiven;
        break;
    case BlockWord::LineMultiple:
        p.lineMultiple = !hasParam || param != 0;
        p.givenSpacing |= kLineSpacingGiven;
        break;
    case BlockWord::RightToLeft:
        p.direction = std::uint8_t(Direction::RightToLeft);
        break;
    case BlockWord::LeftToRight:
        p.direction = std::uint8_t(Direction::LeftToRight);
        break;
    case BlockWord::InTable:
        p.inTable = true;
        break;
    case BlockWord::Depth:
        p.depth = std::uint8_t(std::clamp(param, 0, kDeepestTable));
        break;
    case BlockWord::ListNumber:
        p.list = param;
        break;
    case BlockWord::ListLevel:
        p.level = std::uint8_t(std::clamp(param, 0, ListTable::kLevels - 1));
        break;
    default:
        break;
    }
}

void BlockReader::rowWord(BlockWord word, bool hasParam, int param)
{
    // A nested table's rows are defined in its properties (\nesttableprops).
    RowDefinition& row = nestedPropertiesDepth_ ? latestNestedRow_ : latestRow_;
    switch (word) {
    case BlockWord::RowDefaults:
        row = RowDefinition{};
        pendingCell_ = CellDefinition{};
        break;
    case BlockWord::RowLeft:
        row.left = length(param);
        break;
    case BlockWord::CellRight:
        if (row.cells.size() < kMostCellDefinitions) {
            pendingCell_.right = length(param);
            row.cells.push_back(pendingCell_);
        }
        pendingCell_ = CellDefinition{};
        break;
    case BlockWord::MergeFirst:
        pendingCell_.merge = 1;
        break;
    case BlockWord::Merged:
        pendingCell_.merge = 2;
        break;
    case BlockWord::MergeDownFirst:
        pendingCell_.mergeDown = 1;
        break;
    case BlockWord::MergedDown:
        pendingCell_.mergeDown = 2;
        break;
    case BlockWord::CellBorder:
        row.borders = true;
        break;
    default:
        break;
    }
    (void)hasParam;
}

// ---------------------------------------------------------------- paragraphs

void BlockReader::applyStyle(ParagraphProps& p, int number) const
{
    const auto found = paragraphStyles_.find(number);
    if (found == paragraphStyles_.end())
        return;
    const ParagraphProps& s = found->second;
    p.left = s.left;
    p.right = s.right;
    p.firstLine = s.firstLine;
    p.before = s.before;
    p.after = s.after;
    p.lineSpacing = s.lineSpacing;
    p.lineMultiple = s.lineMultiple;
    p.align = s.align;
    p.direction = s.direction;
    p.givenSpacing = kSpaceBeforeGiven | kSpaceAfterGiven | kLineSpacingGiven;
}

void BlockReader::beginLabel(std::size_t depth)
{
    if (labelStart_ < 0) {
        labelStart_ = out_.size();
        complexBeforeLabel_ = out_.lastComplex();
    }
    labelDepth_ = depth;
}

void BlockReader::endLabel()
{
    labelEnd_ = out_.size();
    labelDepth_ = 0;
}

int BlockReader::formatOf(const ParagraphProps& p, int numbering)
{
    // Paragraphs outside lists take turns among a few formats: those met
    // lately are kept by their properties.
    const bool list = p.list != 0 || numbering >= 0;
    Known& known = known_[std::size_t(p.left ^ p.right * 7 ^ p.firstLine * 31 ^ p.before * 131 ^ p.after * 521
                                      ^ p.lineSpacing * 2053 ^ p.align * 8191 ^ p.direction * 32749)
                          % known_.size()];
    if (!list && known.format >= 0 && known.props == p)
        return known.format;
    ParagraphFormat f;
    f.left = p.left;
    f.right = p.right;
    f.firstLine = p.firstLine;
    // In table cells the table's style, no space before or after with
    // Word's and LibreOffice's, stands for the document's defaults.
    const bool own = p.tableDepth() == 0;
    f.before = own || (p.givenSpacing & kSpaceBeforeGiven) ? p.before : 0;
    f.after = own || (p.givenSpacing & kSpaceAfterGiven) ? p.after : 0;
    f.lineSpacing = p.lineSpacing;
    f.lineMultiple = p.lineMultiple && f.lineSpacing != 0;
    f.align = ParagraphFormat::Align(p.align);
    f.direction = ParagraphFormat::Direction(p.direction);
    if (p.list != 0)
        f.list = lists_.listOf(p.list, p.level, blocks_.lists);
    else if (numbering >= 0)
        f.list = lists_.listOf(numbering_.numbering(numbering), blocks_.lists);
    if (f.list >= 0 && f.left == 0 && f.firstLine == 0) {
        // The level's indents where the paragraph gives none of its own.
        f.left = blocks_.lists[std::size_t(f.list)].left;
        f.firstLine = blocks_.lists[std::size_t(f.list)].firstLine;
    }
    auto [it, made] = formatIndex_.try_emplace(f, int(blocks_.paragraphFormats.size()));
    if (made)
        blocks_.paragraphFormats.push_back(f);
    if (!list)
        known = Known{p, it->second};
    return it->second;
}

// The format of the paragraph that ends. The editor numbers a list
// itself: the label the file writes for a list paragraph goes.
int BlockReader::formatAndLabel(const ParagraphProps& p, int numbering)
{
    if (labelDepth_ != 0)
        endLabel();
    const int format = formatOf(p, numbering);
    if (blocks_.paragraphFormats[std::size_t(format)].list >= 0 && labelStart_ >= paragraphStart_
        && labelEnd_ > labelStart_ && labelEnd_ <= out_.size()) {
        out_.splice(labelStart_, labelEnd_ - labelStart_, {});
        out_.rescriptNeutral(labelStart_, complexBeforeLabel_);
    }
    labelStart_ = labelEnd_ = -1;
    return format;
}

void BlockReader::endParagraph(const ParagraphProps& p, int numbering, End end, const Style& style)
{
    const int format = formatAndLabel(p, numbering);

    int depth = std::min<int>(p.tableDepth(), kDeepestTable);
    if (end == End::Cell) {
        depth = std::max(depth, 1);
        // An empty cell merged into its neighbour is no cell of the editor's.
        if (std::size_t(depth) == levels_.size() && !levels_.back().cellOpen && out_.size() == paragraphStart_) {
            Level& level = levels_.back();
            CellOfRow cell = cellAt(level, level.row.size());
            if (coveredCell(level, cell)) {
                level.row.push_back(cell);
                return;
            }
        }
    }
    placeParagraph(depth);
    if (end == End::Paragraph) {
        const char16_t mark = u'\n';
        out_.append(&mark, 1, style);
    } else {
        Level& level = levels_[std::size_t(depth) - 1];
        level.cellOpen = false;
        level.row.push_back(cellAt(level, level.row.size()));
    }
    record(paragraphStart_, format);
    paragraphStart_ = out_.size();
}

// Puts the characters that bring the paragraph about to end (from
// paragraphStart_ on) to its place in the tables in front of it, and
// moves paragraphStart_ to its first character.
void BlockReader::placeParagraph(int depth)
{
    if (depth == 0 && levels_.empty())
        return;
    QString marks;
    qsizetype at = paragraphStart_;
    qsizetype replaced = 0;
    while (levels_.size() > std::size_t(depth)) {
        marks += QChar(kTableEnd);
        closeTable();
    }
    const auto startCell = [&](Level& level) {
        level.cellOpen = true;
    };
    // The innermost table open takes a new cell (an outer one's cell is
    // open while a table inside it is).
    if (!levels_.empty() && levels_.size() <= std::size_t(depth) && !levels_.back().cellOpen) {
        Level& level = levels_.back();
        if (level.row.size() >= std::size_t(kMostColumns)) {
            // A row of more cells than the editor takes goes on in its
            // last cell.
            marks += QChar(u'\n');
            level.row.pop_back();
        } else {
            level.marks.push_back(at + marks.size());
            marks += QChar(kCellStart);
        }
        startCell(level);
    }
    while (levels_.size() < std::size_t(depth)) {
        // A table after a paragraph: the paragraph's mark is the cell's start.
        if (marks.isEmpty() && at > 0 && out_.at(at - 1) == u'\n') {
            --at;
            replaced = 1;
        }
        Table table;
        table.start = at + marks.size();
        blocks_.tables.push_back(table);
        levels_.push_back(Level{});
        levels_.back().table = int(blocks_.tables.size()) - 1;
        levels_.back().marks.push_back(at + marks.size());
        startCell(levels_.back());
        marks += QChar(kCellStart);
    }
    if (!marks.isEmpty())
        out_.splice(at, replaced, marks);
    paragraphStart_ = at + marks.size();
}

const BlockReader::RowDefinition& BlockReader::definitionOfRow(const Level& level) const
{
    return &level == &levels_.front() ? latestRow_ : latestNestedRow_;
}

BlockReader::CellOfRow BlockReader::cellAt(const Level& level, std::size_t index) const
{
    const RowDefinition& d = definitionOfRow(level);
    CellOfRow cell;
    if (index < d.cells.size()) {
        cell.left = index == 0 ? d.left : d.cells[index - 1].right;
        cell.right = d.cells[index].right;
    }
    return cell;
}

bool BlockReader::coveredCell(const Level& level, CellOfRow& cell) const
{
    const RowDefinition& d = definitionOfRow(level);
    const std::size_t index = level.row.size();
    if (index >= d.cells.size() || index + 1 >= std::size_t(kMostColumns))
        return false;
    if (d.cells[index].merge == 2 && index > 0) {
        cell.covered = Covered::ByLeft;
        return true;
    }
    if (d.cells[index].mergeDown == 2 && !level.rows.empty()) {
        for (const CellOfRow& above : level.rows.back()) {
            if (above.left == cell.left && above.right == cell.right) {
                cell.covered = Covered::ByAbove;
                return true;
            }
        }
    }
    return false;
}

// The row's cells take their edges from the row's definition; a row of
// more cells than its definition gives shares the row's width evenly
// among them, as LibreOffice reads such a row.
void BlockReader::endRowOf(Level& level)
{
    if (level.row.empty())
        return;
    const RowDefinition& d = definitionOfRow(level);
    const std::size_t n = level.row.size();
    if (n <= d.cells.size()) {
        for (std::size_t i = 0; i < n; ++i) {
            level.row[i].left = i == 0 ? d.left : d.cells[i - 1].right;
            level.row[i].right = d.cells[i].right;
        }
    } else {
        const int right = d.cells.empty() ? d.left + kDefaultCellWidth * int(n) : d.cells.back().right;
        const qint64 width = qint64(right) - d.left;
        for (std::size_t i = 0; i < n; ++i) {
            level.row[i].left = int(d.left + width * qint64(i) / qint64(n));
            level.row[i].right = int(d.left + width * qint64(i + 1) / qint64(n));
        }
    }
    level.borders = level.borders || d.borders;
    level.rows.push_back(std::move(level.row));
    level.row.clear();
}

void BlockReader::endRow(const ParagraphProps& p, int numbering, int depth, const Style& style)
{
    // Text after the last cell's end belongs to one more cell.
    if (out_.size() > paragraphStart_)
        endParagraph(p, numbering, End::Cell, style);
    const std::size_t d = depth > 0 ? std::size_t(depth) : levels_.size();
    if (d == 0 || d > levels_.size())
        return;
    while (levels_.size() > d) {
        const char16_t end = kTableEnd;
        out_.append(&end, 1, style);
        closeTable();
    }
    paragraphStart_ = out_.size();
    Level& level = levels_.back();
    if (level.cellOpen) {
        level.cellOpen = false;
        level.row.push_back(cellAt(level, level.row.size()));
    }
    endRowOf(level);
}

void BlockReader::closeTable()
{
    Level& level = levels_.back();
    if (level.cellOpen)
        level.row.push_back(cellAt(level, level.row.size()));
    endRowOf(level);
    Table& table = blocks_.tables[std::size_t(level.table)];
    layOut(table, level.rows);
    table.borders = level.borders;
    const std::size_t places = std::size_t(table.rows) * table.columnWidths.size();
    if (places > 8 * table.cells.size() + 4096) {
        // Rows of very different widths would make the editor keep far more
        // places than there are cells: the table takes one column, each
        // row's cells after its first going on as paragraphs of that cell.
        std::vector<TableCell> firsts;
        for (std::size_t i = 0; i < table.cells.size(); ++i) {
            if (table.cells[i].column == 0)
                firsts.push_back(TableCell{int(firsts.size()), 0, 1, 1});
            else if (i < level.marks.size())
                out_.replaceAt(level.marks[i], u'\n');
        }
        table.cells = std::move(firsts);
        table.rows = int(table.cells.size());
        table.columnWidths = {kDefaultCellWidth * 4};
    }
    levels_.pop_back();
}

void BlockReader::finish(const ParagraphProps& p, int numbering, const Style& style)
{
    // A label cut off by the end of the data, or with nothing after it
    // (the words that say its paragraph is a list may be cut off), is no
    // text of the document.
    if ((labelDepth_ != 0 || labelEnd_ == out_.size()) && labelStart_ >= paragraphStart_) {
        out_.splice(labelStart_, out_.size() - labelStart_, {});
        labelStart_ = labelEnd_ = -1;
        labelDepth_ = 0;
    }
    if (out_.size() > paragraphStart_) {
        const int format = formatAndLabel(p, numbering);
        placeParagraph(std::min<int>(p.tableDepth(), kDeepestTable));
        record(paragraphStart_, format);
    }
    while (!levels_.empty()) {
        const char16_t end = kTableEnd;
        out_.append(&end, 1, style);
        closeTable();
    }
}

void BlockReader::record(qsizetype start, int format)
{
    if (blocks_.paragraphs.empty() ? format == 0 : blocks_.paragraphs.back().format == format)
        return;
    blocks_.paragraphs.push_back(ParagraphRun{start, format});
}

Blocks BlockReader::take(qsizetype textSize)
{
    while (!blocks_.paragraphs.empty() && blocks_.paragraphs.back().start > textSize)
        blocks_.paragraphs.pop_back();
    return std::move(blocks_);
}

// ---------------------------------------------------------------- pictures

void BlockReader::beginPicture(bool inShape)
{
    picture_ = Picture{};
    pictureInShape_ = inShape;
    pendingNibble_ = -1;
}

void BlockReader::pictureWord(BlockWord word, bool hasParam, int param)
{
    const int size = std::clamp(param, 0, kLongest);
    if (word >= BlockWord::Png && word <= BlockWord::Os2Picture) {
        static_assert(int(BlockWord::Os2Picture) - int(BlockWord::Png) == int(PictureKind::Os2));
        picture_.kind = PictureKind(int(word) - int(BlockWord::Png));
        picture_.kindParam = hasParam ? std::clamp(param, 0, 0xFFFF) : -1;
        return;
    }
    switch (word) {
    case BlockWord::PictureWidth:
        picture_.width = size;
        break;
    case BlockWord::PictureHeight:
        picture_.height = size;
        break;
    case BlockWord::GoalWidth:
        picture_.goalWidth = size;
        break;
    case BlockWord::GoalHeight:
        picture_.goalHeight = size;
        break;
    case BlockWord::ScaleX:
        picture_.scaleX = std::clamp(param, 1, 10000);
        break;
    case BlockWord::ScaleY:
        picture_.scaleY = std::clamp(param, 1, 10000);
        break;
    default:
        break;
    }
}

void BlockReader::pictureHex(const unsigned char* from, const unsigned char* to)
{
    QByteArray& data = picture_.data;
    const qsizetype had = data.size();
    const qsizetype most = had + (to - from) / 2 + 1;
    if (data.capacity() < most)
        data.reserve(std::max(had * 2, most));
    data.resize(most);
    char* out = data.data() + had;
    int pending = pendingNibble_;
    while (from != to) {
        const int v = kHexValues[*from++];
        if (v < 0)
            continue;
        if (pending >= 0) {
            *out++ = char(pending << 4 | v);
            pending = -1;
        } else if (from != to && kHexValues[*from] >= 0) {
            // Digits mostly come in pairs.
            *out++ = char(v << 4 | kHexValues[*from++]);
        } else {
            pending = v;
        }
    }
    pendingNibble_ = pending;
    data.truncate(out - data.data());
}

void BlockReader::pictureBytes(const unsigned char* from, qsizetype n)
{
    picture_.data.append(reinterpret_cast<const char*>(from), n);
}

void BlockReader::endPicture(const Style& style, bool shown)
{
    if (!shown || picture_.data.isEmpty())
        return;
    if (pictureInShape_ && picture_.goalWidth == 0 && picture_.goalHeight == 0 && shapeWidth_ > 0
        && shapeHeight_ > 0) {
        picture_.goalWidth = shapeWidth_;
        picture_.goalHeight = shapeHeight_;
    }
    blocks_.pictures.push_back(std::move(picture_));
    picture_ = Picture{};
    const char16_t mark = kPictureMark;
    out_.append(&mark, 1, style);
}

void BlockReader::shapeWord(BlockWord word, int param)
{
    switch (word) {
    case BlockWord::ShapeLeft:
        shapeLeft_ = length(param);
        break;
    case BlockWord::ShapeTop:
        shapeTop_ = length(param);
        break;
    case BlockWord::ShapeRight:
        shapeWidth_ = std::max(0, length(param) - shapeLeft_);
        break;
    case BlockWord::ShapeBottom:
        shapeHeight_ = std::max(0, length(param) - shapeTop_);
        break;
    default:
        break;
    }
}

} // namespace rtf::reading
