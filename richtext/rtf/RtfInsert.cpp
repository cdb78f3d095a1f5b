// Putting what the reader made into the editor: each format of the
// document becomes a QTextCharFormat as its runs go in.
#include "RtfReader.h"

#include "RtfInsertBlocks.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QStringList>
#include <QTextCursor>

#include <array>

namespace rtf {

namespace {

// Formats of one colour share its brush, and of one font its family list:
// one of their own costs each format the editor keeps about a hundred
// bytes.
class Shared {
public:
    explicit Shared(const Kept& kept)
    {
        for (const Kept::Font& f : kept.fonts) {
            if (!f.name.isEmpty())
                families_.insert(f.number, QStringList{f.name});
        }
    }

    const QBrush& brush(QRgb color)
    {
        auto it = brushes_.find(color);
        if (it == brushes_.end())
            it = brushes_.insert(color, QBrush(QColor::fromRgb(color)));
        return *it;
    }

    // Empty for a font the table does not name.
    QStringList families(int font) const { return families_.value(font); }

private:
    QHash<QRgb, QBrush> brushes_;
    QHash<int, QStringList> families_;
};

QTextCharFormat::UnderlineStyle underlineStyle(Underline kind)
{
    switch (kind) {
    case Underline::None:
        return QTextCharFormat::NoUnderline;
    case Underline::Dotted:
    case Underline::ThickDotted:
        return QTextCharFormat::DotLine;
    case Underline::Dash:
    case Underline::LongDash:
    case Underline::ThickDash:
    case Underline::ThickLongDash:
        return QTextCharFormat::DashUnderline;
    case Underline::DashDot:
    case Underline::ThickDashDot:
        return QTextCharFormat::DashDotLine;
    case Underline::DashDotDot:
    case Underline::ThickDashDotDot:
        return QTextCharFormat::DashDotDotLine;
    case Underline::HeavyWave:
    case Underline::DoubleWave:
    case Underline::Wave:
        return QTextCharFormat::WaveUnderline;
    case Underline::Single:
    case Underline::Double:
    case Underline::Thick:
    case Underline::Words:
        break;
    }
    return QTextCharFormat::SingleUnderline;
}

// Only what differs from a plain character is set: every property costs
// memory in each format the editor keeps.
QTextCharFormat qtFormat(const CharFormat& c, const Kept& kept, Shared& shared)
{
    QTextCharFormat f;
    if (const QStringList families = shared.families(c.font); !families.isEmpty())
        f.setFontFamilies(families);
    f.setFontPointSize(c.shownHalfPoints() / 2.0);
    if (c.shownBold())
        f.setFontWeight(QFont::Bold);
    if (c.shownItalic())
        f.setFontItalic(true);
    if (c.underline != Underline::None)
        f.setUnderlineStyle(underlineStyle(c.underline));
    if (c.strike)
        f.setFontStrikeOut(true);
    if (c.caps || c.smallCaps)
        f.setFontCapitalization(c.caps ? QFont::AllUppercase : QFont::SmallCaps);
    if (c.script > 0 || (c.script == 0 && c.raise > 0))
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (c.script < 0 || c.raise < 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (c.foreground)
        f.setForeground(shared.brush(c.foreground));
    if (c.background)
        f.setBackground(shared.brush(c.background));
    if (c.link >= 0 && std::size_t(c.link) < kept.links.size() && !kept.links[std::size_t(c.link)].href.isEmpty()) {
        f.setAnchor(true);
        f.setAnchorHref(kept.links[std::size_t(c.link)].href);
    }
    return f;
}

} // namespace

void insert(const Document& document, QTextCursor& cursor, const QTextCharFormat& over,
            std::vector<FileRun>* fileRuns, std::vector<GroupAnchor>* groupsAt)
{
    const int origin = cursor.position();
    // Most documents take turns among a few formats: the last ones made
    // are kept rather than made again for every run.
    struct Made {
        int index = -1;
        QTextCharFormat format;
    };
    std::array<Made, 64> made;
    Shared shared(document.kept);
    BlockInserter blocks(document, cursor);
    // Text in a format, the characters groups of the file stand by each in
    // that format with the groups' numbers, or their places kept aside.
    auto anchor = document.anchors.begin();
    const auto put = [&](qsizetype from, qsizetype length, const QTextCharFormat& format) {
        const qsizetype end = from + length;
        for (; anchor != document.anchors.end() && anchor->at < end;) {
            const qsizetype at = anchor->at;
            if (at < from) {
                ++anchor;
                continue;
            }
            if (at > from)
                blocks.insert(from, at - from, format);
            const auto first = anchor;
            QTextCharFormat marked = format;
            for (; anchor != document.anchors.end() && anchor->at == at; ++anchor) {
                if (!groupsAt)
                    marked.setProperty(propertyOf(anchor->place), anchor->group);
            }
            // The characters after it that stand for the same group alone
            // (a text box's) go in with it.
            qsizetype n = 1;
            const bool runsOn = first + 1 == anchor && first->place == GroupAnchor::Place::Instead;
            const auto alone = [&](auto a) { return a + 1 == document.anchors.end() || a[1].at != a->at; };
            while (runsOn && anchor != document.anchors.end() && anchor->at == at + n && anchor->at < end
                   && anchor->place == first->place && anchor->group == first->group && alone(anchor)) {
                ++anchor;
                ++n;
            }
            blocks.insert(at, n, groupsAt ? format : marked);
            // The characters stand just before the cursor now.
            const qsizetype after = cursor.position() - origin;
            for (auto a = first; groupsAt && a != anchor; ++a)
                groupsAt->push_back({after - n + (a->at - at), a->group, a->place});
            from = at + n;
        }
        if (end > from)
            blocks.insert(from, end - from, format);
    };
    // Runs that come out the same once `over` is merged go in as one,
    // from editor position `at`.
    QTextCharFormat format;
    qsizetype from = 0;
    qsizetype length = 0;
    int at = 0;
    for (const Run& run : document.runs) {
        Made& m = made[std::size_t(run.format) % made.size()];
        if (m.index != run.format) {
            m.index = run.format;
            m.format = qtFormat(document.formats[std::size_t(run.format)], document.kept, shared);
            m.format.merge(over);
        }
        if (length > 0 && m.format == format) {
            if (fileRuns)
                fileRuns->push_back({at + int(run.start - from), run.format});
            length += run.length;
            continue;
        }
        if (length > 0)
            put(from, length, format);
        format = m.format;
        from = run.start;
        length = run.length;
        at = cursor.position() - origin;
        if (fileRuns)
            fileRuns->push_back({at, run.format});
    }
    if (length > 0)
        put(from, length, format);
}

} // namespace rtf
