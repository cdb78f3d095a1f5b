#pragma once
// frmSplash: the picture shown at start-up. Seven seconds after it loads it
// shows the main window, whose load unloads the splash.

#include <QWidget>

class QLabel;
class QTimer;

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);
    ~frmSplash() override;

    // The splash while it is loaded, else null.
    static frmSplash* instance();
    // Closes and deletes the splash, if loaded.
    static void Unload();

    static constexpr int kPictureWidth = 457;
    static constexpr int kPictureHeight = 273;
    static constexpr int kTimerInterval = 7000;

    QLabel* Image1 = nullptr;     // the picture, filling the window
    QLabel* lblVersion = nullptr; // "Version"
    QLabel* Label1 = nullptr;     // the version number
    QLabel* Label2 = nullptr;     // "Searching for update..."
    QTimer* Timer1 = nullptr;     // 7000 ms, running from the start

    void Form_Load();
    // Shows the main window (once: the timer stops first).
    void Timer1_Timer();

    // The splash picture, drawn for the window.
    static QPixmap drawPicture();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
