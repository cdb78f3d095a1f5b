#include "ProgramWindows.h"

namespace {
ProgramWindows* installed = nullptr;
} // namespace

ProgramWindows& ProgramWindows::get()
{
    static NoProgramWindows none;
    return installed ? *installed : none;
}

void ProgramWindows::install(ProgramWindows* windows)
{
    installed = windows;
}
