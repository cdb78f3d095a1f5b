#pragma once
// The control words the RTF reader acts on, by name.

#include "RtfBlockWords.h"

#include <cstdint>
#include <string_view>

namespace rtf {

// How list numbers and note marks are written (\pndec, \ftnnrlc, ...).
enum class NumberStyle : std::uint8_t { Arabic, LowerLetter, UpperLetter, LowerRoman, UpperRoman, Symbols };

enum class Word : std::uint8_t {
    Ignore, Skip, FontTable, ColorTable, Char, Par, Line, Tab, Cell, Row,
    Font, FontSize, Bold, Italic, Underline, UnderlineNone, Strike, Hidden,
    Foreground, Background, Plain, Unicode, UnicodeSkip, Bin,
    Charset, CodePage, Red, Green, Blue, DefaultFont, AnsiCodePage, Ansi, Mac, Pc, Pca,
    ParagraphDefault, ListText, Numbering, NumberingBefore, NumberingAfter, NumberingBullet,
    NumberingBody, NumberingContinue, NumberingStyle, NumberingStart, NumberingFont,
    FootnoteMark, FootnoteStyle, FootnoteStart, EndnoteStyle, EndnoteStart,
    CharacterSet, StyleSheet, ParagraphStyle, CharacterStyle, OtherStyle, BasedOn,
    HoldsText, HeldText, NestedTable, Block,
    AssociatedFont, Script, Raise, Lower, Caps, SmallCaps, Field, FieldInstruction, FieldResult, Shape,
};

struct Keyword {
    Word word;
    char16_t character = 0; // Word::Char
    NumberStyle style = NumberStyle::Arabic; // the Word::...Style words
    // Which one of its kind: the Underline of Word::Underline, the
    // BackgroundWord of Word::Background, the reading::CharSet of
    // Word::CharacterSet, 1 (\super), 2 (\sub) or 0 for Word::Script.
    std::uint8_t kind = 0;
    BlockWord block = BlockWord::None; // Word::Block, and \nestrow
};

// What a control word does; Word::Ignore for words the reader has no use
// for.
const Keyword& keyword(std::string_view name);

} // namespace rtf
