// Putting what the reader made into the editor: each format of the
// document becomes a QTextCharFormat as its runs go in.
#include "RtfReader.h"

#include "RtfInsertBlocks.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QTextCursor>

#include <array>

namespace rtf {

namespace {

// Formats of one colour share its brush: a brush of its own costs each
// format the editor keeps about a hundred bytes.
class Brushes {
public:
    const QBrush& of(QRgb color)
    {
        auto it = made_.find(color);
        if (it == made_.end())
            it = made_.insert(color, QBrush(QColor::fromRgb(color)));
        return *it;
    }

private:
    QHash<QRgb, QBrush> made_;
};

// Only what differs from a plain character is set: every property costs
// memory in each format the editor keeps.
QTextCharFormat qtFormat(const CharFormat& c, Brushes& brushes)
{
    QTextCharFormat f;
    if (!c.families.isEmpty())
        f.setFontFamilies(c.families);
    f.setFontPointSize(c.halfPoints / 2.0);
    if (c.bold)
        f.setFontWeight(QFont::Bold);
    if (c.italic)
        f.setFontItalic(true);
    if (c.underline)
        f.setFontUnderline(true);
    if (c.strike)
        f.setFontStrikeOut(true);
    if (c.foreground)
        f.setForeground(brushes.of(c.foreground));
    if (c.background)
        f.setBackground(brushes.of(c.background));
    return f;
}

} // namespace

void insert(const Document& document, QTextCursor& cursor, const QTextCharFormat& over)
{
    // Most documents take turns among a few formats: the last ones made
    // are kept rather than made again for every run.
    struct Made {
        int index = -1;
        QTextCharFormat format;
    };
    std::array<Made, 64> made;
    Brushes brushes;
    BlockInserter blocks(document, cursor);
    // Runs that come out the same once `over` is merged go in as one.
    QTextCharFormat format;
    qsizetype from = 0;
    qsizetype length = 0;
    for (const Run& run : document.runs) {
        Made& m = made[std::size_t(run.format) % made.size()];
        if (m.index != run.format) {
            m.index = run.format;
            m.format = qtFormat(document.formats[std::size_t(run.format)], brushes);
            m.format.merge(over);
        }
        if (length > 0 && m.format == format) {
            length += run.length;
            continue;
        }
        if (length > 0)
            blocks.insert(from, length, format);
        format = m.format;
        from = run.start;
        length = run.length;
    }
    if (length > 0)
        blocks.insert(from, length, format);
}

} // namespace rtf
