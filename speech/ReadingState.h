#pragma once
// The program's one reading state, shared by every window, and the two
// routines that make every face agree with it.

#include <QString>
#include <cstdint>

class QAction;

// Reading-state flags. All start false/0 except as noted.
extern bool IsSpeaking;         // a reading or utterance is under way (paused or not)
extern bool IsPausing;          // speech is paused
extern bool IsDictating;        // only ever false here
extern bool IsIdle;             // no document reading in progress
extern bool StopRequested;      // reading stopped: no continuation (true from the controller's load)
extern bool PrevRequested;      // the previous sentence was asked for
extern bool NextRequested;      // the next sentence was asked for
extern bool IsReadingSelection; // the reading covers the user's selection
extern bool IsLastSentence;     // the sentence being spoken is the last one
extern bool IsReadingWhole;     // the whole text is one utterance (punctuation reading)
extern bool ResumePending;      // a sentence ended while paused; the next resume restarts reading
extern bool IsReadingClipboard; // the text came from another application's selection
extern bool IsSpeakingWord;     // a one-word side utterance is playing
extern bool IsSpeakingOther;    // second side-utterance flag; only ever false
extern std::int32_t PunctuationMode; // copy of ReadSet/PunctuationTag: 1 = punctuation spoken
extern std::int32_t ReadingPos;      // reading cursor in the document
extern std::int32_t SentenceStart;   // document offset of the text being spoken
extern bool IsMainShown;        // the main window is the face
extern bool IsDockShown;        // the floating bar is the face
// RenewVoice lives with the start-up values (core/Globals.h).

// What the state routines need of the floating bar while it is loaded.
class FloatingBarFace {
public:
    virtual ~FloatingBarFace() = default;
    virtual void docksetmemnu(bool& speaking, bool& paused) = 0;
};

// The document window's controls that follow the reading state.
enum class DocumentControl {
    tbToolBar,
    SpeakBtn,
    StopBtn,
    PauseBtn,
    ResumeBtn,
    VoiceCB,
    cpvSlider1,
    NextBtn,
    PriewBtn,
};

// The main window's menu items that follow the reading state. mnuWindow is
// the Window menu itself (the first of its control array).
enum class MenuItem {
    mnuCtlSpeak,
    mnuCtlPause,
    mnuCtlStop,
    mnuCtlclipboard,
    mnuCtlSaveClipboardTexttoWav,
    mnuCtlSet,
    mnuCtlDictation,
    mnuTrayPause,
    mnuTrayStop,
    mnuTrayReadClipboard,
    mnuTrayPlayFile,
    mnuTrayClipboardtoWav,
    mnuPopSpeak,
    mnuPopPaste,
    mnuPopPause,
    mnuPopStop,
    mnuEdit,
    mnuWebsite,
    mnuFile,
    mnuFormat,
    mnuWindow,
    mnuView,
};

// The controls of the active document window that the state routines set.
class DocumentFace {
public:
    virtual ~DocumentFace() = default;
    // Toolbar buttons: setToolbarButtonEnabled(1-based index, ...).
    virtual void setControlEnabled(DocumentControl control, bool enabled) = 0;
    virtual void setControlVisible(DocumentControl control, bool visible) = 0;
    virtual void setToolbarButtonEnabled(int index, bool enabled) = 0;
    virtual void control_pos() = 0;
};

// What the state routines need of the main window while it is loaded.
class MainWindowFace {
public:
    virtual ~MainWindowFace() = default;
    virtual void setMenuEnabled(MenuItem item, bool enabled) = 0;
    virtual void setMenuCaption(MenuItem item, const QString& caption) = 0;
    // The active document window, or null.
    virtual DocumentFace* activeDocument() = 0;
};

// The faces register themselves here while loaded (null when not loaded),
// and the controller its two tray-menu items.
struct ReadingFaces {
    static FloatingBarFace* floatingBar;
    static MainWindowFace* mainWindow;
    static QAction* mnuTrayStop;
    static QAction* mnuTrayPause;
};

void SetSpeakingState(bool isSpeaking, bool isPausing);
void SetDictatingState(bool isDictating);

// Punctuation marks written out as words, for punctuation reading.
QString PunctuationToWords(const QString& text);
