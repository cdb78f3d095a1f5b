// Finding, selecting and painting the sentence to read, over a real
// rich-text control.
#include "mainwindow/DocumentTable.h"
#include "richtext/RichTextBox.h"
#include "mainwindow/SentenceFinding.h"
#include "speech/ReadingState.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Found {
    int start = 0;
    int end = 0;
    QString selected; // the control's SelText after selecting
    bool last = false;
    int textStart = 0; // where the selected text begins
    int textLength = 0;
};

class SentenceFindingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        readingState.reset();
    }

    Found sentenceAt(const QString& text, int readingPos)
    {
        if (box.Text() != text)
            box.setText(text);
        readingState.moveTo(readingPos);
        return record(SelectSentence(&box));
    }

    Found selectedSentenceAt(int readingPos)
    {
        readingState.moveTo(readingPos);
        return record(SelectSentenceBySelection(&box));
    }

    Found record(const SentenceBounds& b)
    {
        return {b.start, b.end, box.SelText(), b.last, b.textStart, b.textLength};
    }

    // The user's selection start .. end, as the Speak command records it.
    void selectForReading(const QString& text, int start, int end)
    {
        box.setText(text);
        readingState.readSelection(start, end - start);
    }

    // Reads the whole text sentence by sentence as the reading loop does:
    // after each sentence the reading position goes one past its end.
    QStringList readAll(const QString& text, int from = 0)
    {
        QStringList sentences;
        box.setText(text);
        readingState.moveTo(from);
        for (int guard = 0; guard < 1000; ++guard) {
            const SentenceBounds b = SelectSentence(&box);
            sentences << box.SelText();
            if (b.last)
                break;
            readingState.moveTo(b.end + 1);
        }
        return sentences;
    }

    // Whether the character at a text position has the sentence colour.
    bool isYellow(int position) const { return box.BackColorAt(position) == kSentenceYellow; }

    RichTextBox box;
};

// ---- the delimiter rule ----

TEST_F(SentenceFindingTest, FirstDelimiterEndsTheSentence)
{
    struct Case {
        const char* text;
        const char* first;
    };
    const Case cases[] = {
        {"Hello. World. Bye.", "Hello."},
        {"Is it? Yes.", "Is it?"},
        {"Stop! Now.", "Stop!"},
        {"One; two.", "One;"},
        {"Note: this.", "Note:"},
        // Runs of delimiters are not merged.
        {"Wait!!! Go.", "Wait!"},
        {"Really?! Yes.", "Really?"},
        // A full stop or colon with a digit on both sides does not end it.
        {"Pi is 3.14 today. Next.", "Pi is 3.14 today."},
        {"Meet at 10:30: now.", "Meet at 10:30:"},
        {"Take 1.5.2 pills. Then rest.", "Take 1.5.2 pills."},
        // One digit is not enough.
        {"Version 2.x is out. Yes.", "Version 2."},
        {"Go to a.3 now.", "Go to a."},
        {"Chapter 4: the end.", "Chapter 4:"},
        // "!", "?" and ";" end it even between digits.
        {"Score 3;4 today.", "Score 3;"},
        // A full stop after a digit at the very end ends the text's sentence.
        {"Count to 3.", "Count to 3."},
        // Quotes, the ellipsis character and line breaks end nothing.
        {"He said \u201Cwait\u2026\u201D\r\nand left. Then", "He said \u201Cwait\u2026\u201D\r\nand left."},
        // A text starting with a full stop: that full stop alone.
        {".5 is half.", "."},
    };
    for (const Case& c : cases) {
        const Found f = sentenceAt(QString::fromUtf8(c.text), 0);
        EXPECT_EQ(f.selected, QString::fromUtf8(c.first)) << c.text;
        EXPECT_EQ(f.start, 0) << c.text;
        EXPECT_EQ(f.end, QString::fromUtf8(c.first).size()) << c.text;
    }
}

TEST_F(SentenceFindingTest, ReadingPositionChoosesTheSentence)
{
    const QString text = "Hello. World. Bye.";
    Found f = sentenceAt(text, 7);
    EXPECT_EQ(f.selected, "World.");
    EXPECT_EQ(f.start, 7);
    EXPECT_EQ(f.end, 13);
    EXPECT_FALSE(f.last);

    // Just after a full stop (a click there): the sentence it ends.
    f = sentenceAt(text, 6);
    EXPECT_EQ(f.selected, "Hello.");

    f = sentenceAt(text, 14);
    EXPECT_EQ(f.selected, "Bye.");
    EXPECT_TRUE(f.last);

    // Inside a word, and a reading position below 1.
    EXPECT_EQ(sentenceAt(text, 10).selected, "World.");
    EXPECT_EQ(sentenceAt(text, -5).selected, "Hello.");
    EXPECT_EQ(sentenceAt(text, 1).selected, "Hello.");
}

TEST_F(SentenceFindingTest, ReadingThroughTheDocument)
{
    EXPECT_EQ(readAll("Hello. World. Bye."), (QStringList{"Hello.", "World.", "Bye."}));
    EXPECT_EQ(readAll("It costs 3.50 now. At 10:30: lunch! Ok?"),
              (QStringList{"It costs 3.50 now.", "At 10:30:", "lunch!", "Ok?"}));
    // No delimiter at all: the whole text is one sentence, and the last.
    EXPECT_EQ(readAll("no delimiter here"), QStringList{"no delimiter here"});
    // A delimiter-less tail is the last sentence.
    EXPECT_EQ(readAll("One. and the rest"), (QStringList{"One.", "and the rest"}));
    // A sentence right after its delimiter, with no blank between, is read
    // from its first letter.
    EXPECT_EQ(readAll("The U.S.A. is big."), (QStringList{"The U.", "S.", "A.", "is big."}));
    EXPECT_EQ(readAll("Wait...what?"), (QStringList{"Wait.", ".", ".", "what?"}));
    EXPECT_EQ(readAll("Open report.pdf now."), (QStringList{"Open report.", "pdf now."}));
    EXPECT_EQ(readAll("Hello.World."), (QStringList{"Hello.", "World."}));
}

// ---- the end of reading ----

TEST_F(SentenceFindingTest, LastSentenceNeedsAnAsciiLetterOrDigitAfterIt)
{
    EXPECT_TRUE(sentenceAt("End.", 0).last);
    EXPECT_TRUE(sentenceAt("End.  \r\n -- \r\n\t...", 0).last);
    EXPECT_FALSE(sentenceAt("End. 2", 0).last);
    EXPECT_FALSE(sentenceAt("End.\r\n\r\nx", 0).last);
    // Accented letters do not count.
    EXPECT_TRUE(sentenceAt(QString::fromUtf8("Fin. \u00C9\u00E9"), 0).last);
    EXPECT_TRUE(sentenceAt(QString::fromUtf8("Done. \U0001F600 \u4E2D\u6587"), 0).last);
    EXPECT_FALSE(sentenceAt(QString::fromUtf8("Fin. \u00C9t\u00E9"), 0).last);
}

TEST_F(SentenceFindingTest, EmptyAndBlankTexts)
{
    Found f = sentenceAt("", 0);
    EXPECT_EQ(f.selected, "");
    EXPECT_EQ(box.SelStart(), 0);
    EXPECT_EQ(f.textLength, 0);
    EXPECT_TRUE(f.last);

    f = sentenceAt("   \r\n  ", 0);
    EXPECT_TRUE(f.last);
    EXPECT_TRUE(f.selected.trimmed().isEmpty());

    // One past the end of "Hello.", where the loop puts it after the last
    // sentence: the length would be negative, so the selection stays empty.
    f = sentenceAt("Hello.", 7);
    EXPECT_EQ(f.selected, "");
    EXPECT_EQ(f.textLength, 0);
    EXPECT_TRUE(f.last);
}

// ---- line breaks ----

TEST_F(SentenceFindingTest, SentenceAfterALineBreakBeginsAtItsFirstCharacter)
{
    // Found two characters after the delimiter (inside the line break, or
    // on an empty line), the sentence is selected, painted and spoken from
    // its first character; its bounds stay where it was found.
    struct Case {
        const char* text;
        int readingPos;
        int start;    // bounds found
        int selStart; // where the selection begins
    };
    const Case cases[] = {
        {"Hello.\r\nWorld.", 7, 7, 8},
        {"Hello.\r\n\r\nWorld.", 7, 7, 10},
        {"Hello.\r\n\r\n\t  World.", 9, 7, 13},
        {"Hello.  World.", 7, 7, 8},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const Found f = sentenceAt(text, c.readingPos);
        EXPECT_EQ(f.selected, "World.") << c.text;
        EXPECT_EQ(f.start, c.start) << c.text;
        EXPECT_EQ(f.end, text.size()) << c.text;
        EXPECT_EQ(box.SelStart(), c.selStart) << c.text;
        EXPECT_EQ(f.textStart, c.selStart) << c.text;
        EXPECT_EQ(f.textLength, 6) << c.text;
        for (int k = 6; k < c.selStart; ++k)
            EXPECT_FALSE(isYellow(k)) << c.text << " at " << k;
        EXPECT_TRUE(isYellow(c.selStart)) << c.text;
    }
    // The same inside a selection being read.
    selectForReading("One.\r\n\r\nTwo.", 0, 12);
    const Found f = selectedSentenceAt(5);
    EXPECT_EQ(f.selected, "Two.");
    EXPECT_EQ(f.textStart, 8);
    // A sentence of blanks keeps them (there is no first character).
    EXPECT_EQ(sentenceAt("One.   ", 6).selected, "  ");
}

TEST_F(SentenceFindingTest, SentencesEndingLines)
{
    EXPECT_EQ(readAll("First line.\r\nSecond line!\r\n\r\nThird? And on\r\nthe next line."),
              (QStringList{"First line.", "Second line!", "Third?", "And on\r\nthe next line."}));
}

// ---- the word heard is the word selected ----

// The words of a text as the speech engine reports them: runs of letters,
// digits and apostrophes, positions and lengths in UTF-16 units of the
// text it was given.
struct Word {
    int position;
    int length;
};
std::vector<Word> engineWords(const QString& text)
{
    std::vector<Word> words;
    int i = 0;
    const int n = static_cast<int>(text.size());
    auto isWordChar = [&](int k) {
        const char32_t cp = QChar::isHighSurrogate(text.at(k).unicode()) && k + 1 < n
                                ? QChar::surrogateToUcs4(text.at(k), text.at(k + 1))
                                : text.at(k).unicode();
        return QChar::isLetterOrNumber(cp) || QChar::category(cp) == QChar::Symbol_Other || text.at(k) == u'\'';
    };
    while (i < n) {
        if (!isWordChar(i)) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < n && isWordChar(i))
            i += QChar::isHighSurrogate(text.at(i).unicode()) ? 2 : 1;
        words.push_back({start, i - start});
    }
    return words;
}

TEST_F(SentenceFindingTest, WordPositionsPlusSentenceStartSelectTheWordHeard)
{
    const char* texts[] = {
        "Hello there.\r\nWorld again, friend. Last one here.",
        "Blank lines.\r\n\r\n\r\nStill here; and more.",
        "Caf\u00E9 cr\u00E8me. D\u00E9j\u00E0 vu l\u00E0-bas! \u00DCber \u00E4rger.",
        "Smile \U0001F600 now. Then \U0001F389 party time. \U0001F44D\U0001F3FD Great job.",
        "\U0001D400\U0001D401 math letters. After \U0001D402 them.\r\nNext line \U0001F600.",
        "Line one\r\nline two. \u4E2D\u6587 text here.",
        "In 2007 it cost 3.50 a day. Mr. Smith paid 1,000,000.\r\n\r\nAfter an empty line.",
    };
    for (const char* raw : texts) {
        const QString text = QString::fromUtf8(raw);
        box.setText(text);
        readingState.moveTo(0);
        for (int guard = 0; guard < 50; ++guard) {
            const SentenceBounds b = SelectSentence(&box);
            const QString spoken = box.SelText();
            for (const Word& w : engineWords(spoken)) {
                const QString heard = spoken.mid(w.position, w.length);
                // What the controller does with a word event.
                box.setSelStart(b.textStart + w.position);
                box.setSelLength(w.length);
                EXPECT_EQ(box.SelText(), heard) << raw << " sentence at " << b.start;
            }
            if (b.last)
                break;
            readingState.moveTo(b.end + 1);
        }
    }
}

// ---- reading a selection ----

TEST_F(SentenceFindingTest, SelectionIsReadSentenceBySentence)
{
    selectForReading("One. Two", 0, 8);
    Found f = selectedSentenceAt(0);
    EXPECT_EQ(f.selected, "One.");
    EXPECT_FALSE(f.last);
    f = selectedSentenceAt(f.end + 1);
    EXPECT_EQ(f.selected, "Two");
    EXPECT_EQ(f.start, 5);
    EXPECT_EQ(f.end, 8);
    EXPECT_TRUE(f.last);
    EXPECT_EQ(f.textStart, 5);

    // No backward scan: a selection starting inside a sentence reads from
    // there, and the digit rule still holds.
    selectForReading("Pay 3.50 dollars now. Ok.", 4, 25);
    f = selectedSentenceAt(4);
    EXPECT_EQ(f.selected, "3.50 dollars now.");
    EXPECT_EQ(f.textStart, 4);
    EXPECT_EQ(f.textLength, 17);
}

TEST_F(SentenceFindingTest, SelectionEndsTheReadingEvenWhenTextFollows)
{
    // The selection "B one. C two." inside a longer text.
    const QString text = "A zero. B one. C two. D three.";
    selectForReading(text, 8, 21);
    Found f = selectedSentenceAt(8);
    EXPECT_EQ(f.selected, "B one.");
    EXPECT_FALSE(f.last);
    f = selectedSentenceAt(f.end + 1);
    EXPECT_EQ(f.selected, "C two.");
    EXPECT_TRUE(f.last); // ends at the selection's end

    // Only blanks and marks left in the selection: last as well.
    selectForReading(text, 8, 17);
    f = selectedSentenceAt(8);
    EXPECT_EQ(f.selected, "B one.");
    EXPECT_FALSE(f.last); // "C" is left
    selectForReading("A zero. B one. -- C", 8, 18);
    EXPECT_TRUE(selectedSentenceAt(8).last);
}

// ---- painting ----

TEST_F(SentenceFindingTest, OnlyTheSelectedSentenceIsYellow)
{
    const QString text = "Hello. World. Bye.";
    sentenceAt(text, 0);
    EXPECT_TRUE(isYellow(0));
    EXPECT_TRUE(isYellow(5));
    EXPECT_FALSE(isYellow(7));

    sentenceAt(text, 7);
    EXPECT_FALSE(isYellow(0));
    EXPECT_FALSE(isYellow(5));
    EXPECT_TRUE(isYellow(7));
    EXPECT_TRUE(isYellow(12));
    EXPECT_FALSE(isYellow(14));

    // A selection being read: the same.
    selectForReading(text, 0, 18);
    selectedSentenceAt(14);
    EXPECT_FALSE(isYellow(7));
    EXPECT_TRUE(isYellow(14));
}

// ---- members nothing calls ----

TEST_F(SentenceFindingTest, SelectNextSentenceMovesPastTheNextDelimiter)
{
    box.setText("Hello. World. Bye.");
    box.setSelStart(0);
    SelectNextSentence(&box);
    EXPECT_EQ(box.SelStart(), 7);
    SelectNextSentence(&box);
    EXPECT_EQ(box.SelStart(), 14);

    box.setText("no delimiter");
    box.setSelStart(5);
    SelectNextSentence(&box);
    EXPECT_EQ(box.SelStart(), 1);
}

TEST_F(SentenceFindingTest, SelectForwardSentenceGoesBeforeTheSentenceStart)
{
    box.setText("One. Two. Three.");
    box.setSelStart(12); // inside "Three."
    readingState.sentenceSelected(0, 4, false);
    SelectForwardSentence(&box);
    EXPECT_EQ(box.SelStart(), 10 - 3);
    EXPECT_EQ(readingState.ReadingPos(), 10 - 4 - 3);

    // In the first sentence the start is 0: the caret stays.
    box.setSelStart(2);
    readingState.sentenceSelected(0, 0, false);
    SelectForwardSentence(&box);
    EXPECT_EQ(box.SelStart(), 2);
    EXPECT_EQ(readingState.ReadingPos(), -3);
}

TEST_F(SentenceFindingTest, SelectCurrentLineSelectsTheLineWithItsCarriageReturn)
{
    box.setText("ab\r\ncd\r\nef");
    // The line is selected up to and with its CR; the control cannot end a
    // selection between CR and LF, so it ends with the line.
    box.setSelStart(5); // inside "cd"
    EXPECT_EQ(SelectCurrentLine(&box), 1);
    EXPECT_EQ(box.SelStart(), 4);
    EXPECT_EQ(box.SelText(), "cd");

    box.setSelStart(4); // at the start of "cd"
    EXPECT_EQ(SelectCurrentLine(&box), 1);
    EXPECT_EQ(box.SelStart(), 4);

    box.setSelStart(0);
    EXPECT_EQ(SelectCurrentLine(&box), 0);
    EXPECT_EQ(box.SelStart(), 0);
    EXPECT_EQ(box.SelText(), "ab");

    box.setSelStart(9); // the last line has no break after it
    EXPECT_EQ(SelectCurrentLine(&box), 2);
    EXPECT_EQ(box.SelStart(), 8);
    EXPECT_EQ(box.SelLength(), 2);
}

// ---- blanks after the caret ----

TEST_F(SentenceFindingTest, BlankFromStopsAtTheFirstOtherCharacter)
{
    box.setText("abc  \r\n\t ");
    EXPECT_TRUE(IsBlankFrom(&box, 3));
    EXPECT_FALSE(IsBlankFrom(&box, 2));
    EXPECT_TRUE(IsBlankFrom(&box, 9));
    box.setText(QString(2000, u' ') + "x" + QString(10, u' '));
    EXPECT_FALSE(IsBlankFrom(&box, 0));
    EXPECT_TRUE(IsBlankFrom(&box, 2001));
}

} // namespace
