#pragma once
// Every message box and modal dialog of the program goes through here, so
// that tests can answer them without a person at the screen.

#include <QString>
#include <functional>

class QDialog;
class QWidget;

// Buttons and icons of a message box, combined by addition.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};

// The button a message box was closed with.
enum MsgBoxResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};

struct MsgBoxCall {
    QString prompt;
    int style = vbOKOnly;
    QString title;
};

// Shows a message box and returns the button pressed. An empty title means
// the product name (string 2205).
int MsgBox(const QString& prompt, int style = vbOKOnly, const QString& title = QString(),
           QWidget* parent = nullptr);

// Runs a dialog modally and returns its result code.
int ShowModal(QDialog* dialog);

// Test seams: while set, these answer instead of a person. Pass {} to go
// back to real dialogs.
using MsgBoxAnswerer = std::function<int(const MsgBoxCall&)>;
using ModalAnswerer = std::function<int(QDialog*)>;
void SetMsgBoxAnswerer(MsgBoxAnswerer answerer);
void SetModalAnswerer(ModalAnswerer answerer);
