#pragma once
// The floating bar: a small frameless, always-on-top window that is the
// program's face while the main window is not. Hovering over Read (or Mp3)
// copies the selection of the focused application; Read speaks it.

#include "mainwindow/Skin.h"
#include "platform/ClipboardCopy.h"
#include "speech/ReadingState.h"

#include <QString>
#include <QWidget>

#include <functional>

class QPushButton;
class QTimer;

class frmDockDemo : public QWidget, public FloatingBarFace {
    Q_OBJECT
public:
    // Size of the bar before DPI scaling, in pixels at 96 dpi.
    static constexpr int kBarWidth = 280;
    static constexpr int kBarHeight = 70;

    // The bar's buttons speak, pause and stop through the installed
    // controller (SpeechController).
    explicit frmDockDemo(QWidget* parent = nullptr);
    ~frmDockDemo() override;

    // Sets the buttons for a reading state (the only public operation the
    // reading-state routines use).
    void docksetmemnu(bool& m_speaking, bool& m_paused) override;

    // Event handlers, public so that tests can drive them.
    void Form_Load();
    void Form_Unload();
    void Form_MouseDown(Qt::MouseButton button, const QPoint& pos);
    void Form_MouseMove(Qt::MouseButtons buttons, const QPoint& pos);
    void Timer1_Timer(); // hover poll, 200 ms
    void Timer2_Timer(); // clipboard pick-up, 100 ms, one shot
    void CmdRead_Click();
    void CmdPause_Click();
    void CmdResume_Click();
    void CmdStop_Click();
    void CmdMp3_Click();
    void CmdChange_Click();
    void CmdSet_Click();
    void CmdMin_Click();
    void CmdClose_Click();
    void CmdRead_MouseMove();
    void CmdPause_MouseMove();
    void CmdResume_MouseMove();
    void CmdStop_MouseMove();

    // Unloads the bar: stores its place, hides it and deletes it later.
    // Safe to call more than once.
    void Unload();
    bool isLoaded() const { return loaded_; }
    // The bar loaded last while it stays loaded, else null.
    static frmDockDemo* loadedBar();

    // Controls.
    QPushButton* CmdRead = nullptr;
    QPushButton* CmdPause = nullptr;
    QPushButton* CmdResume = nullptr;
    QPushButton* CmdStop = nullptr;
    QPushButton* CmdMp3 = nullptr;
    QPushButton* CmdChange = nullptr;
    QPushButton* CmdSet = nullptr;
    QPushButton* CmdMin = nullptr;
    QPushButton* CmdClose = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

    Skin SkinRead, SkinPause, SkinResume, SkinStop, SkinMp3, SkinChange, SkinSet, SkinMin, SkinCLose;

    // The text the next Read speaks.
    const QString& capturedText() const { return CapturedText; }
    bool hoverCopied() const { return HoverCopied; }

    // Tests: replaces the pointer test of the hover poll ({} goes back to
    // the real pointer).
    using CursorTest = std::function<bool(const QWidget*)>;
    void setCursorTest(CursorTest test) { cursorTest_ = std::move(test); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void SetButtons(bool speaking, bool paused);
    void PlaceWindow();
    void CaptureClipboardText();
    // Keeps a non-empty text for the next Read (in words when punctuation
    // is read).
    void CaptureText(const QString& t);
    // The same table as docksetmemnu, from IsSpeaking and IsPausing.
    // Nothing calls it.
    void RefreshDockButtons();
    bool cursorOver(const QWidget* w) const;

    CursorTest cursorTest_;
    bool loaded_ = false;

    QString CapturedText;
    bool HoverCopied = false;
    // The copy a hover sends; the user's clipboard comes back once its text
    // has been picked up.
    ClipboardCopy hoverCopy_;
    double DragStartX = 0; // twips
    double DragStartY = 0;
};
