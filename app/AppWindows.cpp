#include "app/AppWindows.h"

#include "floatingbar/frmDockDemo.h"
#include "floatingbar/frmSet.h"

#include "core/MessageBox.h"

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

void AppWindows::UnloadAllForms()
{
    frmDockDemo_Unload();
    ProgramWindowsImpl::UnloadAllForms();
}

// settings dialog
void AppWindows::frmSet_ShowModal()
{
    // Each opening reads the settings afresh: a new dialog every time.
    frmSet dialog;
    ShowModal(&dialog);
}
