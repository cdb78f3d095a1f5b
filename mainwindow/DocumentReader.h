#pragma once
// DocumentReader: the reading side of a document window. It walks the
// window's text sentence by sentence: selects and paints the sentence to
// speak, hands it to the speech controller, and at the end of every
// utterance puts the caret after it (or before it, for Previous) and goes on
// with the next, the next selected or the previous sentence. It is the one
// writer of the reading position and of the Next/Previous requests while a
// document is read; the window keeps its buttons, settings and dialogs.

#include <QString>

#include <cstdint>

class RichTextBox;

class DocumentReader {
public:
    // text is the window's rich-text control; it must outlive the reader.
    explicit DocumentReader(RichTextBox* text);

    // ReadSet/PunctuationTag as read by the last Speak.
    std::int32_t ReadPunctuation = 0;
    // The sentence last selected: start and exclusive end.
    std::int32_t HighlightStart = 0;
    std::int32_t HighlightEnd = 0;

    // With nothing but blanks after the caret, the reading starts at the
    // beginning.
    void moveCaretToStartWhenBlank();
    void readPunctuationSetting();
    // Speaks the first utterance of a reading from the caret or the
    // selection (the whole rest at once in punctuation mode); while paused
    // it goes on with the paused utterance instead.
    void start();
    // The text of a punctuation-mode reading: the selection, else the rest
    // from the caret, else the whole text.
    QString textToRead();
    // After an utterance: clears the paint and puts the caret (and the
    // reading position) after the sentence, or inside the previous one.
    void placeCaretAfterSentence();
    void speakNextSentence();
    void speakNextSelectedSentence();
    // Speaks the sentence the caret was put back into.
    void speakPreviousSentence();
    // Next and Previous: cut the utterance; its end moves on (or back).
    void next();
    void previous();
    void resume();
    // Stop: no Previous pending, the reading stopped for good and idle, the
    // paint cleared.
    void stop();

private:
    RichTextBox* text_;
};
