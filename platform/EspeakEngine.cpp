#include "EspeakEngine.h"

#include "WaveFile.h"

#include <QHash>

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>
#include <tuple>

namespace {

// Unplayed audio a stream may hold before the worker waits for the player.
constexpr qsizetype kMaxAhead = 22050 * 60;

struct SynthContext {
    EngineJob* job;
    const QString* text; // as the engine was given it
    const std::vector<int>* offsets;
    int sampleRate;
};

// The job being synthesised; only the worker thread touches it.
SynthContext* currentContext = nullptr;

int synthCallback(short* wav, int count, espeak_EVENT* events)
{
    SynthContext* ctx = currentContext;
    if (!ctx || !events)
        return 0;
    EngineJob& job = *ctx->job;
    if (job.stream->cancelled())
        return 1;

    const std::vector<int>& offsets = *ctx->offsets;
    const int last = static_cast<int>(offsets.size()) - 1;
    auto toUtf16 = [&](int codePoint) { return offsets[static_cast<size_t>(std::clamp(codePoint, 0, last))]; };

    std::vector<EngineEvent> out;
    for (espeak_EVENT* e = events; e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        EngineEvent ev;
        ev.sample = e->sample;
        const int start = e->text_position - 1; // espeak counts from 1
        switch (e->type) {
        case espeakEVENT_WORD:
            if (e->length <= 0)
                continue;
            ev.kind = EngineEvent::Word;
            ev.position = toUtf16(start);
            ev.length = toUtf16(start + e->length) - ev.position;
            std::tie(ev.position, ev.length) = EspeakEngine::wordAt(*ctx->text, ev.position, ev.length);
            break;
        case espeakEVENT_SENTENCE:
            ev.kind = EngineEvent::Sentence;
            ev.position = toUtf16(start);
            break;
        case espeakEVENT_MARK:
            ev.kind = EngineEvent::Bookmark;
            ev.position = toUtf16(start);
            ev.name = QString::fromUtf8(e->id.name ? e->id.name : "");
            break;
        case espeakEVENT_PHONEME:
            ev.kind = EngineEvent::Phoneme;
            ev.position = toUtf16(start);
            ev.name = QString::fromUtf8(e->id.string, static_cast<int>(strnlen(e->id.string, 8)));
            break;
        default:
            continue;
        }
        out.push_back(std::move(ev));
    }

    if (job.file) {
        if (count > 0 && wav)
            job.file->writeSamples(wav, count, ctx->sampleRate);
        job.stream->append(nullptr, count, std::move(out)); // counted, not kept
    } else {
        job.stream->append(wav, wav ? count : 0, std::move(out));
    }
    return job.stream->cancelled() ? 1 : 0;
}

} // namespace

// ---- EngineStream ---------------------------------------------------------

void EngineStream::append(const short* samples, int count, std::vector<EngineEvent>&& events)
{
    std::unique_lock lock(m_);
    cv_.wait(lock, [&] { return cancelled_.load() || qsizetype(audio_.size()) < kMaxAhead; });
    if (cancelled_.load())
        return;
    for (EngineEvent& e : events)
        events_.push_back(std::move(e));
    if (samples && count > 0)
        audio_.insert(audio_.end(), samples, samples + count);
    produced_ += count > 0 ? count : 0;
}

void EngineStream::finish()
{
    {
        std::lock_guard lock(m_);
        finished_ = true;
    }
    cv_.notify_all();
}

void EngineStream::cancel()
{
    {
        std::lock_guard lock(m_);
        cancelled_ = true;
        audio_.clear();
        events_.clear();
    }
    cv_.notify_all();
}

qsizetype EngineStream::take(std::vector<qint16>& out, qsizetype max)
{
    qsizetype n = 0;
    {
        std::lock_guard lock(m_);
        n = std::min<qsizetype>(max, qsizetype(audio_.size()));
        out.assign(audio_.begin(), audio_.begin() + n);
        audio_.erase(audio_.begin(), audio_.begin() + n);
        readPos_ += n;
    }
    if (n > 0)
        cv_.notify_all();
    return n;
}

std::vector<EngineEvent> EngineStream::takeEvents(qint64 upTo)
{
    std::lock_guard lock(m_);
    std::vector<EngineEvent> out;
    while (!events_.empty() && events_.front().sample <= upTo) {
        out.push_back(std::move(events_.front()));
        events_.pop_front();
    }
    return out;
}

bool EngineStream::finished() const
{
    std::lock_guard lock(m_);
    return finished_;
}

qint64 EngineStream::produced() const
{
    std::lock_guard lock(m_);
    return produced_;
}

qint64 EngineStream::skipTo(qint64 to)
{
    {
        std::lock_guard lock(m_);
        const qint64 drop = std::clamp<qint64>(to - readPos_, 0, qint64(audio_.size()));
        audio_.erase(audio_.begin(), audio_.begin() + drop);
        readPos_ += drop;
        while (!events_.empty() && events_.front().sample < readPos_)
            events_.pop_front();
    }
    cv_.notify_all();
    std::lock_guard lock(m_);
    return readPos_;
}

std::vector<qint64> EngineStream::sentenceStarts() const
{
    std::lock_guard lock(m_);
    std::vector<qint64> out;
    for (const EngineEvent& e : events_) {
        if (e.kind == EngineEvent::Sentence)
            out.push_back(e.sample);
    }
    return out;
}

bool EngineStream::waitFinished(int ms) const
{
    std::unique_lock lock(m_);
    auto done = [&] { return finished_; };
    if (ms < 0) {
        cv_.wait(lock, done);
        return true;
    }
    return cv_.wait_for(lock, std::chrono::milliseconds(ms), done);
}

// ---- EspeakEngine ---------------------------------------------------------

EspeakEngine* EspeakEngine::instance()
{
    static EspeakEngine* engine = [] {
        auto* e = new EspeakEngine; // lives until the process ends
        if (!e->start()) {
            std::fprintf(stderr, "tamsel: the espeak-ng speech engine cannot start (is espeak-ng-data "
                                 "installed?); nothing will be spoken\n");
            delete e;
            return static_cast<EspeakEngine*>(nullptr);
        }
        std::thread([e] { e->run(); }).detach();
        return e;
    }();
    return engine;
}

bool EspeakEngine::start()
{
    sampleRate_ = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 50, nullptr,
                                    espeakINITIALIZE_DONT_EXIT | espeakINITIALIZE_PHONEME_EVENTS);
    if (sampleRate_ <= 0)
        return false;
    espeak_SetSynthCallback(synthCallback);

    QList<VoiceToken> list;
    QHash<QString, int> seen;
    for (const espeak_VOICE** v = espeak_ListVoices(nullptr); v && *v; ++v) {
        const espeak_VOICE* voice = *v;
        VoiceToken t;
        t.id = QString::fromUtf8(voice->identifier);
        const QString language = voice->languages ? QString::fromUtf8(voice->languages + 1) : QString();
        QString description = QString::fromUtf8(voice->name);
        description.replace(u';', u',');
        if (seen.contains(description))
            description += QStringLiteral(" [%1]").arg(t.id);
        seen.insert(description, 1);
        t.description = description;
        t.attributes.insert(QStringLiteral("Name"), QString::fromUtf8(voice->name));
        t.attributes.insert(QStringLiteral("Language"), language);
        t.attributes.insert(QStringLiteral("TTSData"), QString());
        t.attributes.insert(QStringLiteral("Gender"), voice->gender == 2 ? QStringLiteral("Female")
                                                       : voice->gender == 1 ? QStringLiteral("Male")
                                                                             : QString());
        t.attributes.insert(QStringLiteral("Vendor"), QStringLiteral("eSpeak NG"));
        list.append(t);
    }
    voices_ = inListOrder(std::move(list));
    return true;
}

QList<VoiceToken> EspeakEngine::inListOrder(QList<VoiceToken> voices)
{
    // Letters compared without accents and case, code point by code point.
    const auto sortKey = [](const QString& text) {
        const QString decomposed = text.normalized(QString::NormalizationForm_KD);
        QString key;
        key.reserve(decomposed.size());
        for (const QChar c : decomposed) {
            if (c.category() != QChar::Mark_NonSpacing)
                key.append(c);
        }
        return key.toCaseFolded();
    };
    struct Entry {
        QString key;
        VoiceToken voice;
    };
    std::vector<Entry> entries;
    entries.reserve(std::size_t(voices.size()));
    for (VoiceToken& v : voices)
        entries.push_back({sortKey(v.description), std::move(v)});
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (const int c = a.key.compare(b.key); c != 0)
            return c < 0;
        if (const int c = a.voice.description.compare(b.voice.description); c != 0)
            return c < 0;
        return a.voice.id < b.voice.id;
    });
    QList<VoiceToken> ordered;
    ordered.reserve(voices.size());
    for (Entry& e : entries)
        ordered.append(std::move(e.voice));
    return ordered;
}

int EspeakEngine::wordsPerMinute(int rate)
{
    const int r = std::clamp(rate, -10, 10);
    const int wpm = static_cast<int>(std::lround(175.0 * std::pow(3.0, r / 10.0)));
    return std::clamp(wpm, static_cast<int>(espeakRATE_MINIMUM), static_cast<int>(espeakRATE_MAXIMUM));
}

std::vector<int> EspeakEngine::codePointOffsets(const QString& text)
{
    std::vector<int> offsets;
    offsets.reserve(static_cast<size_t>(text.size()) + 1);
    for (int i = 0; i < text.size();) {
        offsets.push_back(i);
        i += (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
    }
    offsets.push_back(static_cast<int>(text.size()));
    return offsets;
}

namespace {

// Code points of a UTF-16 text, by the index of their first unit; a lone
// surrogate counts as a character of its own.
char32_t codePointAt(QStringView t, qsizetype k)
{
    if (QChar::isHighSurrogate(t[k].unicode()) && k + 1 < t.size() && QChar::isLowSurrogate(t[k + 1].unicode()))
        return QChar::surrogateToUcs4(t[k], t[k + 1]);
    return t[k].unicode();
}

qsizetype nextIndex(QStringView t, qsizetype k)
{
    return k + (codePointAt(t, k) > 0xFFFF ? 2 : 1);
}

qsizetype previousIndex(QStringView t, qsizetype k)
{
    if (k >= 2 && QChar::isLowSurrogate(t[k - 1].unicode()) && QChar::isHighSurrogate(t[k - 2].unicode()))
        return k - 2;
    return k - 1;
}

bool isWordCharacter(char32_t c)
{
    return QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

// Whether the character at k belongs to a word: a letter, digit or mark,
// or "." or "," between two digits (3.50, 1,000), or an apostrophe between
// two letters (don't).
bool inWord(QStringView t, qsizetype k)
{
    const char32_t c = codePointAt(t, k);
    if (isWordCharacter(c))
        return true;
    if (k == 0 || k + 1 >= t.size())
        return false;
    const char32_t before = codePointAt(t, previousIndex(t, k));
    const char32_t after = codePointAt(t, k + 1);
    if (c == u'.' || c == u',')
        return QChar::isDigit(before) && QChar::isDigit(after);
    if (c == u'\'' || c == u'\u2019')
        return QChar::isLetter(before) && QChar::isLetter(after);
    return false;
}

} // namespace

std::pair<int, int> EspeakEngine::wordAt(QStringView text, int position, int length)
{
    const qsizetype n = text.size();
    const qsizetype from = std::clamp<qsizetype>(position, 0, n);
    const qsizetype to = std::clamp<qsizetype>(qsizetype(position) + std::max(length, 0), from, n);
    qsizetype first = from;
    while (first < to && !isWordCharacter(codePointAt(text, first)))
        first = nextIndex(text, first);
    if (first >= to)
        return {position, length};
    qsizetype start = first;
    while (start > 0) {
        const qsizetype before = previousIndex(text, start);
        if (!inWord(text, before))
            break;
        start = before;
    }
    qsizetype end = first;
    while (end < n && inWord(text, end))
        end = nextIndex(text, end);
    return {int(start), int(end - start)};
}

void EspeakEngine::submit(EngineJob job)
{
    {
        std::lock_guard lock(m_);
        queue_.push_back(std::move(job));
    }
    cv_.notify_all();
}

void EspeakEngine::dropQueued(const std::vector<std::shared_ptr<EngineStream>>& streams)
{
    std::lock_guard lock(m_);
    for (auto it = queue_.begin(); it != queue_.end();) {
        if (std::find(streams.begin(), streams.end(), it->stream) != streams.end())
            it = queue_.erase(it);
        else
            ++it;
    }
}

void EspeakEngine::run()
{
    for (;;) {
        EngineJob job;
        {
            std::unique_lock lock(m_);
            cv_.wait(lock, [&] { return !queue_.empty(); });
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        if (!job.stream->cancelled()) {
            if (job.kind == EngineJob::WaveFile)
                playWaveFile(job);
            else
                synthesize(job);
        }
        job.stream->finish();
    }
}

void EspeakEngine::synthesize(EngineJob& job)
{
    QString text = job.text;
    text.replace(QChar(u'\0'), QChar(u' ')); // the engine stops at a NUL
    const std::vector<int> offsets = codePointOffsets(text);
    const QByteArray utf8 = text.toUtf8();

    espeak_SetVoiceByName(job.voiceId.constData());
    espeak_SetParameter(espeakRATE, job.wordsPerMinute, 0);
    espeak_SetParameter(espeakVOLUME, job.volume, 0);
    SynthContext ctx{&job, &text, &offsets, sampleRate_};
    currentContext = &ctx;
    // Every utterance ends with the pause the engine makes after a sentence:
    // a document is read one sentence per utterance, and without it the
    // sentences would run into each other. Nothing is added before the
    // first sound.
    const unsigned int flags = espeakCHARS_UTF8 | espeakENDPAUSE | (job.markup ? espeakSSML : 0);
    espeak_Synth(utf8.constData(), static_cast<size_t>(utf8.size()) + 1, 0, POS_CHARACTER, 0, flags, nullptr,
                 nullptr);
    currentContext = nullptr;
}

void EspeakEngine::playWaveFile(EngineJob& job)
{
    std::vector<qint16> samples;
    QString error;
    if (!ReadSoundFileMono(job.text, sampleRate_, samples, error))
        return;
    if (job.file) {
        job.file->writeSamples(samples.data(), qsizetype(samples.size()), sampleRate_);
        job.stream->append(nullptr, int(samples.size()), {});
        return;
    }
    constexpr size_t chunk = 4096;
    for (size_t i = 0; i < samples.size() && !job.stream->cancelled(); i += chunk) {
        const size_t n = std::min(chunk, samples.size() - i);
        job.stream->append(samples.data() + i, static_cast<int>(n), {});
    }
}
