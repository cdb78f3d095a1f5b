#include "floatingbar/frmDockDemo.h"

#include "core/Conversions.h"
#include "core/FormStrings.h"
#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"
#include "core/ProgramWindows.h"
#include "core/SettingsStore.h"
#include "core/StringTable.h"
#include "core/Utilities.h"
#include "platform/FocusedSelection.h"
#include "speech/FaceSwitch.h"
#include "speech/SpeechController.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

const QString kReadSet = QStringLiteral("ReadSet");

frmDockDemo* s_loadedBar = nullptr;

void letEventsRun()
{
    QCoreApplication::processEvents();
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* tooltip, int x, int y, int w, int h)
{
    auto* b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(QString::fromLatin1(tooltip));
    b->setGeometry(x, y, w, h);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

frmDockDemo::frmDockDemo(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmDockDemo"));
    setProperty("Tag", QStringLiteral("2205")); // caption: the product name
    setWindowTitle(QStringLiteral("Lectova"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The bar is seldom the active window (the user works in another
    // application): its tool tips show all the same.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    resize(kBarWidth, kBarHeight);
    setAutoFillBackground(true);
    buildControls();
}

frmDockDemo::~frmDockDemo()
{
    if (s_loadedBar == this) {
        s_loadedBar = nullptr;
        FaceSwitch::floatingBarShown(false);
    }
}

void frmDockDemo::buildControls()
{
    // Read, Pause and Resume share the place at the left (44 x 42 pixels);
    // Stop and Mp3 follow, the four small buttons sit at the right end.
    CmdRead = makeButton(this, "CmdRead", "Read the selected text", 8, 14, 44, 42);
    CmdPause = makeButton(this, "CmdPause", "Pause reading", 8, 14, 44, 42);
    CmdResume = makeButton(this, "CmdResume", "Resume reading", 8, 14, 44, 42);
    CmdStop = makeButton(this, "CmdStop", "Stop reading", 56, 14, 44, 42);
    CmdMp3 = makeButton(this, "CmdMp3", "Convert the Selected text to Mp3 ,WAV", 104, 14, 44, 42);
    CmdChange = makeButton(this, "CmdChange", "Switch to the main window", 160, 23, 24, 24);
    CmdSet = makeButton(this, "CmdSet", "Settings", 188, 23, 24, 24);
    CmdMin = makeButton(this, "CmdMin", "Minimize", 216, 23, 24, 24);
    CmdClose = makeButton(this, "CmdClose", "Close", 244, 23, 24, 24);

    connect(CmdRead, &QPushButton::clicked, this, [this] { CmdRead_Click(); });
    connect(CmdPause, &QPushButton::clicked, this, [this] { CmdPause_Click(); });
    connect(CmdResume, &QPushButton::clicked, this, [this] { CmdResume_Click(); });
    connect(CmdStop, &QPushButton::clicked, this, [this] { CmdStop_Click(); });
    connect(CmdMp3, &QPushButton::clicked, this, [this] { CmdMp3_Click(); });
    connect(CmdChange, &QPushButton::clicked, this, [this] { CmdChange_Click(); });
    connect(CmdSet, &QPushButton::clicked, this, [this] { CmdSet_Click(); });
    connect(CmdMin, &QPushButton::clicked, this, [this] { CmdMin_Click(); });
    connect(CmdClose, &QPushButton::clicked, this, [this] { CmdClose_Click(); });
    for (QPushButton* b : {CmdRead, CmdPause, CmdResume, CmdStop}) {
        b->setMouseTracking(true);
        b->installEventFilter(this);
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(100);
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
}

// ---- load and unload ----

void frmDockDemo::Form_Load()
{
    FaceSwitch::floatingBarShown(true);
    HoverCopied = false;
    loaded_ = true;
    s_loadedBar = this;
    IgnoreErrors([this] { LoadFormStrings(this); });

    const auto skinFile = [](const char* name) { return globals.AppFolder + QString::fromLatin1(name); };
    IgnoreErrors([&] { SkinRead.LoadSkin(skinFile("\\Miniplay.skn")); });
    IgnoreErrors([&] { SkinMp3.LoadSkin(skinFile("\\Minimp3.skn")); });
    IgnoreErrors([&] { SkinResume.LoadSkin(skinFile("\\miniplay.skn")); });
    IgnoreErrors([&] { SkinStop.LoadSkin(skinFile("\\Ministop.skn")); });
    IgnoreErrors([&] { SkinPause.LoadSkin(skinFile("\\Minipause.skn")); });
    IgnoreErrors([&] { SkinChange.LoadSkin(skinFile("\\Minigoto.skn")); });
    IgnoreErrors([&] { SkinCLose.LoadSkin(skinFile("\\Miniclose.skn")); });
    IgnoreErrors([&] { SkinMin.LoadSkin(skinFile("\\Minimize.skn")); });
    IgnoreErrors([&] { SkinSet.LoadSkin(skinFile("\\Minisetting.skn")); });

    IgnoreErrors([&] { SkinSet.ApplySkin(CmdSet); });
    IgnoreErrors([&] { SkinCLose.ApplySkin(CmdClose); });
    IgnoreErrors([&] { SkinMin.ApplySkin(CmdMin); });
    IgnoreErrors([&] { SkinChange.ApplySkin(CmdChange); });
    IgnoreErrors([&] { SkinRead.ApplySkin(CmdRead); });
    IgnoreErrors([&] { SkinMp3.ApplySkin(CmdMp3); });
    IgnoreErrors([&] { SkinResume.ApplySkin(CmdResume); });
    IgnoreErrors([&] { SkinStop.ApplySkin(CmdStop); });
    IgnoreErrors([&] { SkinPause.ApplySkin(CmdPause); });

    SetButtons(false, false);
    IgnoreErrors([this] { PlaceWindow(); });
    IgnoreErrors([] {
        readingState.usePunctuationMode(static_cast<std::int32_t>(
            CInt(ReadSetting(globals.IniFile, kReadSet, QStringLiteral("PunctuationTag"), QStringLiteral("0")))));
    });
    // The next start of the program shows the bar again.
    IgnoreErrors([] { WriteSetting(globals.IniFile, kReadSet, QStringLiteral("StartUp"), QStringLiteral("1")); });
    IgnoreErrors([this] {
        ScaleToDpi(this);
        for (QPushButton* b : findChildren<QPushButton*>())
            ScaleToDpi(b);
    });
    Timer2->stop();
    Timer1->start();
}

void frmDockDemo::PlaceWindow()
{
    const double tppX = TwipsPerPixelX(this);
    const double tppY = TwipsPerPixelY(this);
    const long dockX = CLng(ReadSetting(globals.IniFile, kReadSet, QStringLiteral("DockX"), QStringLiteral("0")));
    const long dockY = CLng(ReadSetting(globals.IniFile, kReadSet, QStringLiteral("DockY"), QStringLiteral("0")));
    int x = 0;
    int y = 0;
    if (dockX != 0 || dockY != 0) {
        x = static_cast<int>(std::lround(dockX / tppX));
        y = static_cast<int>(std::lround(dockY / tppY));
        // A place off the screen (saved on a larger or another screen) is
        // brought back inside the work area, so that the bar can be seen
        // and reached.
        QScreen* s = QGuiApplication::screenAt(QRect(x, y, width(), height()).center());
        if (!s)
            s = QGuiApplication::primaryScreen();
        if (s) {
            const QRect room = s->availableGeometry();
            x = std::clamp(x, room.left(), std::max(room.left(), room.right() + 1 - width()));
            y = std::clamp(y, room.top(), std::max(room.top(), room.bottom() + 1 - height()));
        }
    } else {
        // Top right: a thirtieth of the screen from the right and the top.
        QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        if (!s)
            return;
        const double sw = s->geometry().width();
        const double sh = s->geometry().height();
        x = static_cast<int>(std::lround(s->geometry().x() + sw - width() - sw / 30.0));
        y = static_cast<int>(std::lround(s->geometry().y() + sh / 30.0));
    }
    // The window is made always-on-top when it is built; only the place
    // changes here.
    move(x, y);
}

void frmDockDemo::Form_Unload()
{
    if (!loaded_)
        return;
    loaded_ = false;
    Timer1->stop();
    Timer2->stop();
    IgnoreErrors([this] {
        WriteSetting(globals.IniFile, kReadSet, QStringLiteral("DockX"),
                     QString::number(std::lround(x() * TwipsPerPixelX(this))));
    });
    IgnoreErrors([this] {
        WriteSetting(globals.IniFile, kReadSet, QStringLiteral("DockY"),
                     QString::number(std::lround(y() * TwipsPerPixelY(this))));
    });
    FaceSwitch::floatingBarShown(false);
    if (s_loadedBar == this)
        s_loadedBar = nullptr;
}

frmDockDemo* frmDockDemo::loadedBar()
{
    return s_loadedBar;
}

void frmDockDemo::Unload()
{
    Form_Unload();
    hide();
    deleteLater();
}

void frmDockDemo::closeEvent(QCloseEvent* event)
{
    // A close from the window system unloads the bar like Min does.
    event->accept();
    if (loaded_)
        Unload();
}

// ---- reading state ----

void frmDockDemo::SetButtons(bool speaking, bool paused)
{
    if (!speaking) {
        CmdRead->setVisible(true);
        CmdPause->setVisible(false);
        CmdResume->setVisible(false);
        CmdMp3->setEnabled(true);
        CmdStop->setEnabled(false);
    } else if (!paused) {
        CmdRead->setVisible(false);
        CmdPause->setVisible(true);
        CmdResume->setVisible(false);
        CmdMp3->setEnabled(false);
        CmdStop->setEnabled(true);
    } else {
        CmdRead->setVisible(false);
        CmdPause->setVisible(false);
        CmdResume->setVisible(true);
        CmdMp3->setEnabled(false);
        CmdStop->setEnabled(true);
    }
}

void frmDockDemo::docksetmemnu(bool& m_speaking, bool& m_paused)
{
    SetButtons(m_speaking, m_paused);
}

void frmDockDemo::RefreshDockButtons()
{
    SetButtons(readingState.IsSpeaking(), readingState.IsPausing());
}

// ---- hover copy and clipboard pick-up ----

bool frmDockDemo::cursorOver(const QWidget* w) const
{
    return cursorTest_ ? cursorTest_(w) : IsCursorOverWindow(w);
}

void frmDockDemo::Timer1_Timer()
{
    if (!isVisible())
        return;
    bool over = false;
    IgnoreErrors([&] { over = cursorOver(CmdRead) || cursorOver(CmdMp3); });
    if (!over) {
        HoverCopied = false;
        return;
    }
    if (!HoverCopied) {
        letEventsRun();
        FocusedSelection focused;
        IgnoreErrors([&] { focused = ReadFocusedSelection(); });
        if (!focused.text.isEmpty()) {
            // The focused application's selection is at hand: taken now,
            // without a keystroke, the clipboard left as it is.
            IgnoreErrors([&] { CaptureText(focused.text); });
        } else {
            // No held keys to release here: the user is pointing, not
            // holding a hotkey. A terminal gets no Ctrl+C (it would
            // interrupt its job); what the clipboard holds is taken then.
            // The clipboard is not emptied: when nothing is copied, the text
            // on it is taken.
            if (!focused.terminal)
                IgnoreErrors([this] { hoverCopy_.copy(false); });
            Timer2->start();
        }
    }
    HoverCopied = true;
}

void frmDockDemo::Timer2_Timer()
{
    Timer2->stop();
    IgnoreErrors([this] { CaptureClipboardText(); });
    IgnoreErrors([this] { hoverCopy_.end(); });
}

void frmDockDemo::CaptureClipboardText()
{
    letEventsRun();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    CaptureText(clipboard->text(QClipboard::Clipboard));
}

void frmDockDemo::CaptureText(const QString& t)
{
    if (t.isEmpty())
        return;
    CapturedText = readingState.PunctuationMode() == 1 ? PunctuationToWords(t) : t;
}

// ---- buttons ----

void frmDockDemo::CmdRead_Click()
{
    if (CapturedText.isEmpty()) {
        MsgBox(LoadResString(1314), vbOKOnly, QString(), this);
        return;
    }
    letEventsRun();
    SetSpeakingState(true, readingState.IsPausing());
    letEventsRun();
    readingState.sideUtterancesEnd();
    SpeechController::get().speakstring(CapturedText);
}

void frmDockDemo::CmdPause_Click()
{
    SetSpeakingState(readingState.IsSpeaking(), true);
    SpeechController::get().PauseSpeaking();
}

void frmDockDemo::CmdResume_Click()
{
    SetSpeakingState(readingState.IsSpeaking(), false);
    SpeechController::get().ResumeSpeaking();
}

void frmDockDemo::CmdStop_Click()
{
    SpeechController::get().stopspeaking();
    SetSpeakingState(false, false);
}

void frmDockDemo::CmdMp3_Click()
{
    // Saves the captured text as a sound file, as the Text-to-MP3 hotkey
    // does; without text the user is told to select some, as with Read.
    if (CapturedText.isEmpty()) {
        MsgBox(LoadResString(1314), vbOKOnly, QString(), this);
        return;
    }
    SpeechController::get().SaveTextAsAudio(CapturedText);
}

void frmDockDemo::CmdChange_Click()
{
    Unload();
    SpeechController::get().stopDictating();
    SpeechController::get().stopspeaking();
    SpeechController::get().mnuTrayShowSoftware_Click();
    IgnoreErrors([] { WriteSetting(globals.IniFile, kReadSet, QStringLiteral("StartUp"), QStringLiteral("2")); });
}

void frmDockDemo::CmdSet_Click()
{
    ProgramWindows::get().frmSet_ShowModal();
}

void frmDockDemo::CmdMin_Click()
{
    SpeechController::get().stopDictating();
    SpeechController::get().stopspeaking();
    Unload();
}

void frmDockDemo::CmdClose_Click()
{
    SpeechController::get().mnuTrayExit_Click();
}

void frmDockDemo::CmdRead_MouseMove() { letEventsRun(); }
void frmDockDemo::CmdPause_MouseMove() { letEventsRun(); }
void frmDockDemo::CmdResume_MouseMove() { letEventsRun(); }
void frmDockDemo::CmdStop_MouseMove() { letEventsRun(); }

bool frmDockDemo::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == CmdRead)
            CmdRead_MouseMove();
        else if (watched == CmdPause)
            CmdPause_MouseMove();
        else if (watched == CmdResume)
            CmdResume_MouseMove();
        else if (watched == CmdStop)
            CmdStop_MouseMove();
    }
    return QWidget::eventFilter(watched, event);
}

// ---- dragging by the face ----

void frmDockDemo::Form_MouseDown(Qt::MouseButton button, const QPoint& pos)
{
    DragStartX = pos.x() * TwipsPerPixelX(this);
    DragStartY = pos.y() * TwipsPerPixelY(this);
    if (button == Qt::LeftButton)
        IgnoreErrors([this] { DragForm(this); });
}

void frmDockDemo::Form_MouseMove(Qt::MouseButtons buttons, const QPoint& pos)
{
    if (!(buttons & Qt::LeftButton))
        return;
    const double tppX = TwipsPerPixelX(this);
    const double tppY = TwipsPerPixelY(this);
    const double dx = pos.x() - DragStartX / tppX;
    const double dy = pos.y() - DragStartY / tppY;
    move(x() + static_cast<int>(std::lround(dx)), y() + static_cast<int>(std::lround(dy)));
}

void frmDockDemo::mousePressEvent(QMouseEvent* event)
{
    Form_MouseDown(event->button(), event->position().toPoint());
    event->accept();
}

void frmDockDemo::mouseMoveEvent(QMouseEvent* event)
{
    Form_MouseMove(event->buttons(), event->position().toPoint());
    event->accept();
}
