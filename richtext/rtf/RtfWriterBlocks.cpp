#include "RtfWriterBlocks.h"

#include "RtfBlocks.h"
#include "RtfNumbering.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <iterator>
#include <climits>
#include <cmath>
#include <cstring>

namespace rtf::writing {

namespace {

constexpr double kTwipsPerPixel = 15.0; // at 96 pixels an inch
constexpr int kDefaultColumn = 1440;
const char kBorders[] = "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
                        "\\clbrdrr\\brdrs\\brdrw10";

int twips(double pixels)
{
    return int(std::lround(std::clamp(pixels * kTwipsPerPixel, -1e7, 1e7)));
}

void appendWord(QByteArray& out, const char* w, int param)
{
    out.append('\\').append(w).append(QByteArray::number(param));
}

// The number format (\levelnfc) of a list the file did not give one.
int numberFormatOf(const QTextListFormat& f)
{
    if (f.hasProperty(property::kListNumberFormat))
        return f.intProperty(property::kListNumberFormat);
    const auto* found = std::find(std::begin(kListStyles), std::end(kListStyles), f.style());
    return found != std::end(kListStyles) ? int(found - std::begin(kListStyles)) : kBulletFormat;
}

// The label of a level, its number as character `level`.
QString levelTextOf(const QTextListFormat& f, int level)
{
    if (f.hasProperty(property::kListLevelText))
        return f.stringProperty(property::kListLevelText);
    switch (f.style()) {
    case QTextListFormat::ListCircle:
        return QStringLiteral("\u25E6");
    case QTextListFormat::ListSquare:
        return QStringLiteral("\u25AA");
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListStyleUndefined:
        return QStringLiteral("\u2022");
    default:
        return f.numberPrefix() + QChar(char16_t(level)) + f.numberSuffix();
    }
}

NumberStyle numberStyleOf(int numberFormat)
{
    return numberFormat >= 0 && numberFormat < int(std::size(kNumberStyles)) ? kNumberStyles[numberFormat]
                                                                              : NumberStyle::Arabic;
}

// Text of a list's label or level as RTF: characters below 9 (the level
// numbers) and the ';' that would end the text as hex escapes.
QByteArray escaped(QStringView text)
{
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == ';' || u == '\\' || u == '{' || u == '}')
            out += "\\'" + QByteArray::number(u, 16).rightJustified(2, '0');
        else if (u < 0x7F)
            out += char(u);
        else
            out += "\\u" + QByteArray::number(int(std::int16_t(u))) + '?';
    }
    return out;
}

} // namespace

void BlockWriter::word(const char* w, int param)
{
    out_.append('\\').append(w);
    if (param != INT_MIN)
        out_.append(QByteArray::number(param));
    delimit_ = true;
}

void BlockWriter::write(const std::function<bool(const QTextBlock&)>& text)
{
    text_ = &text;
    writeFrame(doc_.rootFrame(), 0);
    text_ = nullptr;
}

namespace {

// The empty block the editor keeps before a table at the start of the
// document or of a cell: no paragraph of the file's.
bool placeholderBefore(const QTextFrame::iterator& it, bool first)
{
    if (!first || it.currentFrame() || it.currentBlock().length() != 1)
        return false;
    QTextFrame::iterator next = it;
    ++next;
    return !next.atEnd() && qobject_cast<QTextTable*>(next.currentFrame());
}

} // namespace

void BlockWriter::writeFrame(const QTextFrame* frame, int depth)
{
    bool first = true;
    for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it, first = false) {
        if (const QTextFrame* child = it.currentFrame()) {
            if (const auto* table = qobject_cast<const QTextTable*>(child))
                writeTable(table, depth + 1);
            else
                writeFrame(child, depth);
        } else if (!placeholderBefore(it, first)) {
            writeBlock(it.currentBlock(), depth, "par");
        }
    }
}

void BlockWriter::writeTable(const QTextTable* table, int depth)
{
    const char* cellEnd = depth > 1 ? "nestcell" : "cell";
    for (int r = 0; r < table->rows(); ++r) {
        const QByteArray definition = rowDefinition(table, r);
        if (depth == 1) {
            out_ += definition;
            delimit_ = true;
        }
        bool nested = false;
        for (int c = 0; c < table->columns();) {
            const QTextTableCell cell = table->cellAt(r, c);
            c += std::max(1, cell.columnSpan());
            if (cell.row() != r) {
                // Covered by the cell above: an empty cell of its own in RTF.
                const QByteArray words = paragraphWords(QTextBlock(), depth);
                if (words != written_) {
                    out_ += "\\pard" + words;
                    written_ = words;
                }
                word(cellEnd, INT_MIN);
                continue;
            }
            bool first = true;
            for (QTextFrame::iterator it = cell.begin(); it != cell.end(); ++it, first = false) {
                if (const auto* inner = qobject_cast<const QTextTable*>(it.currentFrame())) {
                    writeTable(inner, depth + 1);
                    nested = true;
                    continue;
                }
                if (it.currentFrame() || placeholderBefore(it, first))
                    continue;
                QTextFrame::iterator next = it;
                ++next;
                writeBlock(it.currentBlock(), depth, next == cell.end() ? cellEnd : "par");
            }
        }
        if (depth == 1) {
            // After a nested table's rows, the row's own definition again.
            if (nested)
                out_ += definition;
            out_ += "\\row\r\n";
        } else {
            out_ += "{\\*\\nesttableprops" + definition + "\\nestrow}{\\nonesttables\\par}\r\n";
        }
        delimit_ = false;
        written_ = QByteArrayLiteral("\\row"); // paragraph words are written again after a row
    }
}

QByteArray BlockWriter::rowDefinition(const QTextTable* table, int row) const
{
    const QTextTableFormat format = table->format();
    const QList<QTextLength> widths = format.columnWidthConstraints();
    std::vector<int> edges{0};
    for (int c = 0; c < table->columns(); ++c) {
        const QTextLength w = c < widths.size() ? widths[c] : QTextLength();
        const int width = w.type() == QTextLength::FixedLength ? twips(w.rawValue()) : kDefaultColumn;
        edges.push_back(edges.back() + std::max(1, width));
    }
    QByteArray out = "\\trowd\\trgaph0\\trleft0";
    for (int c = 0; c < table->columns();) {
        const QTextTableCell cell = table->cellAt(row, c);
        const int span = std::max(1, cell.columnSpan());
        if (cell.row() != row)
            out += "\\clvmrg";
        else if (cell.rowSpan() > 1)
            out += "\\clvmgf";
        if (format.border() > 0)
            out += kBorders;
        appendWord(out, "cellx", edges[std::size_t(std::min(c + span, table->columns()))]);
        c += span;
    }
    return out;
}

void BlockWriter::writeBlock(const QTextBlock& block, int depth, const char* end)
{
    const QByteArray words = paragraphWords(block, depth);
    if (words != written_) {
        out_ += "\\pard" + words;
        delimit_ = true;
        written_ = words;
    }
    if (block.textList())
        listText(block);
    const bool goesOn = (*text_)(block);
    if (std::strcmp(end, "par") == 0) {
        if (!goesOn) {
            out_ += "\\par\r\n";
            delimit_ = false;
        }
    } else {
        word(end, INT_MIN);
    }
}

QByteArray BlockWriter::paragraphWords(const QTextBlock& block, int depth)
{
    QByteArray out;
    if (depth > 0)
        out += "\\intbl";
    if (depth > 1)
        appendWord(out, "itap", depth);
    if (!block.isValid())
        return out;
    const QTextBlockFormat f = block.blockFormat();
    const Qt::Alignment align = f.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        out += "\\qc";
    else if (align & Qt::AlignJustify)
        out += "\\qj";
    else if (align & Qt::AlignRight)
        out += "\\qr";
    const QTextList* list = block.textList();
    // The list first: a reader gives the paragraph its level's indents there,
    // and the paragraph's own after them.
    if (list) {
        auto found = placed_.find(list);
        if (found == placed_.end()) {
            // Lists from one list of the file stay levels of one list.
            const QTextListFormat lf = list->format();
            const int fileNumber = lf.intProperty(property::kListNumber);
            Placed p;
            p.level = std::clamp(lf.intProperty(property::kListLevel), 0, 8);
            if (fileNumber > 0) {
                auto [it, made] = numberOf_.try_emplace(fileNumber, lastNumber_ + 1);
                if (made)
                    ++lastNumber_;
                p.number = it->second;
            } else {
                p.number = ++lastNumber_;
            }
            levels_[p.number].emplace(p.level, list);
            found = placed_.insert(list, p);
        }
        appendWord(out, "ls", found->number);
        appendWord(out, "ilvl", found->level);
    }
    const double indent = (f.indent() + (list ? list->format().indent() : 0)) * doc_.indentWidth();
    // A list paragraph's own indents, even none, rather than its level's;
    // LibreOffice takes them as the paragraph's with \lin and \rin only.
    const int left = twips(f.leftMargin() + indent);
    const int right = twips(f.rightMargin());
    if (left || right || list) {
        appendWord(out, "li", left);
        appendWord(out, "ri", right);
        appendWord(out, "lin", left);
        appendWord(out, "rin", right);
    }
    const int first = list && f.hasProperty(property::kListFirstIndent) ? f.intProperty(property::kListFirstIndent)
                                                                          : twips(f.textIndent());
    if (first || list)
        appendWord(out, "fi", first);
    if (const int before = twips(f.topMargin()))
        appendWord(out, "sb", before);
    if (const int after = twips(f.bottomMargin()))
        appendWord(out, "sa", after);
    switch (f.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        appendWord(out, "sl", int(std::lround(f.lineHeight() * 240 / 100)));
        out += "\\slmult1";
        break;
    case QTextBlockFormat::MinimumHeight:
        appendWord(out, "sl", twips(f.lineHeight()));
        out += "\\slmult0";
        break;
    case QTextBlockFormat::FixedHeight:
        appendWord(out, "sl", -twips(f.lineHeight()));
        out += "\\slmult0";
        break;
    default:
        break;
    }
    if (f.hasProperty(QTextFormat::LayoutDirection))
        out += f.layoutDirection() == Qt::RightToLeft ? "\\rtlpar" : "\\ltrpar";
    return out;
}

// The list paragraph's label, as readers without lists show it.
void BlockWriter::listText(const QTextBlock& block)
{
    const QTextList* list = block.textList();
    const QTextListFormat f = list->format();
    const int level = std::clamp(f.intProperty(property::kListLevel), 0, 8);
    const int numberFormat = numberFormatOf(f);
    QString label;
    for (const QChar c : levelTextOf(f, level)) {
        if (c.unicode() == level && numberFormat != kBulletFormat) {
            const int start = f.hasProperty(property::kListStart) ? f.intProperty(property::kListStart) : 1;
            label += numberText(list->itemNumber(block) + start, numberStyleOf(numberFormat));
        } else if (c.unicode() >= 9) {
            label += c;
        }
    }
    out_ += "{\\listtext\\pard\\plain " + escaped(label) + "\\tab}";
    delimit_ = false;
}

QByteArray BlockWriter::listTables() const
{
    if (levels_.empty())
        return {};
    QByteArray lists = "{\\*\\listtable";
    QByteArray overrides = "{\\*\\listoverridetable";
    for (const auto& [number, levels] : levels_) {
        lists += "\r\n{\\list\\listtemplateid" + QByteArray::number(number) + "\\listhybrid";
        for (int level = 0; level < 9; ++level) {
            const auto given = levels.find(level);
            QTextListFormat f;
            if (given != levels.end())
                f = given->second->format();
            else
                f.setStyle(QTextListFormat::ListDisc);
            const int numberFormat = numberFormatOf(f);
            const QString text = levelTextOf(f, level);
            QByteArray placeholders;
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (text[i].unicode() < 9)
                    placeholders += "\\'" + QByteArray::number(int(i + 1), 16).rightJustified(2, '0');
            }
            lists += "\r\n{\\listlevel";
            appendWord(lists, "levelnfc", numberFormat);
            appendWord(lists, "levelnfcn", numberFormat);
            lists += "\\leveljc0\\leveljcn0\\levelfollow0";
            appendWord(lists, "levelstartat",
                       f.hasProperty(property::kListStart) ? f.intProperty(property::kListStart) : 1);
            const QByteArray length = QByteArray::number(int(std::min<qsizetype>(text.size(), 255)), 16);
            lists += "{\\leveltext\\'" + length.rightJustified(2, '0') + escaped(text) + ";}{\\levelnumbers"
                + placeholders + ";}";
            appendWord(lists, "fi", -360);
            appendWord(lists, "li", 720 + 360 * level);
            lists += '}';
        }
        lists += "{\\listname ;}\\listid" + QByteArray::number(number) + '}';
        overrides += "{\\listoverride\\listid" + QByteArray::number(number) + "\\listoverridecount0\\ls"
            + QByteArray::number(number) + '}';
    }
    return lists + "}\r\n" + overrides + "}\r\n";
}

// ---------------------------------------------------------------- pictures

void BlockWriter::picture(const QTextFragment& fragment)
{
    const QTextImageFormat f = fragment.charFormat().toImageFormat();
    const QUrl name(f.name());
    QByteArray words = f.property(property::kPictureWords).toByteArray();
    QByteArray data = doc_.resource(QTextDocument::UserResource, name).toByteArray();
    if (words.isEmpty() || data.isEmpty()) {
        // A picture of the editor's own: written as PNG.
        const QVariant shown = doc_.resource(QTextDocument::ImageResource, name);
        QImage image = shown.value<QImage>();
        if (image.isNull())
            image = shown.value<QPixmap>().toImage();
        if (image.isNull())
            return;
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        const int width = f.width() > 0 ? twips(f.width()) : image.width() * 15;
        const int height = f.height() > 0 ? twips(f.height()) : image.height() * 15;
        words = "\\pngblip\\picw" + QByteArray::number(image.width()) + "\\pich" + QByteArray::number(image.height())
            + "\\picwgoal" + QByteArray::number(width) + "\\pichgoal" + QByteArray::number(height);
    }
    const QByteArray hex = data.toHex();
    for (qsizetype n = 0; n < fragment.length(); ++n) {
        out_ += "{\\pict" + words;
        for (qsizetype at = 0; at < hex.size(); at += 128)
            out_ += "\r\n" + hex.mid(at, 128);
        out_ += "}";
    }
    delimit_ = false;
}

} // namespace rtf::writing
