#pragma once
// A voice object of the espeak-ng engine. Its utterances are synthesised by
// the engine's worker and played here, on the UI thread, through a
// QAudioSink of its own; events are raised when the audio they belong to is
// played, not when it is made.

#include "EspeakEngine.h"
#include "SpeechVoice.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <memory>
#include <vector>

class QAudioSink;
class QIODevice;

class EspeakVoice : public SpeechVoice {
    Q_OBJECT
public:
    explicit EspeakVoice(EspeakEngine* engine, QObject* parent = nullptr);
    ~EspeakVoice() override;

    int Speak(const QString& text, int flags) override;
    void Pause() override;
    void Resume() override;
    int Skip(const QString& type, int count) override;
    void SetRate(int rate) override { rate_ = std::clamp(rate, -10, 10); }
    int Rate() const override { return rate_; }
    void SetVolume(int volume) override { volume_ = std::clamp(volume, 0, 100); }
    int Volume() const override { return volume_; }
    QList<VoiceToken> GetVoices(const QString& required, const QString& optional) const override;
    void SetVoice(const VoiceToken& voice) override;
    VoiceToken Voice() const override { return voice_; }
    QList<AudioOutputToken> GetAudioOutputs(const QString& required, const QString& optional) const override;
    void SetAudioOutput(const AudioOutputToken& output) override;
    AudioOutputToken AudioOutput() const override { return output_; }
    int AudioOutputFormat() const override;
    void SetAudioOutputFormat(int formatType) override;
    void SetAllowAudioOutputFormatChangesOnNextSet(bool allow) override { allowFormatChanges_ = allow; }
    void SetAudioOutputStream(std::shared_ptr<SpeechFileStream> stream) override;
    std::shared_ptr<SpeechFileStream> AudioOutputStream() const override { return fileStream_; }
    bool WaitUntilDone(int ms) override;

    // Samples of the current utterance heard so far (for tests and benches).
    qint64 playedSamples() const;
    // Samples of the current utterance handed to the audio device so far.
    qint64 samplesWritten() const { return written_; }
    int sampleRate() const { return engine_->sampleRate(); }

private:
    struct Utterance {
        int number = 0;
        std::shared_ptr<EngineStream> stream;
        VoiceToken voice;
        std::shared_ptr<SpeechFileStream> file;
        bool started = false;
    };

    void tick();
    void purge();
    bool openSink();
    void closeSink();
    void feedSink();
    void kickSink();
    void startClock();
    void stopClock();

    EspeakEngine* engine_;
    std::deque<Utterance> pending_; // the first is playing
    QTimer timer_;
    int nextStream_ = 1;
    int rate_ = 0;
    int volume_ = 100;
    VoiceToken voice_;
    VoiceToken lastVoice_;
    bool spokeBefore_ = false;
    bool paused_ = false;
    AudioOutputToken output_;
    int formatType_ = 22;
    bool allowFormatChanges_ = true;
    std::shared_ptr<SpeechFileStream> fileStream_;

    // Audio of the playing utterance.
    QAudioSink* sink_ = nullptr; // never deleted: closeSink parks it
    QByteArray sinkDevice_;
    QIODevice* sinkIo_ = nullptr;
    bool sinkFailed_ = false;
    std::vector<qint16> carry_; // taken from the stream, not yet accepted by the sink
    qint64 written_ = 0;        // samples of the utterance handed to the sink
    qint64 padding_ = 0;        // silence handed to the sink after them
    qint64 lastHeard_ = -1;     // to see the sink stall at the end of a short text
    QElapsedTimer stalled_;
    // The device reports what it has taken in steps; between two steps the
    // sound goes on at the sample rate.
    mutable qint64 stepBase_ = -1;
    mutable QElapsedTimer stepClock_;
    // Without a sink the audio is timed by the wall clock.
    QElapsedTimer clock_;
    qint64 clockBase_ = 0;
};
