#pragma once
// A paragraph's properties as the RTF words in force give them (\pard
// sets them back), kept with each group's state like the character
// format.

#include <cstdint>

namespace rtf::reading {

constexpr std::uint8_t kSpaceBeforeGiven = 1;
constexpr std::uint8_t kSpaceAfterGiven = 2;
constexpr std::uint8_t kLineSpacingGiven = 4;

struct ParagraphProps {
    std::int32_t left = 0;
    std::int32_t right = 0;
    std::int32_t firstLine = 0;
    std::int32_t before = 0;
    std::int32_t after = 0;
    std::int32_t lineSpacing = 0;
    std::int32_t list = 0; // \ls; 0 none
    std::uint8_t level = 0; // \ilvl
    std::uint8_t align = 0; // ParagraphFormat::Align
    std::uint8_t direction = 0; // ParagraphFormat::Direction
    std::uint8_t depth = 0; // \itap; with inTable and no \itap, 1
    bool lineMultiple = false;
    bool inTable = false;
    // Spacing the paragraph's own words gave (kSpace...), not the
    // document's defaults (\defpap) that \pard gives.
    std::uint8_t givenSpacing = 0;

    bool operator==(const ParagraphProps&) const = default;

    // The table nesting of the paragraph: 0 outside tables.
    int tableDepth() const { return depth > 0 ? depth : inTable ? 1 : 0; }
};

} // namespace rtf::reading
