#include "ProgramWindowsImpl.h"

#include "frmMain.h"
#include "frmPopup.h"
#include "frmSplash.h"
#include "msgform.h"

#include "core/IgnoreErrors.h"

#include <QCheckBox>
#include <QLabel>

void ProgramWindowsImpl::frmMain_Show()
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

void ProgramWindowsImpl::frmMain_Maximize()
{
    if (frmMain* m = frmMain::instance())
        m->showMaximized();
}

bool ProgramWindowsImpl::frmMain_Unload()
{
    frmMain* m = frmMain::instance();
    return !m || m->close();
}

void ProgramWindowsImpl::frmMain_SetAutoClipboardChecked(bool checked)
{
    if (frmMain* m = frmMain::instance())
        m->mnuCtlclipboard->setChecked(checked);
}

void ProgramWindowsImpl::Aboutus_Show()
{
    if (!about_) {
        about_ = new Aboutus;
        about_->setAttribute(Qt::WA_DeleteOnClose);
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void ProgramWindowsImpl::frmListen_Show(const QString& voicename)
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

void ProgramWindowsImpl::frmSplash_Show()
{
    frmSplash* s = frmSplash::instance();
    if (!s) {
        s = new frmSplash;
        s->setAttribute(Qt::WA_DeleteOnClose);
        s->Form_Load();
    }
    s->show();
}

void ProgramWindowsImpl::msgform_Show(const QString& label2, bool check1Visible)
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

void ProgramWindowsImpl::msgform_Unload()
{
    if (msgform* w = notice_.data()) {
        notice_.clear();
        w->hide();
        delete w;
    }
}

void ProgramWindowsImpl::UnloadAllForms()
{
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
