#pragma once
// An active document that does nothing: test doubles derive from it and
// override what they record.

#include "speech/ActiveDocument.h"

class NullActiveDocument : public ActiveDocument {
public:
    void SetCursorP() override {}
    void FeedBack() override {}
    void SpeakPrew() override {}
    void SpeakNextSentence() override {}
    void SpeakSelNextSentence() override {}
    void SpeakBtn_Click() override {}
    void StopBtn_Click() override {}
    void setNextBtnEnabled(bool) override {}
    void setPriewBtnEnabled(bool) override {}
    void rtfSetSelStart(int) override {}
    void rtfSetSelLength(int) override {}
    void rtfSetFocus() override {}
    void setControlEnabled(DocumentControl, bool) override {}
    void setControlVisible(DocumentControl, bool) override {}
    void setToolbarButtonEnabled(int, bool) override {}
    void control_pos() override {}
};
