#pragma once
// The lists of an RTF document: the list table (\listtable), whose lists
// say how each of their nine levels is numbered, the override table
// (\listoverridetable) that gives each list the number paragraphs name it
// by (\ls), and the older paragraph numbering (\pn). Each list paragraph
// is put into a List of Blocks::lists, one for each stretch of a level
// that counts on: a paragraph of a higher level makes the lower levels
// start again, as word processors number them.

#include "RtfBlocks.h"
#include "RtfBlockWords.h"
#include "RtfNumbering.h"

#include <QString>

#include <array>
#include <map>
#include <vector>

namespace rtf {

class ByteDecoder;

namespace reading {

class ListTable {
public:
    static constexpr int kLevels = 9;

    // ---- the list table and the override table
    void beginList();
    void beginOverride();
    // \listid of the list or override being read; \ls of the override.
    void listId(int id);
    void overrideNumber(int number);
    void beginLevel();
    // \levelnfc, \levelstartat, \li or \fi of the level being read.
    void levelWord(BlockWord word, int param);
    void levelText(char16_t c);
    // The level's group closes; `symbol` decodes its font's glyphs where
    // that is a symbol font.
    void endLevel(const ByteDecoder* symbol);

    // ---- the paragraphs
    // The list of a paragraph of list `number` (\ls) at `level`, made when
    // the paragraph is the first of its stretch; -1 when the document has
    // no such list.
    int listOf(int number, int level, std::vector<List>& lists);
    // The list of a paragraph numbered by \pn; -1 for none (a paragraph
    // that continues a list without a number of its own).
    int listOf(const ParagraphNumbering& numbering, std::vector<List>& lists);

private:
    struct Definition {
        int id = 0;
        std::vector<List> levels;
    };
    enum class Reading : std::uint8_t { Nothing, List, Override };

    std::vector<Definition> definitions_;
    std::map<int, int> overrides_; // \ls -> \listid
    std::map<int, int> definitionOf_; // \listid -> index into definitions_
    Reading reading_ = Reading::Nothing;
    int overrideId_ = 0;
    int overrideNumber_ = 0;
    List level_;
    int textLength_ = -1; // of the level text being read; -1 before its first character

    // The list each level of each \ls counts on in.
    std::map<int, std::array<int, kLevels>> current_;
    // \pn: the last numbered paragraph's numbering and list, and the list of
    // each kind of bullet.
    std::vector<std::pair<ParagraphNumbering, int>> bullets_;
    ParagraphNumbering lastNumbered_;
    int lastNumberedList_ = -1;
};

} // namespace reading
} // namespace rtf
