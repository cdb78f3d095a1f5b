#include "RtfWriterGroups.h"

#include "RtfWriterChars.h"

#include <QTextCharFormat>
#include <QTextFragment>

namespace rtf::writing {

Groups::Groups(const Kept* kept, const std::vector<GroupAnchor>* beside, QByteArray& out, bool& delimit)
    : kept_(kept), beside_(kept ? beside : nullptr), out_(out), delimit_(delimit)
{
    if (kept_)
        written_.assign(kept_->groups.size(), false);
    if (beside_)
        next_ = beside_->begin();
}

void Groups::fragment(const QTextFragment& fragment, Characters& chars)
{
    const QTextCharFormat format = fragment.charFormat();
    const int start = fragment.position();
    if (!beside_) {
        write(format, kGroupsBeforeProperty);
        if (kept_ && format.hasProperty(kGroupsInsteadProperty)) {
            chars.object(format, start);
            write(format, kGroupsInsteadProperty);
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
        if (instead >= 0) {
            chars.object(format, at);
            write(instead);
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
    // with (\chftn) is ended by what follows.
    out_.append(bytes);
    delimit_ = bytes.back() != '}';
}

} // namespace rtf::writing
