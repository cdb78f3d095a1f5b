#pragma once
// The groups of the file the editor does not show (Kept::groups), written
// back by the characters they stood by, each once.

#include "RtfKept.h"
#include "RtfReader.h"

#include <QByteArray>

#include <vector>

class QTextCharFormat;
class QTextFragment;

namespace rtf::writing {

class Characters;

class Groups {
public:
    // Writes into `out`; `delimit` as for appendText. Nothing is written
    // without `kept`. The groups stand where `beside` says (in editor
    // positions, in order), or where the characters' formats say without it.
    Groups(const Kept* kept, const std::vector<GroupAnchor>* beside, QByteArray& out, bool& delimit);

    // The fragment's text, written through `chars`, with the groups that
    // stand before and after its characters, and instead of those that
    // stand for one (once, however many characters do).
    void fragment(const QTextFragment& fragment, Characters& chars);

    // Those that stood before the text, or by no character.
    QByteArray leading() const { return kept_ ? kept_->leadingGroups : QByteArray(); }
    QByteArray trailing() const { return kept_ ? kept_->trailingGroups : QByteArray(); }

private:
    void write(const QTextCharFormat& format, int property);
    void write(int group);

    const Kept* kept_;
    const std::vector<GroupAnchor>* beside_;
    std::vector<GroupAnchor>::const_iterator next_; // in `beside_`
    QByteArray& out_;
    bool& delimit_;
    std::vector<bool> written_;
};

} // namespace rtf::writing
