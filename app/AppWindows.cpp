#include "app/AppWindows.h"

#include "floatingbar/frmDockDemo.h"
#include "floatingbar/frmSet.h"
#include "mainwindow/frmDocument.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/frmPopup.h"
#include "mainwindow/frmSplash.h"

#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"

#include <QCheckBox>
#include <QLabel>

AppWindows::~AppWindows()
{
    if (&ProgramWindows::get() == this)
        ProgramWindows::install(nullptr);
    if (&ReadingFaces::get() == this)
        ReadingFaces::install(nullptr);
}

void AppWindows::install()
{
    ProgramWindows::install(this);
    ReadingFaces::install(this);
}

// ---- the faces ----

FloatingBarFace* AppWindows::floatingBar()
{
    return frmDockDemo::loadedBar();
}

MainWindowFace* AppWindows::mainWindow()
{
    frmMain* m = frmMain::instance();
    return m && m->isLoaded() ? m : nullptr;
}

ActiveDocument* AppWindows::activeDocument()
{
    frmMain* m = frmMain::instance();
    return m ? m->activeDocument() : nullptr;
}

// ---- the main window and its windows ----

void AppWindows::frmMain_Show()
{
    frmMain* m = frmMain::instance();
    if (!m) {
        m = new frmMain;
        // Closing the window unloads it.
        m->setAttribute(Qt::WA_DeleteOnClose);
        m->MDIForm_Load();
    }
    m->show();
    m->raise();
    m->activateWindow();
}

void AppWindows::frmMain_Maximize()
{
    if (frmMain* m = frmMain::instance())
        m->showMaximized();
}

bool AppWindows::frmMain_Unload()
{
    frmMain* m = frmMain::instance();
    return !m || m->close();
}

void AppWindows::frmMain_SetAutoClipboardChecked(bool checked)
{
    if (frmMain* m = frmMain::instance())
        m->mnuCtlclipboard->setChecked(checked);
}

void AppWindows::ActiveForm_ApplySettings(bool typingEcho, bool wordPrediction)
{
    frmMain* m = frmMain::instance();
    if (!m || !m->isLoaded())
        return;
    if (frmDocument* doc = m->ActiveForm())
        doc->ApplySettings(typingEcho, wordPrediction);
}

void AppWindows::Aboutus_Show()
{
    if (!about_) {
        about_ = new Aboutus;
        about_->setAttribute(Qt::WA_DeleteOnClose);
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void AppWindows::frmListen_Show(const QString& voicename)
{
    // The page is chosen when the window loads: an open window is only
    // brought forward.
    if (!listen_) {
        listen_ = new frmListen;
        listen_->setAttribute(Qt::WA_DeleteOnClose);
        listen_->voicename = voicename;
        listen_->Form_Load();
    } else {
        listen_->voicename = voicename;
    }
    listen_->show();
    listen_->raise();
    listen_->activateWindow();
}

void AppWindows::frmSplash_Show()
{
    frmSplash* s = frmSplash::instance();
    if (!s) {
        s = new frmSplash;
        s->setAttribute(Qt::WA_DeleteOnClose);
        s->Form_Load();
    }
    s->show();
}

void AppWindows::msgform_Show(const QString& label2, bool check1Visible)
{
    if (!notice_) {
        notice_ = new msgform;
        // Closing the window unloads it.
        notice_->setAttribute(Qt::WA_DeleteOnClose);
        notice_->Form_Load();
    }
    notice_->Label2->setText(label2);
    notice_->Check1->setVisible(check1Visible);
    notice_->show();
}

void AppWindows::msgform_Unload()
{
    if (msgform* w = notice_.data()) {
        notice_.clear();
        w->hide();
        delete w;
    }
}

// ---- the floating bar and the settings dialog ----

void AppWindows::frmDockDemo_Show()
{
    // A bar that was unloaded and waits for its deletion is not reused.
    if (!dock_ || !dock_->isLoaded()) {
        dock_ = new frmDockDemo;
        dock_->Form_Load();
    }
    dock_->show();
    dock_->raise();
}

void AppWindows::frmDockDemo_Unload()
{
    if (dock_)
        dock_->Unload();
}

void AppWindows::frmDockDemo_SetNormal()
{
    if (dock_ && dock_->isLoaded()) {
        dock_->setWindowState(dock_->windowState() & ~Qt::WindowMinimized);
        dock_->show();
    }
}


// settings dialog
void AppWindows::frmSet_ShowModal()
{
    // Each opening reads the settings afresh: a new dialog every time.
    frmSet dialog;
    ShowModal(&dialog);
}

void AppWindows::UnloadAllForms()
{
    // The floating bar first (it stores its place), then the others.
    frmDockDemo_Unload();
    msgform_Unload();
    IgnoreErrors([] { frmSplash::Unload(); });
    if (Aboutus* a = about_.data()) {
        about_.clear();
        a->close();
    }
    if (frmListen* l = listen_.data()) {
        listen_.clear();
        l->close();
    }
    IgnoreErrors([] { frmPopup::UnloadAll(); });
    if (frmMain* m = frmMain::instance())
        m->close();
}
