#pragma once
// The state the RTF reader keeps for each group (the character format as
// the file states it, where the group's characters go) and the stack of
// the states of the groups that are open.

#include "RtfKept.h"
#include "RtfParagraphState.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rtf::reading {

constexpr int kDefaultHalfPoints = 24; // 12 points
constexpr int kDefaultCodePage = 1252;
constexpr int kNoFont = -1;

// Where the characters of a group go. Numbering is the group of a
// paragraph's numbering (\pn), NumberingBefore and NumberingAfter its
// texts (\pntxtb, \pntxta). StyleSheet is the style sheet, StyleDefinition
// one style in it. FieldInstruction is a field's instruction (\fldinst).
// ListTable is the list table or the override table, ListLevel a level of
// a list in it, LevelText its label; Picture a picture's data; ShapeName
// the name of a shape's property, ShapePicture its value when that is the
// shape's picture.
enum class Dest : std::uint8_t {
    Text, Skip, FontTable, ColorTable, Numbering, NumberingBefore, NumberingAfter, StyleSheet, StyleDefinition,
    FieldInstruction, ListTable, ListLevel, LevelText, Picture, ShapeName, ShapePicture
};

// Which text the bold, italic, size and font words that follow are for, as
// the last of \ltrch, \loch, \hich, \dbch and \rtlch says: bold, italic
// and size are those of the complex scripts after \rtlch and \hich, of the
// other text otherwise; a font is that of the complex scripts after
// \rtlch, of East Asian text after \dbch, of the other text otherwise.
enum class CharSet : std::uint8_t { Low, High, DoubleByte, RightToLeft };

// The character format as the file states it; the fonts and colours are
// numbers into the tables, looked up when a run is made.
struct Style {
    int font = kNoFont; // kNoFont: the document's default font (\deff)
    int asianFont = kNoFont; // kNoFont: none given
    int complexFont = kNoFont;
    int halfPoints = kDefaultHalfPoints;
    int foreground = -1; // colour table index; -1 none
    int background = -1;
    int link = -1; // Kept::links index of the field result the text is in
    std::int16_t raise = 0; // \up, \dn (negative)
    std::int8_t script = 0; // \super 1, \sub -1
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    bool caps = false;
    bool smallCaps = false;
    bool sizeGiven = false; // halfPoints is the file's, not the default
    Underline underline = Underline::None;
    BackgroundWord backgroundWord = BackgroundWord::Highlight;
    // Right-to-left and other complex scripts (Arabic, Hebrew, Thai, the
    // Indian scripts) have a bold, italic and size of their own where the
    // file gives them one; kSame (0 for the size) where it does not.
    std::int8_t complexBold = kSame;
    std::int8_t complexItalic = kSame;
    int complexHalfPoints = 0;
    CharSet charSet = CharSet::Low;

    bool operator==(const Style&) const = default;

    // Bold, italic and size words are those of the complex scripts.
    bool complexWords() const { return charSet == CharSet::High || charSet == CharSet::RightToLeft; }
    // True when complex scripts show differently from other text.
    bool complexDiffers() const
    {
        return (complexBold != kSame && bool(complexBold) != bold)
            || (complexItalic != kSame && bool(complexItalic) != italic)
            || (complexHalfPoints != 0 && complexHalfPoints != halfPoints);
    }
};

struct StyleHash {
    std::size_t operator()(const Style& s) const noexcept
    {
        std::uint64_t h = std::uint32_t(s.font);
        for (const int n : {s.asianFont, s.complexFont, s.halfPoints, s.foreground, s.background, s.link,
                            s.complexHalfPoints, int(s.raise)})
            h = h * 1000003u + std::uint32_t(n);
        h = h * 31u
            + (s.bold | s.italic << 1 | s.strike << 2 | s.hidden << 3 | s.caps << 4 | s.smallCaps << 5
               | s.sizeGiven << 24 | unsigned(s.charSet) << 6 | unsigned(std::uint8_t(s.script)) << 8 | unsigned(s.underline) << 16
               | unsigned(s.backgroundWord) << 22);
        h = h * 31u + std::uint8_t(s.complexBold) * 7u + std::uint8_t(s.complexItalic);
        return std::size_t(h ^ (h >> 29));
    }
};

struct State {
    Style style;
    Dest dest = Dest::Text;
    // What the group was when \* made it one to skip (Skip when no \*
    // did): a destination the reader knows may still follow.
    Dest starredFrom = Dest::Skip;
    // In a destination skipped for its own text that holds text in parts
    // (\upr, \shpinst): where those parts (\ud, \shptxt) go. Skip
    // elsewhere.
    Dest heldTextTo = Dest::Skip;
    int uc = 1; // bytes of fallback after \uN
    int numbering = -1; // the paragraph's numbering, as Numbering::end() gave it; -1 none
    ParagraphProps paragraph;

    bool operator==(const State&) const = default;
};

// The states to go back to as the open groups close, on the heap however
// deep the nesting. Groups opened in the same state share one entry (files
// saved from web pages nest thousands of groups that change nothing).
// Past kMaxEntries different states, a group takes the entry of the group
// around it: its text is still read, only a format it changes may last
// until that outer group closes. The stack thus never holds more than a
// few megabytes.
class GroupStack {
public:
    static constexpr std::size_t kMaxEntries = std::size_t(1) << 16;

    bool empty() const { return depth_ == 0; }
    std::size_t depth() const { return depth_; }

    void push(const State& state)
    {
        ++depth_;
        if (!entries_.empty() && (entries_.size() >= kMaxEntries || entries_.back().state == state))
            ++entries_.back().count;
        else
            entries_.push_back(Entry{state, 1});
    }

    // The state of the innermost open group; the stack must not be empty.
    State pop()
    {
        --depth_;
        Entry& top = entries_.back();
        const State state = top.state;
        if (--top.count == 0)
            entries_.pop_back();
        return state;
    }

private:
    struct Entry {
        State state;
        std::size_t count;
    };
    std::vector<Entry> entries_;
    std::size_t depth_ = 0;
};

} // namespace rtf::reading
