#pragma once
// A document window as the speech side sees it: the steps the controller
// runs on the document being read at the end of every utterance, and the
// controls the reading state shows itself in. The document window
// implements it; ReadingFaces::activeDocument() gives the active one,
// ReadingState::ReadingDocument() the one being read.

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

class ActiveDocument {
public:
    // A window that goes is no longer held by the reading (ReadingState).
    virtual ~ActiveDocument();

    // Removes the sentence highlight and puts the caret after the spoken
    // sentence (before it when the previous sentence was asked for).
    virtual void SetCursorP() = 0;
    // Called when a reading ends.
    virtual void FeedBack() = 0;
    // Speak the previous, the next, or the next selected sentence.
    virtual void SpeakPrew() = 0;
    virtual void SpeakNextSentence() = 0;
    virtual void SpeakSelNextSentence() = 0;
    // Starts reading again from the caret.
    virtual void SpeakBtn_Click() = 0;
    // The window's Stop: ends its reading for good and shows the idle state.
    virtual void StopBtn_Click() = 0;

    // The Next and Previous buttons.
    virtual void setNextBtnEnabled(bool enabled) = 0;
    virtual void setPriewBtnEnabled(bool enabled) = 0;
    // The rich-text control: selection in document positions, and focus.
    virtual void rtfSetSelStart(int position) = 0;
    virtual void rtfSetSelLength(int length) = 0;
    virtual void rtfSetFocus() = 0;

    // Controls the hotkeys and the selection reading set: the speed bar
    // (its change handler shows and applies the value), the voice list and
    // the Pause button.
    virtual void setSpeedValue(int /*value*/) {}
    virtual void setVoiceListIndex(int /*index*/) {}
    virtual void setPauseBtnEnabled(bool /*enabled*/) {}

    // The controls that follow the reading state, and the toolbar's buttons
    // (1-based index); control_pos lays the controls out again.
    virtual void setControlEnabled(DocumentControl control, bool enabled) = 0;
    virtual void setControlVisible(DocumentControl control, bool visible) = 0;
    virtual void setToolbarButtonEnabled(int index, bool enabled) = 0;
    virtual void control_pos() = 0;
};
