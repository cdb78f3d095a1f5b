#include "ProgramWindows.h"

namespace {
ProgramWindows& none()
{
    static ProgramWindows w;
    return w;
}
ProgramWindows* installed = nullptr;
} // namespace

ProgramWindows& ProgramWindows::get()
{
    return installed ? *installed : none();
}

void ProgramWindows::install(ProgramWindows* windows)
{
    installed = windows;
}
