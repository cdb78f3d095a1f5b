#include "RtfStyles.h"

#include <algorithm>

namespace rtf::reading {

namespace {

// Bold or italic, of the complex scripts when their words come, of other
// text otherwise.
unsigned setBoldOrItalic(Style& s, bool on, bool Style::*other, unsigned otherField, std::int8_t Style::*complex,
                         unsigned complexField)
{
    if (s.complexWords()) {
        s.*complex = on;
        return complexField;
    }
    s.*other = on;
    return otherField;
}

} // namespace

unsigned applyCharacterWord(Style& s, const Keyword& k, bool hasParam, int param)
{
    const bool on = !hasParam || param != 0;
    switch (k.word) {
    case Word::Font:
    case Word::AssociatedFont:
        if (!hasParam)
            return 0;
        if (s.charSet == CharSet::RightToLeft) {
            s.complexFont = param;
            return ComplexFontField;
        }
        if (s.charSet == CharSet::DoubleByte) {
            s.asianFont = param;
            return AsianFontField;
        }
        s.font = param;
        return FontField;
    case Word::FontSize: {
        const int halfPoints = hasParam && param > 0 ? std::clamp(param, 2, 3276) : kDefaultHalfPoints;
        if (s.complexWords()) {
            s.complexHalfPoints = halfPoints;
            return ComplexSizeField;
        }
        s.halfPoints = halfPoints;
        s.sizeGiven = true;
        return SizeField;
    }
    case Word::Bold:
        return setBoldOrItalic(s, on, &Style::bold, BoldField, &Style::complexBold, ComplexBoldField);
    case Word::Italic:
        return setBoldOrItalic(s, on, &Style::italic, ItalicField, &Style::complexItalic, ComplexItalicField);
    case Word::Underline:
    case Word::UnderlineNone:
        s.underline = k.word == Word::Underline && on ? Underline(k.kind) : Underline::None;
        return UnderlineField;
    case Word::Strike:
        s.strike = on;
        return StrikeField;
    case Word::Hidden:
        s.hidden = on;
        return HiddenField;
    case Word::Foreground:
        s.foreground = hasParam ? param : -1;
        return ForegroundField;
    case Word::Background:
        // Index 0 means no background for all three words.
        s.background = hasParam && param > 0 ? param : -1;
        s.backgroundWord = BackgroundWord(k.kind);
        return BackgroundField;
    case Word::Plain: {
        const int link = s.link;
        s = Style{};
        s.link = link;
        return AllFields;
    }
    case Word::CharacterSet:
        s.charSet = CharSet(k.kind);
        return CharSetField;
    case Word::Script:
        s.script = k.kind == 1 ? 1 : k.kind == 2 ? -1 : 0;
        return ScriptField;
    case Word::Raise:
    case Word::Lower: {
        // Half-points; 6 (3 points) when the word gives none.
        const int by = std::clamp(hasParam ? param : 6, -3276, 3276);
        s.raise = std::int16_t(k.word == Word::Raise ? by : -by);
        return RaiseField;
    }
    case Word::Caps:
        s.caps = on;
        return CapsField;
    case Word::SmallCaps:
        s.smallCaps = on;
        return SmallCapsField;
    default:
        return 0;
    }
}

void overlay(Style& to, const Style& from, unsigned fields)
{
    if (fields & FontField)
        to.font = from.font;
    if (fields & SizeField) {
        to.halfPoints = from.halfPoints;
        to.sizeGiven = from.sizeGiven;
    }
    if (fields & ForegroundField)
        to.foreground = from.foreground;
    if (fields & BackgroundField) {
        to.background = from.background;
        to.backgroundWord = from.backgroundWord;
    }
    if (fields & BoldField)
        to.bold = from.bold;
    if (fields & ItalicField)
        to.italic = from.italic;
    if (fields & UnderlineField)
        to.underline = from.underline;
    if (fields & AsianFontField)
        to.asianFont = from.asianFont;
    if (fields & ComplexFontField)
        to.complexFont = from.complexFont;
    if (fields & ScriptField)
        to.script = from.script;
    if (fields & RaiseField)
        to.raise = from.raise;
    if (fields & CapsField)
        to.caps = from.caps;
    if (fields & SmallCapsField)
        to.smallCaps = from.smallCaps;
    if (fields & StrikeField)
        to.strike = from.strike;
    if (fields & HiddenField)
        to.hidden = from.hidden;
    if (fields & ComplexBoldField)
        to.complexBold = from.complexBold;
    if (fields & ComplexItalicField)
        to.complexItalic = from.complexItalic;
    if (fields & ComplexSizeField)
        to.complexHalfPoints = from.complexHalfPoints;
    // Which words come next is the text's own affair, not the style's.
}

void StyleSheet::begin()
{
    defining_ = Entry{};
    definingNumber_ = 0; // a definition without \s is that of style 0
    definingKept_ = true;
}

void StyleSheet::name(Word kind, int number)
{
    definingKept_ = kind != Word::OtherStyle;
    defining_.character = kind == Word::CharacterStyle;
    definingNumber_ = number;
}

void StyleSheet::basedOn(int number)
{
    defining_.basedOn = number;
}

void StyleSheet::end(const Style& style)
{
    if (!definingKept_)
        return;
    defining_.own.style = style;
    entries_[key(defining_.character, definingNumber_)] = defining_;
}

const StyleSheet::Defined* StyleSheet::find(bool character, int number)
{
    const auto found = entries_.find(key(character, number));
    if (found == entries_.end())
        return nullptr;
    if (found->second.resolved)
        return &found->second.whole;

    // The chain of bases up to one worked out already, one missing, or one
    // passed before (a loop); then each worked out from its base, the
    // farthest first.
    const std::uint32_t visit = ++visits_;
    chain_.clear();
    for (Entry* e = &found->second; e && !e->resolved && e->visit != visit;) {
        e->visit = visit;
        chain_.push_back(e);
        const auto base = e->basedOn >= 0 ? entries_.find(key(character, e->basedOn)) : entries_.end();
        e = base != entries_.end() ? &base->second : nullptr;
    }
    for (auto it = chain_.rbegin(); it != chain_.rend(); ++it) {
        Entry& e = **it;
        const auto base = e.basedOn >= 0 ? entries_.find(key(character, e.basedOn)) : entries_.end();
        e.whole = base != entries_.end() && base->second.resolved ? base->second.whole : Defined{};
        overlay(e.whole.style, e.own.style, e.own.fields);
        e.whole.fields |= e.own.fields;
        e.resolved = true;
    }
    return &found->second.whole;
}

} // namespace rtf::reading
