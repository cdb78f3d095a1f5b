#include "RtfKeptGroups.h"

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

void GroupKeeper::begin(std::size_t depth, const unsigned char* word, bool shape)
{
    // Not the document's group, and only a word that opens its group (after
    // \* and line breaks at most) makes it a destination.
    if (depth_ != 0 || hiding_ || depth < 2 || depth >= kDeepest || !braces_[depth] || word <= braces_[depth]
        || word - braces_[depth] > 8)
        return;
    for (const unsigned char* c = braces_[depth] + 1; c < word; ++c) {
        if (*c != '\\' && *c != '*' && *c != '\r' && *c != '\n')
            return;
    }
    depth_ = depth;
    shape_ = shape;
    textAtStart_ = out_.size();
}

void GroupKeeper::closing(std::size_t depth, bool skipped, const unsigned char* end)
{
    if (depth != depth_)
        return;
    depth_ = 0;
    // A group that put text into the document (a text box, a picture) is
    // shown, not kept.
    if ((skipped || shape_) && out_.size() == textAtStart_)
        keep(QByteArray(reinterpret_cast<const char*>(braces_[depth]), end - braces_[depth]));
}

void GroupKeeper::styleSheet(std::size_t depth, const unsigned char* end)
{
    if (depth >= kDeepest || !braces_[depth] || std::exchange(styleSheetKept_, true))
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
    hiding_ = false;
    // Shown again in a group inside the one it began in: hidden up to the
    // brace of that group.
    const unsigned char* end = word;
    if (depth > hiddenDepth_)
        end = hiddenDepth_ + 1 < kDeepest ? braces_[hiddenDepth_ + 1] : nullptr;
    if (end && end > hiddenFrom_)
        keep("{\\v " + QByteArray(reinterpret_cast<const char*>(hiddenFrom_), end - hiddenFrom_) + '}');
}

void GroupKeeper::groupClosed(bool hidden, bool inText, std::size_t depth, const unsigned char* after)
{
    if (hiding_ && depth < hiddenDepth_) {
        hiding_ = false;
        const unsigned char* end = after - 1; // the brace
        if (end > hiddenFrom_)
            keep("{\\v " + QByteArray(reinterpret_cast<const char*>(hiddenFrom_), end - hiddenFrom_) + '}');
    }
    if (hidden && !hiding_)
        hiddenChanged(true, inText, depth, after, after);
}

void GroupKeeper::noteMark(qsizetype from)
{
    if (from >= out_.size())
        return;
    const int group = int(groups_.size());
    groups_.push_back(std::exchange(notesWords_, {}) + "\\chftn");
    for (qsizetype at = from; at < out_.size(); ++at)
        out_.anchorGroup(group, at, GroupAnchor::Place::Instead);
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
    placeGroups(document);
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
    std::stable_sort(anchors.begin(), anchors.end(), [](const GroupAnchor& a, const GroupAnchor& b) {
        return a.at != b.at ? a.at < b.at : a.place < b.place;
    });
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
