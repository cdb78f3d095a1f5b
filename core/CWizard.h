#pragma once
// Step counter of a multi-step dialog: holds the current step and the
// number of steps, and announces each change.

#include <QObject>

class CWizard : public QObject {
    Q_OBJECT
public:
    explicit CWizard(QObject* parent = nullptr);

    // The current step, 0-based; starts at 0.
    int Step() const { return step_; }
    // Accepted only for 0 <= n < StepCount; then raises DisplayStep.
    void setStep(int n);
    // The number of steps; starts at 0. Accepted for n >= 0; Step is left
    // as it is.
    int StepCount() const { return stepCount_; }
    void setStepCount(int n);

    // Raises Validate; unless cancelled, goes one step on and raises
    // DisplayStep, or, past the last step, raises Finish and stays on the
    // last step (step 0 when there are no steps).
    void MoveNext();
    // One step back, not below 0; raises DisplayStep in any case.
    void MoveBack();

signals:
    // Raised before MoveNext moves; a handler refuses the move by setting
    // `Cancel` to true. The flag reaches the handler only over a direct
    // connection (the default for an object of the same thread): a queued
    // connection would hand it a copy.
    void Validate(bool& Cancel);
    void DisplayStep();
    void Finish();

private:
    int step_ = 0;
    int stepCount_ = 0;
};
