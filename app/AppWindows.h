#pragma once
// The program's windows as start-up installs them: each window is made when
// first shown and has one instance. The same object tells the reading
// state which windows are its faces and which document window is active.

#include "core/ProgramWindows.h"
#include "speech/ReadingFaces.h"

#include "floatingbar/frmDockDemo.h"
#include "mainwindow/Aboutus.h"
#include "mainwindow/frmListen.h"
#include "mainwindow/msgform.h"

#include <QPointer>

class AppWindows : public ProgramWindows, public ReadingFaces {
public:
    AppWindows() = default;
    ~AppWindows() override;
    AppWindows(const AppWindows&) = delete;
    AppWindows& operator=(const AppWindows&) = delete;

    // Installs these as the program's windows and the reading faces.
    void install();

    // ---- the faces ----
    FloatingBarFace* floatingBar() override;
    MainWindowFace* mainWindow() override;
    ActiveDocument* activeDocument() override;

    // ---- the windows ----
    void frmMain_Show() override;
    void frmMain_Maximize() override;
    bool frmMain_Unload() override;
    void frmMain_SetAutoClipboardChecked(bool checked) override;
    void ActiveForm_ApplySettings(bool typingEcho, bool wordPrediction) override;
    void frmDockDemo_Show() override;
    void frmDockDemo_Unload() override;
    void frmDockDemo_SetNormal() override;
    // Makes the one settings dialog and runs it modally until it closes.
    void frmSet_ShowModal() override;
    void Aboutus_Show() override;
    void frmListen_Show(const QString& voicename) override;
    void msgform_Show(const QString& label2, bool check1Visible) override;
    void msgform_Unload() override;
    // The floating bar first (it stores its place), then the others.
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
    QPointer<frmDockDemo> dock_;
    QPointer<msgform> notice_;
    QPointer<Aboutus> about_;
    QPointer<frmListen> listen_;
};
