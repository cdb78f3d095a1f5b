#include "SpeechController.h"

namespace {
SpeechController* installed = nullptr;
} // namespace

SpeechController& SpeechController::get()
{
    static NoSpeechController none;
    return installed ? *installed : none;
}

void SpeechController::install(SpeechController* controller)
{
    installed = controller;
}
