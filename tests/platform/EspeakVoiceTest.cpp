// The espeak-ng voice for real: synthesis, playback into the test desktop's
// null sink, event timing, pause, purge, files.
#include "platform/EspeakEngine.h"
#include "platform/EspeakVoice.h"
#include "platform/SpeechVoice.h"
#include "platform/WaveFile.h"
#include "support/EventPump.h"
#include "support/SinkRecorder.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>

namespace {

struct Event {
    QString kind;
    int stream = 0;
    int pos = 0;
    int len = 0;
    qint64 sample = 0; // where in the utterance's audio the event stands
    qint64 played = 0; // samples of the utterance played when it came
};

// Collects a voice's events with the place in the audio where each one
// stands and how much of the audio had been played when it came.
class EventLog {
public:
    explicit EventLog(SpeechVoice& v)
        : espeak(qobject_cast<EspeakVoice*>(&v))
    {
        QObject::connect(&v, &SpeechVoice::StartStream, &ctx, [this](int s, qint64 at) { add("start", s, at); });
        QObject::connect(&v, &SpeechVoice::EndStream, &ctx, [this](int s, qint64 at) { add("end", s, at); });
        QObject::connect(&v, &SpeechVoice::VoiceChange, &ctx,
                         [this](int s, qint64 at, const VoiceToken&) { add("voice", s, at); });
        QObject::connect(&v, &SpeechVoice::Word, &ctx,
                         [this](int s, qint64 at, int p, int l) { add("word", s, at, p, l); });
    }
    EspeakVoice* espeak;
    QObject ctx; // the connections end with the log
    void add(const QString& k, int s, qint64 bytes, int p = 0, int l = 0)
    {
        events.push_back({k, s, p, l, bytes / 2, espeak ? espeak->playedSamples() : -1});
    }
    int count(const QString& kind, int stream = -1) const
    {
        int n = 0;
        for (const Event& e : events)
            n += (e.kind == kind && (stream < 0 || e.stream == stream)) ? 1 : 0;
        return n;
    }
    std::vector<Event> of(const QString& kind, int stream = -1) const
    {
        std::vector<Event> out;
        for (const Event& e : events) {
            if (e.kind == kind && (stream < 0 || e.stream == stream))
                out.push_back(e);
        }
        return out;
    }
    std::vector<Event> events;
};

class EspeakVoiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        voice = CreateSpeechVoice();
        ASSERT_TRUE(voice) << "the speech engine did not start";
    }
    std::unique_ptr<SpeechVoice> voice;
};

const QString kHello = "Hello world. This is a test.";

// Keeps what a voice writes to a file stream.
struct Capture : SpeechFileStream {
    std::vector<qint16> samples;
    void Open(const QString&, int, bool) override {}
    void Close() override {}
    void writeSamples(const qint16* p, qsizetype n, int) override { samples.insert(samples.end(), p, p + n); }
};

TEST(EspeakEngineRules, RateVoicesAndPositions)
{
    EXPECT_EQ(EspeakEngine::wordsPerMinute(0), 175);
    EXPECT_EQ(EspeakEngine::wordsPerMinute(10), 450); // 525 is past the engine's range
    EXPECT_EQ(EspeakEngine::wordsPerMinute(-6), 91);
    EXPECT_EQ(EspeakEngine::wordsPerMinute(4), 272);
    EXPECT_EQ(EspeakEngine::wordsPerMinute(-10), 80);

    // Code points to UTF-16: a character outside the BMP takes two units.
    const QString text = QString::fromUtf8("a😀b");
    EXPECT_EQ(EspeakEngine::codePointOffsets(text), (std::vector<int>{0, 1, 3, 4}));

    // A word event stands for the word of the text it falls in.
    struct Snap {
        const char* text;
        int position, length;
        const char* word;
    };
    const Snap snaps[] = {
        {"In 2007 it", 3, 4, "2007"},  {"In 2007 it", 4, 4, "2007"}, {"3.50 now", 1, 4, "3.50"},
        {"1,000,000 x", 1, 2, "1,000,000"}, {"Don't", 0, 3, "Don't"}, {"it’s", 0, 2, "it’s"},
        {"x86_64 y", 4, 3, "64"},      {"5. end", 0, 2, "5"},         {"\"Quoted\"", 0, 7, "Quoted"},
        {"a - b", 2, 1, "-"},          {"a😀b 𝐀𝐁x", 7, 2, "𝐀𝐁x"},
    };
    for (const Snap& c : snaps) {
        const QString t = QString::fromUtf8(c.text);
        const auto [position, length] = EspeakEngine::wordAt(t, c.position, c.length);
        EXPECT_EQ(t.mid(position, length), QString::fromUtf8(c.word)) << c.text << " at " << c.position;
    }
    EXPECT_EQ(EspeakEngine::wordAt(u"abc", 7, 2), (std::pair<int, int>{7, 2}));

    // One order for every locale: by description as shown, accents and
    // letter case aside; the user's language only chooses the voice.
    const std::pair<const char*, const char*> voices[] = {
        {"cy", "Welsh"},       {"fr-fr", "French (France)"}, {"en-us", "English (America)"},
        {"cv", "Chuvash"},     {"mi", "Māori"},              {"en-gb", "English (Great Britain)"},
        {"mr", "Marathi"},     {"mk", "macedonian"},         {"de", "German"},
        {"af", "Afrikaans"},   {"en-029", "English (Caribbean)"},
    };
    QList<VoiceToken> list;
    for (const auto& [lang, description] : voices)
        list.append(VoiceToken{lang, QString::fromUtf8(description), {{"Language", lang}}});
    const QList<VoiceToken> ordered = EspeakEngine::inListOrder(list);
    QStringList ids;
    for (const VoiceToken& v : ordered)
        ids << v.id;
    EXPECT_EQ(ids.join(' ').toStdString(), "af cv en-us en-029 en-gb fr-fr de mk mi mr cy");
    const auto voiceFor = [&](const char* locale) { return ordered.value(VoiceIndexForLocale(ordered, locale)).id; };
    for (const char* locale : {"en_US", "C", "POSIX", "", "en_AU", "xx_YY"})
        EXPECT_EQ(voiceFor(locale), "en-us") << locale;
    EXPECT_EQ(voiceFor("en_GB.UTF-8"), "en-gb");
    EXPECT_EQ(voiceFor("de_DE.UTF-8"), "de");
    EXPECT_EQ(voiceFor("fr_CA"), "fr-fr");
    EXPECT_EQ(VoiceIndexForLocale({}, "de_DE"), 0);
}

TEST_F(EspeakVoiceTest, VoiceListIsUsable)
{
    const QList<VoiceToken> voices = voice->GetVoices();
    ASSERT_GT(voices.size(), 10);
    QSet<QString> descriptions;
    for (const VoiceToken& v : voices) {
        EXPECT_FALSE(v.description.contains(u';')) << v.description.toStdString();
        EXPECT_FALSE(v.GetAttribute("Name").isEmpty());
        EXPECT_FALSE(v.GetAttribute("Language").isEmpty());
        EXPECT_TRUE(v.GetAttribute("TTSData").isEmpty());
        descriptions.insert(v.description);
    }
    EXPECT_EQ(descriptions.size(), voices.size()) << "descriptions must be unique";
    // Until one is chosen, the voice of the user's language.
    EXPECT_EQ(voice->Voice().id, voices.at(UserVoiceIndex(voices)).id);
    EXPECT_THROW(voice->SetVoice(VoiceToken{"no/such", "x", {}}), SpeechError);
}

TEST_F(EspeakVoiceTest, SpeaksIntoTheSinkWithWordsAtTheirPlaces)
{
    if (SinkRecorder::sink().isEmpty())
        GTEST_SKIP() << "no test sink";
    // The sound the engine makes for the text.
    auto made = std::make_shared<Capture>();
    {
        auto other = CreateSpeechVoice();
        other->SetAudioOutputStream(made);
        other->Speak(kHello, SVSFlagsAsync);
        ASSERT_TRUE(other->WaitUntilDone(10000));
    }

    SinkRecorder rec;
    ASSERT_TRUE(rec.start());
    EventLog log(*voice);
    const int stream = voice->Speak(kHello, SVSFlagsAsync | SVSFIsNotXML);
    EXPECT_TRUE(log.events.empty()) << "Speak must return before the text is spoken";
    ASSERT_TRUE(pumpUntil([&] { return log.count("end") > 0; }, 10000));
    const auto audio = rec.stop();

    const auto words = log.of("word", stream);
    std::vector<std::pair<int, int>> got;
    for (const Event& w : words)
        got.push_back({w.pos, w.len});
    EXPECT_EQ(got, (std::vector<std::pair<int, int>>{{0, 5}, {6, 5}, {13, 4}, {18, 2}, {21, 1}, {23, 4}}));
    EXPECT_EQ(log.count("start"), 1);
    EXPECT_EQ(log.count("voice"), 1);
    EXPECT_EQ(log.count("end"), 1);
    EXPECT_EQ(log.events.front().kind, "start");
    EXPECT_EQ(log.events.back().kind, "end");

    // All of the sound was played, once (about 1.8 s at the normal rate),
    // and the events follow the audio, not the synthesis.
    const auto span = SinkRecorder::soundSpan(audio);
    EXPECT_GT(double(span.second - span.first) / SinkRecorder::kRate, 1.4);
    EXPECT_NEAR(double(SinkRecorder::loudSamples(audio)) / double(SinkRecorder::loudSamples(made->samples)), 1.0, 0.03);
    // Each word comes once its first sample has been played, so the first
    // comes while most of the sound is still to play, and the end after the
    // last word has been heard.
    for (const Event& w : words)
        EXPECT_GE(w.played, w.sample) << "word at " << w.pos << " came before its sound";
    const qint64 total = log.of("end").front().sample;
    EXPECT_LT(words.front().played, total / 2) << "the words came with the synthesis, not with the audio";
    EXPECT_GT(words.back().sample, total / 2);
}

// The words the engine reports, once each, as the text has them: a number
// is one word however many the engine says for it.
TEST_F(EspeakVoiceTest, WordsAreTheWordsOfTheText)
{
    voice->SetAudioOutputStream(std::make_shared<Capture>());
    const std::pair<const char*, const char*> cases[] = {
        {"In 2007 it rained.", "In|2007|it|rained"},
        {"It costs 3.50 now.", "It|costs|3.50|now"},
        {"Mr. Smith came.", "Mr|Smith|came"},
        {"\r\n\r\nAfter an empty line.", "After|an|empty|line"},
        {"Don't count 1,000,000 sheep.", "Don't|count|1,000,000|sheep"},
    };
    for (const auto& [raw, expected] : cases) {
        const QString text = QString::fromUtf8(raw);
        QStringList words;
        QObject ctx;
        QObject::connect(voice.get(), &SpeechVoice::Word, &ctx, [&](int, qint64, int p, int l) {
            if (words.isEmpty() || words.last() != text.mid(p, l))
                words << text.mid(p, l);
        });
        voice->Speak(text, SVSFlagsAsync);
        ASSERT_TRUE(voice->WaitUntilDone(10000));
        EXPECT_EQ(words.join('|').toStdString(), expected);
    }
}

TEST_F(EspeakVoiceTest, PauseHoldsTheAudioAndResumeLosesNothing)
{
    if (SinkRecorder::sink().isEmpty())
        GTEST_SKIP() << "no test sink";
    // Once straight through, once with a one-second pause half-way.
    auto record = [&](bool pause) {
        SinkRecorder rec;
        EXPECT_TRUE(rec.start());
        EventLog log(*voice);
        voice->Speak(kHello, SVSFlagsAsync);
        if (pause) {
            EXPECT_TRUE(pumpUntil([&] { return log.count("word") >= 3; }, 5000));
            voice->Pause();
            const int wordsAtPause = log.count("word");
            pump(1000);
            EXPECT_EQ(log.count("word"), wordsAtPause) << "no word while paused";
            EXPECT_EQ(log.count("end"), 0);
            voice->Resume();
        }
        EXPECT_TRUE(pumpUntil([&] { return log.count("end") > 0; }, 10000));
        EXPECT_EQ(log.count("word"), 6);
        return rec.stop();
    };
    const auto plain = record(false);
    const auto paused = record(true);
    // The pause held the sound for its second.
    EXPECT_GT(double(SinkRecorder::longestQuiet(paused)) / SinkRecorder::kRate, 0.9);
    // As much sound in both: nothing lost, nothing played twice.
    const double ratio = double(SinkRecorder::loudSamples(paused)) / double(SinkRecorder::loudSamples(plain));
    EXPECT_NEAR(ratio, 1.0, 0.03);
}

// A pause that meets the sound running dry (the UI thread held up, as on a
// busy machine) must not leave the sound stopped after Resume: each resume
// goes on with the next words.
TEST_F(EspeakVoiceTest, ResumeAfterAPauseAtARunDryGoesOn)
{
    if (SinkRecorder::sink().isEmpty())
        GTEST_SKIP() << "no test sink";
    QString text;
    for (int i = 0; i < 40; ++i)
        text += "One more sentence to be read aloud here. ";
    EventLog log(*voice);
    voice->Speak(text, SVSFlagsAsync);
    for (int i = 0; i < 30; ++i) {
        const int words = log.count("word");
        ASSERT_TRUE(pumpUntil([&] { return log.count("word") > words; }, 10000)) << "silent after resume " << i;
        QThread::msleep(static_cast<unsigned long>(60 + (i * 37) % 120)); // nothing feeds the sink meanwhile
        voice->Pause();
        pump(20 + (i * 13) % 80);
        voice->Resume();
    }
    voice->Speak("", SVSFPurgeBeforeSpeak);
}

TEST_F(EspeakVoiceTest, PurgeEndsTheStreamOnceAndDropsTheQueue)
{
    EventLog log(*voice);
    const int first = voice->Speak(kHello, SVSFlagsAsync);
    const int queued = voice->Speak("This never starts.", SVSFlagsAsync);
    ASSERT_TRUE(pumpUntil([&] { return log.count("word", first) >= 2; }, 5000));
    voice->Speak("", SVSFPurgeBeforeSpeak);
    EXPECT_EQ(log.count("end"), 0) << "the end of a purged stream comes after the call returns";
    ASSERT_TRUE(pumpUntil([&] { return log.count("end") > 0; }, 10000));
    pump(300); // nothing else comes
    EXPECT_EQ(log.count("end", first), 1);
    EXPECT_EQ(log.count("start", queued), 0);
    EXPECT_EQ(log.count("end", queued), 0);
    EXPECT_LT(log.count("word", first), 6);
    EXPECT_EQ(log.count("end"), 1);

    // A text purged before its sound began still ends its stream.
    const int early = voice->Speak("Purged at once.", SVSFlagsAsync);
    voice->Speak("", SVSFPurgeBeforeSpeak);
    ASSERT_TRUE(pumpUntil([&] { return log.count("end", early) == 1; }, 2000));
    EXPECT_EQ(log.count("start", early), 1);
    EXPECT_EQ(log.count("word", early), 0);

    // Purge-and-speak: the new text is spoken in full.
    const int next = voice->Speak("Next one.", SVSFlagsAsync | SVSFPurgeBeforeSpeak);
    ASSERT_TRUE(pumpUntil([&] { return log.count("end", next) == 1; }, 5000));
    EXPECT_EQ(log.count("word", next), 2);
}

TEST_F(EspeakVoiceTest, ObjectsSpeakSideBySideWithTheirOwnEvents)
{
    auto other = CreateSpeechVoice();
    ASSERT_TRUE(other);
    EventLog a(*voice), b(*other);
    voice->Speak("One two three.", SVSFlagsAsync);
    other->Speak("Four five.", SVSFlagsAsync);
    ASSERT_TRUE(pumpUntil([&] { return a.count("end") && b.count("end"); }, 10000));
    EXPECT_EQ(a.count("word"), 3);
    EXPECT_EQ(b.count("word"), 2);
    // Discarding an object mid-utterance is quiet and leaves the other alone.
    voice->Speak(kHello, SVSFlagsAsync);
    other->Speak(kHello, SVSFlagsAsync);
    ASSERT_TRUE(pumpUntil([&] { return a.count("word") > 3; }, 5000));
    voice.reset();
    ASSERT_TRUE(pumpUntil([&] { return b.count("end") == 2; }, 10000));
    EXPECT_EQ(b.count("word"), 8);
}

TEST_F(EspeakVoiceTest, VoiceChangeOnlyWhenTheVoiceDiffers)
{
    EventLog log(*voice);
    const QList<VoiceToken> voices = voice->GetVoices();
    voice->Speak("a.", SVSFlagsAsync);
    voice->Speak("b.", SVSFlagsAsync);
    voice->SetVoice(voices[1]);
    voice->Speak("c.", SVSFlagsAsync);
    ASSERT_TRUE(pumpUntil([&] { return log.count("end") == 3; }, 10000));
    EXPECT_EQ(log.count("voice", 1), 1);
    EXPECT_EQ(log.count("voice", 2), 0);
    EXPECT_EQ(log.count("voice", 3), 1);
}

TEST_F(EspeakVoiceTest, RateChangesTheLengthOfSpeech)
{
    auto lengthAt = [&](int rate) {
        voice->SetRate(rate);
        EventLog log(*voice);
        voice->Speak("The quick brown fox jumps over the lazy dog again and again.", SVSFlagsAsync);
        EXPECT_TRUE(pumpUntil([&] { return log.count("end") > 0; }, 30000));
        return log.count("end") > 0 ? log.of("end").front().sample : 0; // samples spoken
    };
    const qint64 slow = lengthAt(-6);
    const qint64 fast = lengthAt(4);
    ASSERT_GT(fast, 0);
    EXPECT_GT(double(slow) / double(fast), 2.0);
}

TEST_F(EspeakVoiceTest, AwkwardTextsEndCleanly)
{
    EventLog log(*voice);
    const QString nul = QString("one") + QChar(u'\0') + "two";
    const QString lone = QString("lone ") + QChar(0xD800) + " surrogate and " + QChar(0xDC00) + " word";
    const QList<QString> texts = {".,;:!?", "   \r\n\t  ", nul, lone, QString::fromUtf8("😀 smile")};
    for (const QString& t : texts) {
        const int s = voice->Speak(t, SVSFlagsAsync);
        ASSERT_TRUE(pumpUntil([&] { return log.count("end", s) == 1; }, 10000)) << t.toStdString();
        for (const Event& w : log.of("word", s)) {
            EXPECT_GE(w.pos, 0);
            EXPECT_LE(w.pos + w.len, t.size()) << t.toStdString();
            EXPECT_GT(w.len, 0);
        }
    }
    // NUL does not cut the text: "two" is spoken too, at its own place.
    const auto nulWords = log.of("word", 3);
    ASSERT_EQ(nulWords.size(), 2u);
    EXPECT_EQ(nulWords[1].pos, 4);
    // The smiley takes two UTF-16 units, so "smile" starts at 3.
    EXPECT_EQ(log.of("word", 5).back().pos, 3);
}

TEST_F(EspeakVoiceTest, HugeTextStartsAtOnceAndStopsAtOnce)
{
    QString big;
    while (big.size() < 1'000'000)
        big += "This sentence is part of a very long text. ";
    EventLog log(*voice);
    const int s = voice->Speak(big, SVSFlagsAsync);
    EXPECT_TRUE(log.events.empty()) << "Speak must return before the text is spoken";
    ASSERT_TRUE(pumpUntil([&] { return log.count("word", s) >= 2; }, 30000));
    voice->Speak("", SVSFPurgeBeforeSpeak);
    ASSERT_TRUE(pumpUntil([&] { return log.count("end", s) == 1; }, 10000));
    // The engine is free again for the next text.
    const int next = voice->Speak("Done.", SVSFlagsAsync);
    ASSERT_TRUE(pumpUntil([&] { return log.count("end", next) == 1; }, 5000));
}

// A voice discarded or stopped just as its sound runs out, as the program
// does with a new voice for each sentence, with Stop after a sentence and
// with the greeting's voice at exit: the sound server may still be
// finishing that voice's stream. Some are dropped inside their end event,
// the others a few milliseconds later, to meet the stream at several points
// of its end.
TEST_F(EspeakVoiceTest, VoicesStoppedAndRenewedAtTheEndOfUtterancesLiveOn)
{
    if (SinkRecorder::sink().isEmpty())
        GTEST_SKIP() << "no test sink";
    voice.reset();
    for (int i = 0; i < 200; ++i) {
        auto v = CreateSpeechVoice();
        ASSERT_TRUE(v);
        v->SetRate(10);
        bool ended = false;
        const bool stop = i % 2 == 0;
        const bool inEvent = i % 3 == 0;
        QObject::connect(v.get(), &SpeechVoice::EndStream, v.get(), [&] {
            ended = true;
            if (inEvent)
                v.reset();
        });
        v->Speak(i % 5 == 0 ? "Go on." : "Go.", SVSFlagsAsync);
        ASSERT_TRUE(pumpUntil([&] { return ended; }, 10000)) << "utterance " << i;
        if (v) {
            QThread::usleep(static_cast<unsigned long>(i % 7) * 1000);
            if (stop)
                v->Speak("", SVSFPurgeBeforeSpeak);
            v.reset();
        }
    }
    // Speech still works afterwards.
    voice = CreateSpeechVoice();
    EventLog log(*voice);
    voice->Speak(kHello, SVSFlagsAsync);
    ASSERT_TRUE(pumpUntil([&] { return log.count("end") == 1; }, 10000));
    EXPECT_EQ(log.count("word"), 6);
}

void writeTone(const QString& path, int rate, int channels, double seconds)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    const int frames = int(rate * seconds);
    std::vector<short> data(size_t(frames * channels));
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            data[size_t(i * channels + c)] = short(8000 * std::sin(2 * M_PI * 440 * i / rate));
    sf_writef_short(f, data.data(), frames);
    sf_close(f);
}

TEST_F(EspeakVoiceTest, PlaysWaveFiles)
{
    QTemporaryDir dir;
    const QString wav = dir.path() + "/tone.wav";
    writeTone(wav, 44100, 2, 0.5);
    SinkRecorder rec;
    const bool recording = !SinkRecorder::sink().isEmpty() && rec.start();
    EventLog log(*voice);
    voice->Speak(wav, SVSFlagsAsync | SVSFIsFilename);
    ASSERT_TRUE(pumpUntil([&] { return log.count("end") == 1; }, 30000));
    // The end comes after all of the tone: half a second of samples.
    ASSERT_NE(log.espeak, nullptr);
    EXPECT_NEAR(double(log.of("end").front().sample) / log.espeak->sampleRate(), 0.5, 0.01);
    if (recording) {
        const auto audio = rec.stop();
        // All of the tone, once (a sine is quiet for 2.4 % of its samples).
        EXPECT_NEAR(double(SinkRecorder::loudSamples(audio)) / SinkRecorder::kRate, 0.488, 0.03);
    }
    EXPECT_THROW(voice->Speak(dir.path() + "/missing.wav", SVSFlagsAsync | SVSFIsFilename), SpeechError);
}

TEST_F(EspeakVoiceTest, WritesSpeechToAFileInTheFormatAskedFor)
{
    QTemporaryDir dir;
    const QString out = dir.path() + "/speech.wav";
    auto stream = CreateSpeechFileStream();
    stream->formatType = 39; // 48 kHz, 16 bit, stereo
    stream->Open(out, 3, false);
    voice->SetAudioOutputStream(stream);
    EventLog log(*voice);
    voice->Speak(kHello, SVSFlagsAsync);
    ASSERT_TRUE(voice->WaitUntilDone(-1));
    stream->Close();
    voice->SetAudioOutputStream(nullptr);
    EXPECT_EQ(log.count("word"), 6);
    EXPECT_EQ(log.count("end"), 1);

    SF_INFO info{};
    SNDFILE* f = sf_open(out.toLocal8Bit().constData(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    std::vector<short> frames(size_t(info.frames * info.channels));
    sf_readf_short(f, frames.data(), info.frames);
    sf_close(f);
    EXPECT_EQ(info.samplerate, 48000);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
    // The speech starts at once and ends with a sentence's pause (0.3 s).
    EXPECT_NEAR(double(info.frames) / 48000, 2.15, 0.15);
    const auto span = SinkRecorder::soundSpan(frames);
    EXPECT_LT(double(span.first) / (2 * 48000), 0.03);
    EXPECT_GT(double(qsizetype(frames.size()) - span.second) / (2 * 48000), 0.25);

    auto bad = CreateSpeechFileStream();
    EXPECT_THROW(bad->Open(dir.path() + "/no/such/dir/x.wav", 3, false), SpeechError);
}

} // namespace

