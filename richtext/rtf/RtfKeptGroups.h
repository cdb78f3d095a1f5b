#pragma once
// Groups of an RTF file the editor does not show (headers, footers, notes,
// bookmarks, drawing objects, destinations the reader does not know) and
// hidden text, kept as the file's own bytes while the file is read, with
// the place in the text where each stood.

#include "RtfOutput.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <cstdint>
#include <cstddef>
#include <vector>

namespace rtf::reading {

class GroupKeeper {
public:
    explicit GroupKeeper(Output& out) : out_(out) {}

    // A group opens at `depth` (1 for the document's group) with the brace
    // at `brace`.
    void opened(std::size_t depth, const unsigned char* brace)
    {
        if (depth < kDeepest)
            braces_[depth] = brace;
    }
    // The group at `depth`, in the document's text, holds something the
    // editor does not show, as the word at `word` says. Kept when it closes
    // having put no text into the document, and the word is its first.
    // Groups inside it are kept with it. `hidden`: it stands in hidden
    // text that is not kept apart, and is kept hidden.
    void begin(std::size_t depth, const unsigned char* word, bool hidden)
    {
        begin(depth, word, -1);
        if (depth_ == depth)
            hiddenGroup_ = hidden;
    }
    // The same for a shape (\shp), which holds what it does as a whole
    // rather than by skipping it, in the text's format `format`, its words
    // for the text `wordsFor` says, `uc` bytes after each \u character
    // (Kept::ShownGroup): one that put text (a text box's) is kept in
    // place of that text.
    void beginShape(std::size_t depth, const unsigned char* word, int format, std::uint8_t wordsFor, std::uint8_t uc)
    {
        begin(depth, word, format);
        shapeWordsFor_ = wordsFor;
        shapeUc_ = uc;
    }
    // A cell or a row of a table ended in the document's text: the group
    // that holds it is shown, not kept.
    void shown() { depth_ = 0; }
    // The fonts, colours, styles or lists the text is read with changed:
    // the group or hidden text that did it is not kept (written back, it
    // would change them for the text after it too); nor are the text boxes
    // before it (written back, their text would be read with the new ones).
    void readingChanged()
    {
        depth_ = 0;
        if (hiding_)
            endHidden(nullptr);
        for (const Kept::ShownGroup& box : textBoxes_)
            droppedBoxes_.push_back(box.group);
        textBoxes_.clear();
    }
    // A word of the paragraph's structure (its layout, list, table or a
    // picture): hidden text it stands in is not kept, as it would be read
    // apart from the paragraph it belonged to.
    void structure()
    {
        if (hiding_)
            endHidden(nullptr);
    }
    // A paragraph's label (its number as the file shows it) or its
    // numbering begins: a shape it stands in is not kept, as whether its
    // text shows the label depends on the paragraph it stands in.
    void label()
    {
        if (shape_)
            depth_ = 0;
    }
    // The fonts or colours changed: also in a style sheet being read.
    void tablesChanged()
    {
        readingChanged();
        if (!styleSheetKept_)
            styleSheetDepth_ = 0;
    }
    // The group at `depth` is not one to keep after all.
    void cancel(std::size_t depth)
    {
        if (depth == depth_)
            depth_ = 0;
    }
    // The style sheet begins with the word at `word` in the group at
    // `depth`, and closes before `end`: kept, when that word opened its
    // group, for the groups kept, which name its styles.
    void styleSheetBegins(std::size_t depth, const unsigned char* word)
    {
        if (opens(depth, word))
            styleSheetDepth_ = depth;
    }
    void styleSheet(std::size_t depth, const unsigned char* end);
    // A word of the document's own that numbers notes, from `word` to
    // before `end`: kept in front of the text, or of the next note's mark
    // when it comes later.
    void notesWord(const unsigned char* word, const unsigned char* end)
    {
        if (word && end > word)
            (out_.empty() ? leading_ : notesWords_).append(reinterpret_cast<const char*>(word), end - word);
    }
    // The group at `depth`, whose destination is skipped or not, closes
    // with its brace just before `end`.
    void closing(std::size_t depth, bool skipped, const unsigned char* end);

    // Hidden text (\v). Its bytes are kept from where it begins to where
    // it ends, within the group it began in, as a group of their own.
    bool hiding() const { return hiding_; }
    // The text became hidden or shown with the word at `word`, whose last
    // byte is before `after`, in the group at `depth`; `inText` when the
    // group's characters go to the document's text.
    void hiddenChanged(bool hidden, bool inText, std::size_t depth, const unsigned char* word,
                       const unsigned char* after);
    // After the group at `depth` + 1, whose characters went to the text or
    // not (`closedInText`), closed before `after`: the hidden text it held
    // ends; the state the text returns to may be hidden.
    void groupClosed(bool hidden, bool inText, std::size_t depth, const unsigned char* after, bool closedInText);

    // A note's mark stands in the text from `from` to the end of it; the
    // file gave it as a word (\chftn) that numbers the note, and that word
    // is written for it, the note being an endnote or not as `ahead` (the
    // bytes after the word) says. A hidden one is kept with its hidden text.
    void noteMark(qsizetype from, QByteArrayView ahead, bool hidden);

    // Hands the groups to the document and places each by a character.
    void finish(Document& document);

private:
    // Groups deeper than this are not kept (they are skipped as before).
    static constexpr std::size_t kDeepest = 64;
    // The group of the place where a shape being read began.
    static constexpr int kStartMark = -2;

    // `shapeFormat` -1 for a group that is not a shape.
    void begin(std::size_t depth, const unsigned char* word, int shapeFormat);
    bool opens(std::size_t depth, const unsigned char* word) const;
    // The hidden text ends before `end`; nullptr: it is not kept.
    void endHidden(const unsigned char* end);
    void keep(QByteArray bytes);
    bool keepTextBox(QByteArray bytes, qsizetype from);
    void measureTextBoxes(Document& document);
    void keepMarksNumbered(Document& document) const;

    Output& out_;
    std::array<const unsigned char*, kDeepest> braces_{};
    std::size_t depth_ = 0; // of the group to keep; 0 none
    qsizetype textAtStart_ = 0;
    std::size_t anchorsAtStart_ = 0;
    bool shape_ = false;
    bool hiddenGroup_ = false;
    int shapeFormat_ = -1;
    std::uint8_t shapeWordsFor_ = 0;
    std::uint8_t shapeUc_ = 1;
    std::vector<Kept::ShownGroup> textBoxes_;
    std::vector<int> droppedBoxes_; // groups of text boxes whose text is written as the document's

    bool hiding_ = false;
    std::size_t hiddenDepth_ = 0;
    const unsigned char* hiddenFrom_ = nullptr;

    std::vector<QByteArray> groups_;
    QByteArray leading_;
    std::size_t styleSheetDepth_ = 0;
    bool styleSheetKept_ = false;
    QByteArray notesWords_;
    // For each group, whether it is a note's mark, and of an endnote.
    enum class Mark : std::uint8_t { None, Footnote, Endnote, Unnumbered };
    std::vector<Mark> marks_;
    // A mark showed no text, or hidden text with marks in it was not kept:
    // reading the marks after it again would number them otherwise.
    bool markLost_ = false;
    int hiddenMarks_ = 0; // in the hidden text being read
};

// Places the groups read between characters by a character each (after
// the one before them, or before the one after them at the start of a
// paragraph), merging those that come to stand at one place. Groups by
// no character go to Kept::trailingGroups.
void placeGroups(Document& document);

} // namespace rtf::reading
