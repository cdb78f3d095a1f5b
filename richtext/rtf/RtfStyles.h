#pragma once
// Character formats as RTF words build them: the words that change a
// group's Style, and the style sheet (\stylesheet), whose paragraph styles
// (\s) and character styles (\cs) give text the formats they define, each
// on top of the style it is based on (\sbasedon).

#include "RtfKeywords.h"
#include "RtfReaderState.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace rtf::reading {

// Fields of a Style, as bits: those a word or a style sets.
enum Field : unsigned {
    FontField = 1u << 0,
    SizeField = 1u << 1,
    ForegroundField = 1u << 2,
    BackgroundField = 1u << 3,
    BoldField = 1u << 4,
    ItalicField = 1u << 5,
    UnderlineField = 1u << 6,
    StrikeField = 1u << 7,
    HiddenField = 1u << 8,
    ComplexBoldField = 1u << 9,
    ComplexItalicField = 1u << 10,
    ComplexSizeField = 1u << 11,
    CharSetField = 1u << 12,
    AsianFontField = 1u << 13,
    ComplexFontField = 1u << 14,
    ScriptField = 1u << 15,
    RaiseField = 1u << 16,
    CapsField = 1u << 17,
    SmallCapsField = 1u << 18,
    AllFields = (1u << 19) - 1,
};

// Applies a word of character format (\b, \fs, \cf, \plain, \rtlch...)
// to the style and gives the fields it set; 0 for any other word. \f is
// one too, outside the font table. \plain leaves the link the text is in.
unsigned applyCharacterWord(Style& style, const Keyword& k, bool hasParam, int param);

// The fields of `from` named in `fields`, put into `to`.
void overlay(Style& to, const Style& from, unsigned fields);

// The styles of a document's style sheet. A style is defined by the words
// of its group in the sheet; what it gives text is what it is based on,
// then its own words. Bases are followed however long the chain, each
// style is worked out once, and a chain that comes back to a style it
// holds ends there.
class StyleSheet {
public:
    struct Defined {
        Style style;
        unsigned fields = 0; // those the style sets
    };

    // A group of the style sheet opens: the definition of a style.
    void begin();
    // \sN, \csN (character), or \dsN and \tsN (styles of sections and
    // tables, which give text nothing), in the definition.
    void name(Word kind, int number);
    void basedOn(int number);
    // A word of the definition set these fields.
    void set(unsigned fields) { defining_.own.fields |= fields; }
    // The definition's group closes with this style.
    void end(const Style& style);

    // Paragraph style `number` (\s), or character style (\cs); nullptr
    // when the sheet has none such.
    const Defined* find(bool character, int number);

private:
    struct Entry {
        Defined own;
        int basedOn = -1;
        bool character = false;
        // Worked out: what the style gives, its bases included.
        bool resolved = false;
        Defined whole;
        std::uint32_t visit = 0; // the look-up that last passed it
    };
    static std::uint64_t key(bool character, int number)
    {
        return std::uint64_t(character) << 32 | std::uint32_t(number);
    }

    std::unordered_map<std::uint64_t, Entry> entries_;
    Entry defining_;
    int definingNumber_ = 0;
    bool definingKept_ = true;
    std::uint32_t visits_ = 0;
    std::vector<Entry*> chain_;
};

} // namespace rtf::reading
