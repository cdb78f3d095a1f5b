#pragma once
// The program's windows as start-up installs them: the main-window set
// plus the windows that live above it (the floating bar, the settings
// dialog).

#include "mainwindow/ProgramWindowsImpl.h"

#include <QPointer>

#include "floatingbar/frmDockDemo.h"

class AppWindows : public ProgramWindowsImpl {
public:
    // The floating bar frmDockDemo.
    void frmDockDemo_Show() override;
    void frmDockDemo_Unload() override;
    void frmDockDemo_SetNormal() override;
    // The floating bar first (it stores its place), then the others.
    void UnloadAllForms() override;

    // The floating bar while it is loaded, else null.
    frmDockDemo* floatingBar() const { return dock_; }

    // settings dialog
    // Makes the one settings dialog and runs it modally until it closes.
    void frmSet_ShowModal() override;

private:
    QPointer<frmDockDemo> dock_;
};
