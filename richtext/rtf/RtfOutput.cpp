#include "RtfOutput.h"

#include <algorithm>
#include <climits>

namespace rtf::reading {

namespace {

// Which of a style's two sets of bold, italic and size a character takes:
// that of the complex scripts (right-to-left, Thai, Indian), or the
// other. Spaces, digits and punctuation, and the second half of a pair,
// go with the character before them.
enum class Script : std::uint8_t { Other, Complex, Neutral };

Script scriptOf(char16_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ? Script::Other : Script::Neutral;
    if ((c >= 0x0590 && c < 0x1000) || (c >= 0x1780 && c < 0x1800) || (c >= 0xFB1D && c < 0xFE00)
        || (c >= 0xFE70 && c < 0xFF00))
        return Script::Complex;
    if (c == 0x00A0 || (c >= 0x2000 && c < 0x2070) || (c >= 0xDC00 && c < 0xE000))
        return Script::Neutral;
    return Script::Other;
}

} // namespace

void Output::append(const char16_t* chars, qsizetype n, const Style& style)
{
    if (!style.complexDiffers()) {
        appendRun(chars, n, style, false);
        return;
    }
    // Stretches of complex scripts and of others, each in its own format.
    bool complex = lastComplex_;
    qsizetype from = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const Script script = scriptOf(chars[i]);
        if (script == Script::Neutral || (script == Script::Complex) == complex)
            continue;
        appendRun(chars + from, i - from, style, complex);
        from = i;
        complex = !complex;
    }
    appendRun(chars + from, n - from, style, complex);
    lastComplex_ = complex;
}

void Output::appendRun(const char16_t* chars, qsizetype n, const Style& style, bool complex)
{
    if (n == 0)
        return;
    if (!(style == runStyle_)) {
        runStyle_ = style;
        runFormat_ = {-1, -1};
    }
    int& format = runFormat_[complex];
    if (format < 0)
        format = formatOf(style, complex);
    if (doc_.runs.empty() || doc_.runs.back().format != format || doc_.runs.back().length > INT_MAX - n)
        doc_.runs.push_back(Run{doc_.text.size(), 0, format});
    doc_.text.append(reinterpret_cast<const QChar*>(chars), n);
    doc_.runs.back().length += int(n);
    appended_ += n;
}

void Output::rescriptNeutral(qsizetype at, bool complex)
{
    qsizetype end = at;
    while (end < doc_.text.size() && scriptOf(doc_.text[end].unicode()) == Script::Neutral)
        ++end;
    if (end == doc_.text.size())
        lastComplex_ = complex;
    // Only formats whose complex scripts show otherwise were chosen by
    // script (as append() does).
    const auto choose = [&](int format) {
        const CharFormat& f = doc_.formats[std::size_t(format)];
        const bool differs = (f.complexBold != kSame && bool(f.complexBold) != f.bold)
            || (f.complexItalic != kSame && bool(f.complexItalic) != f.italic)
            || (f.complexHalfPoints != 0 && f.complexHalfPoints != f.halfPoints);
        if (!differs || f.complex == complex)
            return format;
        CharFormat other = f;
        other.complex = complex;
        return index_.find(doc_.formats, other);
    };
    std::vector<Run>& runs = doc_.runs;
    std::size_t i = runs.size();
    while (i > 0 && runs[i - 1].start + runs[i - 1].length > at)
        --i;
    for (; i < runs.size() && runs[i].start < end; ++i) {
        const int format = choose(runs[i].format);
        if (format == runs[i].format)
            continue;
        // The run cut where the neutral characters begin and end.
        const qsizetype from = std::max(at, runs[i].start);
        const qsizetype to = std::min(end, runs[i].start + runs[i].length);
        if (const qsizetype runEnd = runs[i].start + runs[i].length; to < runEnd) {
            runs.insert(runs.begin() + qsizetype(i) + 1, Run{to, int(runEnd - to), runs[i].format});
            runs[i].length = int(to - runs[i].start);
        }
        if (from > runs[i].start) {
            runs.insert(runs.begin() + qsizetype(i) + 1, Run{from, int(to - from), format});
            runs[i].length = int(from - runs[i].start);
            ++i;
        } else {
            runs[i].format = format;
        }
    }
}

void Output::tablesChanged()
{
    ++generation_;
    runFormat_ = {-1, -1};
}

Document Output::take()
{
    if (!doc_.text.isEmpty() && doc_.text.back() == u'\n') {
        doc_.text.chop(1);
        if (--doc_.runs.back().length == 0)
            doc_.runs.pop_back();
    }
    return std::move(doc_);
}

int Output::formatOf(const Style& style, bool complex)
{
    Known& known = known_[(StyleHash{}(style) * 2 + complex) % known_.size()];
    if (known.generation == generation_ && known.complex == complex && known.style == style)
        return known.format;
    CharFormat f;
    // A font number past 16 bits counts as none: the document's default.
    const std::int16_t font = fontNumberOf(style.font);
    f.font = font != -1 ? font : fontNumberOf(tables_.defaultFont());
    f.asianFont = fontNumberOf(style.asianFont);
    f.complexFont = fontNumberOf(style.complexFont);
    f.halfPoints = std::int16_t(style.halfPoints);
    f.sizeGiven = style.sizeGiven;
    f.bold = style.bold;
    f.italic = style.italic;
    f.complexBold = style.complexBold;
    f.complexItalic = style.complexItalic;
    f.complexHalfPoints = std::int16_t(style.complexHalfPoints);
    f.complex = complex;
    f.underline = style.underline;
    f.strike = style.strike;
    f.caps = style.caps;
    f.smallCaps = style.smallCaps;
    f.script = style.script;
    f.raise = style.raise;
    f.link = style.link;
    f.foreground = tables_.color(style.foreground);
    f.background = tables_.color(style.background);
    if (f.background)
        f.backgroundWord = style.backgroundWord;
    known = Known{style, complex, generation_, index_.find(doc_.formats, f)};
    return known.format;
}

} // namespace rtf::reading
