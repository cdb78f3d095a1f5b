#pragma once
// A document window that logs the calls of the speech side on it, as
// "SetCursorP", "NextBtn 0", "SelStart 105", "Speed 4" and so on. The
// Speak* calls may be given what the real window would do.

#include "support/CallLog.h"
#include "support/NullActiveDocument.h"

#include <functional>

class RecordingDocument : public NullActiveDocument, public CallLog {
public:
    using CallLog::CallLog;

    std::function<void()> onSpeakNextSentence, onSpeakSelNextSentence, onSpeakPrew, onSpeakBtnClick;

    void SetCursorP() override { log << "SetCursorP"; }
    void FeedBack() override { log << "FeedBack"; }
    void SpeakPrew() override { record("SpeakPrew", onSpeakPrew); }
    void SpeakNextSentence() override { record("SpeakNextSentence", onSpeakNextSentence); }
    void SpeakSelNextSentence() override { record("SpeakSelNextSentence", onSpeakSelNextSentence); }
    void SpeakBtn_Click() override { record("SpeakBtn_Click", onSpeakBtnClick); }
    void setNextBtnEnabled(bool on) override { log << QString("NextBtn %1").arg(on); }
    void setPriewBtnEnabled(bool on) override { log << QString("PriewBtn %1").arg(on); }
    void rtfSetSelStart(int p) override { log << QString("SelStart %1").arg(p); }
    void rtfSetSelLength(int n) override { log << QString("SelLength %1").arg(n); }
    void rtfSetFocus() override { log << "SetFocus"; }
    void setSpeedValue(int value) override { log << QString("Speed %1").arg(value); }
    void setVoiceListIndex(int index) override { log << QString("Voice %1").arg(index); }
    void setPauseBtnEnabled(bool on) override { log << QString("PauseBtn %1").arg(on); }
};
