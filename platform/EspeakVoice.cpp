#include "SpeechVoice.h"

// The espeak-ng voice; not started yet.
std::unique_ptr<SpeechVoice> CreateEspeakVoice()
{
    return nullptr;
}

std::shared_ptr<SpeechFileStream> CreateSpeechFileStream()
{
    return nullptr;
}
