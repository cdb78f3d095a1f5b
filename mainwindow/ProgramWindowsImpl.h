#pragma once
// The program's windows as the controller reaches them. Each window is
// made when first shown and has one instance.

#include "core/ProgramWindows.h"
#include "mainwindow/Aboutus.h"
#include "mainwindow/frmListen.h"
#include "mainwindow/msgform.h"

#include <QPointer>

class frmMain;
class frmSplash;

class ProgramWindowsImpl : public ProgramWindows {
public:
    void frmMain_Show() override;
    void frmMain_Maximize() override;
    bool frmMain_Unload() override;
    void frmMain_SetAutoClipboardChecked(bool checked) override;
    void Aboutus_Show() override;
    void frmListen_Show(const QString& voicename) override;
    void msgform_Show(const QString& label2, bool check1Visible) override;
    void msgform_Unload() override;
    void UnloadAllForms() override;

    // The start-up splash, shown modeless.
    void frmSplash_Show();

    // The loading notice while it is loaded, else null.
    msgform* loadingNotice() const { return notice_; }
    // The About box while it is loaded, else null.
    Aboutus* aboutBox() const { return about_; }
    // The voice-sample window while it is loaded, else null.
    frmListen* sampleWindow() const { return listen_; }

private:
    QPointer<msgform> notice_;
    QPointer<Aboutus> about_;
    QPointer<frmListen> listen_;
};
