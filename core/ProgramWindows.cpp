#include "ProgramWindows.h"

namespace {

// No window exists: every call does nothing.
class NoWindows final : public ProgramWindows {
public:
    void frmMain_Show() override {}
    void frmMain_Maximize() override {}
    bool frmMain_Unload() override { return true; }
    void frmMain_SetAutoClipboardChecked(bool) override {}
    void frmDockDemo_Show() override {}
    void frmDockDemo_Unload() override {}
    void frmDockDemo_SetNormal() override {}
    void frmSet_ShowModal() override {}
    void Aboutus_Show() override {}
    void frmListen_Show(const QString&) override {}
    void msgform_Show(const QString&, bool) override {}
    void msgform_Unload() override {}
    void UnloadAllForms() override {}
};

ProgramWindows* installed = nullptr;

} // namespace

ProgramWindows& ProgramWindows::get()
{
    static NoWindows none;
    return installed ? *installed : none;
}

void ProgramWindows::install(ProgramWindows* windows)
{
    installed = windows;
}
