#pragma once
// The windows the controller and the settings dialog open, close and reach
// by name. Start-up installs the program's windows; until then every call
// does nothing.

#include <QString>

class ProgramWindows {
public:
    virtual ~ProgramWindows() = default;

    // The main window frmMain.
    virtual void frmMain_Show() = 0;
    virtual void frmMain_Maximize() = 0;
    // False when the main window stayed (a document could not be saved).
    virtual bool frmMain_Unload() = 0;
    // Its Control > Auto Read Clipboard item.
    virtual void frmMain_SetAutoClipboardChecked(bool checked) = 0;
    // Its active document window, when the main window is loaded and has
    // one, shows the settings just stored, with typing echo and word
    // prediction as the settings dialog has them; otherwise nothing. What
    // the window cannot take ends it with the window's exception.
    virtual void ActiveForm_ApplySettings(bool typingEcho, bool wordPrediction) = 0;

    // The floating bar frmDockDemo.
    virtual void frmDockDemo_Show() = 0;
    virtual void frmDockDemo_Unload() = 0;
    virtual void frmDockDemo_SetNormal() = 0;

    // The settings dialog, shown modal, and the About box, modeless.
    virtual void frmSet_ShowModal() = 0;
    virtual void Aboutus_Show() = 0;

    // The voice-sample window frmListen, shown modeless with the name of
    // the voice whose samples it plays ("Paul Voice", "Kate Voice").
    virtual void frmListen_Show(const QString& voicename) = 0;

    // The loading notice msgform.
    virtual void msgform_Show(const QString& label2, bool check1Visible) = 0;
    virtual void msgform_Unload() = 0;

    // Unloads every loaded window of the program.
    virtual void UnloadAllForms() = 0;

    // The installed windows (a set that does nothing until one is
    // installed). Installing null removes them.
    static ProgramWindows& get();
    static void install(ProgramWindows* windows);
};

// No window exists: every call does nothing. This is the set in place until
// start-up installs the program's windows; test doubles derive from it.
class NoProgramWindows : public ProgramWindows {
public:
    void frmMain_Show() override {}
    void frmMain_Maximize() override {}
    bool frmMain_Unload() override { return true; }
    void frmMain_SetAutoClipboardChecked(bool) override {}
    void ActiveForm_ApplySettings(bool, bool) override {}
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
