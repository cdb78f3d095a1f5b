#pragma once
// Finding the sentence to read aloud around the reading position, in the
// whole document or inside the user's selection, and painting it.
//
// Positions are 0-based positions of RichTextBox::Text() (a line break is
// CR LF, two positions), counted in UTF-16 units: the unit of the word
// positions the speech engine reports. Only the characters around the
// reading position are looked at, a chunk at a time; the whole text is
// never built.
//
// A sentence ends at "!", "?" or ";", and at "." or ":" unless both of its
// neighbours are digits 0-9 (3.14, 10:30). The sentence found starts just
// after the delimiter before the reading position (past the blank or line
// break that follows it, if one does) and ends just after the next
// delimiter; what is selected, painted and spoken of it begins at its first
// character that is not a blank or a line break.

#include <QString>

#include <cstdint>

class RichTextBox;

// The reading position and the selection being read come from the reading
// state (speech/ReadingState.h); the document window's reader stores there
// what is found.

// The sentence selected: where it lies, its start and its exclusive end
// (just after its delimiter), which the document window keeps as
// HighlightStart and HighlightEnd; where the selected text really begins
// (the first character of SelText, the text handed to the speech engine)
// and its length, as the control reports them; and whether nothing after
// it is left to read.
struct SentenceBounds {
    int start = 0;
    int end = 0;
    std::int32_t textStart = 0;
    std::int32_t textLength = 0;
    bool last = false;
};

// Selects and paints the sentence around ReadingPos in the whole document
// (everything else is painted white).
SentenceBounds SelectSentence(RichTextBox* rtf);
// Selects and paints the next sentence of the user's selection: it starts
// at ReadingPos and ends at the next delimiter or at SelEndPos.
SentenceBounds SelectSentenceBySelection(RichTextBox* rtf);

// Moves the caret two characters past the next delimiter at or after the
// caret (to 1 when there is none).
void SelectNextSentence(RichTextBox* rtf);
// Moves the caret three characters before the start of the sentence it is
// in and sets ReadingPos from it.
void SelectForwardSentence(RichTextBox* rtf);
// Selects the caret's line (with the CR of its line break) and returns its
// 0-based number.
int SelectCurrentLine(RichTextBox* rtf);

// True when the characters from `from` to the end of the text are blanks
// (spaces, tabs, CR, LF) or there are none. Stops at the first other one.
bool IsBlankFrom(const RichTextBox* rtf, int from);
