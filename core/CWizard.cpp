#include "core/CWizard.h"

#include <algorithm>

CWizard::CWizard(QObject* parent)
    : QObject(parent)
{
}

void CWizard::setStep(int n)
{
    if (n < 0 || n >= stepCount_)
        return;
    step_ = n;
    emit DisplayStep();
}

void CWizard::setStepCount(int n)
{
    if (n >= 0)
        stepCount_ = n;
}

void CWizard::MoveNext()
{
    bool cancel = false;
    emit Validate(cancel);
    if (cancel)
        return;
    if (step_ + 1 < stepCount_) {
        ++step_;
        emit DisplayStep();
    } else {
        // Past the last step. With no steps at all there is no last step
        // to stay on: the wizard stays on step 0 rather than -1.
        step_ = std::max(stepCount_ - 1, 0);
        emit Finish();
    }
}

void CWizard::MoveBack()
{
    step_ = std::max(step_ - 1, 0);
    emit DisplayStep();
}
