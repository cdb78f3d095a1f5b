// The controller's life: its load (speech object, lists, tray icon and menu,
// hotkeys, greeting), the tray menu's commands, the two face switches, the
// second-start poll, exit and unload. The icon and the menu themselves are
// TrayMenu's.

#include "systemtray.h"

#include "core/Conversions.h"
#include "core/FormStrings.h"
#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"
#include "core/ProgramWindows.h"
#include "core/SettingsStore.h"
#include "core/StringTable.h"
#include "core/Utilities.h"
#include "platform/GlobalHotkeys.h"
#include "platform/SystemServices.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QRandomGenerator>
#include <QScreen>

#include <cmath>
#include <stdexcept>

namespace {

const QString kReadSet = QStringLiteral("ReadSet");

// The ids of the seven global hotkeys.
constexpr int kFirstHotkeyId = 11112;
constexpr int kLastHotkeyId = 11118;

// The number a settings text starts with, as a whole number: "1" is 1,
// " 2x" is 2, "abc" and "" are 0.
double leadingValue(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (ok && std::isfinite(value))
        return value;
    return LeadingNumber(text.trimmed());
}


} // namespace

// ---- load ----

void systemtray::Form_Load()
{
    setWindowTitle(QStringLiteral("Lectova"));
    IgnoreErrors([&] { trayMenu_->build(); });
    Timer3.start();

    IgnoreErrors([&] { makeNewVoice(); });
    readingState.resumeServed();
    // The clipboard is left as it is: it holds what the user copied.
    IgnoreErrors([&] { LoadOutputDevices(); });
    IgnoreErrors([&] { LoadVoiceDescriptions(); });
    IgnoreErrors([&] { GetSREgine(); });
    IgnoreErrors([&] { LoadVoiceLanguages(); });
    IgnoreErrors([&] { LoadVoiceNames(); });
    IgnoreErrors([&] { LoadVoiceData(); });
    IgnoreErrors([&] { LoadFormStrings(this); });
    IgnoreErrors([&] { Sethotkeys(); });
    IgnoreErrors([&] { AddTrayIcon(); });
    // Outside programs find the settings file through this pointer file;
    // it is written only when it already exists.
    IgnoreErrors([] {
        WriteSetting(GetSystemDir() + QStringLiteral("/tesvik.ini"), QStringLiteral("inifilepath"),
                     QStringLiteral("inifilepath"), globals.SettingsFile);
    });
    IgnoreErrors([&] {
        const bool on = leadingValue(ReadSetting(globals.IniFile, kReadSet, QStringLiteral("AutoClipboard"),
                                                 QStringLiteral("0"))) != 0;
        AutoReadClipboard = on;
        mnuTrayclipboard_SetChecked(on);
    });
    readingState.requestStop();
    // The greeting, through a speech object of its own.
    IgnoreErrors([&] {
        StartupVoice = std::make_unique<clsVoice>();
        const double r = QRandomGenerator::global()->generateDouble();
        StartupVoice->Speakfile(globals.AppFolder + (r > 0.5 ? QStringLiteral("/FirstP.wav") : QStringLiteral("/FirstK.wav")));
    });
}

void systemtray::LoadOutputDevices()
{
    if (!voicecls)
        throw std::runtime_error("no speech object");
    m_getOutputdevices = voicecls->getOutputdevices();
    WriteSetting(globals.IniFile, kReadSet, QStringLiteral("Devicesname"), m_getOutputdevices);
    if (m_getOutputdevices.isEmpty()) {
        const QString gap = QStringLiteral("\r\n\r\n");
        MsgBox(LoadResString(1313) + gap + LoadResString(2343) + gap + LoadResString(2344) + gap
                   + LoadResString(2345) + gap,
               vbOKOnly);
    }
}

void systemtray::LoadVoiceDescriptions()
{
    if (!voicecls)
        throw std::runtime_error("no speech object");
    voiceDescriptions = voicecls->GetVoiceDescription();
    WriteSetting(globals.IniFile, kReadSet, QStringLiteral("Readers"), voiceDescriptions);
}

void systemtray::LoadVoiceLanguages()
{
    if (voicecls)
        m_GetVoiceLanguages = voicecls->GetVoiceLanguages();
}

void systemtray::LoadVoiceNames()
{
    if (voicecls)
        m_GetVoiceName = voicecls->GetVoiceNames();
}

void systemtray::LoadVoiceData()
{
    if (voicecls)
        m_GetVoiceData = voicecls->GetVoiceData();
}

// ---- faces ----

void systemtray::mnuTrayShowSoftware_Click()
{
    ProgramWindows& w = ProgramWindows::get();
    // A document being read is stopped for good, as its Stop button would:
    // nothing carries it on later.
    readingState.requestStop();
    IgnoreErrors([&] { stopspeaking(); });
    IgnoreErrors([&] { stopDictating(); });
    IgnoreErrors([&] { w.frmMain_Show(); });
    if (readingState.IsDockShown())
        IgnoreErrors([&] { w.frmDockDemo_Unload(); });
    IgnoreErrors([&] { w.frmMain_Show(); });
    IgnoreErrors([&] { w.frmMain_Maximize(); });
    FaceSwitch::mainWindowShown(true);
    FaceSwitch::floatingBarShown(false);
    IgnoreErrors([] { SetSpeakingState(false, false); });
}

void systemtray::mnuTrayShowDock_Click()
{
    ProgramWindows& w = ProgramWindows::get();
    IgnoreErrors([&] { stopspeaking(); });
    IgnoreErrors([&] { stopDictating(); });
    FaceSwitch::floatingBarShown(true);
    if (readingState.IsMainShown()) {
        // The main window's unload brings up the floating bar. A main window
        // that stays (a document that could not be saved) stays the face.
        bool unloaded = true;
        IgnoreErrors([&] { unloaded = w.frmMain_Unload(); });
        if (!unloaded) {
            FaceSwitch::floatingBarShown(false);
            return;
        }
    } else {
        IgnoreErrors([&] { w.frmDockDemo_Show(); });
    }
    FaceSwitch::mainWindowShown(false);
    IgnoreErrors([&] { w.frmDockDemo_SetNormal(); });
    IgnoreErrors([] { SetSpeakingState(false, false); });
}

// ---- the other menu commands ----

void systemtray::mnuSettings_Click()
{
    ProgramWindows::get().frmSet_ShowModal();
}

void systemtray::mnuTrayHelp_Click()
{
    IgnoreErrors([] { ShellOpenWithMessage(globals.AppFolder + QStringLiteral("/Lectova.CHM"), QStringLiteral("100")); });
}

void systemtray::mnuTrayAbout_Click()
{
    IgnoreErrors([] { ProgramWindows::get().Aboutus_Show(); });
}

void systemtray::mnuTrayclipboard_Click()
{
    QAction* item = trayMenu_->mnuTrayclipboard;
    if (!item)
        return;
    const bool on = !item->isChecked();
    item->setChecked(on);
    IgnoreErrors([&] {
        WriteSetting(globals.IniFile, kReadSet, QStringLiteral("AutoClipboard"), on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    AutoReadClipboard = on;
    if (readingState.IsMainShown())
        IgnoreErrors([&] { ProgramWindows::get().frmMain_SetAutoClipboardChecked(on); });
}

void systemtray::mnuTrayclipboard_SetChecked(bool checked)
{
    if (QAction* item = trayMenu_->mnuTrayclipboard)
        item->setChecked(checked);
}

void systemtray::mnuTrayPause_Click()
{
    if (readingState.IsPausing()) {
        IgnoreErrors([&] {
            if (voicecls)
                voicecls->ResumeSpeaking();
        });
        IgnoreErrors([] { SetSpeakingState(readingState.IsSpeaking(), false); });
    } else {
        IgnoreErrors([&] {
            if (voicecls)
                voicecls->PauseSpeaking();
        });
        IgnoreErrors([] { SetSpeakingState(readingState.IsSpeaking(), true); });
    }
}

void systemtray::mnuTrayStop_Click()
{
    IgnoreErrors([&] { stopReading(); });
}

void systemtray::mnuTraytraining_Click() {}

// ---- timers ----

void systemtray::Timer3_Timer()
{
    // A second start of the program leaves "111" here and ends; this copy
    // then comes to the front with its main window.
    IgnoreErrors([&] {
        if (CLng(ReadSetting(globals.IniFile, kReadSet, QStringLiteral("isopened"), QStringLiteral("0"))) == 111) {
            WriteSetting(globals.IniFile, kReadSet, QStringLiteral("isopened"), QStringLiteral("0"));
            mnuTrayShowSoftware_Click();
        }
    });
}

void systemtray::Timer5_Timer() {}

// ---- exit ----

void systemtray::mnuTrayExit_Click()
{
    IgnoreErrors([] { BroadcastWindowMessage(globals.ExeMsgId); });
    if (readingState.IsMainShown()) {
        // The next start opens the main window.
        IgnoreErrors([] { WriteSetting(globals.IniFile, kReadSet, QStringLiteral("StartUp"), QStringLiteral("2")); });
    }
    IgnoreErrors([] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen)
            return;
        const QSize size = screen->size();
        WriteSetting(globals.SettingsFile, kReadSet, QStringLiteral("ScreenX"), QString::number(size.width()));
        WriteSetting(globals.SettingsFile, kReadSet, QStringLiteral("ScreenY"), QString::number(size.height()));
    });
    // The main window closes first: when it stays because a document could
    // not be saved, the program does not end and nothing is lost.
    bool unloaded = true;
    IgnoreErrors([&] { unloaded = ProgramWindows::get().frmMain_Unload(); });
    if (!unloaded)
        return;
    Form_Unload();
}

void systemtray::Form_Unload()
{
    for (int id = kFirstHotkeyId; id <= kLastHotkeyId; ++id)
        IgnoreErrors([id] { GlobalHotkeys::instance()->UnregisterHotKey(id); });
    IgnoreErrors([&] { RemoveTrayIcon(); });

    IgnoreErrors([] { ProgramWindows::get().UnloadAllForms(); });
    IgnoreErrors([&] {
        QMenu* menu = trayMenu_->Traymenu;
        QList<QPointer<QWidget>> others;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w != this && w != menu)
                others.append(w);
        }
        for (const QPointer<QWidget>& w : others) {
            if (w)
                w->close();
        }
        if (menu)
            menu->hide();
    });

    // The controller itself goes last: its timers stop, its speech objects
    // are released, and with that the program ends.
    for (QTimer* t : {&selectionReader_->copyPoll, &selectionReader_->savePoll, &Timer3, &Timer4, &Timer5})
        t->stop();
    IgnoreErrors([&] { releaseVoice(); });
    IgnoreErrors([&] { StartupVoice.reset(); });
    QCoreApplication::quit();
}

// ---- members kept for callers that expect them ----

void systemtray::resetmenus() {}
void systemtray::stopDictating() {}
void systemtray::startDictating1() {}
void systemtray::Configure_Microphone(qintptr) {}
void systemtray::Configure_Sensitivity(qintptr) {}
void systemtray::SR_Training(qintptr) {}
void systemtray::Add_Word(qintptr) {}

QString systemtray::GetSREgine()
{
    return QString();
}
