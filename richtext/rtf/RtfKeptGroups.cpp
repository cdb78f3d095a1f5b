#include "RtfKeptGroups.h"

#include "RtfNumbering.h"

#include <QChar>

#include <algorithm>
#include <utility>

namespace rtf::reading {

namespace {

// How far back a group looks for a character to stand by when the ones
// around it are no text (paragraph and cell ends, pictures).
constexpr qsizetype kFarthestBack = 256;

// A character a group can stand by: text of its own in the editor, not a
// paragraph break, a mark of the structure or half a pair.
bool canCarry(QChar c)
{
    const char16_t u = c.unicode();
    return u != u'\n' && u != kCellStart && u != kTableEnd && u != kPictureMark && !c.isSurrogate();
}

} // namespace

// Not the document's group, and only a word that opens its group (after
// \* and line breaks at most) makes it a destination.
bool GroupKeeper::opens(std::size_t depth, const unsigned char* word) const
{
    if (depth < 2 || depth >= kDeepest || !braces_[depth] || word <= braces_[depth])
        return false;
    const unsigned char* c = braces_[depth] + 1;
    const auto skipBreaks = [&] {
        while (c < word && (*c == '\r' || *c == '\n'))
            ++c;
    };
    skipBreaks();
    if (word - c >= 2 && c[0] == '\\' && c[1] == '*') {
        c += 2;
        skipBreaks();
    }
    return c == word;
}

void GroupKeeper::begin(std::size_t depth, const unsigned char* word, int shapeFormat)
{
    if (depth_ != 0 || hiding_ || !opens(depth, word))
        return;
    depth_ = depth;
    shape_ = shapeFormat >= 0;
    shapeFormat_ = shapeFormat;
    textAtStart_ = out_.appended();
    // Where a shape's text begins moves with the text before it (a
    // paragraph's label that goes): a mark among the groups' places says.
    anchorsAtStart_ = out_.anchorCount();
    if (shape_)
        out_.anchorGroup(kStartMark, out_.size(), GroupAnchor::Place::Between);
}

void GroupKeeper::closing(std::size_t depth, bool skipped, const unsigned char* end)
{
    if (depth != depth_)
        return;
    depth_ = 0;
    // A group that put text into the document (a picture) is shown, not
    // kept; but a shape's text (a text box's) stands for it.
    const auto bytes = [&] { return QByteArray(reinterpret_cast<const char*>(braces_[depth]), end - braces_[depth]); };
    if (!shape_) {
        if (skipped && out_.appended() == textAtStart_)
            keep(std::exchange(hiddenGroup_, false) ? "{\\v" + bytes() + '}' : bytes());
        return;
    }
    std::vector<GroupAnchor> inside = out_.takeAnchorsFrom(anchorsAtStart_);
    const qsizetype from = inside.empty() ? out_.size() : inside.front().at; // the mark
    if (!inside.empty())
        inside.erase(inside.begin());
    // One whose characters stand by groups of their own (a note's mark) is
    // not: those would be written twice.
    const bool holdsGroups = std::any_of(inside.begin(), inside.end(), [](const GroupAnchor& a) { return a.group >= 0; });
    if (from >= out_.size())
        keep(bytes());
    else if (holdsGroups || !keepTextBox(bytes(), from))
        for (const GroupAnchor& a : inside)
            out_.anchorGroup(a.group, a.at, a.place);
}

// The text a shape showed from `from` on stands for it, every character
// but paragraph breaks, which are its own between and after its characters.
// False when it is not kept so: also when the text starts with a break,
// which would be written before it as well.
bool GroupKeeper::keepTextBox(QByteArray bytes, qsizetype from)
{
    const qsizetype to = out_.size();
    if (out_.at(from) == u'\n')
        return false;
    int characters = 0;
    for (qsizetype at = from; at < to; ++at) {
        const char16_t c = out_.at(at).unicode();
        // A table or a picture in it shows as the document's own.
        if (c == kCellStart || c == kTableEnd || c == kPictureMark)
            return false;
        characters += c != u'\n';
    }
    if (characters == 0)
        return false;
    const int group = int(groups_.size());
    groups_.push_back(std::move(bytes));
    for (qsizetype at = from; at < to; ++at) {
        if (out_.at(at) != u'\n')
            out_.anchorGroup(group, at, GroupAnchor::Place::Instead);
    }
    int breaksAfter = 0;
    while (out_.at(to - 1 - breaksAfter) == u'\n')
        ++breaksAfter;
    textBoxes_.push_back({group, characters, 0, breaksAfter, shapeFormat_, shapeWordsFor_, shapeUc_});
    return true;
}

// How many characters stand for each text box once the text is final, and
// from the first to the last of them.
void GroupKeeper::measureTextBoxes(Document& document)
{
    std::vector<int> boxOf(document.kept.groups.size(), -1);
    for (std::size_t i = 0; i < textBoxes_.size(); ++i)
        boxOf[std::size_t(textBoxes_[i].group)] = int(i);
    std::vector<qsizetype> first(textBoxes_.size(), -1);
    std::vector<int> read(textBoxes_.size()); // the characters it showed when it was read
    for (std::size_t i = 0; i < textBoxes_.size(); ++i)
        read[i] = std::exchange(textBoxes_[i].characters, 0);
    for (const GroupAnchor& a : document.anchors) {
        const int box = a.place == GroupAnchor::Place::Instead ? boxOf[std::size_t(a.group)] : -1;
        if (box < 0)
            continue;
        Kept::ShownGroup& b = textBoxes_[std::size_t(box)];
        if (first[std::size_t(box)] < 0)
            first[std::size_t(box)] = a.at;
        ++b.characters;
        b.span = int(a.at - first[std::size_t(box)] + 1);
    }
    // A box beside or around a table's start or end, or a picture (one
    // that came in after it was read), is written as its text: the breaks
    // around it go with the table's rows as well. So is one whose text lost
    // characters after it was read (a paragraph's label): read again, its
    // bytes would show them.
    const QString& text = document.text;
    const auto structure = [&](qsizetype at) {
        const char16_t c = at >= 0 && at < text.size() ? text[at].unicode() : u' ';
        return c == kCellStart || c == kTableEnd || c == kPictureMark;
    };
    bool dropped = false;
    for (std::size_t i = 0; i < textBoxes_.size(); ++i) {
        Kept::ShownGroup& b = textBoxes_[i];
        const qsizetype after = first[i] + b.span;
        bool beside = b.characters != read[i] || structure(first[i] - 1) || structure(after) || structure(after + 1);
        for (qsizetype at = first[i]; at < after && !beside; ++at)
            beside = structure(at);
        if (b.characters > 0 && beside) {
            boxOf[std::size_t(b.group)] = -2;
            b.characters = 0;
            dropped = true;
        }
    }
    if (dropped) {
        std::erase_if(document.anchors, [&](const GroupAnchor& a) { return boxOf[std::size_t(a.group)] == -2; });
    }
    std::erase_if(textBoxes_, [](const Kept::ShownGroup& b) { return b.characters == 0; });
    document.kept.shownGroups = std::move(textBoxes_);
}

void GroupKeeper::styleSheet(std::size_t depth, const unsigned char* end)
{
    if (depth != styleSheetDepth_ || std::exchange(styleSheetKept_, true))
        return;
    leading_.append(reinterpret_cast<const char*>(braces_[depth]), end - braces_[depth]);
}

void GroupKeeper::hiddenChanged(bool hidden, bool inText, std::size_t depth, const unsigned char* word,
                                const unsigned char* after)
{
    if (hidden && !hiding_) {
        if (!inText || depth_ != 0)
            return;
        hiding_ = true;
        hiddenDepth_ = depth;
        hiddenFrom_ = after;
        return;
    }
    if (hidden || !hiding_)
        return;
    // Shown again in a group inside the one it began in: hidden up to the
    // brace of that group. A group whose characters went elsewhere since
    // (a picture's data) is not kept: written apart, it would show.
    if (depth == hiddenDepth_ && !inText) {
        endHidden(nullptr);
    } else if (depth > hiddenDepth_) {
        markLost_ = markLost_ || hiddenMarks_ > 0; // they may stand after that brace
        endHidden(hiddenDepth_ + 1 < kDeepest ? braces_[hiddenDepth_ + 1] : nullptr);
    } else {
        endHidden(word);
    }
}

void GroupKeeper::groupClosed(bool hidden, bool inText, std::size_t depth, const unsigned char* after,
                              bool closedInText)
{
    if (hiding_ && depth < hiddenDepth_)
        endHidden(closedInText ? after - 1 : nullptr); // the brace
    if (hidden && !hiding_)
        hiddenChanged(true, inText, depth, after, after);
}

void GroupKeeper::endHidden(const unsigned char* end)
{
    if (end && end > hiddenFrom_)
        keep("{\\v " + QByteArray(reinterpret_cast<const char*>(hiddenFrom_), end - hiddenFrom_) + '}');
    else if (hiddenMarks_ > 0)
        markLost_ = true;
    hiding_ = false;
    hiddenMarks_ = 0;
}

void GroupKeeper::noteMark(qsizetype from, QByteArrayView ahead, bool hidden)
{
    // A hidden one numbers its note again where its hidden text is kept.
    if (hidden && hiding_) {
        ++hiddenMarks_;
        return;
    }
    if (hidden || from >= out_.size()) {
        markLost_ = true;
        return;
    }
    const int group = int(groups_.size());
    groups_.push_back(std::exchange(notesWords_, {}) + "\\chftn");
    marks_.resize(groups_.size(), Mark::None);
    marks_.back() = markLost_ ? Mark::Unnumbered : endnoteFollows(ahead) ? Mark::Endnote : Mark::Footnote;
    for (qsizetype at = from; at < out_.size(); ++at)
        out_.anchorGroup(group, at, GroupAnchor::Place::Instead);
}

// A mark is written as the word that numbers it while reading that again
// numbers it as the file did: its note stands after it as in the file, and
// the marks before it are written so too. From the first that would not
// be (or that went with the text it stood in), the marks are written as
// the text they show.
void GroupKeeper::keepMarksNumbered(Document& document) const
{
    std::vector<GroupAnchor>& anchors = document.anchors;
    using Place = GroupAnchor::Place;
    std::size_t cut = marks_.size(); // the first mark not written as its word
    std::vector<bool> placed(marks_.size(), false);
    for (std::size_t i = 0; i < anchors.size(); ++i) {
        const GroupAnchor& a = anchors[i];
        const std::size_t group = std::size_t(a.group);
        if (a.place != Place::Instead || group >= marks_.size() || marks_[group] == Mark::None)
            continue;
        placed[group] = true;
        if (i + 1 < anchors.size() && anchors[i + 1].place == Place::Instead && anchors[i + 1].group == a.group)
            continue; // not its last character
        const bool noteAfter = i > 0 && anchors[i - 1].at == a.at && anchors[i - 1].place == Place::After;
        const bool endnote =
            noteAfter && endnoteFollows(document.kept.groups[std::size_t(anchors[i - 1].group)]);
        if (marks_[group] != (endnote ? Mark::Endnote : Mark::Footnote))
            cut = std::min(cut, group);
    }
    for (std::size_t group = 0; group < cut; ++group) {
        if (marks_[group] != Mark::None && !placed[group])
            cut = group;
    }
    std::erase_if(anchors, [&](const GroupAnchor& a) {
        const std::size_t group = std::size_t(a.group);
        return a.place == Place::Instead && group >= cut && group < marks_.size() && marks_[group] != Mark::None;
    });
}

void GroupKeeper::keep(QByteArray bytes)
{
    if (out_.empty()) {
        leading_ += bytes;
        return;
    }
    // Groups one after the other stand together.
    if (const int last = out_.groupAtEnd(); last >= 0) {
        groups_[std::size_t(last)] += bytes;
        return;
    }
    out_.anchorGroup(int(groups_.size()), out_.size(), GroupAnchor::Place::Between);
    groups_.push_back(std::move(bytes));
}

void GroupKeeper::finish(Document& document)
{
    document.kept.groups = std::move(groups_);
    document.kept.leadingGroups = std::move(leading_);
    // The marks of shapes not kept, and the places of boxes let go.
    std::vector<bool> dropped(document.kept.groups.size(), false);
    for (const int group : droppedBoxes_)
        dropped[std::size_t(group)] = true;
    std::erase_if(document.anchors, [&](const GroupAnchor& a) {
        return a.group == kStartMark || (a.group >= 0 && dropped[std::size_t(a.group)]);
    });
    placeGroups(document);
    keepMarksNumbered(document);
    measureTextBoxes(document);
}

void placeGroups(Document& document)
{
    const QString& text = document.text;
    const qsizetype size = text.size();
    std::vector<GroupAnchor>& anchors = document.anchors;
    using Place = GroupAnchor::Place;
    for (GroupAnchor& a : anchors) {
        if (a.place != Place::Between)
            continue;
        const qsizetype at = std::clamp<qsizetype>(a.at, 0, size);
        if (at > 0 && canCarry(text[at - 1])) {
            a = {at - 1, a.group, Place::After};
        } else if (at < size && canCarry(text[at])) {
            a = {at, a.group, Place::Before};
        } else {
            qsizetype back = at - 2;
            while (back >= 0 && back > at - kFarthestBack && !canCarry(text[back]))
                --back;
            if (back >= 0 && canCarry(text[back])) {
                a = {back, a.group, Place::After};
            } else {
                document.kept.trailingGroups += document.kept.groups[std::size_t(a.group)];
                a.group = -1;
            }
        }
    }
    std::erase_if(anchors, [size](const GroupAnchor& a) { return a.group < 0 || a.at < 0 || a.at >= size; });
    // Mostly in order already (a text box's characters each stand for it).
    const auto before = [](const GroupAnchor& a, const GroupAnchor& b) {
        return a.at != b.at ? a.at < b.at : a.place < b.place;
    };
    if (!std::is_sorted(anchors.begin(), anchors.end(), before))
        std::stable_sort(anchors.begin(), anchors.end(), before);
    // Groups at one place become one, in the order the file had them.
    std::vector<QByteArray>& groups = document.kept.groups;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < anchors.size(); ++i) {
        if (kept > 0 && anchors[kept - 1].at == anchors[i].at && anchors[kept - 1].place == anchors[i].place) {
            if (anchors[i].group != anchors[kept - 1].group) {
                groups[std::size_t(anchors[kept - 1].group)] += groups[std::size_t(anchors[i].group)];
                groups[std::size_t(anchors[i].group)].clear();
            }
            continue;
        }
        anchors[kept++] = anchors[i];
    }
    anchors.resize(kept);
}

} // namespace rtf::reading
