#include "ProgramWindowsImpl.h"

#include "msgform.h"

#include <QCheckBox>
#include <QLabel>

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
}
