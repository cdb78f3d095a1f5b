#include "clsVoice.h"

#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"
#include "core/Utilities.h"

#include <QPointer>

#include <array>

namespace {

const QString kMarkupSwitch = QStringLiteral("<set xml=true>");
const QString kNoOutput = QStringLiteral("No audio ouput object available;");
const QString kVoiceTokensKey = QStringLiteral("SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\");

SpeechVoice& engineOf(const std::unique_ptr<SpeechVoice>& voice)
{
    if (!voice)
        throw SpeechError("There is no speech engine.");
    return *voice;
}

QString field(const char* label, qint64 value)
{
    return QString::fromLatin1(label) + QString::number(value);
}

} // namespace

clsVoice::clsVoice(QObject* parent)
    : QObject(parent)
{
    IgnoreErrors([this] { Voice1 = CreateSpeechVoice(); });
    connectEngineEvents();
    SpeakFlags = 19;
    isSpFlagPurgeBeforeSpeak(true);
    isSVSFlagsAsync(true);
    SpeakFlags = SetFlagBit(false, SpeakFlags, SVSFIsXML);
    SpeakFlags = SetFlagBit(true, SpeakFlags, SVSFIsNotXML);
    flgConvert = false;
}

clsVoice::~clsVoice()
{
    if (!Voice1)
        return;
    // Nothing the engine reports from here on reaches us.
    QObject::disconnect(Voice1.get(), nullptr, this, nullptr);
    if (m_dispatchDepth > 0) {
        // We are being released from inside one of our own events, which
        // the engine is still delivering: silence it now and let it go once
        // its delivery has returned.
        SpeechVoice* engine = Voice1.release();
        IgnoreErrors([engine] { engine->Speak(QString(), SVSFPurgeBeforeSpeak); });
        engine->deleteLater();
    }
}

void clsVoice::connectEngineEvents()
{
    SpeechVoice* v = Voice1.get();
    if (!v)
        return;
    connect(v, &SpeechVoice::StartStream, this, [this](int streamNumber, qint64 streamPosition) {
        if (isShowEvents)
            TraceVoiceEvent({QStringLiteral("StartStream"), field("StreamNum=", streamNumber),
                             field("StreamPos=", streamPosition)});
        raise([this] { emit VoiceStarted(); });
    });
    connect(v, &SpeechVoice::EndStream, this, [this](int streamNumber, qint64 streamPosition) {
        if (isShowEvents)
            TraceVoiceEvent({QStringLiteral("EndStream"), field("StreamNum=", streamNumber),
                             field("StreamPos=", streamPosition)});
        raise([this] { emit VoiceEnded(); });
    });
    connect(v, &SpeechVoice::VoiceChange, this,
            [this](int streamNumber, qint64 streamPosition, const VoiceToken& token) {
                if (isShowEvents)
                    TraceVoiceEvent({QStringLiteral("VoiceChange"), field("StreamNum=", streamNumber),
                                     field("StreamPos=", streamPosition),
                                     QStringLiteral("Token=") + token.GetDescription(0)});
                raise([this, token] { emit VoiceChanged(token); });
            });
    connect(v, &SpeechVoice::Word, this,
            [this](int streamNumber, qint64 streamPosition, int characterPosition, int length) {
                if (isShowEvents)
                    TraceVoiceEvent({QStringLiteral("Word"), field("StreamNum=", streamNumber),
                                     field("StreamPos=", streamPosition), field("Pos=", characterPosition),
                                     field("Length=", length)});
                raise([this, characterPosition, length] { emit HighLightSpokenWord(characterPosition, length); });
            });
    connect(v, &SpeechVoice::Sentence, this,
            [this](int streamNumber, qint64 streamPosition, int characterPosition, int length) {
                if (isShowEvents)
                    TraceVoiceEvent({QStringLiteral("Sentence"), field("StreamNum=", streamNumber),
                                     field("StreamPos=", streamPosition), field("Pos=", characterPosition),
                                     field("Length=", length)});
            });
    connect(v, &SpeechVoice::Phoneme, this,
            [this](int streamNumber, qint64 streamPosition, int /*duration*/, int nextPhoneId, int feature,
                   int currentPhoneId) {
                if (isShowEvents)
                    TraceVoiceEvent({QStringLiteral("Phoneme"), field("StreamNumber=", streamNumber),
                                     field("StreamPosition=", streamPosition), field("NextPhoneId=", nextPhoneId),
                                     field("Feature=", feature), field("CurrentPhoneId=", currentPhoneId)});
            });
    connect(v, &SpeechVoice::Viseme, this,
            [this](int streamNumber, qint64 streamPosition, int duration, int nextVisemeId, int feature,
                   int currentVisemeId) {
                if (isShowEvents)
                    TraceVoiceEvent({QStringLiteral("Viseme"), field("StreamNum=", streamNumber),
                                     field("StreamPos=", streamPosition), field("Duration=", duration),
                                     field("VisemeType=", nextVisemeId), field("Feature=", feature),
                                     field("VisemeId=", currentVisemeId)});
            });
    connect(v, &SpeechVoice::Bookmark, this,
            [this](int streamNumber, qint64 streamPosition, const QString& bookmark, int bookmarkId) {
                if (isShowEvents)
                    TraceVoiceEvent({QStringLiteral("BookMark"), field("StreamNumber=", streamNumber),
                                     field("StreamPosition=", streamPosition),
                                     QStringLiteral("Bookmark=") + bookmark, field("BookmarkId=", bookmarkId)});
            });
    connect(v, &SpeechVoice::AudioLevel, this, [this](int streamNumber, qint64 streamPosition, int audioLevel) {
        if (isShowEvents)
            TraceVoiceEvent({QStringLiteral("AudioLevel"), field("StreamNumber=", streamNumber),
                             field("StreamPosition=", streamPosition), field("AudioLevel=", audioLevel)});
    });
    connect(v, &SpeechVoice::EnginePrivate, this, [this](int streamNumber, qint64 streamPosition, qint64 lParam) {
        if (isShowEvents)
            TraceVoiceEvent({QStringLiteral("EnginePrivate"), field("StreamNumber=", streamNumber),
                             field("StreamPosition=", streamPosition), field("lParam=", lParam)});
    });
}

void clsVoice::engineStep(const std::function<void()>& step)
{
    if (!Voice1)
        return;
    IgnoreErrors(step);
}

void clsVoice::raise(const std::function<void()>& emitter)
{
    // The holder may release this object from inside its handler; touch
    // nothing of ours afterwards unless we are still alive.
    QPointer<clsVoice> alive(this);
    ++m_dispatchDepth;
    IgnoreErrors(emitter);
    if (alive)
        --m_dispatchDepth;
}

std::int32_t clsVoice::SetFlagBit(bool flag, std::int32_t value, std::int32_t bit)
{
    return flag ? (value | bit) : (value & ~bit);
}

void clsVoice::TraceVoiceEvent(const QStringList& fields)
{
    m_lastTrace = fields.join(QStringLiteral(", "));
}

int clsVoice::UnusedFileFunction(const QString&, const QString&)
{
    return 0;
}

QString clsVoice::ReadReg(RegRoot nHKEY, const QString& SubKey, const QString& getstring)
{
    // The value is read into a buffer of 255 characters.
    return RegGetString(nHKEY, SubKey, getstring).value_or(QString()).left(255);
}

void clsVoice::applyMarkupRule(const QString& readtext)
{
    // Once a text switches markup on, every later text of this voice is
    // spoken as markup as well.
    if (readtext.contains(kMarkupSwitch, Qt::CaseSensitive)) {
        SpeakFlags = SetFlagBit(false, SpeakFlags, SVSFIsNotXML);
        SpeakFlags = SetFlagBit(true, SpeakFlags, SVSFIsXML);
    }
}

void clsVoice::SpeakText(const QString& readtext, bool m_bPaused, bool m_bSpeaking)
{
    applyMarkupRule(readtext);
    // Speaks unless it is asked to go on with a paused utterance; resumes
    // whenever paused. (paused, speaking): (no, -) speaks; (yes, no) speaks
    // and resumes; (yes, yes) only resumes.
    if (!m_bPaused || !m_bSpeaking)
        engineStep([&] { Voice1->Speak(readtext, SpeakFlags); });
    if (m_bPaused)
        engineStep([&] { Voice1->Resume(); });
    IsFilenameFlag = 0;
}

void clsVoice::ResumeSpeaking()
{
    engineStep([&] { Voice1->Resume(); });
}

void clsVoice::SetFormat(const QString& formattype)
{
    engineStep([&] { Voice1->SetAllowAudioOutputFormatChangesOnNextSet(false); });
    engineStep([&] {
        bool ok = false;
        const int type = formattype.trimmed().toInt(&ok);
        if (!ok)
            throw SpeechError("The format is not a number.");
        Voice1->SetAudioOutputFormat(type);
    });
    // Setting the output stream again makes the new format take effect.
    engineStep([&] { Voice1->SetAudioOutputStream(Voice1->AudioOutputStream()); });
}

void clsVoice::AudioOutputChange(int Audiotype)
{
    try {
        SpeechVoice& engine = engineOf(Voice1);
        const QList<AudioOutputToken> outputs = engine.GetAudioOutputs(QString(), QString());
        if (Audiotype < 0 || Audiotype >= outputs.size())
            throw SpeechError("There is no audio output with this number.");
        engine.SetAudioOutput(outputs.at(Audiotype));
    } catch (const std::exception& e) {
        MsgBox(QString::fromLocal8Bit(e.what()), vbOKOnly);
    }
}

void clsVoice::SetVoice(int VoiceID)
{
    SpeechVoice& engine = engineOf(Voice1);
    const QList<VoiceToken> voices = engine.GetVoices(QString(), QString());
    if (VoiceID < 0 || VoiceID >= voices.size())
        throw SpeechError("There is no voice with this number.");
    engine.SetVoice(voices.at(VoiceID));
}

void clsVoice::SetRate(int VoiceRate)
{
    engineStep([&] { Voice1->SetRate(VoiceRate); });
}

void clsVoice::SetOutputFormat() {}

void clsVoice::OutputToFile(const QString& filename, const QString& readtext, const QString& formattype)
{
    applyMarkupRule(readtext);
    SpeechVoice& engine = engineOf(Voice1);
    std::shared_ptr<SpeechFileStream> stream = CreateSpeechFileStream();
    if (!stream)
        throw SpeechError("No wave file can be written.");
    stream->formatType = getformatype(formattype);
    stream->Open(filename, 3, false);
    engine.SetAllowAudioOutputFormatChangesOnNextSet(false);
    engine.SetAudioOutputStream(stream);
    engine.Speak(readtext, SVSFlagsAsync | SVSFPurgeBeforeSpeak | SVSFIsXML);
    engine.Speak(readtext, SpeakFlags);
    engine.WaitUntilDone(-1);
    stream->Close();
    stream.reset();
}

void clsVoice::Speakfile(const QString& filename)
{
    isSVSFIsFilename(true);
    engineStep([&] { Voice1->Speak(filename, SpeakFlags); });
    isSVSFIsFilename(false);
}

void clsVoice::PauseSpeaking()
{
    engineStep([&] { Voice1->Pause(); });
}

void clsVoice::ResetSpeakFlags()
{
    SpeakFlags = SVSFlagsAsync | SVSFPurgeBeforeSpeak | SVSFIsXML;
}

void clsVoice::SkipSpeaking(int SkipNum)
{
    engineStep([&] { Voice1->Skip(QStringLiteral("Word"), SkipNum); });
}

void clsVoice::SetVolume(int Volum)
{
    engineStep([&] { Voice1->SetVolume(Volum); });
}

void clsVoice::SetSpFlagIsFilename(int Value)
{
    IsFilenameFlag = static_cast<std::int16_t>(Value);
}

void clsVoice::stopspeaking()
{
    // No text and the purge flag alone: drops speech, speaks nothing.
    engineStep([&] { Voice1->Speak(QString(), SVSFPurgeBeforeSpeak); });
}

void clsVoice::isSVSFIsFilename(bool SVSFIsFilenamechk)
{
    SpeakFlags = SetFlagBit(SVSFIsFilenamechk, SpeakFlags, SVSFIsFilename);
}

void clsVoice::isSVSFlagsAsync(bool SVSFlagsAsyncchk)
{
    SpeakFlags = SetFlagBit(SVSFlagsAsyncchk, SpeakFlags, SVSFlagsAsync);
}

void clsVoice::isSpFlagIsXML(bool SpFlagIsXMLchk)
{
    if (SpFlagIsXMLchk) {
        SpeakFlags = SetFlagBit(false, SpeakFlags, SVSFIsNotXML);
        SpeakFlags = SetFlagBit(true, SpeakFlags, SVSFIsXML);
    } else {
        SpeakFlags = SetFlagBit(false, SpeakFlags, SVSFIsXML);
        SpeakFlags = SetFlagBit(true, SpeakFlags, SVSFIsNotXML);
    }
}

void clsVoice::isSpFlagNLPSpeakPunc(bool SpFlagNLPSpeakPuncchk)
{
    SpeakFlags = SetFlagBit(SpFlagNLPSpeakPuncchk, SpeakFlags, SVSFNLPSpeakPunc);
}

void clsVoice::isSpFlagPersistXML(bool SpFlagPersistXMLchk)
{
    SpeakFlags = SetFlagBit(SpFlagPersistXMLchk, SpeakFlags, SVSFPersistXML);
}

void clsVoice::isSpFlagPurgeBeforeSpeak(bool SpFlagPurgeBeforeSpeakchk)
{
    SpeakFlags = SetFlagBit(SpFlagPurgeBeforeSpeakchk, SpeakFlags, SVSFPurgeBeforeSpeak);
}

int clsVoice::ConvertToOgg(const QString&, const QString&, int)
{
    return 0;
}

int clsVoice::ConvertToMP3(const QString&, const QString&, int)
{
    return 0;
}

int clsVoice::outputexistingfile(const QString&, const QString&)
{
    return 0;
}

void clsVoice::playfile(const QString&) {}

void clsVoice::stopplay() {}

// ---- voice and device lists ----

QString clsVoice::voiceList(const std::function<QString(const VoiceToken&)>& item, const QString& terminator)
{
    QString result;
    if (!Voice1)
        return result;
    QList<VoiceToken> voices;
    try {
        voices = Voice1->GetVoices(QString(), QString());
    } catch (...) {
        return QString();
    }
    for (const VoiceToken& token : voices) {
        // One step per voice: a voice whose item cannot be read adds
        // nothing, not even its terminator.
        IgnoreErrors([&] { result += item(token) + terminator; });
    }
    return result;
}

QString clsVoice::GetVoiceNames()
{
    return voiceList([](const VoiceToken& t) { return t.GetAttribute(QStringLiteral("Name")); },
                     QStringLiteral(";"));
}

QString clsVoice::GetVoiceDescription()
{
    return voiceList([](const VoiceToken& t) { return t.GetDescription(0); }, QStringLiteral(";"));
}

QString clsVoice::GetVoiceLanguages()
{
    return voiceList([](const VoiceToken& t) { return t.GetAttribute(QStringLiteral("Language")); },
                     QStringLiteral("$"));
}

QString clsVoice::GetVoiceData()
{
    return voiceList(
        [](const VoiceToken& t) {
            QString data;
            IgnoreErrors([&] { data = t.GetAttribute(QStringLiteral("TTSData")); });
            if (data.isEmpty()) {
                IgnoreErrors([&] {
                    data = RegGetString(RegRoot::LocalMachine, kVoiceTokensKey + t.GetDescription(0),
                                        QStringLiteral("VoiceData"))
                               .value_or(QString());
                });
            }
            return data;
        },
        QStringLiteral("$"));
}

QString clsVoice::getOutputdevices()
{
    QString result;
    if (!Voice1)
        return result;
    try {
        if (Voice1->GetAudioOutputs(QString(), QString()).size() > 0) {
            const QList<AudioOutputToken> outputs = Voice1->GetAudioOutputs(QString(), QString());
            for (const AudioOutputToken& output : outputs)
                IgnoreErrors([&] { result += output.GetDescription(0) + QStringLiteral(";"); });
        } else {
            OutputDevicename = kNoOutput;
        }
    } catch (...) {
        return QString();
    }
    return result;
}

std::int16_t clsVoice::getnumberofSpeakers()
{
    return static_cast<std::int16_t>(engineOf(Voice1).GetVoices(QString(), QString()).size());
}

std::int32_t clsVoice::getformatype(const QString& formattype)
{
    static const std::array<const char*, 9> rates = {"8", "11", "12", "16", "22", "24", "32", "44", "48"};
    std::int32_t result = 38;
    std::int32_t number = 4;
    for (const char* rate : rates) {
        for (const char* bits : {"8", "16"}) {
            for (const char* channels : {"Mono", "Stereo"}) {
                const QString name = QStringLiteral("SAFT%1kHz%2Bit%3")
                                         .arg(QLatin1String(rate), QLatin1String(bits), QLatin1String(channels));
                if (formattype == name)
                    result = number;
                ++number;
            }
        }
    }
    return result;
}
