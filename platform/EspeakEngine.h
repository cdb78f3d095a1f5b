#pragma once
// The one espeak-ng engine of the process. espeak-ng keeps global state, so
// every synthesis runs on one worker thread, one job at a time, for all the
// voice objects of the program. A job's samples and events are handed to
// the job's stream, which the owning voice object plays on the UI thread.

#include "SpeechVoice.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

// One event of a stream, at a sample of the stream's audio.
struct EngineEvent {
    enum Kind { Word, Sentence, Phoneme, Bookmark };
    Kind kind = Word;
    qint64 sample = 0;
    int position = 0; // UTF-16 index into the spoken text
    int length = 0;   // UTF-16 units
    QString name;     // bookmark name or phoneme
};

// What one utterance produces: audio (mono, 16 bit, at the engine's rate)
// and events, filled by the worker and drained by the player.
class EngineStream {
public:
    // Appends what the worker made. Blocks while the stream holds more than
    // a set amount of unplayed audio, until it is played or cancelled.
    void append(const short* samples, int count, std::vector<EngineEvent>&& events);
    void finish();
    void cancel();

    // Player side: takes up to max samples; returns how many.
    qsizetype take(std::vector<qint16>& out, qsizetype max);
    // Events up to and including sample `upTo`, in order.
    std::vector<EngineEvent> takeEvents(qint64 upTo);
    bool finished() const;
    bool cancelled() const { return cancelled_.load(); }
    qint64 produced() const;
    // Drops audio and events up to sample `to` (for Skip); returns the new
    // read position.
    qint64 skipTo(qint64 to);
    // Sample positions of the sentences still ahead, for Skip.
    std::vector<qint64> sentenceStarts() const;
    // Waits until the worker has finished this stream (or ms ran out).
    bool waitFinished(int ms) const;

private:
    mutable std::mutex m_;
    mutable std::condition_variable cv_;
    std::deque<qint16> audio_;
    std::deque<EngineEvent> events_;
    qint64 readPos_ = 0;  // samples handed to the player so far
    qint64 produced_ = 0; // samples made so far
    bool finished_ = false;
    std::atomic<bool> cancelled_{false};
};

struct EngineJob {
    enum Kind { Text, WaveFile };
    Kind kind = Text;
    QString text;       // text, or the path of a wave file
    bool markup = false;
    QByteArray voiceId; // espeak voice identifier
    int wordsPerMinute = 175;
    int volume = 100;
    std::shared_ptr<EngineStream> stream;
    std::shared_ptr<SpeechFileStream> file; // when speech goes to a file
};

class EspeakEngine {
public:
    // The engine, started on first use; null when espeak-ng cannot start.
    static EspeakEngine* instance();

    int sampleRate() const { return sampleRate_; }
    const QList<VoiceToken>& voices() const { return voices_; }

    void submit(EngineJob job);
    // Removes the queued jobs of the given streams (not yet started).
    void dropQueued(const std::vector<std::shared_ptr<EngineStream>>& streams);

    // espeak's 1-based code-point positions to UTF-16 positions of text.
    static std::vector<int> codePointOffsets(const QString& text);
    // The word of `text` a word event at [position, position + length)
    // stands for. The engine reports the parts of what it says for one
    // written word as words of their own, each a character or more into it
    // ("2007" is "two thousand seven": "2007", "007 ", "007 ", "007 "; "3.50"
    // gives ".50 "), and may give a length short of the word ("Don" for
    // "Don't"). The word is the run of letters, digits and marks holding the
    // first of them in the event, with "." and "," between digits and
    // apostrophes between letters; an event with none of them is kept.
    // Returns {position, length}.
    static std::pair<int, int> wordAt(QStringView text, int position, int length);
    // 175 x 3^(rate/10) words per minute, within espeak's range.
    static int wordsPerMinute(int rate);
    // The voices in the order every voice list shows and every stored voice
    // index counts: by description as shown (accents and letter case aside,
    // then exactly), the same under every locale, so that a stored index
    // names the same voice whatever the user's language.
    static QList<VoiceToken> inListOrder(QList<VoiceToken> voices);

private:
    EspeakEngine() = default;
    bool start();
    void run();
    void synthesize(EngineJob& job);
    void playWaveFile(EngineJob& job);

    int sampleRate_ = 0;
    QList<VoiceToken> voices_;
    std::mutex m_;
    std::condition_variable cv_;
    std::deque<EngineJob> queue_;
};
