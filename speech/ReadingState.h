#pragma once
// The program's one reading state, shared by every window, and the two
// routines that make every face agree with it.

#include "speech/ActiveDocument.h"
#include "speech/ReadingFaces.h"

#include <QString>
#include <cstdint>

class QAction;

// The program's reading state. All flags start false/0; reset() puts them
// back so.
//
// Every part of the program reads it; each flag is changed by one owner
// only, through the named steps below: what is spoken by SetSpeakingState
// and SetDictatingState, which window is the face by the face switch
// (FaceSwitch), the sentence and the selection being read by the document
// window's reader, the rest by the steps named after what happens.
class ReadingState {
public:
    // ---- what is spoken (SetSpeakingState, SetDictatingState) ----
    bool IsSpeaking() const { return isSpeaking_; }   // a reading or utterance is under way (paused or not)
    bool IsPausing() const { return isPausing_; }     // speech is paused
    bool IsDictating() const { return isDictating_; } // only ever false here

    // ---- which window is the face (FaceSwitch) ----
    bool IsMainShown() const { return isMainShown_; } // the main window is the face
    bool IsDockShown() const { return isDockShown_; } // the floating bar is the face

    // ---- the kind of reading ----
    bool IsIdle() const { return isIdle_; }                         // no document reading in progress
    bool StopRequested() const { return stopRequested_; }           // stopped: no continuation (true from the controller's load)
    bool IsReadingSelection() const { return isReadingSelection_; } // the reading covers the user's selection
    bool IsReadingWhole() const { return isReadingWhole_; }         // the whole text is one utterance; only ever false
    bool IsReadingClipboard() const { return isReadingClipboard_; } // the text came from another application
    bool IsSpeakingWord() const { return isSpeakingWord_; }         // a one-word side utterance is playing
    bool IsSpeakingOther() const { return isSpeakingOther_; }       // second side-utterance flag; only ever false
    // Copy of ReadSet/PunctuationTag: 1 = punctuation spoken.
    std::int32_t PunctuationMode() const { return punctuationMode_; }

    // No document reading is in progress (true), or one starts (false).
    void goIdle() { isIdle_ = true; }
    void leaveIdle() { isIdle_ = false; }
    // The reading stops for good: the end of the utterance continues nothing.
    void requestStop() { stopRequested_ = true; }
    // Text of another application is spoken, or it has ended.
    void clipboardTextStarts() { isReadingClipboard_ = true; }
    void clipboardTextEnds() { isReadingClipboard_ = false; }
    // A single word is spoken beside the reading; a reading or the floating
    // bar's Read clears both side-utterance flags.
    void wordStarts() { isSpeakingWord_ = true; }
    void sideUtterancesEnd() { isSpeakingWord_ = isSpeakingOther_ = false; }
    void wholeTextEnds() { isReadingWhole_ = false; }
    void usePunctuationMode(std::int32_t mode) { punctuationMode_ = mode; }

    // ---- the selection and the sentence being read (the document's reader) ----
    std::int32_t SelStartPos() const { return selStartPos_; } // start of the user's selection being read
    std::int32_t SelEndPos() const { return selEndPos_; }     // its exclusive end
    std::int32_t SelLen() const { return selLen_; }           // its length
    bool IsLastSentence() const { return isLastSentence_; }   // the sentence being spoken is the last one
    // Length of the sentence selected, as the control reports it.
    std::int32_t SentenceLen() const { return sentenceLen_; }

    // The reading goes through the whole document (not stopped).
    void readDocument()
    {
        stopRequested_ = false;
        isReadingSelection_ = false;
    }
    // The reading covers the selection start .. start + length (not
    // stopped), from its start.
    void readSelection(std::int32_t start, std::int32_t length)
    {
        stopRequested_ = false;
        isReadingSelection_ = true;
        readingPos_ = start;
        selLen_ = length;
        selEndPos_ = start + length;
        selStartPos_ = start;
    }
    // The sentence selected to be spoken: where its text starts in the
    // document, its length, and whether it is the last.
    void sentenceSelected(std::int32_t start, std::int32_t length, bool last)
    {
        sentenceStart_ = start;
        sentenceLen_ = length;
        isLastSentence_ = last;
    }
    // Whether the sentence being spoken is the last one.
    void sentenceIsLast(bool last) { isLastSentence_ = last; }

    // ---- the continuation ----
    bool PrevRequested() const { return prevRequested_; } // the previous sentence was asked for
    bool NextRequested() const { return nextRequested_; } // the next sentence was asked for
    // A sentence ended while paused; the next resume restarts reading.
    bool ResumePending() const { return resumePending_; }
    std::int32_t ReadingPos() const { return readingPos_; }       // reading cursor in the document
    std::int32_t SentenceStart() const { return sentenceStart_; } // document offset of the text being spoken

    // The document window being read: held from its Speak until the reading
    // ends or is stopped, whichever window is active meanwhile; null while
    // no document is read.
    ActiveDocument* ReadingDocument() const { return readingDocument_; }

    // A reading of `document` starts: no step asked for, nothing waits for
    // a resume.
    void startReading(ActiveDocument* document)
    {
        prevRequested_ = nextRequested_ = false;
        resumePending_ = false;
        readingDocument_ = document;
    }
    // The reading of `document` ended or was stopped, or its window goes:
    // no reading holds it any more (a document held since stays held).
    void letGo(const ActiveDocument* document)
    {
        if (readingDocument_ == document)
            readingDocument_ = nullptr;
    }
    // Next asked for (it cancels a Previous not yet served).
    void requestNext()
    {
        prevRequested_ = false;
        nextRequested_ = true;
    }
    void requestPrevious() { prevRequested_ = true; }
    // The step back was served, or the reading stopped before it was.
    void dropPrevious() { prevRequested_ = false; }
    // The end of an utterance served the Next asked for (or none was).
    void nextServed() { nextRequested_ = false; }
    // The sentence ended while paused: the next resume reads on.
    void waitForResume() { resumePending_ = true; }
    void resumeServed() { resumePending_ = false; }
    void moveTo(std::int32_t position) { readingPos_ = position; }
    void sentenceStartsAt(std::int32_t position) { sentenceStart_ = position; }

    void reset() { *this = ReadingState(); }

private:
    friend void SetSpeakingState(bool isSpeaking, bool isPausing);
    friend void SetDictatingState(bool isDictating);
    friend class FaceSwitch;

    bool isSpeaking_ = false;
    bool isPausing_ = false;
    bool isDictating_ = false;
    bool isMainShown_ = false;
    bool isDockShown_ = false;
    bool isIdle_ = false;
    bool stopRequested_ = false;
    bool isReadingSelection_ = false;
    bool isReadingWhole_ = false;
    bool isReadingClipboard_ = false;
    bool isSpeakingWord_ = false;
    bool isSpeakingOther_ = false;
    std::int32_t punctuationMode_ = 0;
    std::int32_t selStartPos_ = 0;
    std::int32_t selEndPos_ = 0;
    std::int32_t selLen_ = 0;
    bool isLastSentence_ = false;
    std::int32_t sentenceLen_ = 0;

    bool prevRequested_ = false;
    bool nextRequested_ = false;
    bool resumePending_ = false;
    std::int32_t readingPos_ = 0;
    std::int32_t sentenceStart_ = 0;
    ActiveDocument* readingDocument_ = nullptr;
};

// The one reading state of the program.
extern ReadingState readingState;

// RenewVoice lives with the start-up values (core/Globals.h).

// Every face shows the reading state; the two flags are stored last.
void SetSpeakingState(bool isSpeaking, bool isPausing);
void SetDictatingState(bool isDictating);

// Punctuation marks written out as words, for punctuation reading.
QString PunctuationToWords(const QString& text);
