#include "RtfWriterGroups.h"

namespace rtf::writing {

Groups::Groups(const Kept* kept, QByteArray& out, bool& delimit)
    : kept_(kept), out_(out), delimit_(delimit)
{
    if (kept_)
        written_.assign(kept_->groups.size(), false);
}

void Groups::write(const QTextCharFormat& format, int property)
{
    if (!kept_)
        return;
    const QVariant v = format.property(property);
    if (!v.isValid())
        return;
    const int group = v.toInt();
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
