#include "RtfWriterGroups.h"

#include "RtfWriterChars.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFragment>

namespace rtf::writing {

Groups::Groups(const QTextDocument& document, const Kept* kept, const std::vector<GroupAnchor>* beside,
               QByteArray& out, bool& delimit)
    : kept_(kept), beside_(kept ? beside : nullptr), out_(out), delimit_(delimit)
{
    if (kept_)
        written_.assign(kept_->groups.size(), false);
    if (beside_)
        next_ = beside_->begin();
    if (kept_ && !kept_->shownGroups.empty())
        survey(document);
}

void Groups::survey(const QTextDocument& document)
{
    shownIndex_.assign(kept_->groups.size(), -1);
    for (std::size_t i = 0; i < kept_->shownGroups.size(); ++i) {
        const int group = kept_->shownGroups[i].group;
        if (group >= 0 && std::size_t(group) < shownIndex_.size())
            shownIndex_[std::size_t(group)] = int(i);
    }
    shown_.assign(kept_->shownGroups.size(), Shown{});
    int open = -1; // the group the text last met stands for
    if (beside_) {
        for (const GroupAnchor& a : *beside_) {
            if (a.place == GroupAnchor::Place::Instead)
                stands(a.group, int(a.at), int(a.at) + 1, open);
        }
        return;
    }
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QVariant v = f.charFormat().property(kGroupsInsteadProperty);
            stands(v.isValid() ? v.toInt() : -1, f.position(), f.position() + f.length(), open);
        }
    }
}

// The characters from `from` to `to` stand for `group` (-1: none); those
// met before them for `open`. Paragraph breaks between them are no text.
void Groups::stands(int group, int from, int to, int& open)
{
    const int index = shownIndex(group);
    if (index >= 0) {
        Shown& s = shown_[std::size_t(index)];
        s.interrupted = s.interrupted || (s.characters > 0 && open != group);
        if (s.first < 0)
            s.first = from;
        s.last = to - 1;
        s.characters += to - from;
    }
    open = group;
}

int Groups::shownIndex(int group) const
{
    return group >= 0 && std::size_t(group) < shownIndex_.size() ? shownIndex_[std::size_t(group)] : -1;
}

// Where a group shown as text goes, the text around it as the file had it.
void Groups::shownObject(Characters& chars, const QTextCharFormat& format, int position, int group) const
{
    const int index = shownIndex(group);
    if (index < 0) {
        chars.object(format, position);
        return;
    }
    const Kept::ShownGroup& shown = kept_->shownGroups[std::size_t(index)];
    chars.object(format, position, shown.format, shown.wordsFor);
}

// A group is written in place of its characters unless it shows as text
// that is no longer all there, as the file had it, and nothing else.
bool Groups::writtenInstead(int group) const
{
    const int index = shownIndex(group);
    if (index < 0)
        return true;
    const Kept::ShownGroup& file = kept_->shownGroups[std::size_t(index)];
    const Shown& now = shown_[std::size_t(index)];
    return !now.interrupted && now.characters == file.characters && now.last - now.first + 1 == file.span;
}

bool Groups::paragraphGoesOn(const QTextBlock& block) const
{
    // Between the characters of the group written last, or right after
    // them when the file had it so.
    const int end = block.position() + block.length() - 1; // its paragraph break
    const int index = shownIndex(insteadGroup_);
    if (index < 0)
        return false;
    const Shown& s = shown_[std::size_t(index)];
    return (s.first < end && end < s.last)
        || (end > s.last && end <= s.last + kept_->shownGroups[std::size_t(index)].breaksAfter);
}

void Groups::fragment(const QTextFragment& fragment, Characters& chars)
{
    const QTextCharFormat format = fragment.charFormat();
    const int start = fragment.position();
    if (!beside_) {
        bool hasInstead = false;
        write(format, kGroupsBeforeProperty);
        const int instead = kept_ ? format.property(kGroupsInsteadProperty).toInt(&hasInstead) : -1;
        if (hasInstead && writtenInstead(instead)) {
            shownObject(chars, format, start, instead);
            write(instead);
            insteadGroup_ = instead;
        } else {
            chars.fragment(fragment);
        }
        write(format, kGroupsAfterProperty);
        return;
    }
    const QString text = fragment.text();
    const int end = start + int(text.size());
    // Groups by a character that is no text (a picture) are not written.
    while (next_ != beside_->end() && next_->at < start)
        ++next_;
    int done = start;
    while (next_ != beside_->end() && next_->at < end) {
        const int at = int(next_->at);
        if (at > done)
            chars.part(format, done, QStringView(text).sliced(done - start, at - done));
        int after = -1;
        int instead = -1;
        for (; next_ != beside_->end() && next_->at == at; ++next_) {
            if (next_->place == GroupAnchor::Place::Before)
                write(next_->group);
            else
                (next_->place == GroupAnchor::Place::After ? after : instead) = next_->group;
        }
        if (instead >= 0 && writtenInstead(instead)) {
            shownObject(chars, format, at, instead);
            write(instead);
            insteadGroup_ = instead;
        } else {
            chars.part(format, at, QStringView(text).sliced(at - start, 1));
        }
        if (after >= 0)
            write(after);
        done = at + 1;
    }
    if (done < end)
        chars.part(format, done, QStringView(text).sliced(done - start, end - done));
}

void Groups::write(const QTextCharFormat& format, int property)
{
    if (!kept_)
        return;
    const QVariant v = format.property(property);
    if (v.isValid())
        write(v.toInt());
}

void Groups::write(int group)
{
    // A group goes where it stood once: a copy of its character (pasted,
    // or split by an edit) carries no second.
    if (group < 0 || std::size_t(group) >= written_.size() || written_[std::size_t(group)])
        return;
    written_[std::size_t(group)] = true;
    const QByteArray& bytes = kept_->groups[std::size_t(group)];
    if (bytes.isEmpty())
        return;
    // A word written last ends at the group's brace; one the group ends
    // with (\chftn) is ended by what follows. A shown group whose \u
    // characters were followed by another count of bytes for readers
    // without Unicode than the writer's gets its count in a group around it.
    const int index = shownIndex(group);
    const int uc = index < 0 ? 1 : kept_->shownGroups[std::size_t(index)].uc;
    if (uc != 1)
        out_.append("{\\uc" + QByteArray::number(uc));
    out_.append(bytes);
    if (uc != 1)
        out_.append('}');
    delimit_ = out_.back() != '}';
}

} // namespace rtf::writing
