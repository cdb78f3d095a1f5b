#pragma once
// Puts the reading state, the tray items and the voice renewal back as a fresh
// start leaves them, for tests that share one process.

#include "core/Globals.h"
#include "speech/ReadingState.h"

inline void resetReadingState()
{
    readingState.reset();
    globals.RenewVoice = false;
    ReadingFaces::mnuTrayStop = ReadingFaces::mnuTrayPause = nullptr;
}
