#pragma once
// The groups of the file the editor does not show (Kept::groups), written
// back by the characters they stood by, each once.

#include "RtfKept.h"
#include "RtfReader.h"

#include <QByteArray>

#include <vector>

class QTextBlock;
class QTextCharFormat;
class QTextDocument;
class QTextFragment;

namespace rtf::writing {

class Characters;

class Groups {
public:
    // Writes into `out`; `delimit` as for appendText. Nothing is written
    // without `kept`. The groups stand where `beside` says (in editor
    // positions, in order), or where the characters' formats say without it.
    Groups(const QTextDocument& document, const Kept* kept, const std::vector<GroupAnchor>* beside, QByteArray& out,
           bool& delimit);

    // The fragment's text, written through `chars`, with the groups that
    // stand before and after its characters, and instead of those that
    // stand for one (once, however many characters do). Characters that
    // stand for a group shown as text (Kept::shownGroups) the user edited
    // are written as that text, without the group.
    void fragment(const QTextFragment& fragment, Characters& chars);
    // True when the paragraph break after the block, the fragments of
    // which were just written, belongs to such a group written in their
    // place (a paragraph of a text box): the paragraph goes on.
    bool paragraphGoesOn(const QTextBlock& block) const;

    // Those that stood before the text, or by no character.
    QByteArray leading() const { return kept_ ? kept_->leadingGroups : QByteArray(); }
    QByteArray trailing() const { return kept_ ? kept_->trailingGroups : QByteArray(); }

private:
    // Where the characters that stand for each shown group are now.
    struct Shown {
        int characters = 0;
        int first = -1;
        int last = -1;
        bool interrupted = false; // other text stands among them
    };
    void survey(const QTextDocument& document);
    void stands(int group, int from, int to, int& open);
    bool writtenInstead(int group) const;
    int shownIndex(int group) const; // -1 for a group not shown
    void shownObject(Characters& chars, const QTextCharFormat& format, int position, int group) const;
    void write(const QTextCharFormat& format, int property);
    void write(int group);

    const Kept* kept_;
    const std::vector<GroupAnchor>* beside_;
    std::vector<GroupAnchor>::const_iterator next_; // in `beside_`
    QByteArray& out_;
    bool& delimit_;
    std::vector<bool> written_;
    std::vector<int> shownIndex_; // by group: its index in Kept::shownGroups, -1 none
    std::vector<Shown> shown_; // as Kept::shownGroups
    int insteadGroup_ = -1; // the group last written in place of its characters
};

} // namespace rtf::writing
