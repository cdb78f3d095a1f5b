#pragma once
// Numbers the RTF reader writes itself: the bullets and numbers of lists
// given only as paragraph numbering (\pn, without the \pntext a word
// processor usually writes beside it), and the marks of footnotes and
// endnotes (\chftn).

#include <QString>

#include <cstdint>

namespace rtf {

enum class NumberStyle : std::uint8_t { Arabic, LowerLetter, UpperLetter, LowerRoman, UpperRoman, Symbols };

// Starting numbers beyond this are taken as this (word processors allow
// no more), so that counting on from them cannot overflow.
constexpr int kMaxStartNumber = 32767;

// n in the style: 3 is "3", "c", "C", "iii", "III" or "***" (*, †, ‡, §,
// then doubled). Letters and symbols repeat at most ten times and Roman
// numerals go up to 3999; beyond, and for n below 1, n is written in
// Arabic numerals.
QString numberText(int n, NumberStyle style);

// A paragraph's numbering as \pn gives it.
struct ParagraphNumbering {
    enum class Kind : std::uint8_t { Bullet, Number, Continue };
    Kind kind = Kind::Number;
    NumberStyle style = NumberStyle::Arabic;
    int start = 1;
    QString before; // \pntxtb: a bullet's character, or the text before a number
    QString after; // \pntxta

    bool operator==(const ParagraphNumbering&) const = default;

    // What stands in front of the paragraph's text, a tab included, as a
    // word processor's \pntext would give it: "•\t", "2.\t". Empty for a
    // continued paragraph, which shows no number.
    QString label(int number) const;
};

} // namespace rtf
