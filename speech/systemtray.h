#pragma once
// systemtray: the program's hidden controller window. It owns the one
// speech object `voicecls` and the speech facade through which everything
// the program says is spoken, paused, resumed and stopped, and it decides
// at the end of each utterance what comes next in the document being read.
// The window is never shown. The windows reach it as the installed
// SpeechController.

#include "speech/ActiveDocument.h"
#include "speech/HotkeyActions.h"
#include "speech/SelectionReader.h"
#include "speech/SpeechController.h"
#include "speech/TrayMenu.h"
#include "speech/clsVoice.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class systemtray : public QWidget, public SpeechController {
    Q_OBJECT
    // Made first: the hotkey actions use the selection reader.
    std::unique_ptr<SelectionReader> selectionReader_;
    std::unique_ptr<HotkeyActions> hotkeyActions_;
    std::unique_ptr<TrayMenu> trayMenu_;

public:
    explicit systemtray(QWidget* parent = nullptr);
    ~systemtray() override;

    // Mirror of ReadSet/AutoClipboard; nothing reads it.
    static inline bool AutoReadClipboard = false;

    // The active document window of the installed faces, or null: then
    // the calls on it do nothing.
    static ActiveDocument* activeDocument();

    // ";"-joined voice descriptions, each followed by ";".
    QString voiceDescriptions;
    QString m_GetVoiceDescriptions() const override { return voiceDescriptions; }
    // The speech object; may be empty. Replace it only through
    // makeNewVoice() / releaseVoice(), which connect and disconnect its
    // events: a discarded object raises no further events.
    std::unique_ptr<clsVoice> voicecls;

    // Lists filled at load from the speech object.
    QString m_GetVoiceName;
    QString m_GetVoiceData;
    QString m_GetVoiceLanguages;
    QString m_getOutputdevices;
    // Plays the greeting at load; its events are not handled.
    std::unique_ptr<clsVoice> StartupVoice;

    // Timer3 1000 ms second-start poll (on from load); Timer4 500 ms and
    // Timer5 1000 ms, never used. The clipboard poll (Timer1) and the
    // save-as-audio step (Timer2) are the selection reader's. Tests may call
    // the handlers directly.
    QTimer Timer3, Timer4, Timer5;

    // ---- load, tray, faces, exit ----
    // The load steps, in order; the program calls it once after creating
    // the controller.
    void Form_Load();
    // Hotkeys released, tray icon removed, every window closed; the
    // program then ends.
    void Form_Unload();
    void AddTrayIcon();
    void RemoveTrayIcon();
    // A mouse notification of the tray icon: 514 left button released,
    // 515 double click, 517 right button released.
    void TrayIconMessage(int code);
    // The tray icon and its menu, with its items.
    TrayMenu& trayMenu() { return *trayMenu_; }
    void mnuTrayShowSoftware_Click() override;
    void mnuTrayShowDock_Click() override;
    void mnuSettings_Click();
    void mnuTrayHelp_Click();
    void mnuTrayAbout_Click();
    void mnuTrayExit_Click() override;
    void mnuTrayclipboard_Click();
    void mnuTrayclipboard_SetChecked(bool checked) override;
    void mnuTrayPause_Click();
    void mnuTrayStop_Click();
    void mnuTraytraining_Click();
    void Timer3_Timer();
    void Timer5_Timer();
    void resetmenus();
    void stopDictating() override;
    void startDictating1();
    void Configure_Microphone(qintptr mhwnd);
    void Configure_Sensitivity(qintptr mhwnd);
    void SR_Training(qintptr mhwnd);
    void Add_Word(qintptr mhwnd);
    QString GetSREgine();

    // ---- hotkeys ----
    // (Re)registers the seven hotkeys from the settings file.
    void Sethotkeys() override;
    // Runs the action of a hotkey identifier (11112..11118).
    void DoFunctions(int wk_id);
    HotkeyActions& hotkeyActions() { return *hotkeyActions_; }

    // ---- reading the selection of other applications ----
    SelectionReader& selectionReader() { return *selectionReader_; }
    void Timer1_Timer();
    void Timer2_Timer();
    void speakclipboardtext();
    // Saves a text as a sound file (the Text-to-MP3 hotkey).
    void SaveTextAsAudio(const QString& text) override;

    // Makes a fresh voicecls (events connected), discarding the old one.
    void makeNewVoice();
    // Empties voicecls, discarding the old one and its speech.
    void releaseVoice();

    // Speaks a text with the voice and rate of the settings file.
    void speakstring(QString textstr) override;
    // Purges the voice. Without a Next or Previous asked for, the speech
    // object is discarded and the utterance closed at once (speakingend),
    // which ends the reading only when StopRequested is set.
    void stopspeaking() override;
    // Ends the reading for good, as the Stop button of what is read does:
    // the document being read runs its window's Stop; other text (another
    // application's selection, the floating bar's) goes silent and every
    // face shows the idle state.
    void stopReading();
    void PauseSpeaking() override;
    void ResumeSpeaking() override;
    // Passes the flag to voicecls; throws when voicecls is empty.
    void SetSpFlagIsFilename(int flag) override;
    // Plays a wave file with a fresh speech object.
    void Speakfile(QString filename);
    // Closes the utterance that ended.
    void speakingend();
    // Continues the reading after an utterance.
    void speakingendbynormal();
    // Index of a voice description in the voice descriptions; 0 when absent.
    std::int16_t getfunctionID(const QString& tokendescription);
    // End of a stream of voicecls.
    void voicecls_VoiceEnded() override;

private:
    bool ClipboardChanged();
    void SaveClipboardToFile();
    void LoadOutputDevices();
    void LoadVoiceDescriptions();
    void LoadVoiceLanguages();
    void LoadVoiceNames();
    void LoadVoiceData();
    void voicecls_HighLightSpokenWord(int pos, int len);
    void voicecls_VoiceChanged(const VoiceToken& token);
    void replaceVoice(std::unique_ptr<clsVoice> next);
    // A fresh speech object's number of voices; throws when there is none.
    int renewVoice();
    // Runs step on the document window being read, ignoring its errors;
    // nothing when there is none.
    template <class F>
    void onDocument(F&& step);
};
