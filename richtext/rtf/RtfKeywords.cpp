// The control words the RTF reader acts on. Destinations listed as skipped
// hold no text of the document (headers, notes, tables of the file's own,
// text for readers that know no nested tables or shapes);
// every other unknown word is ignored and its text read.
#include "RtfKeywords.h"

#include "RtfKept.h"
#include "RtfReaderState.h"

#include <QtGlobal>

#include <array>
#include <cstdint>
#include <utility>

namespace rtf {

namespace {

// The words by name. Looking words up takes much of the reader's time in
// files that write many of them, as word processors do: a table of fixed
// size, far from full, found by a hash of a few bytes.
class WordTable {
public:
    // The first entry of a name holds.
    void emplace(std::string_view name, Keyword k)
    {
        Entry& e = entries_[slot(name)];
        if (e.name.empty()) {
            e = Entry{name, k};
            ++count_;
            // A fuller table would search long, a full one for ever.
            Q_ASSERT(count_ <= kSize / 8);
        }
    }

    // Word::Ignore for names it does not hold.
    const Keyword& find(std::string_view name) const { return entries_[slot(name)].keyword; }

private:
    static constexpr std::size_t kSize = 4096; // a power of two, eight times the words or more

    struct Entry {
        std::string_view name;
        Keyword keyword{Word::Ignore};
    };

    // Where the name is, or the free entry where it would go.
    std::size_t slot(std::string_view name) const
    {
        std::uint32_t h = 2166136261u;
        for (const char c : name)
            h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        for (std::size_t i = h & (kSize - 1);; i = (i + 1) & (kSize - 1)) {
            if (entries_[i].name.empty() || entries_[i].name == name)
                return i;
        }
    }

    std::array<Entry, kSize> entries_{};
    std::size_t count_ = 0;
};

} // namespace

const Keyword& keyword(std::string_view name)
{
    static const auto table = [] {
        WordTable k;
        // Destinations whose content is not text of the document.
        for (const char* d :
             {"aftncn", "aftnsep", "aftnsepc", "annotation", "atnauthor", "atndate", "atnicn", "atnid",
              "atnparent", "atnref", "atntime", "atrfend", "atrfstart", "author", "bkmkend", "bkmkstart",
              "blipuid", "buptim", "category", "colorschememapping", "comment", "company", "creatim",
              "datafield", "datastore", "defchp", "do", "doccomm", "docvar", "falt", "fchars",
              "ffdeftext", "ffentrymcr", "ffexitmcr", "ffformat", "ffhelptext", "ffl", "ffname",
              "ffstattext", "filetbl", "fname", "footer", "footerf", "footerl", "footerr",
              "footnote", "formfield", "ftncn", "ftnsep", "ftnsepc", "generator", "header", "headerf",
              "headerl", "headerr", "hlinkbase", "info", "keywords", "latentstyles", "lchars", "levelnumbers",
              "listname", "listpicture", "manager", "mmathPr", "nextfile",
              "nonesttables", "nonshppict", "objalias", "objclass", "objdata", "objname", "objsect",
              "objtime", "oldcprops", "oldpprops", "oldsprops", "oldtprops", "operator", "panose",
              "passwordhash", "pgdsctbl", "pnseclvl", "printim", "private", "propname",
              "protusertbl", "revtbl", "revtim", "rsidtbl", "rxe", "shprslt", "subject",
              "tc", "template", "themedata", "title", "txe", "userprops", "wgrffmtfilter", "windowcaption",
              "writereservation", "writereservhash", "xe", "xform", "xmlattrname", "xmlattrvalue",
              "xmlclose", "xmlname", "xmlnstbl", "xmlopen"})
            k.emplace(d, Keyword{Word::Skip});
        const std::pair<const char*, char16_t> characters[] = {
            {"emdash", 0x2014},   {"endash", 0x2013},    {"emspace", 0x2003}, {"enspace", 0x2002},
            {"qmspace", 0x2005},  {"bullet", 0x2022},    {"lquote", 0x2018},  {"rquote", 0x2019},
            {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"zwj", 0x200D},     {"zwnj", 0x200C},
            {"ltrmark", 0x200E},  {"rtlmark", 0x200F},   {"zwbo", 0x200B},
        };
        for (const auto& [name, c] : characters)
            k.emplace(name, Keyword{Word::Char, c});
        const std::pair<const char*, Word> words[] = {
            {"fonttbl", Word::FontTable}, {"colortbl", Word::ColorTable},
            {"par", Word::Par}, {"sect", Word::Par}, {"page", Word::Par},
            {"line", Word::Line}, {"tab", Word::Tab},
            {"cell", Word::Cell}, {"nestcell", Word::Cell}, {"row", Word::Row},
            {"f", Word::Font}, {"fs", Word::FontSize}, {"b", Word::Bold}, {"i", Word::Italic},
            // The associated formats: which text they are for, the complex
            // scripts' or the other, the last of \rtlch, \ltrch, \loch,
            // \hich and \dbch says, as it does for \b, \i and \fs.
            {"afs", Word::FontSize}, {"ab", Word::Bold}, {"ai", Word::Italic}, {"af", Word::AssociatedFont},
            {"up", Word::Raise}, {"dn", Word::Lower}, {"caps", Word::Caps}, {"scaps", Word::SmallCaps},
            {"field", Word::Field}, {"fldinst", Word::FieldInstruction}, {"fldrslt", Word::FieldResult},
            {"shp", Word::Shape},
            {"stylesheet", Word::StyleSheet}, {"s", Word::ParagraphStyle}, {"cs", Word::CharacterStyle},
            {"ds", Word::OtherStyle}, {"ts", Word::OtherStyle}, {"sbasedon", Word::BasedOn},
            {"upr", Word::HoldsText}, {"shpinst", Word::HoldsText}, {"ud", Word::HeldText},
            {"shptxt", Word::HeldText}, {"nesttableprops", Word::NestedTable},
            {"ulnone", Word::UnderlineNone}, {"strike", Word::Strike}, {"striked", Word::Strike},
            {"v", Word::Hidden}, {"cf", Word::Foreground},
            {"plain", Word::Plain}, {"u", Word::Unicode}, {"uc", Word::UnicodeSkip}, {"bin", Word::Bin},
            {"fcharset", Word::Charset}, {"cpg", Word::CodePage},
            {"red", Word::Red}, {"green", Word::Green}, {"blue", Word::Blue},
            {"deff", Word::DefaultFont}, {"ansicpg", Word::AnsiCodePage},
            {"ansi", Word::Ansi}, {"mac", Word::Mac}, {"pc", Word::Pc}, {"pca", Word::Pca},
            {"pard", Word::ParagraphDefault}, {"pntext", Word::ListText}, {"listtext", Word::ListText},
            {"pn", Word::Numbering}, {"pntxtb", Word::NumberingBefore}, {"pntxta", Word::NumberingAfter},
            {"pnlvlblt", Word::NumberingBullet}, {"pnlvlbody", Word::NumberingBody}, {"pnlvl", Word::NumberingBody},
            {"pnlvlcont", Word::NumberingContinue}, {"pnstart", Word::NumberingStart}, {"pnf", Word::NumberingFont},
            {"chftn", Word::FootnoteMark}, {"ftnstart", Word::FootnoteStart}, {"aftnstart", Word::EndnoteStart},
        };
        for (const auto& [name, w] : words)
            k.emplace(name, Keyword{w});
        // How list numbers, footnote marks and endnote marks are written.
        const std::pair<const char*, Keyword> styles[] = {
            {"pndec", {Word::NumberingStyle, 0, NumberStyle::Arabic}},
            {"pnlcltr", {Word::NumberingStyle, 0, NumberStyle::LowerLetter}},
            {"pnucltr", {Word::NumberingStyle, 0, NumberStyle::UpperLetter}},
            {"pnlcrm", {Word::NumberingStyle, 0, NumberStyle::LowerRoman}},
            {"pnucrm", {Word::NumberingStyle, 0, NumberStyle::UpperRoman}},
            {"ftnnar", {Word::FootnoteStyle, 0, NumberStyle::Arabic}},
            {"ftnnalc", {Word::FootnoteStyle, 0, NumberStyle::LowerLetter}},
            {"ftnnauc", {Word::FootnoteStyle, 0, NumberStyle::UpperLetter}},
            {"ftnnrlc", {Word::FootnoteStyle, 0, NumberStyle::LowerRoman}},
            {"ftnnruc", {Word::FootnoteStyle, 0, NumberStyle::UpperRoman}},
            {"ftnnchi", {Word::FootnoteStyle, 0, NumberStyle::Symbols}},
            {"aftnnar", {Word::EndnoteStyle, 0, NumberStyle::Arabic}},
            {"aftnnalc", {Word::EndnoteStyle, 0, NumberStyle::LowerLetter}},
            {"aftnnauc", {Word::EndnoteStyle, 0, NumberStyle::UpperLetter}},
            {"aftnnrlc", {Word::EndnoteStyle, 0, NumberStyle::LowerRoman}},
            {"aftnnruc", {Word::EndnoteStyle, 0, NumberStyle::UpperRoman}},
            {"aftnnchi", {Word::EndnoteStyle, 0, NumberStyle::Symbols}},
        };
        for (const auto& [name, kw] : styles)
            k.emplace(name, kw);
        // Words of one kind each, told apart by Keyword::kind.
        using reading::CharSet;
        const std::pair<const char*, Keyword> kinds[] = {
            {"rtlch", {Word::CharacterSet, 0, {}, std::uint8_t(CharSet::RightToLeft)}},
            {"hich", {Word::CharacterSet, 0, {}, std::uint8_t(CharSet::High)}},
            {"dbch", {Word::CharacterSet, 0, {}, std::uint8_t(CharSet::DoubleByte)}},
            {"ltrch", {Word::CharacterSet, 0, {}, std::uint8_t(CharSet::Low)}},
            {"loch", {Word::CharacterSet, 0, {}, std::uint8_t(CharSet::Low)}},
            {"highlight", {Word::Background, 0, {}, std::uint8_t(BackgroundWord::Highlight)}},
            {"cb", {Word::Background, 0, {}, std::uint8_t(BackgroundWord::Cb)}},
            {"chcbpat", {Word::Background, 0, {}, std::uint8_t(BackgroundWord::Chcbpat)}},
            {"super", {Word::Script, 0, {}, 1}},
            {"sub", {Word::Script, 0, {}, 2}},
            {"nosupersub", {Word::Script, 0, {}, 0}},
        };
        for (const auto& [name, kw] : kinds)
            k.emplace(name, kw);
        for (int u = int(Underline::Single); u <= int(Underline::Wave); ++u)
            k.emplace(underlineWord(Underline(u)), Keyword{Word::Underline, 0, {}, std::uint8_t(u)});
        k.emplace("nestrow", Keyword{.word = Word::Row, .block = BlockWord::NestedRow});
        // Paragraphs, table rows, pictures and lists.
        const std::pair<const char*, BlockWord> blocks[] = {
            {"ql", BlockWord::AlignLeft}, {"qc", BlockWord::AlignCentre}, {"qr", BlockWord::AlignRight},
            {"qj", BlockWord::AlignJustify}, {"qd", BlockWord::AlignJustify},
            {"li", BlockWord::LeftIndent}, {"lin", BlockWord::LeftIndent}, {"ri", BlockWord::RightIndent},
            {"rin", BlockWord::RightIndent}, {"fi", BlockWord::FirstIndent}, {"sb", BlockWord::SpaceBefore},
            {"sa", BlockWord::SpaceAfter}, {"sl", BlockWord::LineSpacing}, {"slmult", BlockWord::LineMultiple},
            {"rtlpar", BlockWord::RightToLeft}, {"ltrpar", BlockWord::LeftToRight}, {"intbl", BlockWord::InTable},
            {"itap", BlockWord::Depth}, {"ls", BlockWord::ListNumber}, {"ilvl", BlockWord::ListLevel},
            {"trowd", BlockWord::RowDefaults}, {"trleft", BlockWord::RowLeft}, {"cellx", BlockWord::CellRight},
            {"clmgf", BlockWord::MergeFirst}, {"clmrg", BlockWord::Merged}, {"clvmgf", BlockWord::MergeDownFirst},
            {"clvmrg", BlockWord::MergedDown}, {"clbrdrt", BlockWord::CellBorder}, {"clbrdrb", BlockWord::CellBorder},
            {"clbrdrl", BlockWord::CellBorder}, {"clbrdrr", BlockWord::CellBorder},
            {"pict", BlockWord::Picture}, {"pngblip", BlockWord::Png}, {"jpegblip", BlockWord::Jpeg},
            {"emfblip", BlockWord::Emf}, {"wmetafile", BlockWord::Wmf}, {"dibitmap", BlockWord::DeviceBitmap},
            {"wbitmap", BlockWord::Bitmap}, {"macpict", BlockWord::MacPicture},
            {"pmmetafile", BlockWord::Os2Picture}, {"picw", BlockWord::PictureWidth},
            {"pich", BlockWord::PictureHeight}, {"picwgoal", BlockWord::GoalWidth},
            {"pichgoal", BlockWord::GoalHeight}, {"picscalex", BlockWord::ScaleX}, {"picscaley", BlockWord::ScaleY},
            {"shppict", BlockWord::ShapePicture}, {"sp", BlockWord::ShapeProperty}, {"sn", BlockWord::ShapeName},
            {"sv", BlockWord::ShapeValue}, {"shpleft", BlockWord::ShapeLeft}, {"shpright", BlockWord::ShapeRight},
            {"shptop", BlockWord::ShapeTop}, {"shpbottom", BlockWord::ShapeBottom},
            {"listtable", BlockWord::ListTable}, {"listoverridetable", BlockWord::ListTable},
            {"list", BlockWord::List}, {"listoverride", BlockWord::ListOverride}, {"listid", BlockWord::ListId},
            {"listlevel", BlockWord::ListLevelGroup}, {"leveltext", BlockWord::LevelText},
            {"levelnfc", BlockWord::LevelFormat}, {"levelnfcn", BlockWord::LevelFormat},
            {"levelstartat", BlockWord::LevelStart}, {"defpap", BlockWord::DefaultParagraph},
        };
        for (const auto& [name, b] : blocks)
            k.emplace(name, Keyword{.word = Word::Block, .block = b});
        return k;
    }();
    return table.find(name);
}

} // namespace rtf
