#pragma once
// msgform: the small notice in the bottom-right corner of the screen that
// tells the user the speech engine is busy with the text taken from another
// application. The caller sets its text and hides the check box.

#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;

class msgform : public QWidget {
    Q_OBJECT
public:
    explicit msgform(QWidget* parent = nullptr);

    // The notice text.
    QLabel* Label2 = nullptr;
    // "Don't show it again."; nobody shows it.
    QCheckBox* Check1 = nullptr;
    // Name of the per-user value Check1 writes; nothing assigns it.
    QString MsgID;

    // Puts the window in the bottom-right corner of the work area (the
    // screen without its panels), or of the whole screen when the work area
    // is unknown.
    void Form_Load();
    void Check1_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Stores the check box in ReadSet/isShowmsgbox and closes the window.
    void SaveShowFlagAndClose();
    void placeBottomRight();
};
