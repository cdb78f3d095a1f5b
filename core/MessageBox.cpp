#include "MessageBox.h"

#include "StringTable.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <utility>

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

// Escape and the title-bar close answer a box with its cancelling answer
// (see MsgBox), never with one of its buttons: Qt would take No for them
// in a question with Yes and No only.
class ProgramMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Cancel)) {
            reject();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override { QDialog::closeEvent(event); }
};

// The modal loops of the program's boxes and dialogs. Anything may run
// inside such a loop (a hotkey, a timer, a second start) and unload a
// window, even the one the box belongs to; deleting it there would delete
// the box under its own loop, and the code that opened the box would go on
// in a deleted window. So while a loop runs no widget is deleted: each
// deletion waits until the outermost loop has returned, and a box or
// dialog whose window is going is answered as cancelled at once.
class ModalLoops : public QObject {
public:
    static ModalLoops& get()
    {
        static ModalLoops loops;
        return loops;
    }

    // Runs the dialog's loop (Rejected when the dialog was deleted in it).
    int run(QDialog* dialog)
    {
        if (open_.isEmpty())
            qApp->installEventFilter(this);
        open_.append(dialog);
        struct Closing {
            ModalLoops& loops;
            ~Closing() { loops.closed(); }
        } closing{*this};
        return dialog->exec();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::DeferredDelete || !watched->isWidgetType() || insideOpenDialog(watched))
            return false;
        if (!held_.contains(watched))
            held_.append(watched);
        for (const QPointer<QDialog>& dialog : std::as_const(open_)) {
            if (dialog && within(dialog, watched))
                dialog->reject();
        }
        return true;
    }

private:
    void closed()
    {
        open_.removeLast();
        if (!open_.isEmpty())
            return;
        qApp->removeEventFilter(this);
        for (const QPointer<QObject>& object : std::exchange(held_, {})) {
            if (object)
                QCoreApplication::postEvent(object, new QDeferredDeleteEvent);
        }
    }

    // Whether `object` is `owner` or lies inside it.
    static bool within(const QObject* object, const QObject* owner)
    {
        for (; object; object = object->parent()) {
            if (object == owner)
                return true;
        }
        return false;
    }

    // A part of an open dialog goes as the dialog itself decides.
    bool insideOpenDialog(const QObject* object) const
    {
        for (const QPointer<QDialog>& dialog : open_) {
            if (dialog && object != dialog && within(object, dialog))
                return true;
        }
        return false;
    }

    QList<QPointer<QDialog>> open_;
    QList<QPointer<QObject>> held_;
};

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

    // Not on the stack: its window owns it, and may be deleted first.
    const QPointer<QMessageBox> box =
        new ProgramMessageBox(iconFor(style), call.title, call.prompt, QMessageBox::NoButton, parent);
    const QList<ButtonSpec> buttons = buttonsFor(style);
    for (const ButtonSpec& b : buttons)
        box->addButton(b.button);
    const int defaultIndex = (style & vbDefaultButton3) ? 2 : (style & vbDefaultButton2) ? 1 : 0;
    if (defaultIndex < buttons.size())
        box->setDefaultButton(buttons[defaultIndex].button);
    ModalLoops::get().run(box);
    // Closed without a button (Escape, the window's close box, its window
    // going): the cancelling answer, which never discards anything.
    int answer = buttons.size() == 1 ? buttons[0].result : vbCancel;
    if (box) {
        const auto pressed = box->standardButton(box->clickedButton());
        for (const ButtonSpec& b : buttons) {
            if (b.button == pressed)
                answer = b.result;
        }
        delete box.data();
    }
    return answer;
}

int ShowModal(QDialog* dialog)
{
    if (modalAnswerer())
        return modalAnswerer()(dialog);
    return ModalLoops::get().run(dialog);
}
