#pragma once
// Puts the reading state, its faces and the voice renewal back as a fresh
// start leaves them, for tests that share one process.

#include "core/Globals.h"
#include "speech/ReadingState.h"

inline void resetReadingState()
{
    readingState.reset();
    globals.RenewVoice = false;
    ReadingFaces::floatingBar = nullptr;
    ReadingFaces::mainWindow = nullptr;
    ReadingFaces::mnuTrayStop = ReadingFaces::mnuTrayPause = nullptr;
}
