#include "ScriptedSpeechVoice.h"

namespace {
ScriptedSpeechVoice::Call command(const QString& op, const QString& text = QString(), int number = 0,
                                  bool isNull = false)
{
    ScriptedSpeechVoice::Call call;
    call.op = op;
    call.text = text;
    call.number = number;
    call.isNull = isNull;
    return call;
}
} // namespace

ScriptedSpeechVoice::ScriptedSpeechVoice(QList<VoiceToken> v, QList<AudioOutputToken> o)
    : voices(std::move(v))
    , outputs(std::move(o))
{
    if (!voices.isEmpty())
        m_voice = voices.first();
    if (!outputs.isEmpty())
        m_output = outputs.first();
}

ScriptedSpeechVoice::~ScriptedSpeechVoice() = default;

QStringList ScriptedSpeechVoice::ops() const
{
    QStringList names;
    for (const Call& c : calls)
        names.append(c.op);
    return names;
}

QList<ScriptedSpeechVoice::Call> ScriptedSpeechVoice::callsOf(const QString& op) const
{
    QList<Call> result;
    for (const Call& c : calls) {
        if (c.op == op)
            result.append(c);
    }
    return result;
}

void ScriptedSpeechVoice::record(const Call& call)
{
    calls.append(call);
    if (onCall)
        onCall(call);
    check(call.op.toLatin1().constData());
}

void ScriptedSpeechVoice::check(const char* op) const
{
    if (failing.contains(QString::fromLatin1(op)))
        throw SpeechError(std::string("scripted failure of ") + op);
}

// ---- events ----

void ScriptedSpeechVoice::emitStart(int stream, qint64 streamPosition)
{
    emit StartStream(stream, streamPosition);
}

void ScriptedSpeechVoice::emitEnd(int stream, qint64 streamPosition)
{
    m_running.removeAll(stream);
    emit EndStream(stream, streamPosition);
}

void ScriptedSpeechVoice::emitVoiceChange(int stream, const VoiceToken& token, qint64 streamPosition)
{
    emit VoiceChange(stream, streamPosition, token);
}

void ScriptedSpeechVoice::emitWord(int stream, int position, int length, qint64 streamPosition)
{
    emit Word(stream, streamPosition, position, length);
}

void ScriptedSpeechVoice::emitSentence(int stream, int position, int length, qint64 streamPosition)
{
    emit Sentence(stream, streamPosition, position, length);
}

void ScriptedSpeechVoice::emitPhoneme(int stream, int duration, int nextPhoneId, int feature, int currentPhoneId,
                                      qint64 streamPosition)
{
    emit Phoneme(stream, streamPosition, duration, nextPhoneId, feature, currentPhoneId);
}

void ScriptedSpeechVoice::emitViseme(int stream, int duration, int nextVisemeId, int feature, int currentVisemeId,
                                     qint64 streamPosition)
{
    emit Viseme(stream, streamPosition, duration, nextVisemeId, feature, currentVisemeId);
}

void ScriptedSpeechVoice::emitBookmark(int stream, const QString& bookmark, int bookmarkId, qint64 streamPosition)
{
    emit Bookmark(stream, streamPosition, bookmark, bookmarkId);
}

void ScriptedSpeechVoice::emitAudioLevel(int stream, int audioLevel, qint64 streamPosition)
{
    emit AudioLevel(stream, streamPosition, audioLevel);
}

void ScriptedSpeechVoice::emitEnginePrivate(int stream, qint64 lParam, qint64 streamPosition)
{
    emit EnginePrivate(stream, streamPosition, lParam);
}

// ---- commands ----

int ScriptedSpeechVoice::Speak(const QString& text, int flags)
{
    record(command(QStringLiteral("Speak"), text, flags, text.isNull()));
    if (flags & SVSFPurgeBeforeSpeak) {
        const QList<int> purged = m_running;
        m_running.clear();
        m_paused = false;
        for (int stream : purged) {
            if (purgeEnds == EndDelivery::Immediate) {
                emit EndStream(stream, 0);
            } else {
                QMetaObject::invokeMethod(
                    this, [this, stream] { emit EndStream(stream, 0); }, Qt::QueuedConnection);
            }
        }
    }
    if (text.isEmpty())
        return 0;
    m_lastStream = m_nextStream++;
    m_running.append(m_lastStream);
    return m_lastStream;
}

void ScriptedSpeechVoice::Pause()
{
    record(command(QStringLiteral("Pause")));
    m_paused = true;
}

void ScriptedSpeechVoice::Resume()
{
    record(command(QStringLiteral("Resume")));
    m_paused = false;
}

int ScriptedSpeechVoice::Skip(const QString& type, int count)
{
    record(command(QStringLiteral("Skip"), type, count));
    return 0;
}

void ScriptedSpeechVoice::SetRate(int rate)
{
    record(command(QStringLiteral("SetRate"), QString(), rate));
    m_rate = rate;
}

int ScriptedSpeechVoice::Rate() const
{
    check("Rate");
    return m_rate;
}

void ScriptedSpeechVoice::SetVolume(int volume)
{
    record(command(QStringLiteral("SetVolume"), QString(), volume));
    m_volume = volume;
}

int ScriptedSpeechVoice::Volume() const
{
    check("Volume");
    return m_volume;
}

QList<VoiceToken> ScriptedSpeechVoice::GetVoices(const QString&, const QString&) const
{
    check("GetVoices");
    return voices;
}

void ScriptedSpeechVoice::SetVoice(const VoiceToken& voice)
{
    record(command(QStringLiteral("SetVoice"), voice.description));
    m_voice = voice;
}

VoiceToken ScriptedSpeechVoice::Voice() const
{
    check("Voice");
    return m_voice;
}

QList<AudioOutputToken> ScriptedSpeechVoice::GetAudioOutputs(const QString&, const QString&) const
{
    check("GetAudioOutputs");
    return outputs;
}

void ScriptedSpeechVoice::SetAudioOutput(const AudioOutputToken& output)
{
    record(command(QStringLiteral("SetAudioOutput"), output.description));
    m_output = output;
}

AudioOutputToken ScriptedSpeechVoice::AudioOutput() const
{
    check("AudioOutput");
    return m_output;
}

int ScriptedSpeechVoice::AudioOutputFormat() const
{
    check("AudioOutputFormat");
    return m_format;
}

void ScriptedSpeechVoice::SetAudioOutputFormat(int formatType)
{
    record(command(QStringLiteral("SetAudioOutputFormat"), QString(), formatType));
    m_format = formatType;
}

void ScriptedSpeechVoice::SetAllowAudioOutputFormatChangesOnNextSet(bool allow)
{
    record(command(QStringLiteral("SetAllowAudioOutputFormatChangesOnNextSet"), QString(), allow ? 1 : 0));
}

void ScriptedSpeechVoice::SetAudioOutputStream(std::shared_ptr<SpeechFileStream> stream)
{
    record(command(QStringLiteral("SetAudioOutputStream"), QString(), stream ? 1 : 0));
    m_stream = std::move(stream);
}

std::shared_ptr<SpeechFileStream> ScriptedSpeechVoice::AudioOutputStream() const
{
    check("AudioOutputStream");
    return m_stream;
}

bool ScriptedSpeechVoice::WaitUntilDone(int ms)
{
    record(command(QStringLiteral("WaitUntilDone"), QString(), ms));
    return true;
}

// ---- installation ----

ScriptedSpeechEngine::ScriptedSpeechEngine()
{
    SetSpeechVoiceFactory([this]() -> std::unique_ptr<SpeechVoice> {
        if (!available)
            return nullptr;
        auto voice = std::make_unique<ScriptedSpeechVoice>(voices, outputs);
        voice->failing = failing;
        voice->purgeEnds = purgeEnds;
        const int index = static_cast<int>(m_created.size());
        voice->onCall = [this, index](const ScriptedSpeechVoice::Call& call) { journal.append({index, call}); };
        m_created.append(voice.get());
        return voice;
    });
}

QStringList ScriptedSpeechEngine::spokenTexts() const
{
    QStringList texts;
    for (const Entry& e : journal) {
        if (e.call.op == QLatin1String("Speak") && !e.call.text.isEmpty())
            texts << e.call.text;
    }
    return texts;
}

ScriptedSpeechEngine::~ScriptedSpeechEngine()
{
    // A voice object may outlive the engine's installation.
    for (const QPointer<ScriptedSpeechVoice>& voice : m_created) {
        if (voice)
            voice->onCall = nullptr;
    }
    SetSpeechVoiceFactory({});
}

VoiceToken ScriptedSpeechEngine::voice(const QString& id, const QString& description,
                                       const QMap<QString, QString>& attributes)
{
    VoiceToken token;
    token.id = id;
    token.description = description;
    token.attributes = attributes;
    return token;
}
