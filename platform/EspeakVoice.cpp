#include "EspeakVoice.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>

#include <thread>

namespace {
constexpr int kTickMs = 5;
constexpr int kSinkBufferMs = 100;

// With TAMSEL_SPEECH_LOG set, every text handed to the engine is appended to
// that file, one line each (line breaks written as \n): a record of what
// was spoken, for diagnosis and for the end-to-end tests.
void logSpoken(const QString& text, int flags)
{
    static const QString path = qEnvironmentVariable("TAMSEL_SPEECH_LOG");
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::Append))
        return;
    QString line = text;
    line.replace(u'\\', QStringLiteral("\\\\")).replace(u'\n', QStringLiteral("\\n")).replace(u'\r', QStringLiteral("\\r"));
    f.write(QStringLiteral("%1\t%2\n").arg(flags).arg(line).toUtf8());
}

// Audio sinks are never deleted. When a stream it is fed runs dry, Qt
// 6.4's PulseAudio sink asks the sound server to drain it, with the sink as
// the data of the drain's callback, and its stop() does not cancel that
// request: the server's answer may still reach the sink, on the sound
// server's thread, after stop() has returned. So a voice that is done with
// its sink stops it and parks it here, and the next voice that opens the
// same device takes it back. Starting a sink again waits until its new
// stream is ready, and the server answers everything about the old stream,
// the drain too, before that. There are never more sinks than were open at
// one time; the parked ones are left to the end of the process. A sink is
// made without a parent, since its parent would delete it (and Qt gives the
// parent the device's inner object, too).
struct ParkedSink {
    QByteArray device;
    QAudioSink* sink;
};

std::vector<ParkedSink>& parkedSinks()
{
    static auto* parked = new std::vector<ParkedSink>; // lives as long as the process
    return *parked;
}

QAudioSink* takeSink(const QAudioDevice& device, const QAudioFormat& format)
{
    std::vector<ParkedSink>& parked = parkedSinks();
    for (auto it = parked.begin(); it != parked.end(); ++it) {
        if (it->device == device.id() && it->sink->format() == format) {
            QAudioSink* sink = it->sink;
            parked.erase(it);
            return sink;
        }
    }
    return new QAudioSink(device, format);
}

void parkSink(const QByteArray& device, QAudioSink* sink)
{
    sink->stop();
    parkedSinks().push_back({device, sink});
}

} // namespace

std::unique_ptr<SpeechVoice> CreateEspeakVoice()
{
    EspeakEngine* engine = EspeakEngine::instance();
    if (!engine)
        return nullptr;
    return std::make_unique<EspeakVoice>(engine);
}

EspeakVoice::EspeakVoice(EspeakEngine* engine, QObject* parent)
    : SpeechVoice(parent)
    , engine_(engine)
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &EspeakVoice::tick);
    // Until a voice is chosen: the one of the user's language.
    if (!engine_->voices().isEmpty())
        voice_ = engine_->voices().at(UserVoiceIndex(engine_->voices()));
}

EspeakVoice::~EspeakVoice()
{
    for (Utterance& u : pending_)
        u.stream->cancel();
    std::vector<std::shared_ptr<EngineStream>> streams;
    for (Utterance& u : pending_)
        streams.push_back(u.stream);
    engine_->dropQueued(streams);
    closeSink();
}

QList<VoiceToken> EspeakVoice::GetVoices(const QString&, const QString&) const
{
    return engine_->voices();
}

void EspeakVoice::SetVoice(const VoiceToken& voice)
{
    for (const VoiceToken& v : engine_->voices()) {
        if (v.id == voice.id) {
            voice_ = v;
            return;
        }
    }
    throw SpeechError("no such voice: " + voice.id.toStdString());
}

QList<AudioOutputToken> EspeakVoice::GetAudioOutputs(const QString&, const QString&) const
{
    QList<AudioOutputToken> out;
    QSet<QString> seen;
    for (const QAudioDevice& d : QMediaDevices::audioOutputs()) {
        QString description = d.description();
        description.replace(u';', u',');
        if (seen.contains(description))
            description += QStringLiteral(" [%1]").arg(QString::fromUtf8(d.id()));
        seen.insert(description);
        out.append(AudioOutputToken{d.id(), description});
    }
    return out;
}

void EspeakVoice::SetAudioOutput(const AudioOutputToken& output)
{
    output_ = output;
    if (pending_.empty())
        closeSink(); // the next utterance opens the new device
}

int EspeakVoice::AudioOutputFormat() const
{
    return fileStream_ ? fileStream_->formatType : formatType_;
}

void EspeakVoice::SetAudioOutputFormat(int formatType)
{
    AudioFormat f;
    if (!AudioFormatFromType(formatType, f))
        throw SpeechError("unknown audio format " + std::to_string(formatType));
    if (fileStream_)
        fileStream_->formatType = formatType;
    else
        formatType_ = formatType;
}

void EspeakVoice::SetAudioOutputStream(std::shared_ptr<SpeechFileStream> stream)
{
    fileStream_ = std::move(stream);
}

int EspeakVoice::Speak(const QString& text, int flags)
{
    if (flags & SVSFPurgeBeforeSpeak)
        purge();
    if (text.isEmpty() && !(flags & SVSFIsFilename))
        return 0;
    logSpoken(text, flags);

    EngineJob job;
    if (flags & SVSFIsFilename) {
        const QFileInfo info(text);
        if (!info.isFile() || !info.isReadable())
            throw SpeechError("cannot open the sound file " + text.toStdString());
        job.kind = EngineJob::WaveFile;
    }
    job.text = text;
    job.markup = (flags & SVSFIsXML) != 0;
    job.voiceId = voice_.id.toUtf8();
    job.wordsPerMinute = EspeakEngine::wordsPerMinute(rate_);
    job.volume = volume_;
    job.stream = std::make_shared<EngineStream>();
    job.file = fileStream_;

    Utterance u;
    u.number = nextStream_++;
    u.stream = job.stream;
    u.voice = voice_;
    u.file = fileStream_;
    pending_.push_back(u);
    engine_->submit(std::move(job));
    if (!timer_.isActive())
        timer_.start();
    if (!(flags & SVSFlagsAsync))
        WaitUntilDone(-1);
    return u.number;
}

void EspeakVoice::purge()
{
    if (pending_.empty())
        return;
    std::vector<std::shared_ptr<EngineStream>> streams;
    for (Utterance& u : pending_) {
        u.stream->cancel();
        streams.push_back(u.stream);
    }
    // The current utterance ends its stream whether or not its sound had
    // begun; the ones queued behind it never started.
    const bool started = pending_.front().started;
    const int endedStream = pending_.front().number;
    const qint64 endedAt = written_;
    engine_->dropQueued(streams);
    pending_.clear();
    carry_.clear();
    written_ = 0;
    padding_ = 0;
    // Drop what the device still holds.
    closeSink();
    stopClock();
    clockBase_ = 0;
    {
        // A purged utterance ends its stream, after the caller has returned.
        QPointer<EspeakVoice> self(this);
        QMetaObject::invokeMethod(
            this, [self, endedStream, endedAt, started] {
                if (self && !started)
                    emit self->StartStream(endedStream, 0);
                if (self)
                    emit self->EndStream(endedStream, endedAt * 2);
            },
            Qt::QueuedConnection);
    }
}

void EspeakVoice::Pause()
{
    if (paused_)
        return;
    paused_ = true;
    if (sink_)
        sink_->suspend();
    stopClock();
}

void EspeakVoice::Resume()
{
    if (!paused_)
        return;
    paused_ = false;
    if (sink_) {
        // Qt 6.4's sink resumes only from its suspended state, but a drain
        // it asked the sound server for before the pause may complete while
        // the stream is corked (a corked stream counts as drained), and the
        // sound server's thread then marks the sink idle: resume() would do
        // nothing and the stream would stay corked, silent for ever. Suspend
        // it again (it is corked already) so that resume() uncorks it.
        if (sink_->state() != QAudio::SuspendedState)
            sink_->suspend();
        sink_->resume();
    }
    if (!pending_.empty() && pending_.front().started && !sink_)
        startClock();
    if (!pending_.empty() && !timer_.isActive())
        timer_.start();
}

int EspeakVoice::Skip(const QString& type, int count)
{
    if (pending_.empty() || count <= 0 || type.compare(QStringLiteral("Sentence"), Qt::CaseInsensitive) != 0)
        return 0;
    Utterance& u = pending_.front();
    const qint64 now = written_ + qint64(carry_.size());
    int skipped = 0;
    qint64 target = now;
    for (qint64 start : u.stream->sentenceStarts()) {
        if (start <= now)
            continue;
        target = start;
        if (++skipped == count)
            break;
    }
    if (skipped == 0)
        return 0;
    carry_.clear();
    written_ = u.stream->skipTo(target);
    return skipped;
}

bool EspeakVoice::openSink()
{
    if (sink_)
        return true;
    if (sinkFailed_)
        return false;
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (!output_.id.isEmpty()) {
        for (const QAudioDevice& d : QMediaDevices::audioOutputs()) {
            if (d.id() == output_.id)
                device = d;
        }
    }
    if (device.isNull()) {
        sinkFailed_ = true;
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(engine_->sampleRate());
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    sink_ = takeSink(device, format);
    sinkDevice_ = device.id();
    sink_->setBufferSize(engine_->sampleRate() * 2 * kSinkBufferMs / 1000);
    sinkIo_ = sink_->start();
    if (!sinkIo_ || sink_->error() != QAudio::NoError) {
        closeSink();
        sinkFailed_ = true;
        return false;
    }
    if (paused_)
        sink_->suspend();
    return true;
}

void EspeakVoice::closeSink()
{
    if (!sink_)
        return;
    parkSink(sinkDevice_, sink_);
    sink_ = nullptr;
    sinkIo_ = nullptr;
}

void EspeakVoice::startClock()
{
    if (!clock_.isValid())
        clock_.start();
}

void EspeakVoice::stopClock()
{
    if (clock_.isValid()) {
        clockBase_ += clock_.elapsed() * engine_->sampleRate() / 1000;
        clock_.invalidate();
    }
}

qint64 EspeakVoice::playedSamples() const
{
    if (sinkIo_) {
        const qint64 buffered = qMax<qint64>(0, sink_->bufferSize() - sink_->bytesFree()) / 2;
        const qint64 taken = written_ + padding_ - buffered;
        if (taken != stepBase_ || !stepClock_.isValid()) {
            stepBase_ = taken;
            stepClock_.start();
        }
        qint64 estimate = taken;
        if (!paused_ && buffered > 0)
            estimate += qMin(buffered, stepClock_.nsecsElapsed() * engine_->sampleRate() / 1'000'000'000);
        return qBound<qint64>(0, estimate, written_);
    }
    qint64 t = clockBase_;
    if (clock_.isValid())
        t += clock_.elapsed() * engine_->sampleRate() / 1000;
    return qMin(t, written_);
}

void EspeakVoice::feedSink()
{
    Utterance& u = pending_.front();
    if (sinkIo_) {
        if (sink_->error() == QAudio::FatalError || sink_->error() == QAudio::IOError) {
            // The device went away: go on timed by the clock.
            clockBase_ = playedSamples();
            closeSink();
            sinkFailed_ = true;
            startClock();
            return;
        }
        qint64 room = sink_->bytesFree() / 2;
        while (room > 0) {
            if (carry_.empty() && u.stream->take(carry_, room) == 0)
                break;
            const qint64 n = qMin<qint64>(room, qint64(carry_.size()));
            const qint64 done = sinkIo_->write(reinterpret_cast<const char*>(carry_.data()), n * 2) / 2;
            if (done <= 0)
                break;
            carry_.erase(carry_.begin(), carry_.begin() + done);
            written_ += done;
            room -= done;
        }
    } else {
        // No device: take everything made; the clock says what is heard.
        std::vector<qint16> chunk;
        while (u.stream->take(chunk, 1 << 16) > 0)
            written_ += qint64(chunk.size());
    }
}

// The sound server starts a stream only once its buffer holds a certain
// amount; a text shorter than that would wait for ever. When the last of an
// utterance sits in the buffer and nothing moves, top it up with silence.
void EspeakVoice::kickSink()
{
    const qint64 heard = playedSamples();
    if (heard != lastHeard_) {
        lastHeard_ = heard;
        stalled_.start();
        return;
    }
    if (!stalled_.isValid() || stalled_.elapsed() < 30 || heard >= written_)
        return;
    const qint64 room = sink_->bytesFree() / 2;
    if (room <= 0)
        return;
    const std::vector<qint16> silence(static_cast<size_t>(room), 0);
    padding_ += sinkIo_->write(reinterpret_cast<const char*>(silence.data()), room * 2) / 2;
    stalled_.start();
}

void EspeakVoice::tick()
{
    if (pending_.empty()) {
        timer_.stop();
        return;
    }
    QPointer<EspeakVoice> self(this);
    Utterance* u = &pending_.front();
    const int number = u->number;

    if (!u->started) {
        if (paused_)
            return;
        u->started = true;
        written_ = 0;
        padding_ = 0;
        lastHeard_ = -1;
        stalled_.invalidate();
        carry_.clear();
        clockBase_ = 0;
        clock_.invalidate();
        if (!u->file && !openSink())
            startClock();
        const VoiceToken voice = u->voice;
        const bool changed = !spokeBefore_ || !(voice == lastVoice_);
        spokeBefore_ = true;
        lastVoice_ = voice;
        emit StartStream(number, 0);
        if (!self || pending_.empty() || pending_.front().number != number)
            return;
        if (changed) {
            emit VoiceChange(number, 0, voice);
            if (!self || pending_.empty() || pending_.front().number != number)
                return;
        }
        u = &pending_.front();
    }

    const bool toFile = u->file != nullptr;
    if (!paused_ && !toFile) {
        feedSink();
        if (sinkIo_ && carry_.empty() && u->stream->finished())
            kickSink();
    }
    const qint64 heard = toFile ? u->stream->produced() : playedSamples();

    // Events of the samples heard so far (sample n is heard once more than n
    // samples have been played), in order. A handler may purge this voice or
    // discard it: stop as soon as that happens.
    for (const EngineEvent& e : u->stream->takeEvents(heard - 1)) {
        const qint64 pos = e.sample * 2;
        switch (e.kind) {
        case EngineEvent::Word: emit Word(number, pos, e.position, e.length); break;
        case EngineEvent::Sentence: emit Sentence(number, pos, e.position, e.length); break;
        case EngineEvent::Bookmark: emit Bookmark(number, pos, e.name, e.name.toInt()); break;
        case EngineEvent::Phoneme: emit Phoneme(number, pos, 0, 0, 0, e.name.isEmpty() ? 0 : e.name[0].unicode()); break;
        }
        if (!self || pending_.empty() || pending_.front().number != number)
            return;
    }
    u = &pending_.front();

    // The utterance ends when all of it has been made and heard.
    const bool made = u->stream->finished();
    bool heardAll = false;
    if (made)
        heardAll = toFile || (carry_.empty() && u->stream->produced() == written_ && playedSamples() >= written_);
    if (heardAll) {
        const qint64 total = written_;
        pending_.pop_front();
        written_ = 0;
        padding_ = 0;
        clock_.invalidate();
        clockBase_ = 0;
        emit EndStream(number, total * 2);
        if (!self)
            return;
        if (pending_.empty())
            timer_.stop();
    }
}

bool EspeakVoice::WaitUntilDone(int ms)
{
    QElapsedTimer t;
    t.start();
    QPointer<EspeakVoice> self(this);
    while (!pending_.empty()) {
        if (ms >= 0 && t.elapsed() >= ms)
            return false;
        tick();
        if (!self)
            return true;
        if (!pending_.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
