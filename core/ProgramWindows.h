#pragma once
// The windows the controller opens, closes and reaches by name. The window
// subsystems install their implementation at start-up; until a window
// exists its calls do nothing.

#include <QString>

class ProgramWindows {
public:
    virtual ~ProgramWindows() = default;

    // The main window frmMain.
    virtual void frmMain_Show() {}
    virtual void frmMain_Maximize() {}
    // False when the main window stayed (a document could not be saved).
    virtual bool frmMain_Unload() { return true; }
    // Its Control > Auto Read Clipboard item.
    virtual void frmMain_SetAutoClipboardChecked(bool /*checked*/) {}

    // The floating bar frmDockDemo.
    virtual void frmDockDemo_Show() {}
    virtual void frmDockDemo_Unload() {}
    virtual void frmDockDemo_SetNormal() {}

    // The settings dialog, shown modal, and the About box, modeless.
    virtual void frmSet_ShowModal() {}
    virtual void Aboutus_Show() {}

    // The voice-sample window frmListen, shown modeless with the name of
    // the voice whose samples it plays ("Paul Voice", "Kate Voice").
    virtual void frmListen_Show(const QString& /*voicename*/) {}

    // The loading notice msgform.
    virtual void msgform_Show(const QString& /*label2*/, bool /*check1Visible*/) {}
    virtual void msgform_Unload() {}

    // Unloads every loaded window of the program.
    virtual void UnloadAllForms() {}

    // The installed windows (a do-nothing set until one is installed).
    static ProgramWindows& get();
    static void install(ProgramWindows* windows);
};
