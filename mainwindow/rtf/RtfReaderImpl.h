#pragma once
// The inside of the RTF reader, shared by its two source files:
// RtfReader.cpp reads the bytes (groups, control words, text) and
// RtfReaderOutput.cpp turns what they say into text, runs and formats.

#include "RtfCodePages.h"
#include "RtfNumbering.h"
#include "RtfReader.h"

#include <QColor>
#include <QTextCharFormat>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rtf::detail {

constexpr int kDefaultHalfPoints = 24; // 12 points
constexpr int kDefaultCodePage = 1252;
constexpr int kNoFont = -1;

// Where the characters of a group go. Numbering is the group of a
// paragraph's numbering (\pn), NumberingBefore and NumberingAfter its
// texts (\pntxtb, \pntxta).
enum class Dest : std::uint8_t { Text, Skip, FontTable, ColorTable, Numbering, NumberingBefore, NumberingAfter };

// The character format as the file states it; the fonts and colours are
// numbers into the tables, looked up when a run is made.
struct Style {
    int font = kNoFont; // kNoFont: the document's default font (\deff)
    int halfPoints = kDefaultHalfPoints;
    int foreground = -1; // colour table index; -1 none
    int background = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;

    bool operator==(const Style&) const = default;
};

struct StyleHash {
    std::size_t operator()(const Style& s) const noexcept
    {
        std::uint64_t h = std::uint32_t(s.font);
        h = h * 1000003u + std::uint32_t(s.halfPoints);
        h = h * 1000003u + std::uint32_t(s.foreground);
        h = h * 1000003u + std::uint32_t(s.background);
        h = h * 31u + (s.bold | s.italic << 1 | s.underline << 2 | s.strike << 3 | s.hidden << 4);
        return std::size_t(h ^ (h >> 29));
    }
};

struct State {
    Style style;
    Dest dest = Dest::Text;
    // What the group was when \* made it one to skip (Skip when no \*
    // did): a destination the reader knows may still follow.
    Dest starredFrom = Dest::Skip;
    int uc = 1; // bytes of fallback after \uN
    int numbering = -1; // the paragraph's numbering: an index into Reader::numberings_

    bool operator==(const State&) const = default;
};

// The states to go back to as the open groups close, on the heap however
// deep the nesting. Groups opened in the same state share one entry (files
// saved from web pages nest thousands of groups that change nothing).
// Past kMaxEntries different states, a group takes the entry of the group
// around it: its text is still read, only a format it changes may last
// until that outer group closes. The stack thus never holds more than a
// few megabytes.
class GroupStack {
public:
    static constexpr std::size_t kMaxEntries = std::size_t(1) << 16;

    bool empty() const { return depth_ == 0; }
    std::size_t depth() const { return depth_; }

    void push(const State& state)
    {
        ++depth_;
        if (!entries_.empty() && (entries_.size() >= kMaxEntries || entries_.back().state == state))
            ++entries_.back().count;
        else
            entries_.push_back(Entry{state, 1});
    }

    // The state of the innermost open group; the stack must not be empty.
    State pop()
    {
        --depth_;
        Entry& top = entries_.back();
        const State state = top.state;
        if (--top.count == 0)
            entries_.pop_back();
        return state;
    }

private:
    struct Entry {
        State state;
        std::size_t count;
    };
    std::vector<Entry> entries_;
    std::size_t depth_ = 0;
};

struct Font {
    QString name;
    int charset = -1;
    int codePage = 0; // \cpgN, 0 when not given
    bool nameDone = false;
};

class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : p_(reinterpret_cast<const unsigned char*>(bytes.data())), end_(p_ + bytes.size())
    {
    }

    Document run();

private:
    // ---- lexing (RtfReader.cpp) ----
    void openGroup();
    void closeGroup();
    void controlSequence();
    void controlWord(std::string_view word, bool hasParam, int param);
    void controlSymbol(unsigned char c);
    void textBytes();

    bool endnoteFollows() const;

    // ---- output (RtfReaderOutput.cpp) ----
    void putByte(unsigned char b);
    void put(char16_t c);
    void putText(char16_t c);
    void append(const char16_t* chars, qsizetype n);
    void appendToRun(const char16_t* chars, qsizetype n);
    void startParagraph();
    void noteMark();
    void finishNumbering();
    void appendAscii(const unsigned char* from, const unsigned char* to);
    void paragraphBreak();
    void endHalfPair();
    void flushPending();
    ByteDecoder& decoder();
    int formatOf(const Style& style);
    void tablesChanged();

    // ---- tables (RtfReaderOutput.cpp) ----
    Font* fontEntry(int number);
    void finishFontName();
    void finishColor();
    QColor color(int index) const;

    const unsigned char* p_;
    const unsigned char* const end_;
    bool stopped_ = false;
    bool rootOpened_ = false;

    State st_;
    GroupStack stack_;
    int ucSkip_ = 0;
    bool cellPending_ = false;
    char16_t highSurrogate_ = 0;

    // Numbering of paragraphs (\pn): the numberings read, the one being
    // read, whether the paragraph has its number or bullet already (its
    // own, from \pntext or \listtext, or one made here), and the number
    // the last numbered paragraph had.
    std::vector<ParagraphNumbering> numberings_;
    ParagraphNumbering numberingRead_;
    bool paragraphLabelled_ = false;
    bool numberedBefore_ = false;
    ParagraphNumbering lastNumbered_;
    int lastNumber_ = 0;

    // Footnote and endnote marks (\chftn): the next numbers and their style.
    int nextFootnote_ = 1;
    int nextEndnote_ = 1;
    NumberStyle footnoteStyle_ = NumberStyle::Arabic;
    NumberStyle endnoteStyle_ = NumberStyle::Arabic;

    int ansiCodePage_ = kDefaultCodePage;
    int defaultFont_ = kNoFont;
    std::map<int, Font> fonts_;
    int fontDefining_ = kNoFont;
    std::vector<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorGiven_ = false;

    Decoders decoders_;
    ByteDecoder* decoder_ = nullptr;
    int decoderFont_ = kNoFont;
    bool decoderForTable_ = false;
    QByteArray pending_; // bytes of a multi-byte code page not yet decoded
    ByteDecoder* pendingDecoder_ = nullptr;

    std::unordered_map<Style, int, StyleHash> formatIndex_;
    Style runStyle_;
    int runFormat_ = -1;

    Document doc_;
};

} // namespace rtf::detail
