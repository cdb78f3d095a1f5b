#include "SpeechVoice.h"

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
