#pragma once
// clsVoice: one text-to-speech voice for the controller. Speaks texts and
// wave files asynchronously, pauses, resumes and purges speech, sets voice
// and rate, keeps the speak flags every utterance is given, and turns the
// engine's events into four events of its own. It also describes what the
// engine offers (voices, languages, output devices) as delimited strings and
// maps audio-format names to format numbers.
//
// Every call on the engine carries on past a failure without a report,
// except where a member says otherwise. Without an engine (the engine could
// not start) those calls do nothing and no events arrive.

#include "platform/Registry.h"
#include "platform/SpeechVoice.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class clsVoice : public QObject {
    Q_OBJECT
public:
    explicit clsVoice(QObject* parent = nullptr);
    ~clsVoice() override;

    clsVoice(const clsVoice&) = delete;
    clsVoice& operator=(const clsVoice&) = delete;

    // Public variables. Only OutputDevicename and flgConvert are set here;
    // the rest are kept for the holder and mean nothing to the class.
    std::int32_t frmtype = 0;
    bool isShowEvents = false; // forms the diagnostic line of each engine event
    QString VocieDescription;
    QString VocieNames;
    QString OutputDevicename; // "No audio ouput object available;" when there is no output
    QString ACMFileName;
    QString filename;
    QString FileString;
    std::int32_t flgBack = 0;
    bool flgConvert = false;
    std::int16_t convertingProgress = 0;
    // The engine's voice object; null when the engine could not start.
    std::unique_ptr<SpeechVoice> Voice1;

    // The text of a string value of the registry before its first NUL (at
    // most 255 characters); "" when missing. Errors reach the caller.
    QString ReadReg(RegRoot nHKEY, const QString& SubKey, const QString& getstring);

    // Speaks readtext (see the markup and pause rules in the source).
    void SpeakText(const QString& readtext, bool m_bPaused, bool m_bSpeaking);
    void ResumeSpeaking();
    // Sets the output format number (given as text) of the current output.
    void SetFormat(const QString& formattype);
    // Chooses output device Audiotype (0-based); a failure is shown in a
    // message box.
    void AudioOutputChange(int Audiotype);
    // Chooses voice VoiceID (0-based, the engine's order). Throws SpeechError
    // for an index outside the list or when there is no engine.
    void SetVoice(int VoiceID);
    void SetRate(int VoiceRate);
    void SetOutputFormat();
    // Speaks readtext into the wave file filename in the format named by
    // formattype, and waits until done. Errors reach the caller.
    void OutputToFile(const QString& filename, const QString& readtext, const QString& formattype);
    // Plays a wave file through the engine.
    void Speakfile(const QString& filename);
    void PauseSpeaking();
    void ResetSpeakFlags();
    void SkipSpeaking(int SkipNum);
    void SetVolume(int Volum);
    void SetSpFlagIsFilename(int Value);
    // Drops all speech in progress and queued.
    void stopspeaking();
    void isSVSFIsFilename(bool SVSFIsFilenamechk);
    void isSVSFlagsAsync(bool SVSFlagsAsyncchk);
    void isSpFlagIsXML(bool SpFlagIsXMLchk);
    void isSpFlagNLPSpeakPunc(bool SpFlagNLPSpeakPuncchk);
    void isSpFlagPersistXML(bool SpFlagPersistXMLchk);
    void isSpFlagPurgeBeforeSpeak(bool SpFlagPurgeBeforeSpeakchk);
    int ConvertToOgg(const QString& filename1, const QString& filename2, int MP3bitrates);
    int ConvertToMP3(const QString& filename1, const QString& filename2, int MP3bitrates);
    int outputexistingfile(const QString& filename1, const QString& filename2);
    void playfile(const QString& filename);
    void stopplay();

    // Voice and device lists: every item followed by its terminator.
    QString GetVoiceNames();       // attribute "Name", ";"
    QString GetVoiceDescription(); // description, ";"
    QString getOutputdevices();    // output descriptions, ";"
    // Number of installed voices. Errors (no engine) reach the caller.
    std::int16_t getnumberofSpeakers();
    // Format number of a name such as "SAFT22kHz16BitMono"; 38 for any
    // other text.
    static std::int32_t getformatype(const QString& formattype);
    QString GetVoiceData();      // attribute "TTSData" or the registry's "VoiceData", "$"
    QString GetVoiceLanguages(); // attribute "Language", "$"

    // The diagnostic line of the last engine event, formed only while
    // isShowEvents is on.
    QString lastTrace() const { return m_lastTrace; }

signals:
    void playstopped();
    void VoiceChanged(const VoiceToken& token);
    void VoiceEnded();
    void VoiceStarted();
    // pos: 0-based offset of the word in the text given to the one Speak;
    // len: its length in characters.
    void HighLightSpokenWord(int pos, int len);

private:
    void connectEngineEvents();
    // Runs one call on the engine, ignoring its failure; nothing without an
    // engine.
    void engineStep(const std::function<void()>& step);
    // Raises one of our events on behalf of an engine event.
    void raise(const std::function<void()>& emitter);
    // Applies the markup switch to SpeakFlags.
    void applyMarkupRule(const QString& readtext);
    QString voiceList(const std::function<QString(const VoiceToken&)>& item, const QString& terminator);
    static std::int32_t SetFlagBit(bool flag, std::int32_t value, std::int32_t bit);
    void TraceVoiceEvent(const QStringList& fields);
    int UnusedFileFunction(const QString& file1, const QString& file2);

    std::int32_t SpeakFlags = 0;
    std::int16_t IsFilenameFlag = 0;
    QString m_lastTrace;
    int m_dispatchDepth = 0; // > 0 while one of our events is being raised
};
