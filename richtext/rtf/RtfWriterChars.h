#pragma once
// The character side of the RTF writer: the font and colour tables, and
// each stretch of text in its format. Text that came from a file (it has
// the kFileFormatProperty, or a file format in WriteOptions::fileRuns, and
// the writer has the file's Kept data) is written in the format it had in
// the file, with the file's font and colour numbers; other text as the
// editor shows it. A link is written as a HYPERLINK field around its text.

#include "RtfKept.h"
#include "RtfWriter.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QStringView>

#include <climits>
#include <cstdint>
#include <map>
#include <vector>

class QTextCharFormat;
class QTextDocument;
class QTextFragment;

namespace rtf::writing {

// Text with the characters RTF gives a meaning escaped. `delimit` tells
// that a control word was written last, which a letter or digit would
// otherwise continue.
void appendText(QStringView chars, QByteArray& out, bool& delimit);

class Characters {
public:
    // Writes into `out`; `delimit` is shared with the caller as for appendText.
    Characters(const QTextDocument& document, const WriteOptions& options, QByteArray& out, bool& delimit);

    // The fragment's text in its format.
    void fragment(const QTextFragment& fragment);
    // Part of a fragment in `format`: `text`, from editor position `start`.
    void part(const QTextCharFormat& format, int start, QStringView text);
    // The format of a fragment that holds an object (a picture) rather
    // than text, made the current one; the caller writes the object.
    void objectFragment(const QTextFragment& fragment);
    // The same for the character at `position`, in `format`.
    void object(const QTextCharFormat& format, int position);
    // The same in the file's format `index` (of Kept::formats) instead of
    // the character's own, when the writer has it, with the font, bold,
    // italic and size words after it for the text `wordsFor` says
    // (Kept::ShownGroup).
    void object(const QTextCharFormat& format, int position, int index, std::uint8_t wordsFor);
    // The paragraph ends: a link does not go on past it.
    void paragraphEnd();

    // Words of the document's own: \ansicpgN and \deffN.
    QByteArray documentWords() const;
    // The font table and the colour table, each on a line of its own.
    QByteArray tables() const;

private:
    // A format in RTF's terms: numbers into the tables. A font or colour
    // of kNone, a bold or italic of kSame and a size of 0 are not given.
    static constexpr int kNone = -1;
    static constexpr int kUnknown = INT_MIN;
    // The font, bold, italic and size of the complex scripts (\rtlch
    // \af \ab \ai \afs) or of the other text (\loch \f \b \i \fs).
    struct Set {
        int font = kNone;
        int halfPoints = 0;
        std::int8_t bold = kSame;
        std::int8_t italic = kSame;

        bool operator==(const Set&) const = default;
        // True where `next` takes back what this gives.
        bool lostIn(const Set& next) const
        {
            return (next.font == kNone && font != kNone && font != kUnknown) || (next.halfPoints == 0 && halfPoints)
                || (next.bold == kSame && bold != kSame) || (next.italic == kSame && italic != kSame);
        }
    };
    struct Written {
        Set other;
        Set complex;
        int asianFont = kNone;
        int foreground = kNone;
        int background = kNone;
        std::int16_t raise = 0;
        std::int8_t script = 0;
        bool strike = false;
        bool caps = false;
        bool smallCaps = false;
        Underline underline = Underline::None;
        BackgroundWord backgroundWord = BackgroundWord::Highlight;

        bool operator==(const Written&) const = default;
    };
    // Which text the bold, italic, size and font words written next are for.
    enum class Mode : std::uint8_t { Unknown, Other, Complex, Asian };

    Written plain() const;
    Written fromFile(const CharFormat& format);
    Written shown(const QTextCharFormat& format);
    const CharFormat* fileFormat(int index) const;
    std::vector<FileRun>::const_iterator runAfter(int position) const;
    void piece(const QTextCharFormat& format, const CharFormat* file, QStringView text);
    int glyphCodePage(int font) const;
    void appendGlyphs(QStringView text, int codePage);
    int fontNumber(const QString& family);
    int colorNumber(QRgb color);
    void switchTo(const Written& next);
    void setMode(Mode mode);
    void writeSet(Mode mode, const Set& next, Set& current);
    void word(const char* w, int param = INT32_MIN);
    void openLink(const QString& href, int keptLink);
    void closeLink();

    const QTextDocument& doc_;
    const WriteOptions& options_;
    const Kept* kept_; // nullptr: nothing kept, everything is written as it shows
    const std::vector<FileRun>* fileRuns_; // nullptr: the file formats are in the characters' formats
    QByteArray& out_;
    bool& delimit_;

    Written current_;
    Mode mode_ = Mode::Unknown;

    std::vector<Kept::Font> fonts_;
    QHash<QString, int> fontByName_;
    int defaultFont_ = 0;
    std::vector<QRgb> colors_; // entry 0 first; 0 is no colour
    QHash<QRgb, int> colorIndex_;
    std::map<int, QHash<char16_t, char16_t>> glyphs_; // by code page: character -> glyph

    // The link being written: its address, and the kept link it came
    // from (-1: not from the file).
    bool inLink_ = false;
    QString linkHref_;
    int linkKept_ = -1;
    Written beforeLink_;
    Mode modeBeforeLink_ = Mode::Unknown;
    QSet<int> fieldsWritten_; // of the kept links that are other fields
};

} // namespace rtf::writing
