#include "SpeechVoice.h"

#include <QLocale>

#include <algorithm>

namespace {
SpeechVoiceFactory& installedFactory()
{
    static SpeechVoiceFactory f;
    return f;
}
} // namespace

std::unique_ptr<SpeechVoice> CreateEspeakVoice();

void SetSpeechVoiceFactory(SpeechVoiceFactory factory)
{
    installedFactory() = std::move(factory);
}

std::unique_ptr<SpeechVoice> CreateSpeechVoice()
{
    if (installedFactory())
        return installedFactory()();
    return CreateEspeakVoice();
}

bool AudioFormatFromType(int formatType, AudioFormat& format)
{
    static constexpr int rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    if (formatType < 4 || formatType > 39)
        return false;
    const int n = formatType - 4;
    format.sampleRate = rates[n / 4];
    format.bitsPerSample = (n & 2) ? 16 : 8;
    format.channels = (n & 1) ? 2 : 1;
    return true;
}

int VoiceIndexForLocale(const QList<VoiceToken>& voices, const QString& localeName)
{
    // "de_DE.UTF-8@euro" -> "de-de"
    QString full = localeName.section(u'.', 0, 0).section(u'@', 0, 0).toLower().replace(u'_', u'-');
    if (full.isEmpty() || full == u"c" || full == u"posix")
        full = QStringLiteral("en-us");
    const QString lang = full.section(u'-', 0, 0);
    const auto find = [&](auto pred) {
        for (int i = 0; i < voices.size(); ++i) {
            if (pred(voices[i].GetAttribute(QStringLiteral("Language")).toLower()))
                return i;
        }
        return -1;
    };
    int best = find([&](const QString& l) { return l == full; });
    if (best < 0)
        best = find([&](const QString& l) { return l == lang; });
    if (best < 0 && lang == u"en")
        best = find([](const QString& l) { return l == u"en-us"; });
    if (best < 0)
        best = find([&](const QString& l) { return l.startsWith(lang + u'-'); });
    if (best < 0 && lang != u"en")
        return VoiceIndexForLocale(voices, QStringLiteral("en_US"));
    return std::max(best, 0);
}

int UserVoiceIndex(const QList<VoiceToken>& voices)
{
    return VoiceIndexForLocale(voices, QLocale::system().name());
}
