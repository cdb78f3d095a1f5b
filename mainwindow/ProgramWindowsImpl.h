#pragma once
// The program's windows as the controller reaches them. Each window is
// made when first shown and has one instance.

#include "mainwindow/msgform.h"
#include "speech/ProgramWindows.h"

#include <QPointer>

class ProgramWindowsImpl : public ProgramWindows {
public:
    void msgform_Show(const QString& label2, bool check1Visible) override;
    void msgform_Unload() override;
    void UnloadAllForms() override;

    // The loading notice while it is loaded, else null.
    msgform* loadingNotice() const { return notice_; }

private:
    QPointer<msgform> notice_;
};
