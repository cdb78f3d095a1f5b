#pragma once
// Numbers the RTF reader writes itself, the marks of footnotes and
// endnotes (\chftn), and the older paragraph numbering (\pn) it reads.

#include "RtfKeywords.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <vector>

namespace rtf {

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
};

// The numbering of a document's paragraphs and notes, as the reader goes
// through it.
class Numbering {
public:
    // A \pn group begins: the words and texts that follow describe it.
    void begin();
    // A word of the \pn group (level, style, start) or one of the
    // document's settings for notes (their style and first number).
    void word(const Keyword& k, bool hasParam, int param);
    // A \pntxtb group (before) or a \pntxta group begins, and one of its
    // characters.
    void beginText(bool before);
    void text(bool before, char16_t c);
    // The \pn group has ended: the number by which numbering() knows it.
    int end();
    const ParagraphNumbering& numbering(int number) const { return numberings_[std::size_t(number)]; }

    // The mark of the next note; `ahead` holds the bytes after the mark,
    // which tell an endnote from a footnote (endnoteFollows).
    QString noteMark(QByteArrayView ahead);

private:
    std::vector<ParagraphNumbering> numberings_;
    ParagraphNumbering read_; // the \pn group being read

    int nextFootnote_ = 1;
    int nextEndnote_ = 1;
    NumberStyle footnoteStyle_ = NumberStyle::Arabic;
    NumberStyle endnoteStyle_ = NumberStyle::Arabic;
};

// Whether the note whose mark came just before `ahead` is an endnote: the
// group that comes next is "{\\footnote\\ftnalt".
bool endnoteFollows(QByteArrayView ahead);

} // namespace rtf
