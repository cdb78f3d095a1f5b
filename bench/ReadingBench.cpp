// Reading a document aloud, as the program does it, with the controller and
// the main window in this process (as in tests/e2e/DocumentReadingE2ETest):
//
// 1. The cost of one sentence step on 1 MB and 10 MB documents, at their
//    start, middle and end: the end of an utterance as the engine reports
//    it (EndStream), which runs the document window's SetCursorP, selects
//    and paints the next sentence and hands its text to speakstring; then
//    the repaint the event loop does after it. The engine is the scripted
//    double of tests/support, so only our own cost is measured.
// 2. With the real espeak-ng engine: Speak -> first samples handed to the
//    audio device, and the end of one sentence (EndStream) -> the first
//    samples of the next (the program's own turnaround); and the silence
//    heard between two sentences at the sink, beside the pause espeak-ng
//    makes between the same sentences read as one text.
// 3. (ReadingBench_files.cpp) File > Open of 10 MB and 50 MB text and a 5 MB
//    RTF until the window answers again, side by side with mousepad opening
//    the same files; the memory once laid out and Ctrl+S after one typed
//    character, beside FeatherPad's; 50 opens and closes of a 5 MB text
//    (cycles); closing the main window while reading deep into a 10 MB
//    document (close).
//
// Run on the test desktop:
//   scripts/with-desktop env TAMSEL_PROGRAM_DIR=$PWD/build/bin build/bin/bench_reading [steps] [engine] [files] [cycles] [close]
#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/ProgramWindows.h"
#include "core/SettingsStore.h"
#include "mainwindow/DocumentTable.h"
#include "app/AppWindows.h"
#include "richtext/RichTextBox.h"
#include "mainwindow/SentenceFinding.h"
#include "mainwindow/frmDocument.h"
#include "mainwindow/frmMain.h"
#include "platform/EspeakVoice.h"
#include "platform/Registry.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"
#include "speech/systemtray.h"
#include "support/ScriptedSpeechVoice.h"

#include "TimedRecorder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

// The real engine's voice object (platform/SpeechVoiceFactory.cpp makes it
// the same way when no other factory is installed).
std::unique_ptr<SpeechVoice> CreateEspeakVoice();

#include "ReadingBench.h"

namespace readingbench {

Session session;

double msSince(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void pump(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
}

struct Stats {
    double mean = 0, median = 0, max = 0;
    std::size_t n = 0;
};

Stats stats(std::vector<double> v)
{
    Stats s;
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    double sum = 0;
    for (double x : v)
        sum += x;
    s.n = v.size();
    s.mean = sum / double(v.size());
    s.median = v[v.size() / 2];
    s.max = v.back();
    return s;
}

void printStats(const char* label, const std::vector<double>& v)
{
    const Stats s = stats(v);
    std::printf("      %-26s n=%3zu  mean %7.3f ms  median %7.3f ms  max %7.3f ms\n", label, s.n, s.mean, s.median,
                s.max);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Hard-wrapped prose with LF line breaks: lines of about 70 characters, a
// blank line between paragraphs, sentences of 8 to 30 words.
QString makeText(qsizetype size)
{
    static const char* const words[] = {"the", "reader", "speaks", "every", "sentence", "of", "this",
                                        "document", "aloud", "while", "it", "is", "painted", "yellow",
                                        "and", "then", "cleared", "again", "café", "naïve"};
    QRandomGenerator random(7);
    QString text;
    text.reserve(size + 100);
    int column = 0;
    int wordsLeft = 8 + int(random.bounded(23));
    bool capital = true;
    while (text.size() < size) {
        QString word = QString::fromUtf8(words[random.bounded(int(std::size(words)))]);
        if (capital)
            word[0] = word[0].toUpper();
        capital = false;
        text += word;
        column += int(word.size());
        if (--wordsLeft == 0) {
            text += QLatin1Char('.');
            capital = true;
            wordsLeft = 8 + int(random.bounded(23));
            if (random.bounded(6) == 0) {
                text += QLatin1String("\n\n");
                column = 0;
                continue;
            }
        }
        if (column > 70) {
            text += QLatin1Char('\n');
            column = 0;
        } else {
            text += QLatin1Char(' ');
            ++column;
        }
    }
    text += QLatin1Char('.');
    return text;
}

// The first sentence start (just after ". ") at or after a position of the
// control's text.
int sentenceStartFrom(RichTextBox* rtf, int from)
{
    if (from <= 0)
        return 0;
    const QString chunk = rtf->TextRange(from, 2000);
    const int dot = int(chunk.indexOf(QLatin1String(". ")));
    return dot < 0 ? from : from + dot + 2;
}

frmDocument* openDocument(const QString& path, double* openMs)
{
    QElapsedTimer t;
    t.start();
    frmDocument* doc = frmMain::instance()->OpenFileInNewWindow(path);
    if (openMs)
        *openMs = msSince(t);
    return doc;
}

void closeDocument(frmDocument* doc)
{
    if (!doc)
        return;
    doc->StopBtn_Click();
    pump(50);
    if (frmMain* main = frmMain::instance())
        main->mnuFileClose_Click();
    pump(200);
}

ScriptedSpeechVoice* scriptedVoice()
{
    if (!session.tray || !session.tray->voicecls)
        return nullptr;
    return dynamic_cast<ScriptedSpeechVoice*>(session.tray->voicecls->Voice1.get());
}

EspeakVoice* espeakVoice()
{
    if (!session.tray || !session.tray->voicecls)
        return nullptr;
    return dynamic_cast<EspeakVoice*>(session.tray->voicecls->Voice1.get());
}

} // namespace readingbench

using namespace readingbench;

namespace {

// ---------------------------------------------------------------------------
// 1. One sentence step with the scripted engine.
// ---------------------------------------------------------------------------

// Reads `count` sentences from `caret` on; each step is the end of the
// utterance as the engine reports it.
void measureSteps(frmDocument* doc, int caret, int count, const char* where)
{
    RichTextBox* rtf = doc->rtfText;
    rtf->setSelStart(caret);
    rtf->ensureCursorVisible();
    pump(300);

    doc->SpeakBtn_Click();
    QCoreApplication::processEvents();
    ScriptedSpeechVoice* voice = scriptedVoice();
    if (!voice || voice->lastStream() == 0) {
        std::printf("    %-6s !! nothing was spoken at Speak\n", where);
        return;
    }
    std::vector<double> step, repaint, total;
    qsizetype spokenChars = 0;
    int steps = 0;
    bool ok = true;
    const int firstSentenceAt = rtf->SelStart();
    for (int i = 0; i < count; ++i) {
        voice = scriptedVoice();
        const int stream = voice ? voice->lastStream() : 0;
        if (!voice || readingState.IsLastSentence()) {
            ok = false;
            break;
        }
        QElapsedTimer t;
        t.start();
        voice->emitEnd(stream);
        const double a = msSince(t);
        QElapsedTimer r;
        r.start();
        QCoreApplication::processEvents();
        const double b = msSince(r);
        step.push_back(a);
        repaint.push_back(b);
        total.push_back(a + b);
        voice = scriptedVoice();
        if (!voice || voice->lastStream() == stream) {
            ok = false;
            break;
        }
        const QList<ScriptedSpeechVoice::Call> speaks = voice->callsOf(QStringLiteral("Speak"));
        const QString spoken = speaks.isEmpty() ? QString() : speaks.last().text;
        if (spoken.isEmpty() || spoken != rtf->SelText()) {
            ok = false;
            break;
        }
        spokenChars += spoken.size();
        ++steps;
    }
    const int lastSentenceAt = rtf->SelStart();
    std::printf("    %-6s caret %9d: %d sentences read (%lld chars, to position %d)%s\n", where, firstSentenceAt, steps,
                static_cast<long long>(spokenChars), lastSentenceAt,
                ok ? "" : "  !! the reading did not go on as expected");
    printStats("step (EndStream handler)", step);
    printStats("repaint (processEvents)", repaint);
    printStats("step + repaint", total);
    doc->StopBtn_Click();
    pump(100);
}

// The parts of a step, each called on its own as the controller calls them
// at the end of an utterance: SetCursorP, then SpeakNextSentence (select,
// paint, speakstring); and speakstring alone on a sentence of the same text.
void measureParts(frmDocument* doc, int caret, int count, const char* where)
{
    RichTextBox* rtf = doc->rtfText;
    rtf->setSelStart(caret);
    pump(100);
    doc->SpeakBtn_Click();
    QCoreApplication::processEvents();
    // The end of a stream reaches nobody while the parts are called by hand.
    QObject::disconnect(session.tray->voicecls.get(), &clsVoice::VoiceEnded, session.tray, &systemtray::voicecls_VoiceEnded);
    std::vector<double> cursor, select, selText, next, speak;
    for (int i = 0; i < count && !readingState.IsLastSentence(); ++i) {
        ScriptedSpeechVoice* voice = scriptedVoice();
        if (!voice)
            break;
        voice->emitEnd(voice->lastStream());
        QElapsedTimer t;
        t.start();
        doc->SetCursorP();
        cursor.push_back(msSince(t));
        // The sentence finder on its own (SpeakNextSentence selects the same
        // sentence again: the reading position is unchanged).
        t.restart();
        SelectSentence(rtf);
        select.push_back(msSince(t));
        t.restart();
        (void)rtf->SelText();
        selText.push_back(msSince(t));
        t.restart();
        doc->SpeakNextSentence();
        next.push_back(msSince(t));
        QCoreApplication::processEvents();
    }
    const QString sentence = rtf->SelText();
    for (int i = 0; i < count; ++i) {
        QElapsedTimer t;
        t.start();
        session.tray->speakstring(sentence);
        speak.push_back(msSince(t));
        QCoreApplication::processEvents();
    }
    QObject::connect(session.tray->voicecls.get(), &clsVoice::VoiceEnded, session.tray, &systemtray::voicecls_VoiceEnded);
    std::printf("    %-6s parts:\n", where);
    printStats("SetCursorP", cursor);
    printStats("SelectSentence (+paint)", select);
    printStats("SelText", selText);
    printStats("SpeakNextSentence (all)", next);
    printStats("speakstring alone", speak);
    doc->StopBtn_Click();
    pump(100);
}

// What speakstring does for every utterance, piece by piece, with the
// scripted engine: the two settings reads, the voice calls, and the
// reading state it sets (SetSpeakingState stores IsSpeaking and IsPausing
// with SaveSetting, each a rewrite of the settings registry file).
void measureSpeakstringPieces(frmDocument* doc, int count)
{
    doc->rtfText->setSelStart(0);
    doc->SpeakBtn_Click();
    QCoreApplication::processEvents();
    QObject::disconnect(session.tray->voicecls.get(), &clsVoice::VoiceEnded, session.tray, &systemtray::voicecls_VoiceEnded);
    const QString sentence = doc->rtfText->SelText();
    std::vector<double> read, voice, rate, speak, state, save;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer t;
        t.start();
        (void)ReadSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("Reader"), QStringLiteral("0"));
        read.push_back(msSince(t));
        t.restart();
        try {
            session.tray->voicecls->SetVoice(0);
        } catch (...) {
        }
        voice.push_back(msSince(t));
        t.restart();
        session.tray->voicecls->SetRate(0);
        rate.push_back(msSince(t));
        t.restart();
        session.tray->voicecls->SpeakText(sentence, false, false);
        speak.push_back(msSince(t));
        t.restart();
        SetSpeakingState(true, false);
        state.push_back(msSince(t));
        t.restart();
        SaveSetting(QStringLiteral("Corvane"), QStringLiteral("Controls"), QStringLiteral("IsSpeaking"),
                    QStringLiteral("1"));
        save.push_back(msSince(t));
        QCoreApplication::processEvents();
    }
    QObject::connect(session.tray->voicecls.get(), &clsVoice::VoiceEnded, session.tray, &systemtray::voicecls_VoiceEnded);
    std::printf("    speakstring's pieces (each called on its own):\n");
    printStats("ReadSetting (one key)", read);
    printStats("clsVoice::SetVoice", voice);
    printStats("clsVoice::SetRate", rate);
    printStats("clsVoice::SpeakText", speak);
    printStats("SetSpeakingState(true)", state);
    printStats("  SaveSetting (one key)", save);
    doc->StopBtn_Click();
    pump(100);
}

void figurePerSentence(double* openMs10, double* saveMs10, QString* path10)
{
    std::printf("\n== 1. One sentence step (scripted engine: our cost only) ==\n");
    std::printf("   step = EndStream -> SetCursorP + SelectSentence + paint + speakstring (the controller's path)\n");
    ScriptedSpeechEngine engine;
    // The voices of the real engine, so that choosing the voice succeeds as
    // it does in the program.
    if (EspeakVoice* real = espeakVoice())
        engine.voices = real->GetVoices({}, {});
    session.tray->releaseVoice();

    for (const qsizetype size : {qsizetype(1'000'000), qsizetype(10'000'000)}) {
        const QString text = makeText(size);
        const QString path = session.folder->path() + QStringLiteral("/doc_%1MB.txt").arg(size / 1'000'000);
        writeFile(path, text.toUtf8());
        double openMs = 0;
        frmDocument* doc = openDocument(path, &openMs);
        if (!doc) {
            std::printf("  !! could not open %s\n", qPrintable(path));
            continue;
        }
        RichTextBox* rtf = doc->rtfText;
        pump(200);
        QElapsedTimer t;
        t.start();
        rtf->setSelStart(rtf->TextLength());
        rtf->ensureCursorVisible();
        QCoreApplication::processEvents();
        const double layoutMs = msSince(t);
        std::printf("\n  -- %.0f MB document: %d characters, %d lines; open %.1f ms, layout to the end %.1f ms --\n",
                    double(size) / 1e6, rtf->TextLength(), rtf->document()->blockCount(), openMs, layoutMs);
        pump(300);

        const int length = rtf->TextLength();
        const int positions[3] = {0, sentenceStartFrom(rtf, length / 2), sentenceStartFrom(rtf, length - 60000)};
        const char* names[3] = {"start", "middle", "end"};
        for (int i = 0; i < 3; ++i)
            measureSteps(doc, positions[i], 200, names[i]);
        for (int i = 0; i < 3; ++i)
            measureParts(doc, positions[i], 50, names[i]);
        if (size == 1'000'000)
            measureSpeakstringPieces(doc, 50);

        if (size == 10'000'000) {
            *openMs10 = openMs;
            *path10 = path;
            QElapsedTimer s;
            s.start();
            frmMain::instance()->mnuFileSave_Click();
            *saveMs10 = msSince(s);
        }
        closeDocument(doc);
    }
    session.tray->releaseVoice();
}

// ---------------------------------------------------------------------------
// 2. The real engine.
// ---------------------------------------------------------------------------

// When the real engine last reported the end of a stream, taken before the
// program's own handler runs.
QElapsedTimer clock0;
std::vector<double> endTimes;
std::vector<Clock::time_point> endPoints;

// The silence around sample `at`: of the runs of at least 5 ms without a
// sample louder than 300 (shorter ones are the zero crossings of speech),
// the one nearest to `at` within `reach` samples. Its length in ms, or -1.
double silenceAround(const std::vector<qint16>& s, qint64 at, qint64 reach, int rate)
{
    const qint64 n = qint64(s.size());
    const qint64 minimum = rate / 200;
    double best = -1;
    qint64 bestDistance = reach + 1;
    for (qint64 i = std::max<qint64>(0, at - reach); i < std::min(n, at + reach);) {
        if (std::abs(s[std::size_t(i)]) > 300) {
            ++i;
            continue;
        }
        qint64 from = i, to = i;
        while (from > 0 && std::abs(s[std::size_t(from - 1)]) <= 300)
            --from;
        while (to + 1 < n && std::abs(s[std::size_t(to + 1)]) <= 300)
            ++to;
        const qint64 distance = at < from ? from - at : at > to ? at - to : 0;
        if (to - from + 1 >= minimum && distance < bestDistance) {
            bestDistance = distance;
            best = double(to - from + 1) * 1000.0 / rate;
        }
        i = to + 1;
    }
    return best;
}

void installObservedEngine()
{
    SetSpeechVoiceFactory([]() -> std::unique_ptr<SpeechVoice> {
        std::unique_ptr<SpeechVoice> voice = CreateEspeakVoice();
        if (voice) {
            // Connected before clsVoice connects its own handler, so this
            // runs first.
            QObject::connect(voice.get(), &SpeechVoice::EndStream, voice.get(), [](int, qint64) {
                endTimes.push_back(msSince(clock0));
                endPoints.push_back(Clock::now());
            });
        }
        return voice;
    });
}

QString shortSentences(int count)
{
    static const char* const sentences[] = {
        "The morning train left the station on time.",
        "She opened the window and looked at the garden.",
        "Every evening the old dog waits by the door.",
        "We walked along the river until the sun went down.",
        "The library closes early on Sundays.",
        "He wrote a long letter to his brother in the city.",
        "Fresh bread was sold at the corner shop.",
        "A light rain began to fall over the hills.",
        "The children played a game of cards after dinner.",
        "Our neighbour grows tomatoes in the backyard.",
        "The meeting was moved to the next afternoon.",
        "A small boat drifted slowly across the lake.",
    };
    QString text;
    for (int i = 0; i < count; ++i) {
        text += QString::fromUtf8(sentences[i % int(std::size(sentences))]);
        text += (i % 4 == 3) ? QStringLiteral("\n") : QStringLiteral(" ");
    }
    return text;
}

void figureRealEngine()
{
    std::printf("\n== 2. Real espeak-ng engine on the test sink ==\n");
    SetSpeechVoiceFactory({});
    installObservedEngine();
    session.tray->releaseVoice();
    clock0.start();

    const QString path = session.folder->path() + QStringLiteral("/short.txt");
    writeFile(path, shortSentences(12).toUtf8());
    frmDocument* doc = openDocument(path, nullptr);
    if (!doc) {
        std::printf("  !! could not open the document\n");
        return;
    }
    pump(300);
    RichTextBox* rtf = doc->rtfText;

    // Speak -> first samples handed to the device, from the start of
    // several sentences, stopping in between.
    std::vector<double> first, clickMs;
    std::vector<int> starts;
    {
        int p = 0;
        for (int i = 0; i < 10; ++i) {
            starts.push_back(p);
            p = sentenceStartFrom(rtf, p + 1);
        }
    }
    int failures = 0;
    for (int i = 0; i < 10; ++i) {
        rtf->setSelStart(starts[std::size_t(i)]);
        pump(200);
        QElapsedTimer t;
        t.start();
        doc->SpeakBtn_Click();
        clickMs.push_back(msSince(t));
        double at = -1;
        while (t.elapsed() < 3000) {
            EspeakVoice* voice = espeakVoice();
            if (voice && voice->samplesWritten() > 0) {
                at = msSince(t);
                break;
            }
            QCoreApplication::processEvents();
        }
        if (at < 0)
            ++failures;
        else
            first.push_back(at);
        pump(400); // some of it heard
        doc->StopBtn_Click();
        pump(300);
    }
    std::printf("  Speak (SpeakBtn_Click) -> first samples handed to the device (caret at a sentence start, "
                "stopped between runs):\n");
    printStats("Speak -> first samples", first);
    printStats("(SpeakBtn_Click returns)", clickMs);
    if (failures)
        std::printf("      !! %d runs gave no samples within 3 s\n", failures);
    std::printf("      runs:");
    for (double v : first)
        std::printf(" %.1f", v);
    std::printf("\n");

    // Reading on: EndStream of one sentence -> first samples of the next.
    rtf->setSelStart(0);
    pump(200);
    const QString sink = qEnvironmentVariable("TAMSEL_TEST_SINK");
    std::unique_ptr<Recorder> rec;
    if (!sink.isEmpty()) {
        rec = std::make_unique<Recorder>(sink);
        pump(400); // the recording stream connects
    }
    endTimes.clear();
    endPoints.clear();
    std::vector<double> gaps;
    std::vector<double> utteranceMs;
    std::size_t handled = 0;
    bool waitingForFirst = false;
    double lastFirst = -1;
    QElapsedTimer t;
    t.start();
    doc->SpeakBtn_Click();
    waitingForFirst = true;
    double speakAt = msSince(clock0);
    double firstAt = -1;
    while (t.elapsed() < 120000) {
        QCoreApplication::processEvents();
        if (endTimes.size() > handled) {
            // An utterance ended; its handler already asked for the next.
            handled = endTimes.size();
            if (lastFirst >= 0)
                utteranceMs.push_back(endTimes.back() - lastFirst);
            waitingForFirst = !readingState.IsLastSentence() && readingState.IsSpeaking();
        }
        EspeakVoice* voice = espeakVoice();
        if (waitingForFirst && voice && voice->samplesWritten() > 0) {
            const double now = msSince(clock0);
            if (handled == 0)
                firstAt = now - speakAt;
            else
                gaps.push_back(now - endTimes.back());
            lastFirst = now;
            waitingForFirst = false;
        }
        if (!readingState.IsSpeaking() && !waitingForFirst)
            break;
    }
    std::printf("  Reading 12 sentences on: EndStream of a sentence -> first samples of the next handed to the "
                "device:\n");
    std::printf("      Speak -> first samples of the first sentence: %.1f ms\n", firstAt);
    printStats("EndStream -> next samples", gaps);
    std::printf("      gaps:");
    for (double v : gaps)
        std::printf(" %.1f", v);
    std::printf("\n");
    printStats("(utterance length)", utteranceMs);
    if (readingState.IsSpeaking())
        std::printf("      !! still speaking after 120 s\n");

    // The silence heard between two sentences: the quiet run of the
    // recording around the moment each sentence ended.
    if (rec) {
        pump(300);
        const std::vector<qint16> heard = rec->samples();
        std::vector<double> silences;
        for (std::size_t i = 0; i + 1 < endPoints.size(); ++i) {
            const double ms = silenceAround(heard, rec->indexAt(endPoints[i]), 22050 / 10, 22050);
            if (ms >= 0)
                silences.push_back(ms);
        }
        std::printf("  Silence heard between two sentences (recorded at the sink):\n");
        printStats("silence between sentences", silences);
        std::printf("      silences:");
        for (double v : silences)
            std::printf(" %.0f", v);
        std::printf("\n");
    }

    // espeak-ng reading the same sentences as one text: the pause it makes
    // before each sentence (its sentence event marks the place).
    {
        struct Capture : SpeechFileStream {
            std::vector<qint16> s;
            void Open(const QString&, int, bool) override {}
            void Close() override {}
            void writeSamples(const qint16* p, qsizetype n, int) override { s.insert(s.end(), p, p + n); }
        };
        std::unique_ptr<SpeechVoice> whole = CreateEspeakVoice();
        auto capture = std::make_shared<Capture>();
        whole->SetAudioOutputStream(capture);
        std::vector<qint64> starts;
        QObject::connect(whole.get(), &SpeechVoice::Sentence, whole.get(),
                         [&](int, qint64 position, int, int) { starts.push_back(position / 2); });
        whole->Speak(rtf->Text(), SVSFlagsAsync);
        whole->WaitUntilDone(-1);
        std::vector<double> pauses;
        for (std::size_t i = 1; i < starts.size(); ++i) {
            const double ms = silenceAround(capture->s, starts[i], 22050 / 10, 22050);
            if (ms >= 0)
                pauses.push_back(ms);
        }
        printStats("espeak-ng's own pause", pauses);
    }
    closeDocument(doc);
    SetSpeechVoiceFactory({});
    session.tray->releaseVoice();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    const QString programDir = qEnvironmentVariable("TAMSEL_PROGRAM_DIR");
    if (programDir.isEmpty()) {
        std::fprintf(stderr, "TAMSEL_PROGRAM_DIR must name the program folder\n");
        return 2;
    }
    QTemporaryDir dir;
    session.folder = &dir;
    globals.AppFolder = programDir;
    globals.SettingsFile = globals.IniFile = dir.path() + QStringLiteral("/Update.xml");
    if (!writeFile(globals.IniFile, readFile(programDir + QStringLiteral("/Update.xml")))) {
        std::fprintf(stderr, "cannot copy %s/Update.xml\n", qPrintable(programDir));
        return 2;
    }
    SetMsgBoxAnswerer([](const MsgBoxCall&) { return int(vbNo); });
    auto* windows = new AppWindows;
    windows->install();
    session.tray = new systemtray;
    SpeechController::install(session.tray);
    session.tray->Form_Load();
    pump(2500); // the greeting
    ProgramWindows::get().frmMain_Show();
    ProgramWindows::get().frmMain_Maximize();
    FaceSwitch::mainWindowShown(true);
    pump(300);
    if (!frmMain::instance()) {
        std::fprintf(stderr, "no main window\n");
        return 1;
    }
    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));

    // Sections by name: steps, engine, files, cycles, close (all but close
    // when none is named; close ends with the main window closed).
    QStringList sections = app.arguments().mid(1);
    if (sections.isEmpty())
        sections = {QStringLiteral("steps"), QStringLiteral("engine"), QStringLiteral("files"), QStringLiteral("cycles")};
    double open10 = 0, save10 = 0;
    QString path10;
    if (sections.contains(QStringLiteral("steps")))
        figurePerSentence(&open10, &save10, &path10);
    if (sections.contains(QStringLiteral("engine")))
        figureRealEngine();
    if (sections.contains(QStringLiteral("files"))) {
        if (open10 > 0)
            std::printf("\n(in 1.) OpenFileInNewWindow of 10 MB %.1f ms, mnuFileSave_Click %.1f ms\n", open10, save10);
        figureFiles();
    }
    if (sections.contains(QStringLiteral("cycles")))
        figureOpenCloseCycles();
    if (sections.contains(QStringLiteral("close")))
        figureCloseWhileReading();
    std::fflush(stdout);
    return 0;
}
