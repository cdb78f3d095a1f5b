#pragma once
// A speech engine for tests. It speaks nothing: it records every command it
// is given, in order, offers the voices and outputs the test gives it, and
// raises engine events when the test tells it to. Like the real engine, a
// purge ends every stream that is still running.
//
// ScriptedSpeechEngine installs it as the engine of CreateSpeechVoice() for
// its lifetime and keeps track of the voice objects made.

#include "platform/SpeechVoice.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class ScriptedSpeechVoice : public SpeechVoice {
    Q_OBJECT
public:
    // How the end of a purged stream is reported: through the event loop
    // (the next processEvents()), or at once, inside Speak.
    enum class EndDelivery { Queued, Immediate };

    struct Call {
        QString op;       // "Speak", "Pause", "Resume", "Skip", "SetRate", "SetVolume",
                          // "SetVoice", "SetAudioOutput", "SetAudioOutputFormat",
                          // "SetAllowAudioOutputFormatChangesOnNextSet",
                          // "SetAudioOutputStream", "WaitUntilDone"
        QString text;     // Speak: the text; Skip: the type; SetVoice/SetAudioOutput: the description
        int number = 0;   // Speak: flags; Skip: count; SetRate/SetVolume/format/wait: the value
        bool isNull = false; // Speak: the text was a null string
    };

    explicit ScriptedSpeechVoice(QList<VoiceToken> voices = {}, QList<AudioOutputToken> outputs = {});
    ~ScriptedSpeechVoice() override;

    // Script.
    QList<VoiceToken> voices;
    QList<AudioOutputToken> outputs;
    QSet<QString> failing; // operations (by name, queries too) that throw SpeechError
    EndDelivery purgeEnds = EndDelivery::Queued;
    // Told of every command as it is recorded.
    std::function<void(const Call&)> onCall;

    // Record.
    QList<Call> calls;
    QStringList ops() const;
    QList<Call> callsOf(const QString& op) const;
    // Streams spoken and not ended yet, oldest first.
    QList<int> running() const { return m_running; }
    // The stream number of the last Speak with a text (0 before any).
    int lastStream() const { return m_lastStream; }
    bool paused() const { return m_paused; }

    // Events, raised at once.
    void emitStart(int stream, qint64 streamPosition = 0);
    // Ends a stream: it is no longer running.
    void emitEnd(int stream, qint64 streamPosition = 0);
    void emitVoiceChange(int stream, const VoiceToken& token, qint64 streamPosition = 0);
    void emitWord(int stream, int position, int length, qint64 streamPosition = 0);
    void emitSentence(int stream, int position, int length, qint64 streamPosition = 0);
    void emitPhoneme(int stream, int duration, int nextPhoneId, int feature, int currentPhoneId,
                     qint64 streamPosition = 0);
    void emitViseme(int stream, int duration, int nextVisemeId, int feature, int currentVisemeId,
                    qint64 streamPosition = 0);
    void emitBookmark(int stream, const QString& bookmark, int bookmarkId, qint64 streamPosition = 0);
    void emitAudioLevel(int stream, int audioLevel, qint64 streamPosition = 0);
    void emitEnginePrivate(int stream, qint64 lParam, qint64 streamPosition = 0);

    // SpeechVoice
    int Speak(const QString& text, int flags) override;
    void Pause() override;
    void Resume() override;
    int Skip(const QString& type, int count) override;
    void SetRate(int rate) override;
    int Rate() const override;
    void SetVolume(int volume) override;
    int Volume() const override;
    QList<VoiceToken> GetVoices(const QString& required = {}, const QString& optional = {}) const override;
    void SetVoice(const VoiceToken& voice) override;
    VoiceToken Voice() const override;
    QList<AudioOutputToken> GetAudioOutputs(const QString& required = {},
                                            const QString& optional = {}) const override;
    void SetAudioOutput(const AudioOutputToken& output) override;
    AudioOutputToken AudioOutput() const override;
    int AudioOutputFormat() const override;
    void SetAudioOutputFormat(int formatType) override;
    void SetAllowAudioOutputFormatChangesOnNextSet(bool allow) override;
    void SetAudioOutputStream(std::shared_ptr<SpeechFileStream> stream) override;
    std::shared_ptr<SpeechFileStream> AudioOutputStream() const override;
    bool WaitUntilDone(int ms) override;

private:
    void record(const Call& call);
    void check(const char* op) const;

    QList<int> m_running;
    int m_nextStream = 1;
    int m_lastStream = 0;
    bool m_paused = false;
    int m_rate = 0;
    int m_volume = 100;
    int m_format = 22;
    VoiceToken m_voice;
    AudioOutputToken m_output;
    std::shared_ptr<SpeechFileStream> m_stream;
};

// Installs the scripted engine for CreateSpeechVoice() while it lives.
class ScriptedSpeechEngine {
public:
    ScriptedSpeechEngine();
    ~ScriptedSpeechEngine();
    ScriptedSpeechEngine(const ScriptedSpeechEngine&) = delete;
    ScriptedSpeechEngine& operator=(const ScriptedSpeechEngine&) = delete;

    // Given to every voice object made from now on.
    QList<VoiceToken> voices;
    QList<AudioOutputToken> outputs;
    QSet<QString> failing;
    ScriptedSpeechVoice::EndDelivery purgeEnds = ScriptedSpeechVoice::EndDelivery::Queued;
    // False: the engine cannot start, CreateSpeechVoice() gives null.
    bool available = true;

    // Every command given to any of the voice objects, in order, with the
    // index of the object (see created()).
    struct Entry {
        int voice = 0;
        ScriptedSpeechVoice::Call call;
    };
    QList<Entry> journal;
    // The texts handed to Speak so far, by every voice object, empty purges
    // left out.
    QStringList spokenTexts() const;

    // Voice objects made so far, oldest first; an entry is null once that
    // object is gone.
    int createdCount() const { return static_cast<int>(m_created.size()); }
    ScriptedSpeechVoice* created(int index) const { return m_created.value(index); }
    ScriptedSpeechVoice* last() const { return m_created.isEmpty() ? nullptr : m_created.last().data(); }

    // A voice with a description and attributes.
    static VoiceToken voice(const QString& id, const QString& description,
                            const QMap<QString, QString>& attributes = {});

private:
    QList<QPointer<ScriptedSpeechVoice>> m_created;
};
