#pragma once
// The groups of the file the editor does not show (Kept::groups), written
// back by the characters they stood by, each once.

#include "RtfKept.h"

#include <QByteArray>
#include <QTextCharFormat>

#include <vector>


namespace rtf::writing {

class Groups {
public:
    // Writes into `out`; `delimit` as for appendText. Nothing is written
    // without `kept`.
    Groups(const Kept* kept, QByteArray& out, bool& delimit);

    // The groups that stood before, or after, a character in this format.
    void before(const QTextCharFormat& format) { write(format, kGroupsBeforeProperty); }
    void after(const QTextCharFormat& format) { write(format, kGroupsAfterProperty); }
    // True when characters in this format stand for a group, which is
    // written instead of them (once, however many of them there are).
    bool standsFor(const QTextCharFormat& format) const
    {
        return kept_ && format.hasProperty(kGroupsInsteadProperty);
    }
    void instead(const QTextCharFormat& format) { write(format, kGroupsInsteadProperty); }

    // Those that stood before the text, or by no character.
    QByteArray leading() const { return kept_ ? kept_->leadingGroups : QByteArray(); }
    QByteArray trailing() const { return kept_ ? kept_->trailingGroups : QByteArray(); }

private:
    void write(const QTextCharFormat& format, int property);

    const Kept* kept_;
    QByteArray& out_;
    bool& delimit_;
    std::vector<bool> written_;
};

} // namespace rtf::writing
