#pragma once
// What the RTF reader makes of a document: its text, in runs of one
// format each. Every different format is kept once, however many runs and
// whatever styles of the file lead to it, so that a file of hundreds of
// thousands of formats takes a few dozen bytes for each.

#include "RtfReader.h"
#include "RtfReaderState.h"
#include "RtfTables.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace rtf::reading {

class Output {
public:
    explicit Output(const Tables& tables) : tables_(tables) {}

    // Characters of the text in this style; those of the complex scripts
    // in its format for them, where it has one.
    void append(const char16_t* chars, qsizetype n, const Style& style);
    // A paragraph ends (after its mark is appended).
    void paragraphEnded() { lastComplex_ = false; }
    // Whether the neutral characters that come next (spaces, digits,
    // punctuation) go with a complex script, as the last character of a
    // script before them was.
    bool lastComplex() const { return lastComplex_; }
    // What stood before the neutral characters from `at` on is gone (a
    // paragraph's label): they go with a complex script when `complex`.
    void rescriptNeutral(qsizetype at, bool complex);
    // Fonts or colours changed: styles are looked up anew.
    void tablesChanged();

    bool empty() const { return doc_.text.isEmpty(); }
    qsizetype size() const { return doc_.text.size(); }
    // How many characters were ever appended: unlike size(), it does not go
    // back when a paragraph's label is taken out again.
    qsizetype appended() const { return appended_; }
    QChar at(qsizetype i) const { return doc_.text.at(i); }
    // Replaces `removed` characters at `at` with `inserted`, in the format
    // of the character at `at`. For the last paragraph's characters: it
    // costs in proportion to the text after `at`.
    void splice(qsizetype at, qsizetype removed, QStringView inserted);
    void replaceAt(qsizetype at, char16_t c) { doc_.text[at] = QChar(c); }
    // A group of Kept::groups stands at `at` (a character, or between two);
    // splicing moves it with the text.
    void anchorGroup(int group, qsizetype at, GroupAnchor::Place place) { doc_.anchors.push_back({at, group, place}); }
    // The format of text in `style` (not of the complex scripts).
    int formatOf(const Style& style) { return formatOf(style, false); }
    std::size_t anchorCount() const { return doc_.anchors.size(); }
    // Takes out the places of groups given since there were `count`.
    std::vector<GroupAnchor> takeAnchorsFrom(std::size_t count)
    {
        std::vector<GroupAnchor>& a = doc_.anchors;
        std::vector<GroupAnchor> taken(a.begin() + qsizetype(std::min(count, a.size())), a.end());
        a.resize(a.size() - taken.size());
        return taken;
    }
    // The group that stands at the end of the text, -1 when none does.
    int groupAtEnd() const
    {
        const std::vector<GroupAnchor>& a = doc_.anchors;
        return !a.empty() && a.back().at == size() && a.back().place == GroupAnchor::Place::Between ? a.back().group
                                                                                                     : -1;
    }
    // The document, without the mark that ends its last paragraph.
    Document take();

private:
    void appendRun(const char16_t* chars, qsizetype n, const Style& style, bool complex);
    int formatOf(const Style& style, bool complex);

    const Tables& tables_;
    Document doc_;
    FormatIndex index_; // of doc_.formats

    // The format of each style met lately, for characters of the complex
    // scripts or not; entries of an older generation are out of date (the
    // tables changed since).
    struct Known {
        Style style;
        bool complex = false;
        std::uint32_t generation = 0;
        int format = -1;
    };
    std::array<Known, 256> known_;
    std::uint32_t generation_ = 1;
    // The style of the last run and its two formats (-1: not looked up).
    Style runStyle_;
    std::array<int, 2> runFormat_ = {-1, -1};
    qsizetype appended_ = 0;
    bool lastComplex_ = false; // the last character that is not neutral was of a complex script
};

} // namespace rtf::reading
