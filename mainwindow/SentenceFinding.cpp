#include "SentenceFinding.h"

#include "DocumentTable.h"
#include "richtext/RichTextBox.h"

#include "core/IgnoreErrors.h"
#include "core/TextHelpers.h"
#include "speech/ReadingState.h"

#include <algorithm>


namespace {

// A window onto the control's text that fetches a chunk at a time, so that
// scanning from the reading position costs in proportion to the distance
// scanned, not to the document.
class TextWindow {
public:
    explicit TextWindow(const RichTextBox* rtf)
        : rtf_(rtf)
        , length_(rtf->TextLength())
    {
    }

    int length() const { return length_; }

    // The character at k; a null character outside the text.
    QChar at(int k)
    {
        if (k < 0 || k >= length_)
            return QChar();
        if (k < base_ || k >= base_ + chunk_.size())
            load(k);
        return chunk_.at(k - base_);
    }

private:
    static constexpr int kChunk = 512;
    // Characters fetched on the far side too, so that the neighbours of a
    // character at the edge of a chunk do not force another fetch.
    static constexpr int kMargin = 8;

    void load(int k)
    {
        int start;
        if (k < base_) // scanning backwards: the chunk ends just after k
            start = std::max(0, k + 1 + kMargin - kChunk);
        else
            start = std::max(0, k - kMargin);
        chunk_ = rtf_->TextRange(start, kChunk);
        base_ = start;
        if (k >= base_ + chunk_.size()) {
            // The control gave less than it has: fall back to one character.
            chunk_ = QString(rtf_->CharAt(k));
            base_ = k;
        }
    }

    const RichTextBox* rtf_;
    int length_;
    int base_ = 0;
    QString chunk_;
};

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// Letters and digits that count for the end of reading: ASCII only.
bool isAsciiLetterOrDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

bool endsSentence(TextWindow& text, int k)
{
    const QChar c = text.at(k);
    switch (c.unicode()) {
    case u'!':
    case u'?':
    case u';':
        return true;
    case u'.':
    case u':':
        // A neighbour outside the text is no digit.
        return !(isDigit(text.at(k - 1)) && isDigit(text.at(k + 1)));
    default:
        return false;
    }
}

// First delimiter at from .. last (inclusive), or -1.
int findDelimiterForward(TextWindow& text, int from, int last)
{
    from = std::max(from, 0);
    last = std::min(last, text.length() - 1);
    for (int k = from; k <= last; ++k) {
        if (endsSentence(text, k))
            return k;
    }
    return -1;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Start of the sentence around caret p (p >= 1): just after the nearest
// delimiter at p - 2 or before, and past the blank or line break that
// follows it; a letter right after the delimiter ("U.S.A.", "report.pdf")
// is the sentence's first. With no delimiter, 0.
int sentenceStartBefore(TextWindow& text, int p)
{
    // Nothing beyond the text is a delimiter: start the scan inside it.
    const int from = std::min(p - 2, text.length() - 1);
    for (int k = from; k >= 0; --k) {
        if (endsSentence(text, k))
            return isBlank(text.at(k + 1)) ? k + 2 : k + 1;
    }
    return 0;
}

// True when from .. end - 1 holds no ASCII letter or digit.
bool nothingLeftToRead(TextWindow& text, int from, int end)
{
    from = std::max(from, 0);
    end = std::min(end, text.length());
    for (int k = from; k < end; ++k) {
        if (isAsciiLetterOrDigit(text.at(k)))
            return false;
    }
    return true;
}

// Selects and paints the sentence start .. end. A negative length is
// refused, leaving the empty selection at start.
//
// The selection begins at the sentence's first character: the blanks and
// line breaks before it (a sentence found after a line break starts at its
// LF, one after an empty line even earlier) are neither painted nor
// spoken. A sentence of nothing but blanks keeps them. The bounds returned
// stay start .. end, from which the previous sentence is found.
//
// The text start returned is where the selected text really begins: the
// first character of SelText, the text the speech engine is handed. A word
// position the engine reports plus that start is then exactly that word in
// the document.
SentenceBounds selectAndPaint(RichTextBox* rtf, TextWindow& text, int start, int end, bool last)
{
    int first = std::max(start, 0);
    while (first < end && isBlank(text.at(first)))
        ++first;
    SentenceBounds bounds{start, end, first < end ? first : start, 0, last};
    IgnoreErrors([&] { rtf->setSelStart(bounds.textStart); });
    IgnoreErrors([&] {
        if (end - start >= 0) {
            // Measured from where the selection really starts, so that it
            // ends just after the delimiter even if the control put the start
            // elsewhere (inside a line break).
            rtf->setSelLength(std::max(0, end - rtf->SelStart()));
        }
    });
    IgnoreErrors([&] { bounds.textStart = rtf->SelStart(); });
    IgnoreErrors([&] { bounds.textLength = rtf->SelLength(); });
    SetSelectionBackColor(rtf, kSentenceYellow);
    return bounds;
}

} // namespace

bool IsBlankFrom(const RichTextBox* rtf, int from)
{
    constexpr int kChunk = 512;
    const int length = rtf->TextLength();
    for (int at = std::max(from, 0); at < length; at += kChunk) {
        if (!IsBlankText(rtf->TextRange(at, kChunk)))
            return false;
    }
    return true;
}

SentenceBounds SelectSentence(RichTextBox* rtf)
{
    SetAllBackColor(rtf, kClearedWhite);
    TextWindow text(rtf);
    const int p = std::max<std::int32_t>(readingState.ReadingPos(), 1);

    const int start = sentenceStartBefore(text, p);
    const int delimiter = findDelimiterForward(text, p - 1, text.length() - 1);
    const int end = delimiter >= 0 ? delimiter + 1 : text.length();
    return selectAndPaint(rtf, text, start, end, nothingLeftToRead(text, end, text.length()));
}

SentenceBounds SelectSentenceBySelection(RichTextBox* rtf)
{
    SetAllBackColor(rtf, kClearedWhite);
    TextWindow text(rtf);
    const int start = readingState.ReadingPos();
    const int p = std::max<std::int32_t>(readingState.ReadingPos(), 1);

    const int selEnd = readingState.SelEndPos();
    const int delimiter = findDelimiterForward(text, p - 1, selEnd - 1);
    const int end = delimiter >= 0 ? delimiter + 1 : selEnd;
    return selectAndPaint(rtf, text, start, end, end == selEnd || nothingLeftToRead(text, end, selEnd));
}

void SelectNextSentence(RichTextBox* rtf)
{
    SetAllBackColor(rtf, kClearedWhite);
    IgnoreErrors([&] {
        TextWindow text(rtf);
        const int p = std::max(rtf->SelStart(), 1);
        const int delimiter = findDelimiterForward(text, p - 1, text.length() - 1);
        rtf->setSelStart(delimiter >= 0 ? delimiter + 2 : 1);
    });
}

void SelectForwardSentence(RichTextBox* rtf)
{
    SetAllBackColor(rtf, kClearedWhite);
    IgnoreErrors([&] {
        TextWindow text(rtf);
        const int p = std::max(rtf->SelStart(), 1);
        const int f = sentenceStartBefore(text, p);
        // A negative position is refused: the caret stays.
        if (f - 3 >= 0)
            rtf->setSelStart(f - 3);
        readingState.moveTo(f - readingState.SentenceLen() - 3);
    });
}

int SelectCurrentLine(RichTextBox* rtf)
{
    TextWindow text(rtf);
    const int length = text.length();
    const int p = std::max(rtf->SelStart(), 1);

    // The last CR LF that ends within the first p characters.
    int lineStart = 0;
    for (int k = std::min(p - 2, length - 2); k >= 0; --k) {
        if (text.at(k) == u'\r' && text.at(k + 1) == u'\n') {
            lineStart = k + 2;
            break;
        }
    }
    // The first CR LF from the p-th character on; the line keeps its CR.
    int lineEnd = length;
    for (int k = p - 1; k + 1 < length; ++k) {
        if (text.at(k) == u'\r' && text.at(k + 1) == u'\n') {
            lineEnd = k + 1;
            break;
        }
    }
    IgnoreErrors([&] {
        rtf->setSelStart(lineStart);
        if (lineEnd - lineStart >= 0)
            rtf->setSelLength(lineEnd - lineStart);
    });
    // The number of CR LF pairs before the line start.
    int line = 0;
    IgnoreErrors([&] {
        if (lineStart > 0)
            line = static_cast<int>(rtf->TextRange(0, lineStart).count(QStringLiteral("\r\n")));
    });
    return line;
}
