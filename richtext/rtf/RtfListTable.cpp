#include "RtfListTable.h"

#include "RtfCodePages.h"

#include <algorithm>
#include <iterator>

namespace rtf::reading {

namespace {

// Longer labels are cut; more kinds of bullet than this each make a list
// of their own.
constexpr int kLongestLevelText = 64;
constexpr std::size_t kMostBulletKinds = 64;

// The number format (\levelnfc) of a \pn number style.
int numberFormatOf(NumberStyle style)
{
    const auto* found = std::find(std::begin(kNumberStyles), std::end(kNumberStyles), style);
    return found != std::end(kNumberStyles) ? int(found - std::begin(kNumberStyles)) : 0;
}

} // namespace

void ListTable::beginList()
{
    reading_ = Reading::List;
    definitions_.push_back(Definition{});
}

void ListTable::beginOverride()
{
    reading_ = Reading::Override;
    overrideId_ = 0;
    overrideNumber_ = 0;
}

void ListTable::listId(int id)
{
    if (reading_ == Reading::List && !definitions_.empty()) {
        definitions_.back().id = id;
        definitionOf_[id] = int(definitions_.size()) - 1;
    }
    else if (reading_ == Reading::Override)
        overrideId_ = id;
    if (reading_ == Reading::Override && overrideNumber_ != 0)
        overrides_[overrideNumber_] = overrideId_;
}

void ListTable::overrideNumber(int number)
{
    if (reading_ != Reading::Override || number == 0)
        return;
    overrideNumber_ = number;
    overrides_[number] = overrideId_;
}

void ListTable::beginLevel()
{
    level_ = List{};
    textLength_ = -1;
}

void ListTable::levelWord(BlockWord word, int param)
{
    switch (word) {
    case BlockWord::LevelFormat:
        level_.numberFormat = std::clamp(param, 0, 255);
        break;
    case BlockWord::LevelStart:
        level_.start = std::clamp(param, 0, kMaxStartNumber);
        break;
    case BlockWord::LeftIndent:
        level_.left = param;
        break;
    case BlockWord::FirstIndent:
        level_.firstLine = param;
        break;
    default:
        break;
    }
}

void ListTable::levelText(char16_t c)
{
    // The first character is the length of the text that follows.
    if (textLength_ < 0) {
        textLength_ = std::min<int>(c, kLongestLevelText);
        level_.levelText.clear();
    } else if (level_.levelText.size() < textLength_) {
        level_.levelText.append(QChar(c));
    }
}

void ListTable::endLevel(const ByteDecoder* symbol)
{
    if (symbol) {
        // Written in the code page of the document, meant as glyphs of the
        // level's font.
        for (QChar& c : level_.levelText) {
            const char16_t u = c.unicode();
            if (u >= 0xF020 && u <= 0xF0FF)
                c = QChar(symbol->privateUse(u));
            else if (u >= 0x20 && u < 0x100 && (u < 0x80 || u >= 0xA0))
                c = QChar(symbol->byte(static_cast<unsigned char>(u)));
        }
    }
    if (reading_ == Reading::List && !definitions_.empty() && definitions_.back().levels.size() < kLevels)
        definitions_.back().levels.push_back(level_);
}

int ListTable::listOf(int number, int level, std::vector<List>& lists)
{
    const auto over = overrides_.find(number);
    if (over == overrides_.end())
        return -1;
    const auto definition = definitionOf_.find(over->second);
    if (definition == definitionOf_.end() || definitions_[std::size_t(definition->second)].levels.empty())
        return -1;
    level = std::clamp(level, 0, kLevels - 1);
    auto [it, made] = current_.try_emplace(number);
    std::array<int, kLevels>& current = it->second;
    if (made)
        current.fill(-1);
    // The levels below this one start again after it.
    std::fill(current.begin() + level + 1, current.end(), -1);
    if (current[std::size_t(level)] < 0) {
        const std::vector<List>& levels = definitions_[std::size_t(definition->second)].levels;
        List list = levels[std::min<std::size_t>(std::size_t(level), levels.size() - 1)];
        list.number = number;
        list.level = level;
        current[std::size_t(level)] = int(lists.size());
        lists.push_back(std::move(list));
    }
    return current[std::size_t(level)];
}

int ListTable::listOf(const ParagraphNumbering& numbering, std::vector<List>& lists)
{
    using Kind = ParagraphNumbering::Kind;
    if (numbering.kind == Kind::Continue)
        return -1;
    if (numbering.kind == Kind::Number) {
        // Paragraphs numbered alike count on, whatever comes between them.
        if (lastNumberedList_ >= 0 && numbering == lastNumbered_)
            return lastNumberedList_;
        List list;
        list.numberFormat = numberFormatOf(numbering.style);
        list.start = numbering.start;
        list.levelText = numbering.before + QChar(0) + numbering.after;
        lastNumbered_ = numbering;
        lastNumberedList_ = int(lists.size());
        lists.push_back(std::move(list));
        return lastNumberedList_;
    }
    for (const auto& [kind, index] : bullets_) {
        if (kind == numbering)
            return index;
    }
    List list;
    list.levelText = numbering.before + numbering.after;
    if (list.levelText.isEmpty())
        list.levelText = QStringLiteral("\u2022");
    const int index = int(lists.size());
    lists.push_back(std::move(list));
    if (bullets_.size() < kMostBulletKinds)
        bullets_.emplace_back(numbering, index);
    return index;
}

} // namespace rtf::reading
