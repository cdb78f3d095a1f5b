// Measures how quickly speech starts, how closely word events follow the
// audio, how quickly one utterance follows another, and how long the UI
// thread is held up while speech is made. Needs a PulseAudio server whose
// default sink is named by TAMSEL_TEST_SINK (for recording its monitor).
#include "core/Globals.h"
#include "platform/EspeakVoice.h"
#include "platform/SpeechVoice.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"
#include "speech/clsVoice.h"
#include "speech/systemtray.h"

#include <QFile>
#include <QTemporaryDir>

#include "TimedRecorder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace {

template <class Pred>
void runUntil(Pred pred, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

// The first loud sample of a text as the engine makes it.
qint64 firstLoudSample(SpeechVoice& voice, const QString& text)
{
    struct Capture : SpeechFileStream {
        std::vector<qint16> s;
        void Open(const QString&, int, bool) override {}
        void Close() override {}
        void writeSamples(const qint16* p, qsizetype n, int) override { s.insert(s.end(), p, p + n); }
    };
    auto cap = std::make_shared<Capture>();
    voice.SetAudioOutputStream(cap);
    voice.Speak(text, SVSFlagsAsync);
    voice.WaitUntilDone(-1);
    voice.SetAudioOutputStream(nullptr);
    for (size_t i = 0; i < cap->s.size(); ++i) {
        if (std::abs(cap->s[i]) > 300)
            return qint64(i);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString sink = qEnvironmentVariable("TAMSEL_TEST_SINK");
    auto voiceHolder = CreateSpeechVoice();
    auto* voice = dynamic_cast<EspeakVoice*>(voiceHolder.get());
    if (!voice) {
        std::puts("no speech engine");
        return 1;
    }
    const QString sentence = "The quick brown fox jumps over the lazy dog while the small cat watches from "
                             "the old wooden fence and the birds sing their morning songs in the tall green trees.";

    // The controller's facade, as the program uses it, with its settings.
    QTemporaryDir settingsDir;
    globals.IniFile = settingsDir.path() + "/Update.xml";
    {
        QFile f(globals.IniFile);
        f.open(QIODevice::WriteOnly);
        f.write("<Settings><ReadSet><Reader>0</Reader><Speed>0</Speed></ReadSet></Settings>");
    }
    globals.RenewVoice = false;
    FaceSwitch::floatingBarShown(true); // one utterance per call, no document continuation
    systemtray tray;
    SpeechController::install(&tray);
    auto engineOf = [&]() -> EspeakVoice* {
        return tray.voicecls ? dynamic_cast<EspeakVoice*>(tray.voicecls->Voice1.get()) : nullptr;
    };

    // 1. speakstring -> first samples handed to the audio device, and -> heard.
    std::vector<double> toDevice, toHeard;
    std::unique_ptr<Recorder> rec;
    if (!sink.isEmpty()) {
        rec = std::make_unique<Recorder>(sink);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    }
    for (int i = 0; i < 10; ++i) {
        const qint64 recFrom = rec ? rec->size() : 0;
        const auto t0 = Clock::now();
        tray.speakstring(sentence);
        runUntil([&] { return engineOf() && engineOf()->samplesWritten() > 0; }, 2000);
        toDevice.push_back(msSince(t0, Clock::now()));
        runUntil([] { return false; }, 400);
        tray.stopspeaking();
        if (rec) {
            const qint64 onset = rec->onsetAfter(recFrom);
            if (onset >= 0)
                toHeard.push_back(msSince(t0, rec->arrival(onset)));
        }
        runUntil([] { return false; }, 200);
    }
    std::printf("speakstring -> first samples handed to the device: median %.1f ms, max %.1f ms (goal <= 25)\n",
                percentile(toDevice, 0.5), percentile(toDevice, 1.0));
    if (!toHeard.empty())
        std::printf("speakstring -> first sound recorded at the sink:    median %.1f ms, max %.1f ms\n",
                    percentile(toHeard, 0.5), percentile(toHeard, 1.0));

    // 2. Word events against the moment their first sample is played.
    if (rec) {
        const qint64 lead = firstLoudSample(*voice, sentence);
        std::vector<std::pair<qint64, Clock::time_point>> words;
        bool ended = false;
        auto c1 = QObject::connect(voice, &SpeechVoice::Word,
                                   [&](int, qint64 pos, int, int) { words.push_back({pos / 2, Clock::now()}); });
        auto c2 = QObject::connect(voice, &SpeechVoice::EndStream, [&] { ended = true; });
        std::vector<double> errors;
        for (int round = 0; round < 5; ++round) {
            words.clear();
            ended = false;
            const qint64 recFrom = rec->size();
            voice->Speak(sentence, SVSFlagsAsync);
            runUntil([&] { return ended; }, 20000);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            const qint64 onset = rec->onsetAfter(recFrom);
            if (onset < 0)
                continue;
            // Recorded index of utterance sample s: onset + (s - lead).
            for (const auto& [sample, t] : words) {
                const qint64 index = onset + (sample - lead);
                errors.push_back(msSince(rec->arrival(index), t));
            }
        }
        QObject::disconnect(c1);
        QObject::disconnect(c2);
        std::vector<double> absErr;
        for (double e : errors)
            absErr.push_back(std::abs(e));
        std::printf("word event - its first sample recorded: %zu words, median %+.1f ms, p95 |error| %.1f ms "
                    "(goal <= 15; recording adds its own few ms)\n",
                    errors.size(), percentile(errors, 0.5), percentile(absErr, 0.95));
    }

    // 3. End of one utterance -> first samples of the next, spoken by
    // speakstring from the VoiceEnded handler.
    {
        std::vector<double> gaps;
        int left = 10;
        Clock::time_point endAt;
        bool waiting = false;
        tray.speakstring("First.");
        auto c = QObject::connect(tray.voicecls.get(), &clsVoice::VoiceEnded, [&] {
            if (left-- > 0) {
                endAt = Clock::now();
                waiting = true;
                tray.speakstring("Another short sentence.");
            }
        });
        QTimer probe;
        probe.setInterval(0);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (waiting && engineOf() && engineOf()->samplesWritten() > 0) {
                gaps.push_back(msSince(endAt, Clock::now()));
                waiting = false;
            }
        });
        probe.start();
        runUntil([&] { return left < 0; }, 30000);
        QObject::disconnect(c);
        std::printf("VoiceEnded -> next utterance's first samples at the device: median %.1f ms, max %.1f ms "
                    "(goal <= 20)\n",
                    percentile(gaps, 0.5), percentile(gaps, 1.0));
    }

    // 4. How late a 1 ms UI timer runs while a long text is made and played.
    {
        QString longText;
        for (int i = 0; i < 200; ++i)
            longText += sentence + " ";
        std::vector<double> lateness;
        QTimer t;
        t.setTimerType(Qt::PreciseTimer);
        t.setInterval(1);
        auto last = Clock::now();
        QObject::connect(&t, &QTimer::timeout, [&] {
            const auto now = Clock::now();
            lateness.push_back(msSince(last, now) - 1.0);
            last = now;
        });
        t.start();
        voice->Speak(longText, SVSFlagsAsync);
        runUntil([] { return false; }, 3000);
        voice->Speak("", SVSFPurgeBeforeSpeak);
        t.stop();
        std::printf("UI thread while speaking a %lld-character text: timer lateness p99 %.2f ms, max %.2f ms "
                    "(goal: never blocked > 5 ms)\n",
                    (long long)longText.size(), percentile(lateness, 0.99), percentile(lateness, 1.0));
    }

    // 5. A text of a million characters: how long Speak takes to return,
    // and how long until its first word is heard.
    {
        QString big;
        while (big.size() < 1'000'000)
            big += "This sentence is part of a very long text. ";
        std::vector<double> returned, firstWord;
        for (int i = 0; i < 5; ++i) {
            bool word = false;
            QObject ctx;
            QObject::connect(voice, &SpeechVoice::Word, &ctx, [&] { word = true; });
            const auto t0 = Clock::now();
            voice->Speak(big, SVSFlagsAsync);
            returned.push_back(msSince(t0, Clock::now()));
            runUntil([&] { return word; }, 10000);
            firstWord.push_back(msSince(t0, Clock::now()));
            voice->Speak("", SVSFPurgeBeforeSpeak);
            runUntil([] { return false; }, 200);
        }
        std::printf("Speak of a %lld-character text: returns in median %.1f ms, max %.1f ms (goal < 100); "
                    "first word heard after median %.1f ms\n",
                    (long long)big.size(), percentile(returned, 0.5), percentile(returned, 1.0),
                    percentile(firstWord, 0.5));
    }
    return 0;
}
