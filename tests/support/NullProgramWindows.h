#pragma once
// A set of program windows that does nothing: test doubles derive from it
// and override the calls they record.

#include "core/ProgramWindows.h"

class NullProgramWindows : public ProgramWindows {
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
