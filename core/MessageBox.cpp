#include "MessageBox.h"

#include "StringTable.h"

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

MsgBoxAnswerer& msgBoxAnswerer()
{
    static MsgBoxAnswerer a;
    return a;
}

ModalAnswerer& modalAnswerer()
{
    static ModalAnswerer a;
    return a;
}

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int result;
};

QList<ButtonSpec> buttonsFor(int style)
{
    switch (style & 7) {
    case vbOKCancel: return {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
    case vbAbortRetryIgnore:
        return {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
    case vbYesNoCancel:
        return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    case vbYesNo: return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
    case vbRetryCancel: return {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
    default: return {{QMessageBox::Ok, vbOK}};
    }
}

QMessageBox::Icon iconFor(int style)
{
    switch (style & 0x70) {
    case vbCritical: return QMessageBox::Critical;
    case vbQuestion: return QMessageBox::Question;
    case vbExclamation: return QMessageBox::Warning;
    case vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

void SetMsgBoxAnswerer(MsgBoxAnswerer answerer)
{
    msgBoxAnswerer() = std::move(answerer);
}

void SetModalAnswerer(ModalAnswerer answerer)
{
    modalAnswerer() = std::move(answerer);
}

int MsgBox(const QString& prompt, int style, const QString& title, QWidget* parent)
{
    MsgBoxCall call{prompt, style, title.isEmpty() ? LoadResString(2205) : title};
    if (msgBoxAnswerer())
        return msgBoxAnswerer()(call);

    QMessageBox box(iconFor(style), call.title, call.prompt, QMessageBox::NoButton, parent);
    const QList<ButtonSpec> buttons = buttonsFor(style);
    for (const ButtonSpec& b : buttons)
        box.addButton(b.button);
    const int defaultIndex = (style & vbDefaultButton3) ? 2 : (style & vbDefaultButton2) ? 1 : 0;
    if (defaultIndex < buttons.size())
        box.setDefaultButton(buttons[defaultIndex].button);
    box.exec();
    const auto pressed = box.standardButton(box.clickedButton());
    for (const ButtonSpec& b : buttons) {
        if (b.button == pressed)
            return b.result;
    }
    // Closed with Escape or the window's close box: the cancelling answer.
    return buttons.size() == 1 ? buttons[0].result : vbCancel;
}

int ShowModal(QDialog* dialog)
{
    if (modalAnswerer())
        return modalAnswerer()(dialog);
    return dialog->exec();
}
