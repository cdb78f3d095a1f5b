#pragma once
// The program's windows as a log: every window call is recorded, as
// "frmListen_Show Kate Voice" or "msgform_Show <text> 0", instead of making
// a window. The base gives what is not a window call: NoProgramWindows
// nothing, AppWindows the real windows' faces. Where a test needs a call to
// act, it sets the call's hook (a hook may throw, as a window that cannot be
// made does).

#include "core/ProgramWindows.h"
#include "support/CallLog.h"

#include <functional>

template <class Base = NoProgramWindows>
class RecordingWindows : public Base, public CallLog {
public:
    using CallLog::CallLog;

    std::function<void(const QString& voicename)> onListen;
    std::function<void()> onSettings, onUnloadAll;
    // The main window refuses to unload (a document whose save failed).
    bool mainRefusesUnload = false;

    void frmMain_Show() override { log << "frmMain_Show"; }
    void frmMain_Maximize() override { log << "frmMain_Maximize"; }
    bool frmMain_Unload() override
    {
        log << "frmMain_Unload";
        return !mainRefusesUnload;
    }
    void frmMain_SetAutoClipboardChecked(bool on) override
    {
        log << QString("frmMain_SetAutoClipboardChecked %1").arg(on);
    }
    void ActiveForm_ApplySettings(bool echo, bool prediction) override
    {
        log << QString("ActiveForm_ApplySettings %1 %2").arg(echo).arg(prediction);
    }
    void frmDockDemo_Show() override { log << "frmDockDemo_Show"; }
    void frmDockDemo_Unload() override { log << "frmDockDemo_Unload"; }
    void frmDockDemo_SetNormal() override { log << "frmDockDemo_SetNormal"; }
    void frmSet_ShowModal() override { record("frmSet_ShowModal", onSettings); }
    void Aboutus_Show() override { log << "Aboutus_Show"; }
    void frmListen_Show(const QString& voicename) override
    {
        log << "frmListen_Show " + voicename;
        if (onListen)
            onListen(voicename);
    }
    void msgform_Show(const QString& label2, bool check1Visible) override
    {
        log << QString("msgform_Show %1 %2").arg(label2).arg(check1Visible);
    }
    void msgform_Unload() override { log << "msgform_Unload"; }
    void UnloadAllForms() override { record("UnloadAllForms", onUnloadAll); }
};
