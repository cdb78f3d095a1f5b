#include "FaceSwitch.h"

#include "speech/ReadingState.h"

void FaceSwitch::mainWindowShown(bool shown)
{
    readingState.isMainShown_ = shown;
}

void FaceSwitch::floatingBarShown(bool shown)
{
    readingState.isDockShown_ = shown;
}
