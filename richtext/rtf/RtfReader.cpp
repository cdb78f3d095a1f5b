// The RTF reader: one pass over the bytes, a stack of group states, and
// text collected into runs of one format each. Every byte is looked at a
// bounded number of times, and the stack of group states is on the heap
// and bounded (GroupStack), so no input can exhaust memory or the stack.
#include "RtfReader.h"

#include "RtfBlockReader.h"
#include "RtfCodePages.h"
#include "RtfFields.h"
#include "RtfKeptGroups.h"
#include "RtfKeywords.h"
#include "RtfNumbering.h"
#include "RtfOutput.h"
#include "RtfReaderState.h"
#include "RtfStyles.h"
#include "RtfTables.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace rtf {

namespace {

using namespace reading;

int hexValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : p_(reinterpret_cast<const unsigned char*>(bytes.data())), end_(p_ + bytes.size())
    {
    }

    Document run();

private:
    // ---- lexing ----
    void openGroup();
    void closeGroup();
    void controlSequence();
    void controlWord(std::string_view word, bool hasParam, int param);
    void controlSymbol(unsigned char c);
    void textBytes();

    // ---- output ----
    void putByte(unsigned char b);
    void put(char16_t c);
    void putText(char16_t c);
    void append(const char16_t* chars, qsizetype n);
    void appendAscii(const unsigned char* from, const unsigned char* to);
    void paragraphBreak();
    void finishText();
    void blockGroupClosed(Dest leaving, const Style& leavingStyle);
    void endHalfPair();
    void flushPending();
    ByteDecoder& decoder();
    void tablesChanged();
    // After a word that may have made the text hidden or shown again.
    void hiddenChanged()
    {
        if (st_.style.hidden != keeper_.hiding())
            keeper_.hiddenChanged(st_.style.hidden, st_.dest == Dest::Text, stack_.depth(), wordStart_, p_);
    }
    // The name of the font being defined ends before `end`.
    bool finishFontName(const unsigned char* end);
    // The group's destination before a \* in it made it one to skip.
    Dest unstarred() const { return st_.dest == Dest::Skip ? st_.starredFrom : st_.dest; }

    const unsigned char* p_;
    const unsigned char* const end_;
    const unsigned char* wordStart_ = nullptr; // the backslash of the control word being read
    bool stopped_ = false;
    bool rootOpened_ = false;

    State st_;
    GroupStack stack_;
    int ucSkip_ = 0;
    char16_t highSurrogate_ = 0;
    bool finished_ = false;

    // Numbering of paragraphs (\pn) and notes (\chftn).
    Numbering numbering_;

    Tables tables_;
    const unsigned char* fontEntry_ = nullptr; // where the font table entry being read starts
    int fontEntryUc_ = 1; // the \uc in effect there

    // Links: a field's instruction as it is read, the link of the last
    // field whose instruction was one (-1 none), waiting for its result.
    QString instruction_;
    int fieldLink_ = -1;
    std::vector<Kept::Link> links_;

    Decoders decoders_;
    ByteDecoder* decoder_ = nullptr;
    int decoderFont_ = kNoFont;
    bool decoderForName_ = false;
    QByteArray pending_; // bytes of a multi-byte code page not yet decoded
    ByteDecoder* pendingDecoder_ = nullptr;

    StyleSheet styles_;

    Output out_{tables_};
    BlockReader blocks_{out_, numbering_};
    GroupKeeper keeper_{out_};

    // A group in a list label is the label's: what it holds goes there, or
    // nowhere, and it is written with the label, not on its own.
    void beginKept(const unsigned char* word)
    {
        if (!blocks_.inLabel())
            keeper_.begin(stack_.depth(), word, st_.style.hidden);
    }
};

Document Reader::run()
{
    // White space or a byte order mark before the first brace is not text.
    const unsigned char* start = p_;
    while (start != end_ && (*start <= ' ' || *start >= 0x80) && *start != '{')
        ++start;
    if (start != end_ && *start == '{')
        p_ = start;

    while (p_ < end_ && !stopped_) {
        switch (*p_) {
        case '{':
            ++p_;
            openGroup();
            break;
        case '}':
            ++p_;
            closeGroup();
            break;
        case '\\':
            ++p_;
            controlSequence();
            break;
        case '\r':
        case '\n':
            ++p_;
            break;
        default:
            textBytes();
            break;
        }
    }
    finishText();
    Document document = out_.take();
    tables_.keep(document.kept);
    document.kept.links = std::move(links_);
    document.blocks = blocks_.take(document.text.size());
    keeper_.finish(document);
    return document;
}

// The end of the document's text: its last paragraph and the tables still
// open end.
void Reader::finishText()
{
    if (std::exchange(finished_, true))
        return;
    flushPending();
    endHalfPair();
    blocks_.finish(st_.paragraph, st_.numbering, st_.style);
}

// ---------------------------------------------------------------- lexing

void Reader::openGroup()
{
    flushPending();
    ucSkip_ = 0;
    rootOpened_ = true;
    stack_.push(st_);
    keeper_.opened(stack_.depth(), p_ - 1);
    st_.starredFrom = Dest::Skip; // a \* counts in its own group only
    if (st_.dest == Dest::StyleSheet) {
        // A style's definition, starting from plain text.
        st_.dest = Dest::StyleDefinition;
        st_.style = Style{};
        st_.paragraph = ParagraphProps{};
        styles_.begin();
        blocks_.beginStyle(stack_.depth());
    }
}

void Reader::closeGroup()
{
    flushPending();
    ucSkip_ = 0;
    if (stack_.empty())
        return; // a closing brace too many
    if (stack_.depth() == 1 && rootOpened_)
        finishText(); // the last paragraph has the properties of the document's group
    blocks_.groupClosed(stack_.depth(), st_.paragraph);
    const Dest leaving = st_.dest;
    keeper_.closing(stack_.depth(), leaving == Dest::Skip, p_);
    // Written in front of the text wherever it stood: the kept groups that
    // name its styles read as they did.
    if (leaving == Dest::StyleSheet)
        keeper_.styleSheet(stack_.depth(), p_);
    if (leaving == Dest::FontTable && finishFontName(p_ - 1))
        tablesChanged();
    const Style leavingStyle = st_.style;
    st_ = stack_.pop();
    if (leaving == Dest::StyleDefinition && st_.dest == Dest::StyleSheet) {
        keeper_.readingChanged();
        styles_.end(leavingStyle);
    }
    if ((leaving == Dest::FontTable || leaving == Dest::ColorTable) && st_.dest != leaving)
        tablesChanged();
    if (leaving == Dest::Numbering && st_.dest != leaving)
        st_.numbering = numbering_.end();
    if (leaving == Dest::FieldInstruction && st_.dest != leaving) {
        // Its result is a link, or text of another field: either way the
        // instruction is kept with it.
        instruction_ = wholeCharacters(std::move(instruction_));
        const QString href = hyperlinkAddress(instruction_);
        fieldLink_ = instruction_.trimmed().isEmpty() ? -1 : int(links_.size());
        if (fieldLink_ >= 0)
            links_.push_back(Kept::Link{href, instruction_});
    }
    if (leaving != st_.dest)
        blockGroupClosed(leaving, leavingStyle);
    if (st_.style.hidden || keeper_.hiding())
        keeper_.groupClosed(st_.style.hidden, st_.dest == Dest::Text, stack_.depth(), p_, leaving == Dest::Text);
    if (stack_.empty() && rootOpened_)
        stopped_ = true; // the end of the document's group: what follows is not RTF
}

void Reader::controlSequence()
{
    if (p_ == end_)
        return;
    if (!isLetter(*p_)) {
        const unsigned char c = *p_++;
        controlSymbol(c);
        return;
    }
    wordStart_ = p_ - 1;
    char word[33];
    std::size_t length = 0;
    while (p_ != end_ && isLetter(*p_)) {
        if (length < 32)
            word[length++] = char(*p_);
        ++p_;
    }
    bool hasParam = false;
    bool negative = false;
    std::int64_t value = 0;
    if (p_ + 1 == end_ && *p_ == '-') {
        p_ = end_; // cut before the digits of a negative number
        return;
    }
    if (p_ != end_ && *p_ == '-' && p_ + 1 != end_ && isDigit(p_[1])) {
        negative = true;
        ++p_;
    }
    while (p_ != end_ && isDigit(*p_)) {
        hasParam = true;
        if (value < 10'000'000'000)
            value = value * 10 + (*p_ - '0');
        ++p_;
    }
    // A word that runs into the end of the data was cut short: it may be
    // the start of another (\pard of \par, \linex of \line).
    if (p_ == end_)
        return;
    if (*p_ == ' ')
        ++p_;
    value = std::clamp<std::int64_t>(negative ? -value : value, INT32_MIN, INT32_MAX);
    controlWord(std::string_view(word, length), hasParam, int(value));
}

void Reader::controlSymbol(unsigned char c)
{
    if (c == '\'') {
        // Two hex digits; an escape cut short stands for nothing.
        const int hi = p_ != end_ ? hexValue(*p_) : -1;
        if (hi < 0)
            return;
        ++p_;
        const int lo = p_ != end_ ? hexValue(*p_) : -1;
        if (lo < 0)
            return;
        ++p_;
        if (ucSkip_ > 0) {
            --ucSkip_;
            return;
        }
        putByte(static_cast<unsigned char>(hi * 16 + lo));
        return;
    }
    flushPending();
    if (ucSkip_ > 0) {
        --ucSkip_;
        return;
    }
    switch (c) {
    case '*':
        if (st_.dest == Dest::Text)
            beginKept(p_ - 2);
        st_.starredFrom = st_.dest;
        st_.dest = Dest::Skip;
        break;
    case '~':
        put(0x00A0);
        break;
    case '-':
        put(0x00AD);
        break;
    case '_':
        put(0x2011);
        break;
    case '{':
    case '}':
    case '\\':
        put(c);
        break;
    case '\r':
    case '\n':
        if (st_.dest == Dest::Text)
            paragraphBreak();
        break;
    case '\t':
        put(u'\t');
        break;
    default:
        break; // \| \: and the like: nothing to show
    }
}

void Reader::controlWord(std::string_view word, bool hasParam, int param)
{
    const Keyword& k = keyword(word);

    if (k.word == Word::Bin) {
        // Binary data, whatever the destination: skipped unread, or kept
        // as a picture's data.
        flushPending();
        const std::int64_t n = std::min<std::int64_t>(std::max(0, hasParam ? param : 0), end_ - p_);
        if (st_.dest == Dest::Picture)
            blocks_.pictureBytes(p_, qsizetype(n));
        p_ += n;
        return;
    }
    if (k.word == Word::Unicode) {
        flushPending();
        if (ucSkip_ > 0) {
            --ucSkip_;
            return;
        }
        std::int64_t code = param;
        if (code < 0)
            code += 65536;
        if (code >= 0xF020 && code <= 0xF0FF)
            code = decoder().privateUse(char16_t(code));
        if (code > 0xFFFF && code <= 0x10FFFF) {
            put(char16_t(0xD800 + ((code - 0x10000) >> 10)));
            put(char16_t(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else if (code >= 0 && code <= 0xFFFF) {
            put(char16_t(code));
        }
        ucSkip_ = st_.uc;
        return;
    }
    flushPending();
    if (ucSkip_ > 0) {
        --ucSkip_;
        return;
    }

    if (k.word != Word::Font || st_.dest != Dest::FontTable) {
        if (const unsigned fields = applyCharacterWord(st_.style, k, hasParam, param)) {
            if (st_.dest == Dest::StyleDefinition)
                styles_.set(fields);
            hiddenChanged();
            return;
        }
    }
    switch (k.word) {
    case Word::Skip:
        // Not kept: the file's generator (the writer names itself), the
        // copy of a picture for readers that do not know pictures, and the
        // defaults of characters, which the writer's \plain means.
        if (unstarred() == Dest::Text)
            word == "generator" || word == "nonshppict" || word == "defchp" ? keeper_.cancel(stack_.depth())
                                                                            : beginKept(wordStart_);
        st_.dest = Dest::Skip;
        st_.heldTextTo = Dest::Skip;
        break;
    case Word::HoldsText:
        // Its own text is for readers that do not know it; the text it
        // holds in parts goes where the group's would have gone (the
        // document's text, or the font table that some writers give in
        // both versions).
        st_.heldTextTo = unstarred();
        if (st_.heldTextTo == Dest::Text)
            beginKept(wordStart_);
        st_.dest = Dest::Skip;
        break;
    case Word::Shape:
        // Kept as a whole when it shows neither text nor a picture.
        if (st_.dest == Dest::Text && !blocks_.inLabel())
            keeper_.beginShape(stack_.depth(), wordStart_, out_.formatOf(st_.style), std::uint8_t(st_.style.charSet),
                               std::uint8_t(st_.uc));
        break;
    case Word::HeldText:
        if (st_.heldTextTo != Dest::Skip) {
            st_.dest = std::exchange(st_.heldTextTo, Dest::Skip);
            keeper_.cancel(stack_.depth()); // a group whose text is read is not kept
        }
        break;
    case Word::NestedTable:
        // Some writers put the cells of a nested table inside its
        // properties.
        if (unstarred() == Dest::Text) {
            st_.dest = Dest::Text;
            keeper_.cancel(stack_.depth()); // a group whose text is read is not kept
            blocks_.beginNestedProperties(stack_.depth());
        }
        break;
    case Word::StyleSheet:
        if (st_.dest != Dest::Skip) {
            st_.dest = Dest::StyleSheet;
            keeper_.styleSheetBegins(stack_.depth(), wordStart_);
        }
        break;
    case Word::ParagraphStyle:
    case Word::CharacterStyle:
    case Word::OtherStyle:
        if (st_.dest == Dest::StyleDefinition || (st_.dest == Dest::Skip && st_.starredFrom == Dest::StyleDefinition)) {
            st_.dest = Dest::StyleDefinition; // \*\cs: a character style
            styles_.name(k.word, hasParam ? param : 0);
            blocks_.nameStyle(k.word == Word::ParagraphStyle, hasParam ? param : 0);
        } else if (st_.dest == Dest::Text && k.word != Word::OtherStyle) {
            // The style's format, then what the text's own words say.
            if (const StyleSheet::Defined* d = styles_.find(k.word == Word::CharacterStyle, hasParam ? param : 0))
                overlay(st_.style, d->style, d->fields);
            if (k.word == Word::ParagraphStyle)
                blocks_.applyStyle(st_.paragraph, hasParam ? param : 0);
            hiddenChanged();
        }
        break;
    case Word::BasedOn:
        if (st_.dest == Dest::StyleDefinition && hasParam)
            styles_.basedOn(param);
        break;
    case Word::Ignore:
    case Word::Bin:
    case Word::Unicode:
    case Word::FontSize:
    case Word::Bold:
    case Word::Italic:
    case Word::Underline:
    case Word::UnderlineNone:
    case Word::Strike:
    case Word::Hidden:
    case Word::Foreground:
    case Word::Background:
    case Word::Plain:
    case Word::CharacterSet:
    case Word::AssociatedFont:
    case Word::Script:
    case Word::Raise:
    case Word::Lower:
    case Word::Caps:
    case Word::SmallCaps:
        break;
    case Word::Field:
        fieldLink_ = -1;
        break;
    case Word::FieldInstruction:
        if (unstarred() == Dest::Text) {
            st_.dest = Dest::FieldInstruction;
            instruction_.clear();
        }
        break;
    case Word::FieldResult:
        // The text the field shows; a link's is its text.
        if (st_.dest == Dest::Text && fieldLink_ >= 0)
            st_.style.link = std::exchange(fieldLink_, -1);
        break;
    case Word::Font:
        // Outside the font table \f is a character format.
        if (st_.dest == Dest::FontTable) {
            finishFontName(wordStart_);
            tables_.defineFont(param);
            fontEntry_ = wordStart_;
            fontEntryUc_ = st_.uc;
            tablesChanged();
        }
        break;
    case Word::FontTable:
        if (st_.dest != Dest::Skip) {
            st_.dest = Dest::FontTable;
            tables_.beginFonts();
        }
        break;
    case Word::ColorTable:
        if (st_.dest != Dest::Skip) {
            st_.dest = Dest::ColorTable;
            tables_.beginColors();
        }
        break;
    case Word::Char:
        put(k.character);
        break;
    case Word::Par:
        if (st_.dest == Dest::Text)
            paragraphBreak();
        break;
    case Word::Line:
        put(0x2028);
        break;
    case Word::Tab:
        put(u'\t');
        break;
    case Word::Cell:
        if (st_.dest == Dest::Text && !st_.style.hidden) {
            endHalfPair();
            keeper_.shown();
            blocks_.endParagraph(st_.paragraph, st_.numbering, BlockReader::End::Cell, st_.style);
            out_.paragraphEnded();
        }
        break;
    case Word::Row:
        if (st_.dest == Dest::Text && !st_.style.hidden) {
            endHalfPair();
            keeper_.shown();
            blocks_.endRow(st_.paragraph, st_.numbering, k.block == BlockWord::NestedRow ? 0 : 1, st_.style);
            out_.paragraphEnded();
        }
        break;
    case Word::Block:
        // The writer writes its own lists, and the paragraph defaults its
        // \pard means: a group that defines them is not kept.
        if (k.block == BlockWord::DefaultParagraph || k.block == BlockWord::ListTable || k.block == BlockWord::List
            || k.block == BlockWord::ListOverride)
            keeper_.readingChanged();
        keeper_.structure();
        blocks_.word(st_, k.block, hasParam, param, stack_.depth());
        break;
    case Word::UnicodeSkip:
        st_.uc = std::clamp(hasParam ? param : 1, 0, 255);
        break;
    case Word::Charset:
    case Word::CodePage:
        if (st_.dest == Dest::FontTable && tables_.setCharset(k.word, param))
            tablesChanged();
        break;
    case Word::Red:
    case Word::Green:
    case Word::Blue:
        if (st_.dest == Dest::ColorTable)
            tables_.setComponent(k.word, param);
        break;
    case Word::DefaultFont:
    case Word::AnsiCodePage:
    case Word::Ansi:
    case Word::Mac:
    case Word::Pc:
    case Word::Pca:
        // Words of the document's own: not those of a group skipped (kept
        // as it is, it would give them again to the text after it).
        if (st_.dest == Dest::Skip)
            break;
        if (k.word == Word::DefaultFont) {
            tables_.setDefaultFont(param);
        } else if (k.word == Word::AnsiCodePage) {
            if (!tables_.setCodePage(param))
                break;
        } else {
            tables_.setCodePage(k.word == Word::Ansi ? 1252 : k.word == Word::Mac ? 10000 : k.word == Word::Pc ? 437 : 850);
        }
        tablesChanged();
        break;
    case Word::ParagraphDefault:
        st_.numbering = -1;
        st_.paragraph = blocks_.defaultParagraph();
        break;
    case Word::ListText:
        keeper_.structure();
        keeper_.label();
        // The paragraph's number or bullet as the writer shows it.
        if (st_.dest == Dest::Text)
            blocks_.beginLabel(stack_.depth());
        break;
    case Word::Numbering:
        keeper_.structure();
        keeper_.label();
        if (st_.dest == Dest::Text || (st_.dest == Dest::Skip && st_.starredFrom == Dest::Text)) {
            st_.dest = Dest::Numbering;
            numbering_.begin();
        }
        break;
    case Word::NumberingBefore:
    case Word::NumberingAfter:
        keeper_.label();
        if (st_.dest == Dest::Numbering || (st_.dest == Dest::Skip && st_.starredFrom == Dest::Numbering)) {
            const bool before = k.word == Word::NumberingBefore;
            st_.dest = before ? Dest::NumberingBefore : Dest::NumberingAfter;
            numbering_.beginText(before);
        }
        break;
    case Word::NumberingBullet:
    case Word::NumberingBody:
    case Word::NumberingContinue:
    case Word::NumberingStyle:
    case Word::NumberingStart:
        keeper_.label();
        if (st_.dest == Dest::Numbering)
            numbering_.word(k, hasParam, param);
        break;
    case Word::NumberingFont:
        // The font the texts of the numbering are in.
        if (st_.dest == Dest::Numbering && hasParam)
            st_.style.font = param;
        break;
    case Word::FootnoteMark:
        if (st_.dest == Dest::Text) {
            const QString mark = numbering_.noteMark(QByteArrayView(p_, end_ - p_));
            // A half pair before it is text before it, not part of the mark.
            if (!st_.style.hidden)
                endHalfPair();
            const qsizetype from = out_.size();
            for (const QChar c : mark)
                putText(c.unicode());
            keeper_.noteMark(from, QByteArrayView(p_, end_ - p_), st_.style.hidden);
        }
        break;
    case Word::FootnoteStyle:
    case Word::EndnoteStyle:
    case Word::FootnoteStart:
    case Word::EndnoteStart:
        numbering_.word(k, hasParam, param);
        // The notes kept are numbered as the file numbered them.
        keeper_.notesWord(wordStart_, p_);
        break;
    }
}

// Text bytes up to the next brace, backslash or line end.
void Reader::textBytes()
{
    if (st_.dest == Dest::Skip || st_.dest == Dest::StyleSheet || st_.dest == Dest::StyleDefinition
        || st_.dest == Dest::ListTable || st_.dest == Dest::ListLevel || st_.dest == Dest::ShapePicture
        || st_.dest == Dest::Picture || st_.dest == Dest::ShapeName) {
        const unsigned char* from = p_;
        while (p_ != end_ && *p_ != '\\' && *p_ != '{' && *p_ != '}')
            ++p_;
        if (st_.dest == Dest::Picture)
            blocks_.pictureHex(from, p_);
        else if (st_.dest == Dest::ShapeName)
            blocks_.shapeNameBytes(from, p_);
        return;
    }
    if (st_.dest == Dest::Text && ucSkip_ == 0 && pending_.isEmpty() && !st_.style.hidden
        && decoder().asciiIsAscii()) {
        const unsigned char* q = p_;
        while (q != end_ && *q >= 0x20 && *q < 0x80 && *q != '\\' && *q != '{' && *q != '}')
            ++q;
        if (q != p_) {
            appendAscii(p_, q);
            p_ = q;
            return;
        }
    }
    const unsigned char c = *p_++;
    if (ucSkip_ > 0) {
        --ucSkip_;
        return;
    }
    if (c == ';' && st_.dest == Dest::FontTable) {
        flushPending();
        if (finishFontName(p_))
            tablesChanged();
        return;
    }
    if (c == ';' && st_.dest == Dest::ColorTable) {
        tables_.finishColor();
        tablesChanged();
        return;
    }
    if (c == '\t') {
        flushPending();
        put(u'\t');
        return;
    }
    if (c < 0x20)
        return;
    putByte(c);
}

// ---------------------------------------------------------------- output

ByteDecoder& Reader::decoder()
{
    const bool forName = st_.dest == Dest::FontTable;
    const int font = forName ? tables_.fontDefining()
                             : (st_.style.font != kNoFont ? st_.style.font : tables_.defaultFont());
    if (decoder_ && font == decoderFont_ && forName == decoderForName_)
        return *decoder_;
    decoder_ = &decoders_.get(tables_.codePageOf(font, forName));
    decoderFont_ = font;
    decoderForName_ = forName;
    return *decoder_;
}

void Reader::putByte(unsigned char b)
{
    if (st_.dest == Dest::Skip || st_.dest == Dest::ColorTable)
        return;
    ByteDecoder& d = decoder();
    if (d.isSingleByte()) {
        flushPending();
        put(d.byte(b));
        return;
    }
    if (!pending_.isEmpty() && pendingDecoder_ != &d)
        flushPending();
    if (pending_.isEmpty() && b < 0x80) {
        put(b);
        return;
    }
    pendingDecoder_ = &d;
    pending_.append(char(b));
}

void Reader::flushPending()
{
    if (pending_.isEmpty())
        return;
    const QString chars = pendingDecoder_->decode(pending_);
    pending_.clear();
    for (const QChar c : chars)
        put(c.unicode());
}

void Reader::put(char16_t c)
{
    switch (st_.dest) {
    case Dest::Text:
        putText(c);
        break;
    case Dest::FontTable:
        tables_.addToName(c);
        break;
    case Dest::NumberingBefore:
    case Dest::NumberingAfter:
        numbering_.text(st_.dest == Dest::NumberingBefore, c);
        break;
    case Dest::FieldInstruction:
        // Breaks and controls are no text of an instruction (nor written
        // back in one): a link's address is read as if they were not there.
        if (c >= 0x20 && c != 0x2029 && c != 0xFDD0 && c != 0xFDD1 && instruction_.size() < kLongestInstruction)
            instruction_.append(QChar(c));
        break;
    case Dest::LevelText:
        blocks_.lists().levelText(c);
        break;
    case Dest::ShapeName:
        blocks_.shapeNameCharacter(c);
        break;
    case Dest::Skip:
    case Dest::ListTable:
    case Dest::ListLevel:
    case Dest::Picture:
    case Dest::ShapePicture:
    case Dest::ColorTable:
    case Dest::Numbering:
    case Dest::StyleSheet:
    case Dest::StyleDefinition:
        break;
    }
}

// One character of the document's text, made fit for the editor.
void Reader::putText(char16_t c)
{
    if (st_.style.hidden)
        return;
    if (c == 0x2029) {
        paragraphBreak();
        return;
    }
    if (c == u'\v')
        c = 0x2028;
    if (c < 0x20 && c != u'\t')
        return;
    if (c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFE || c == 0xFFFF || c == 0xFFFC)
        c = 0xFFFD;
    if (isHighSurrogate(c)) {
        endHalfPair();
        highSurrogate_ = c;
        return;
    }
    if (isLowSurrogate(c)) {
        if (!highSurrogate_) {
            c = 0xFFFD;
        } else {
            const char16_t pair[2] = {highSurrogate_, c};
            highSurrogate_ = 0;
            append(pair, 2);
            return;
        }
    } else {
        endHalfPair();
    }
    append(&c, 1);
}

// A first half of a pair whose second half did not come.
void Reader::endHalfPair()
{
    if (!highSurrogate_)
        return;
    highSurrogate_ = 0;
    const char16_t bad = 0xFFFD;
    append(&bad, 1);
}

void Reader::paragraphBreak()
{
    if (st_.style.hidden)
        return;
    endHalfPair();
    blocks_.endParagraph(st_.paragraph, st_.numbering, BlockReader::End::Paragraph, st_.style);
    out_.paragraphEnded();
}

void Reader::append(const char16_t* chars, qsizetype n)
{
    out_.append(chars, n, st_.style);
}

// A group of the list table or a picture's group has closed.
void Reader::blockGroupClosed(Dest leaving, const Style& leavingStyle)
{
    if (leaving == Dest::ListLevel) {
        // A level's glyphs may be of a symbol font, whose \f comes after them.
        const int codePage = tables_.codePageOf(leavingStyle.font, false);
        const bool symbol = codePage == kSymbolCodePage || codePage == kWingdingsCodePage;
        blocks_.lists().endLevel(symbol ? &decoders_.get(codePage) : nullptr);
    } else if (leaving == Dest::Picture) {
        const bool inText = st_.dest == Dest::Text || st_.dest == Dest::ShapePicture;
        blocks_.endPicture(st_.style, inText && !st_.style.hidden);
    }
}

void Reader::appendAscii(const unsigned char* from, const unsigned char* to)
{
    endHalfPair();
    char16_t buffer[256];
    while (from != to) {
        const qsizetype n = std::min<qsizetype>(to - from, qsizetype(std::size(buffer)));
        for (qsizetype i = 0; i < n; ++i)
            buffer[i] = from[i];
        append(buffer, n);
        from += n;
    }
}

bool Reader::finishFontName(const unsigned char* end)
{
    const auto* from = fontEntry_ && fontEntry_ < end ? fontEntry_ : end;
    fontEntry_ = nullptr;
    return tables_.finishName(QByteArrayView(from, end - from), fontEntryUc_);
}

// The fonts, colours or code page changed: formats and decoders are looked
// up anew.
void Reader::tablesChanged()
{
    keeper_.tablesChanged();
    out_.tablesChanged();
    decoder_ = nullptr;
}

} // namespace

bool looksLikeRtf(QByteArrayView bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    const QByteArrayView rest = bytes.sliced(i);
    return rest.startsWith("{\\rtf") || rest.startsWith("{\\urtf");
}

Document read(QByteArrayView bytes)
{
    return Reader(bytes).run();
}

} // namespace rtf
