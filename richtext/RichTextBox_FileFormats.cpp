// RichTextBox: the formats characters had in the RTF file they came from.
// Each such character carries the index of its file format
// (rtf::kFileFormatProperty) through every look the control shows it in;
// saving writes that format. The user's formatting commands change it; text
// the user types or pastes has none, whatever it was typed next to.
#include "RichTextBox_p.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextTable>

#include <algorithm>
#include <unordered_map>

namespace {

// The file format index of a format, -1 for none.
int fileFormatOf(const QTextCharFormat& format)
{
    const QVariant v = format.property(rtf::kFileFormatProperty);
    return v.isValid() ? v.toInt() : -1;
}

// Takes out of the format what ties it to the file: its file format and
// the file's groups it stands by. True when there was any.
bool clearFileProperties(QTextCharFormat& format)
{
    bool had = false;
    for (const int property : {rtf::kFileFormatProperty, rtf::kGroupsBeforeProperty, rtf::kGroupsAfterProperty,
                               rtf::kGroupsInsteadProperty}) {
        had = had || format.hasProperty(property);
        format.clearProperty(property);
    }
    return had;
}

// Calls `f(from, to, format)` for each stretch of a fragment within
// [from, to) whose format has a file format or stands by a group of the file.
template <class F>
void forEachFileStretch(QTextDocument* doc, int from, int to, F f)
{
    for (QTextBlock block = doc->findBlock(from); block.isValid() && block.position() < to; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int a = std::max(from, fragment.position());
            const int b = std::min(to, fragment.position() + fragment.length());
            if (a >= b)
                continue;
            const QTextCharFormat format = fragment.charFormat();
            if (QTextCharFormat bare = format; clearFileProperties(bare))
                f(a, b, format);
        }
    }
}

} // namespace

void RichTextBox::Impl::keepFileFormatsInText()
{
    if (fileRuns.empty() && groupsBeside.empty())
        return;
    const std::vector<rtf::FileRun> runs = std::move(fileRuns);
    fileRuns.clear();
    const std::vector<rtf::GroupAnchor> groups = std::move(groupsBeside);
    groupsBeside.clear();
    QTextDocument* doc = q->document();
    const int length = editorLength();
    const bool wasModified = doc->isModified();
    const bool undo = doc->isUndoRedoEnabled();
    ++quiet;
    doc->setUndoRedoEnabled(false);
    QTextCursor c(doc);
    c.beginEditBlock();
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const int to = std::min(i + 1 < runs.size() ? runs[i + 1].start : length, length);
        if (runs[i].format < 0 || runs[i].start >= to)
            continue;
        QTextCharFormat f;
        f.setProperty(rtf::kFileFormatProperty, runs[i].format);
        // A cursor from cell to cell would take in whole cells of the table.
        for (const Span& piece : withinCells(runs[i].start, to)) {
            c.setPosition(piece.from);
            c.setPosition(piece.to, QTextCursor::KeepAnchor);
            c.mergeCharFormat(f);
        }
    }
    for (std::size_t i = 0; i < groups.size();) {
        const rtf::GroupAnchor& g = groups[i];
        // A group the characters after it stand for too (a text box's) is
        // given to all of them at once.
        std::size_t n = 1;
        while (i + n < groups.size() && groups[i + n].at == g.at + qsizetype(n) && groups[i + n].group == g.group
               && groups[i + n].place == g.place)
            ++n;
        QTextCharFormat f;
        f.setProperty(rtf::propertyOf(g.place), g.group);
        c.setPosition(int(g.at));
        c.setPosition(int(g.at + qsizetype(n)), QTextCursor::KeepAnchor);
        c.mergeCharFormat(f);
        i += n;
    }
    c.endEditBlock();
    doc->setUndoRedoEnabled(undo);
    --quiet;
    doc->setModified(wasModified);
}

bool RichTextBox::Impl::textChanged(int from, int added) const
{
    const QTextDocument* doc = q->document();
    for (QTextBlock block = doc->findBlock(from); block.isValid() && block.position() <= from + added;
         block = block.next()) {
        if (block.revision() == doc->revision())
            return true;
    }
    return false;
}

void RichTextBox::Impl::followEdit(int from, int removed, int added)
{
    const int end = from + removed;
    // The groups of characters the edit took go with them.
    std::erase_if(groupsBeside, [&](const rtf::GroupAnchor& g) { return g.at >= from && g.at < end; });
    for (rtf::GroupAnchor& g : groupsBeside) {
        if (g.at >= end)
            g.at += added - removed;
    }
    if (fileRuns.empty())
        return;
    // The format of the character that ends the edit, and what stood before.
    auto after = std::upper_bound(fileRuns.begin(), fileRuns.end(), end,
                                  [](int position, const rtf::FileRun& run) { return position < run.start; });
    const int afterFormat = after == fileRuns.begin() ? -1 : std::prev(after)->format;
    std::vector<rtf::FileRun> runs;
    runs.reserve(fileRuns.size() + 2);
    for (auto it = fileRuns.begin(); it != fileRuns.end() && it->start < from; ++it)
        runs.push_back(*it);
    const auto add = [&runs](int start, int format) {
        while (!runs.empty() && runs.back().start >= start)
            runs.pop_back();
        if (runs.empty() || runs.back().format != format)
            runs.push_back({start, format});
    };
    if (added > 0)
        add(from, -1);
    add(from + added, afterFormat);
    for (; after != fileRuns.end(); ++after)
        add(after->start + added - removed, after->format);
    fileRuns.swap(runs);
}

void RichTextBox::Impl::changeFileFormats(const QTextCursor& selection, const FileChange& change)
{
    // A selection of table cells holds those cells only, not all that
    // stands between its first and its last.
    std::vector<Span> spans;
    int firstRow = 0, rows = 0, firstColumn = 0, columns = 0;
    selection.selectedTableCells(&firstRow, &rows, &firstColumn, &columns);
    if (const QTextTable* table = selection.currentTable(); table && rows > 0) {
        for (int r = firstRow; r < firstRow + rows; ++r) {
            for (int col = firstColumn; col < firstColumn + columns; ++col) {
                const QTextTableCell cell = table->cellAt(r, col);
                if (cell.row() == r && cell.column() == col)
                    spans.push_back({cell.firstPosition(), cell.lastPosition()});
            }
        }
    } else {
        spans.push_back({selection.selectionStart(), selection.selectionEnd()});
    }
    struct Stretch {
        int from, to, index;
    };
    std::vector<Stretch> stretches;
    std::unordered_map<int, int> made; // file format -> the one the change makes of it
    const auto changeStretch = [&](int a, int b, const QTextCharFormat& format) {
        const int old = fileFormatOf(format);
        if (std::size_t(old) >= kept.formats.size())
            return;
        auto [it, isNew] = made.try_emplace(old, old);
        if (isNew) {
            rtf::CharFormat changed = kept.formats[std::size_t(old)];
            change(changed);
            it->second = kept.formatIndex(changed);
        }
        if (it->second == old)
            return;
        if (!stretches.empty() && stretches.back().to == a && stretches.back().index == it->second)
            stretches.back().to = b;
        else
            stretches.push_back({a, b, it->second});
    };
    for (const Span& span : spans)
        forEachFileStretch(q->document(), span.from, span.to, changeStretch);
    QTextCursor c(q->document());
    for (const Stretch& s : stretches) {
        c.setPosition(s.from);
        c.setPosition(s.to, QTextCursor::KeepAnchor);
        QTextCharFormat f;
        f.setProperty(rtf::kFileFormatProperty, s.index);
        c.mergeCharFormat(f);
    }
}

void RichTextBox::Impl::forgetFileFormats(const std::vector<Span>& spans)
{
    struct Stretch {
        int from, to;
        QTextCharFormat format;
    };
    std::vector<Stretch> stretches;
    for (const Span& span : spans) {
        forEachFileStretch(q->document(), span.from, span.to, [&](int a, int b, QTextCharFormat format) {
            clearFileProperties(format);
            stretches.push_back({a, b, format});
        });
    }
    if (stretches.empty())
        return;
    QTextDocument* doc = q->document();
    ++quiet;
    QTextCursor c(doc);
    if (doc->isUndoRedoEnabled())
        c.joinPreviousEditBlock();
    else
        c.beginEditBlock();
    for (const Stretch& s : stretches) {
        c.setPosition(s.from);
        c.setPosition(s.to, QTextCursor::KeepAnchor);
        c.setCharFormat(s.format);
    }
    c.endEditBlock();
    --quiet;
}

void RichTextBox::Impl::forgetInsertedFileFormats(int from, int added)
{
    QTextDocument* doc = q->document();
    const int revision = doc->revision();
    if (revision == handledRevision)
        return;
    std::vector<Span> spans;
    const int to = from + added;
    for (QTextBlock block = doc->findBlock(from); block.isValid() && block.position() < to; block = block.next()) {
        if (block.revision() == revision)
            spans.push_back({std::max(from, block.position()), std::min(to, block.position() + block.length())});
    }
    forgetFileFormats(spans);
}

QTextCharFormat RichTextBox::Impl::typedFormat(const QTextCursor& cursor)
{
    QTextCharFormat format = cursor.charFormat();
    format.clearProperty(QTextFormat::ObjectType);
    clearFileProperties(format);
    return format;
}

void RichTextBox::Impl::keepCaretOutOfFile()
{
    const QTextCursor caret = q->textCursor();
    if (caret.hasSelection())
        return;
    QTextCharFormat format = caret.charFormat();
    if (!clearFileProperties(format))
        return;
    ++quiet;
    q->setCurrentCharFormat(format);
    --quiet;
}
