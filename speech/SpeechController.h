#pragma once
// What the windows need of the controller: speaking, pausing, resuming and
// stopping, the end of an utterance, the hotkeys, the tray menu's commands,
// saving a text as a sound file and the voice list. The controller
// (systemtray) implements it and start-up installs it; until then every
// call does nothing.

#include <QString>

class SpeechController {
public:
    virtual ~SpeechController() = default;

    // Speaks a text with the voice and rate of the settings file.
    virtual void speakstring(QString textstr) = 0;
    // Purges the voice; without a Next or Previous asked for, the utterance
    // is closed at once.
    virtual void stopspeaking() = 0;
    virtual void PauseSpeaking() = 0;
    virtual void ResumeSpeaking() = 0;
    // Passes the flag to the speech object; throws when there is none.
    virtual void SetSpFlagIsFilename(int flag) = 0;
    virtual void stopDictating() = 0;
    // The end of an utterance, as the voice reports it.
    virtual void voicecls_VoiceEnded() = 0;
    // (Re)registers the seven hotkeys from the settings file.
    virtual void Sethotkeys() = 0;

    // The tray menu's commands: the main window or the floating bar as the
    // face, and the end of the program.
    virtual void mnuTrayShowSoftware_Click() = 0;
    virtual void mnuTrayShowDock_Click() = 0;
    virtual void mnuTrayExit_Click() = 0;
    // Checks or clears the tray menu's Auto Read Clipboard item.
    virtual void mnuTrayclipboard_SetChecked(bool checked) = 0;

    // Saves a text as a sound file, as the Text-to-MP3 hotkey does.
    virtual void SaveTextAsAudio(const QString& text) = 0;
    // The voice descriptions, each followed by ";".
    virtual QString m_GetVoiceDescriptions() const = 0;

    // The installed controller (one that does nothing until one is
    // installed). Installing null removes it.
    static SpeechController& get();
    static void install(SpeechController* controller);
};

// No controller: every call does nothing. This is the controller in place
// until start-up installs the program's; test doubles derive from it.
class NoSpeechController : public SpeechController {
public:
    void speakstring(QString) override {}
    void stopspeaking() override {}
    void PauseSpeaking() override {}
    void ResumeSpeaking() override {}
    void SetSpFlagIsFilename(int) override {}
    void stopDictating() override {}
    void voicecls_VoiceEnded() override {}
    void Sethotkeys() override {}
    void mnuTrayShowSoftware_Click() override {}
    void mnuTrayShowDock_Click() override {}
    void mnuTrayExit_Click() override {}
    void mnuTrayclipboard_SetChecked(bool) override {}
    void SaveTextAsAudio(const QString&) override {}
    QString m_GetVoiceDescriptions() const override { return QString(); }
};
