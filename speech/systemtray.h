#pragma once
// systemtray: the program's hidden controller window. It owns the one
// speech object `voicecls` and the speech facade through which everything
// the program says is spoken, paused, resumed and stopped, and it decides
// at the end of each utterance what comes next in the active document.
// The window is never shown.

#include "speech/ActiveDocument.h"
#include "speech/clsVoice.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>

class systemtray : public QWidget {
    Q_OBJECT
public:
    explicit systemtray(QWidget* parent = nullptr);
    ~systemtray() override;

    // The controller, or null before it is made and after it is gone.
    static systemtray* instance();

    // The main window installs this; without it (or when it gives null)
    // there is no active document window and the calls on it do nothing.
    static void setActiveDocumentProvider(ActiveDocumentProvider provider);
    static ActiveDocument* activeDocument();

    // ";"-joined voice descriptions, each followed by ";".
    QString m_GetVoiceDescriptions;
    // The speech object; may be empty. Replace it only through
    // makeNewVoice() / releaseVoice(), which connect and disconnect its
    // events: a discarded object raises no further events.
    std::unique_ptr<clsVoice> voicecls;

    // Makes a fresh voicecls (events connected), discarding the old one.
    void makeNewVoice();
    // Empties voicecls, discarding the old one and its speech.
    void releaseVoice();

    // Speaks a text with the voice and rate of the settings file.
    void speakstring(QString textstr);
    void stopspeaking();
    void PauseSpeaking();
    void ResumeSpeaking();
    // Passes the flag to voicecls; throws when voicecls is empty.
    void SetSpFlagIsFilename(int flag);
    // Plays a wave file with a fresh speech object.
    void Speakfile(QString filename);
    // Closes the utterance that ended.
    void speakingend();
    // Continues the reading after an utterance.
    void speakingendbynormal();
    // Index of a voice description in m_GetVoiceDescriptions; 0 when absent.
    std::int16_t getfunctionID(const QString& tokendescription);
    // End of a stream of voicecls.
    void voicecls_VoiceEnded();

private:
    void voicecls_HighLightSpokenWord(int pos, int len);
    void voicecls_VoiceChanged(const VoiceToken& token);
    void replaceVoice(std::unique_ptr<clsVoice> next);
    // Runs step on the active document window, ignoring its errors;
    // nothing when there is none.
    template <class F>
    void onDocument(F&& step);
};
