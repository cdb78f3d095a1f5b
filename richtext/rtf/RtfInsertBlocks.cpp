#include "RtfInsertBlocks.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <iterator>

namespace rtf {

namespace {

constexpr double kTwipsPerPixel = 15.0; // at 96 pixels an inch
// Pictures Qt cannot show stand as boxes of at most kLargestPlaceholder
// pixels a side, stretched to their size; no picture shows wider or
// taller than kLargestShown pixels (some four metres), whatever its file
// says.
constexpr int kLargestPlaceholder = 1024;
constexpr double kLargestShown = 16000;

QTextBlockFormat blockFormatOf(const ParagraphFormat& p)
{
    QTextBlockFormat f;
    switch (p.align) {
    case ParagraphFormat::Align::Left:
        break;
    case ParagraphFormat::Align::Centre:
        f.setAlignment(Qt::AlignHCenter);
        break;
    case ParagraphFormat::Align::Right:
        f.setAlignment(Qt::AlignRight);
        break;
    case ParagraphFormat::Align::Justify:
        f.setAlignment(Qt::AlignJustify);
        break;
    }
    if (p.left)
        f.setLeftMargin(p.left / kTwipsPerPixel);
    if (p.right)
        f.setRightMargin(p.right / kTwipsPerPixel);
    // A list's label stands left of the text, in the room a negative
    // first-line indent leaves in a word processor.
    if (p.list >= 0)
        f.setProperty(property::kListFirstIndent, p.firstLine);
    else if (p.firstLine)
        f.setTextIndent(p.firstLine / kTwipsPerPixel);
    if (p.before)
        f.setTopMargin(p.before / kTwipsPerPixel);
    if (p.after)
        f.setBottomMargin(p.after / kTwipsPerPixel);
    if (p.lineSpacing && p.lineMultiple)
        f.setLineHeight(p.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    else if (p.lineSpacing > 0)
        f.setLineHeight(p.lineSpacing / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
    else if (p.lineSpacing < 0)
        f.setLineHeight(-p.lineSpacing / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
    if (p.direction == ParagraphFormat::Direction::RightToLeft)
        f.setLayoutDirection(Qt::RightToLeft);
    else if (p.direction == ParagraphFormat::Direction::LeftToRight)
        f.setLayoutDirection(Qt::LeftToRight);
    return f;
}

QTextListFormat listFormatOf(const List& list)
{
    QTextListFormat f;
    // The paragraph's margin places the text; the label stands left of it.
    f.setIndent(0);
    if (list.numberFormat == kBulletFormat) {
        const QChar bullet = list.levelText.isEmpty() ? QChar() : list.levelText.front();
        if (bullet == u'o' || bullet == QChar(0x25E6) || bullet == QChar(0x25CB))
            f.setStyle(QTextListFormat::ListCircle);
        else if (bullet == QChar(0x25AA) || bullet == QChar(0x25A0) || bullet == QChar(0xA7))
            f.setStyle(QTextListFormat::ListSquare);
        else
            f.setStyle(QTextListFormat::ListDisc);
    } else if (list.numberFormat == kNoLabelFormat) {
        f.setStyle(QTextListFormat::ListStyleUndefined);
    } else {
        // Other numbers (with leading zeros, in other scripts) as decimals.
        f.setStyle(list.numberFormat >= 0 && list.numberFormat < int(std::size(kListStyles))
                       ? kListStyles[list.numberFormat]
                       : QTextListFormat::ListDecimal);
    }
    if (list.numberFormat != kBulletFormat && list.numberFormat != kNoLabelFormat) {
        // The text around the level's own number; other levels' numbers,
        // which Qt does not show, are left out.
        const qsizetype own = list.levelText.indexOf(QChar(char16_t(list.level)));
        QString prefix, suffix;
        for (qsizetype i = 0; i < list.levelText.size(); ++i) {
            const QChar c = list.levelText[i];
            if (c.unicode() < 9)
                continue;
            (own >= 0 && i > own ? suffix : prefix).append(c);
        }
        f.setNumberPrefix(prefix);
        f.setNumberSuffix(suffix);
    }
    f.setProperty(property::kListNumber, list.number);
    f.setProperty(property::kListLevel, list.level);
    f.setProperty(property::kListNumberFormat, list.numberFormat);
    f.setProperty(property::kListStart, list.start);
    f.setProperty(property::kListLevelText, list.levelText);
    return f;
}

QImage pictureImage(const Picture& p, int widthPixels, int heightPixels)
{
    QImage image;
    if (p.kind == PictureKind::Png || p.kind == PictureKind::Jpeg || p.kind == PictureKind::Bitmap)
        image = QImage::fromData(p.data);
    if (!image.isNull())
        return image;
    // A box of the picture's size where Qt cannot show it.
    image = QImage(std::clamp(widthPixels, 8, kLargestPlaceholder), std::clamp(heightPixels, 8, kLargestPlaceholder),
                   QImage::Format_RGB32);
    image.fill(QColor(0xEE, 0xEE, 0xEE));
    QPainter painter(&image);
    painter.setPen(QColor(0x99, 0x99, 0x99));
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
    return image;
}

} // namespace

BlockInserter::BlockInserter(const Document& document, QTextCursor& cursor)
    : doc_(document), blocks_(document.blocks), cursor_(cursor)
{
    if (!blocks_.tables.empty() || !blocks_.pictures.empty()) {
        const QChar* text = doc_.text.constData();
        for (qsizetype i = 0; i < doc_.text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c == kCellStart || c == kTableEnd || c == kPictureMark)
                stops_.push_back(i);
        }
    }
    const std::size_t marks = stops_.size();
    for (const ParagraphRun& run : blocks_.paragraphs)
        stops_.push_back(run.start);
    std::inplace_merge(stops_.begin(), stops_.begin() + qsizetype(marks), stops_.end());
    stops_.erase(std::unique(stops_.begin(), stops_.end()), stops_.end());
    blockFormats_.resize(blocks_.paragraphFormats.size());
    blockFormatMade_.assign(blocks_.paragraphFormats.size(), false);
    lists_.assign(blocks_.lists.size(), nullptr);
}

void BlockInserter::insert(qsizetype from, qsizetype length, const QTextCharFormat& format)
{
    const qsizetype end = from + length;
    while (from < end) {
        const qsizetype next = nextStop_ < stops_.size() ? std::min(stops_[nextStop_], end) : end;
        if (next > from) {
            cursor_.insertText(doc_.text.mid(from, next - from), format);
            from = next;
            continue;
        }
        ++nextStop_;
        stop(from, format);
        const char16_t c = doc_.text[from].unicode();
        if (c == kCellStart || c == kTableEnd || c == kPictureMark)
            ++from;
    }
}

void BlockInserter::stop(qsizetype at, const QTextCharFormat& format)
{
    const std::vector<ParagraphRun>& runs = blocks_.paragraphs;
    while (nextRun_ < runs.size() && runs[nextRun_].start <= at) {
        if (runs[nextRun_].start == at)
            applyParagraphFormat(int(nextRun_));
        ++nextRun_;
    }
    const char16_t c = doc_.text[at].unicode();
    if (c == kPictureMark) {
        insertPicture(format);
        return;
    }
    if (c == kCellStart) {
        if (nextTable_ < blocks_.tables.size() && blocks_.tables[nextTable_].start == at)
            beginTable();
        else
            nextCell();
    } else if (c == kTableEnd) {
        endTable();
    } else {
        return;
    }
    // A new block: the paragraph that begins there takes its format, from
    // the paragraph run it is in (one that begins there is applied there).
    const bool runBeginsNext = nextRun_ < runs.size() && runs[nextRun_].start == at + 1;
    if (!runBeginsNext)
        applyParagraphFormat(int(nextRun_) - 1);
}

void BlockInserter::applyParagraphFormat(int run)
{
    const int index = run >= 0 ? blocks_.paragraphs[std::size_t(run)].format : 0;
    const std::size_t i = std::size_t(index);
    if (!blockFormatMade_[i]) {
        blockFormats_[i] = blockFormatOf(blocks_.paragraphFormats[i]);
        blockFormatMade_[i] = true;
    }
    cursor_.setBlockFormat(blockFormats_[i]);
    const int list = blocks_.paragraphFormats[i].list;
    if (list < 0)
        return;
    QTextList*& made = lists_[std::size_t(list)];
    if (made)
        made->add(cursor_.block());
    else
        made = cursor_.createList(listFormatOf(blocks_.lists[std::size_t(list)]));
}

void BlockInserter::beginTable()
{
    const Table& plan = blocks_.tables[nextTable_++];
    QTextTableFormat format;
    QList<QTextLength> widths;
    for (const int w : plan.columnWidths)
        widths.append(QTextLength(QTextLength::FixedLength, w / kTwipsPerPixel));
    format.setColumnWidthConstraints(widths);
    format.setCellSpacing(0);
    format.setCellPadding(2);
    format.setBorderCollapse(true);
    format.setBorder(plan.borders ? 1 : 0);
    format.setBorderStyle(plan.borders ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
    QTextTable* table = cursor_.insertTable(std::max(1, plan.rows), std::max<int>(1, int(widths.size())), format);
    for (const TableCell& cell : plan.cells) {
        if (cell.rowSpan > 1 || cell.columnSpan > 1)
            table->mergeCells(cell.row, cell.column, cell.rowSpan, cell.columnSpan);
    }
    open_.push_back(Open{table, &plan, 0});
    nextCell();
}

void BlockInserter::nextCell()
{
    if (open_.empty() || open_.back().nextCell >= open_.back().plan->cells.size())
        return;
    Open& o = open_.back();
    const TableCell& cell = o.plan->cells[o.nextCell++];
    cursor_ = o.table->cellAt(cell.row, cell.column).firstCursorPosition();
}

void BlockInserter::endTable()
{
    if (open_.empty())
        return;
    const QTextTable* table = open_.back().table;
    open_.pop_back();
    cursor_.setPosition(table->lastPosition() + 1);
}

void BlockInserter::insertPicture(const QTextCharFormat& format)
{
    if (nextPicture_ >= blocks_.pictures.size())
        return;
    const Picture& p = blocks_.pictures[nextPicture_++];
    QTextDocument* document = cursor_.document();
    QUrl name;
    do
        name = QUrl(QStringLiteral("rtf-picture:%1").arg(++pictureNames_));
    while (document->resource(QTextDocument::UserResource, name).isValid());
    const double width = std::min(shownWidth(p) / kTwipsPerPixel, kLargestShown);
    const double height = std::min(shownHeight(p) / kTwipsPerPixel, kLargestShown);
    document->addResource(QTextDocument::ImageResource, name, pictureImage(p, int(width), int(height)));
    document->addResource(QTextDocument::UserResource, name, p.data);
    QTextImageFormat image;
    image.merge(format);
    image.setName(name.toString());
    image.setWidth(width);
    image.setHeight(height);
    image.setProperty(property::kPictureWords, pictureWords(p));
    cursor_.insertImage(image);
}

// ---------------------------------------------------------------- pictures

namespace {

// Metafiles give their size in hundredths of a millimetre, pictures of
// pixels in pixels.
int naturalTwips(const Picture& p, int size)
{
    if (p.kind == PictureKind::Emf || p.kind == PictureKind::Wmf || p.kind == PictureKind::Os2)
        return int(qint64(size) * 1440 / 2540);
    return int(std::min<qint64>(qint64(size) * 15, 1'000'000));
}

} // namespace

int shownWidth(const Picture& p)
{
    const int natural = p.goalWidth > 0 ? p.goalWidth : p.width > 0 ? naturalTwips(p, p.width) : 1440;
    return int(qint64(natural) * p.scaleX / 100);
}

int shownHeight(const Picture& p)
{
    const int natural = p.goalHeight > 0 ? p.goalHeight : p.height > 0 ? naturalTwips(p, p.height) : 1440;
    return int(qint64(natural) * p.scaleY / 100);
}

QByteArray pictureWords(const Picture& p)
{
    static const char* const kinds[] = {"\\pngblip", "\\jpegblip", "\\emfblip", "\\wmetafile",
                                        "\\dibitmap", "\\wbitmap",  "\\macpict", "\\pmmetafile"};
    QByteArray words = kinds[int(p.kind)];
    if (p.kindParam >= 0)
        words += QByteArray::number(p.kindParam);
    words += "\\picw" + QByteArray::number(p.width) + "\\pich" + QByteArray::number(p.height);
    if (p.goalWidth > 0 || p.goalHeight > 0)
        words += "\\picwgoal" + QByteArray::number(p.goalWidth) + "\\pichgoal" + QByteArray::number(p.goalHeight);
    if (p.scaleX != 100 || p.scaleY != 100)
        words += "\\picscalex" + QByteArray::number(p.scaleX) + "\\picscaley" + QByteArray::number(p.scaleY);
    return words;
}

} // namespace rtf
