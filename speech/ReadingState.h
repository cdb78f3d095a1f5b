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
// The flags describe what is spoken and which window is the face. The
// continuation of a document reading (the document being read, a step asked
// for, a resume pending, where the reading stands) is kept apart: every part
// of the program reads it, and changes it only through the named steps
// below.
class ReadingState {
public:
    bool IsSpeaking = false;         // a reading or utterance is under way (paused or not)
    bool IsPausing = false;          // speech is paused
    bool IsDictating = false;        // only ever false here
    bool IsIdle = false;             // no document reading in progress
    bool StopRequested = false;      // reading stopped: no continuation (true from the controller's load)
    bool IsReadingSelection = false; // the reading covers the user's selection
    bool IsLastSentence = false;     // the sentence being spoken is the last one
    bool IsReadingWhole = false;     // the whole text is one utterance (punctuation reading)
    bool IsReadingClipboard = false; // the text came from another application's selection
    bool IsSpeakingWord = false;     // a one-word side utterance is playing
    bool IsSpeakingOther = false;    // second side-utterance flag; only ever false
    std::int32_t PunctuationMode = 0; // copy of ReadSet/PunctuationTag: 1 = punctuation spoken
    bool IsMainShown = false;        // the main window is the face
    bool IsDockShown = false;        // the floating bar is the face
    std::int32_t SelStartPos = 0;    // start of the user's selection being read
    std::int32_t SelEndPos = 0;      // its exclusive end
    std::int32_t SelLen = 0;         // its length
    std::int32_t SentenceLen = 0;    // length of the sentence selected, as the control reports it

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

void SetSpeakingState(bool isSpeaking, bool isPausing);
void SetDictatingState(bool isDictating);

// Punctuation marks written out as words, for punctuation reading.
QString PunctuationToWords(const QString& text);
