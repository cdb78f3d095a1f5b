#include "RtfOutput.h"

#include <QHash>

#include <algorithm>

namespace rtf::reading {

namespace {

std::size_t hashOf(const CharFormat& f)
{
    std::size_t h = qHash(f.families);
    h = h * 1000003u + std::size_t(f.halfPoints);
    h = h * 1000003u + f.foreground;
    h = h * 1000003u + f.background;
    h = h * 31u + (f.bold | f.italic << 1 | f.underline << 2 | f.strike << 3);
    return h ^ (h >> 29);
}

} // namespace

void Output::append(const char16_t* chars, qsizetype n, const Style& style)
{
    if (!(style == runStyle_)) {
        runStyle_ = style;
        runFormat_ = -1;
    }
    if (runFormat_ < 0)
        runFormat_ = formatOf(style);
    if (doc_.runs.empty() || doc_.runs.back().format != runFormat_)
        doc_.runs.push_back(Run{doc_.text.size(), 0, runFormat_});
    doc_.text.append(reinterpret_cast<const QChar*>(chars), n);
    doc_.runs.back().length += n;
}

void Output::tablesChanged()
{
    ++generation_;
    runFormat_ = -1;
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

int Output::formatOf(const Style& style)
{
    Known& known = known_[StyleHash{}(style) % known_.size()];
    if (known.generation == generation_ && known.style == style)
        return known.format;
    CharFormat f;
    f.families = tables_.families(style.font != kNoFont ? style.font : tables_.defaultFont());
    f.halfPoints = style.halfPoints;
    f.bold = style.bold;
    f.italic = style.italic;
    f.underline = style.underline;
    f.strike = style.strike;
    f.foreground = tables_.color(style.foreground);
    f.background = tables_.color(style.background);
    known = Known{style, generation_, indexOf(f)};
    return known.format;
}

int Output::indexOf(const CharFormat& format)
{
    std::vector<CharFormat>& formats = doc_.formats;
    if ((formats.size() + 1) * 2 > slots_.size())
        growSlots();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hashOf(format) & mask;; i = (i + 1) & mask) {
        const int slot = slots_[i];
        if (slot < 0) {
            slots_[i] = int(formats.size());
            formats.push_back(format);
            return slots_[i];
        }
        if (formats[std::size_t(slot)] == format)
            return slot;
    }
}

void Output::growSlots()
{
    slots_.assign(std::max<std::size_t>(64, slots_.size() * 2), -1);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t index = 0; index < doc_.formats.size(); ++index) {
        std::size_t i = hashOf(doc_.formats[index]) & mask;
        while (slots_[i] >= 0)
            i = (i + 1) & mask;
        slots_[i] = int(index);
    }
}

} // namespace rtf::reading
