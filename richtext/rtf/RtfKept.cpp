#include "RtfKept.h"

#include <algorithm>
#include <array>

namespace rtf {

const char* underlineWord(Underline kind)
{
    static constexpr std::array<const char*, 18> words = {
        "ulnone", "ul",     "uld",        "uldash",    "uldashd",     "uldashdd",      "uldb",  "ulhwave", "ulldash",
        "ulth",   "ulthd",  "ulthdash",   "ulthdashd", "ulthdashdd",  "ulthldash",     "ululdbwave", "ulw", "ulwave",
    };
    const auto i = std::size_t(kind);
    return i < words.size() ? words[i] : "ul";
}

std::size_t hashOf(const CharFormat& f)
{
    std::size_t h = std::size_t(std::uint32_t(f.font));
    for (const int n : {int(f.asianFont), int(f.complexFont), int(f.halfPoints), f.link, int(f.raise),
                        int(f.complexHalfPoints)})
        h = h * 1000003u + std::size_t(std::uint32_t(n));
    h = h * 1000003u + f.foreground;
    h = h * 1000003u + f.background;
    h = h * 31u
        + (f.bold | f.italic << 1 | f.strike << 2 | f.caps << 3 | f.smallCaps << 4 | f.complex << 5
           | unsigned(std::uint8_t(f.script)) << 6 | unsigned(f.underline) << 14 | unsigned(f.backgroundWord) << 20
           | unsigned(std::uint8_t(f.complexBold)) << 22 | unsigned(f.sizeGiven) << 30);
    h = h * 31u + std::uint8_t(f.complexItalic);
    return h ^ (h >> 29);
}

namespace {

// Slots for `count` formats and one more would be more than three quarters
// full.
bool tooFull(std::size_t count, std::size_t size)
{
    return (count + 1) * 4 > size * 3;
}

} // namespace

int FormatIndex::find(std::vector<CharFormat>& formats, const CharFormat& format)
{
    if (formats.size() != known_ || tooFull(formats.size(), slots_.size()))
        grow(formats);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hashOf(format) & mask;; i = (i + 1) & mask) {
        const int slot = slots_[i];
        if (slot < 0) {
            slots_[i] = int(formats.size());
            formats.push_back(format);
            ++known_;
            return slots_[i];
        }
        if (formats[std::size_t(slot)] == format)
            return slot;
    }
}

// Made again from the list, twice as big when it fills: also the first
// time a list filled elsewhere is searched.
void FormatIndex::grow(const std::vector<CharFormat>& formats)
{
    known_ = formats.size();
    std::size_t size = 64;
    while (tooFull(formats.size(), size))
        size *= 2;
    slots_.assign(size, -1);
    const std::size_t mask = size - 1;
    for (std::size_t index = 0; index < formats.size(); ++index) {
        std::size_t i = hashOf(formats[index]) & mask;
        while (slots_[i] >= 0)
            i = (i + 1) & mask;
        slots_[i] = int(index);
    }
}

int Kept::fontNumber(const QString& name)
{
    for (const Font& f : fonts) {
        if (f.name == name)
            return f.number;
    }
    const int number = unusedFontNumber(fonts);
    fonts.push_back(Font{number, name, 0, 0, 0, {}});
    return number;
}

int Kept::unusedFontNumber(const std::vector<Font>& fonts)
{
    std::vector<int> used;
    for (const Font& f : fonts)
        used.push_back(f.number);
    std::sort(used.begin(), used.end());
    if (used.empty() || used.back() < 0)
        return 0;
    if (used.back() < kLastFontNumber)
        return used.back() + 1;
    // The highest there is taken: the first free one from 0 on.
    int free = 0;
    for (const int n : used) {
        if (n == free)
            ++free;
        else if (n > free)
            break;
    }
    return free;
}

} // namespace rtf
