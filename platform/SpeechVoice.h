#pragma once
// A text-to-speech voice object: speaks texts and wave files asynchronously
// and reports what it is doing through events delivered on the UI thread, in
// the order they happen. Several voice objects may live at once; each has
// its own queue, audio output and events.

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>

// Raised by a voice operation that fails (no such voice, unreadable file,
// no audio device, ...).
class SpeechError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One installed voice.
struct VoiceToken {
    QString id;                         // stable identifier of the voice
    QString description;                // unique display text, never holds ";"
    QMap<QString, QString> attributes;  // "Name", "Language", "TTSData", "Gender", ...

    QString GetDescription(int /*locale*/ = 0) const { return description; }
    QString GetAttribute(const QString& name) const { return attributes.value(name); }
    bool isNull() const { return id.isEmpty(); }
    friend bool operator==(const VoiceToken& a, const VoiceToken& b) { return a.id == b.id; }
};

// The index in `voices` of the voice for a locale name ("de_DE",
// "en_US.UTF-8"): the voice of exactly that language and region, else of
// the language alone, else the first of the language; American English for
// English and for a language without a voice; 0 when none of these is
// there. "C" and "POSIX" count as American English.
int VoiceIndexForLocale(const QList<VoiceToken>& voices, const QString& localeName);
// The same for the user's locale.
int UserVoiceIndex(const QList<VoiceToken>& voices);

// One audio output device.
struct AudioOutputToken {
    QByteArray id;        // device id ("" = the system's default output)
    QString description;

    QString GetDescription(int /*locale*/ = 0) const { return description; }
};

// Speak flags.
enum SpeakFlag : int {
    SVSFlagsAsync = 1,
    SVSFPurgeBeforeSpeak = 2,
    SVSFIsFilename = 4,
    SVSFIsXML = 8,
    SVSFIsNotXML = 16,
    SVSFPersistXML = 32,
    SVSFNLPSpeakPunc = 64,
};

// Audio format numbers: 4 + 4*rateIndex + (2 for 16 bit) + (1 for stereo),
// rates 8, 11, 12, 16, 22, 24, 32, 44, 48 kHz.
struct AudioFormat {
    int sampleRate = 22050;
    int bitsPerSample = 16;
    int channels = 1;
};
// The format of a format number (4..39); nothing for any other number.
bool AudioFormatFromType(int formatType, AudioFormat& format);

// A wave file that speech can be written to instead of the audio device.
class SpeechFileStream {
public:
    virtual ~SpeechFileStream() = default;
    int formatType = 22; // SAFT22kHz16BitMono
    // Creates (mode 3) the file; throws SpeechError when it cannot.
    virtual void Open(const QString& path, int mode, bool doEvents) = 0;
    virtual void Close() = 0;
    // Called by the voice with mono 16-bit samples at sampleRate.
    virtual void writeSamples(const qint16* samples, qsizetype count, int sampleRate) = 0;
};
std::shared_ptr<SpeechFileStream> CreateSpeechFileStream();

class SpeechVoice : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SpeechVoice() override = default;

    // Queues text (or, with SVSFIsFilename, a wave file) and returns its
    // stream number at once. SVSFPurgeBeforeSpeak first drops everything
    // playing and queued; an empty text with it only drops.
    virtual int Speak(const QString& text, int flags) = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    // Skips count items ("Sentence") of the current stream; returns how many.
    virtual int Skip(const QString& type, int count) = 0;
    virtual void SetRate(int rate) = 0; // -10..10
    virtual int Rate() const = 0;
    virtual void SetVolume(int volume) = 0; // 0..100
    virtual int Volume() const = 0;

    virtual QList<VoiceToken> GetVoices(const QString& required = {}, const QString& optional = {}) const = 0;
    virtual void SetVoice(const VoiceToken& voice) = 0;
    virtual VoiceToken Voice() const = 0;

    virtual QList<AudioOutputToken> GetAudioOutputs(const QString& required = {},
                                                    const QString& optional = {}) const = 0;
    virtual void SetAudioOutput(const AudioOutputToken& output) = 0;
    virtual AudioOutputToken AudioOutput() const = 0;
    // Format number of the output stream (device or file).
    virtual int AudioOutputFormat() const = 0;
    virtual void SetAudioOutputFormat(int formatType) = 0;
    virtual void SetAllowAudioOutputFormatChangesOnNextSet(bool allow) = 0;
    // Directs speech into a file stream; null goes back to the device.
    virtual void SetAudioOutputStream(std::shared_ptr<SpeechFileStream> stream) = 0;
    virtual std::shared_ptr<SpeechFileStream> AudioOutputStream() const = 0;
    // Waits (running no events) until everything queued has been spoken;
    // ms < 0 waits without limit. True when done.
    virtual bool WaitUntilDone(int ms) = 0;

signals:
    void StartStream(int streamNumber, qint64 streamPosition);
    void EndStream(int streamNumber, qint64 streamPosition);
    void VoiceChange(int streamNumber, qint64 streamPosition, const VoiceToken& token);
    // position and length in UTF-16 units of the text given to Speak
    void Word(int streamNumber, qint64 streamPosition, int characterPosition, int length);
    void Sentence(int streamNumber, qint64 streamPosition, int characterPosition, int length);
    void Phoneme(int streamNumber, qint64 streamPosition, int duration, int nextPhoneId, int feature,
                 int currentPhoneId);
    void Viseme(int streamNumber, qint64 streamPosition, int duration, int nextVisemeId, int feature,
                int currentVisemeId);
    void Bookmark(int streamNumber, qint64 streamPosition, const QString& bookmark, int bookmarkId);
    void AudioLevel(int streamNumber, qint64 streamPosition, int audioLevel);
    void EnginePrivate(int streamNumber, qint64 streamPosition, qint64 lParam);
};

// Creates a voice object of the installed engine, or null when the engine
// cannot start (its data missing). Tests may install a factory of their own.
std::unique_ptr<SpeechVoice> CreateSpeechVoice();
using SpeechVoiceFactory = std::function<std::unique_ptr<SpeechVoice>()>;
void SetSpeechVoiceFactory(SpeechVoiceFactory factory);
