// The controller's load, tray icon codes, tray menu, face switches,
// second-start poll and exit, over a scripted speech engine, a recording
// set of program windows and a recording hotkey backend; and the loading
// notice's place on the screen.
#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/ProgramWindows.h"
#include "core/SettingsStore.h"
#include "app/AppWindows.h"
#include "mainwindow/msgform.h"
#include "platform/GlobalHotkeys.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"
#include "speech/systemtray.h"
#include "support/ReadingReset.h"
#include "support/ScriptedSpeechVoice.h"
#include "support/IsolatedSettings.h"
#include "support/RecordingWindows.h"
#include "support/TestFaces.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Grants every combination and records what is released.
class RecordingHotkeys : public HotkeyBackend {
public:
    explicit RecordingHotkeys(QList<GlobalHotkeys::Combination>* released) : released_(released) {}
    bool grab(int, int) override { return true; }
    void ungrab(int modifiers, int virtualKey) override { released_->append({modifiers, virtualKey}); }

private:
    QList<GlobalHotkeys::Combination>* released_;
};

// Records what the reading state does to the main window.
class LoggingMainWindow : public MainWindowFace {
public:
    QStringList log;
    void setMenuEnabled(MenuItem item, bool on) override { log << QString("%1 %2").arg(int(item)).arg(on); }
    void setMenuCaption(MenuItem item, const QString& caption) override { log << QString("%1 %2").arg(int(item)).arg(caption); }
};

const char* const kNoOutputText =
    "No Audio Output Device Detected, Please Make Sure You Have Installed Your Audio Card Driver Correctly.\r\n\r\n"
    "Please go to Control Panel->Speech->Text to Speech, and then click review voice, you will see a message: "
    "'This voice cannot be played. Please try selecting another voice or selecting a different audio output "
    "device.'\r\n\r\n"
    "In some situation, you can play music and movie in your computer, but you can not use the speech function. "
    "The reason is Microsoft XP installed a default driver for \"Audio\" players, but \"Audio\" and \"Speech\" are "
    "different issues in computer.\r\n\r\n"
    "Please install the sound card driver again. (Normally the driver is on the CD of Mainboard, because the sound "
    "card is integrated with Mainboard)\r\n\r\n";

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        globals.AppFolder = qEnvironmentVariable("TAMSEL_PROGRAM_DIR");
        globals.SettingsFile = isolated.file;
        resetReadingState();
        systemtray::AutoReadClipboard = false;

        engine.voices = {ScriptedSpeechEngine::voice("a", "Alpha", {{"Name", "NameA"}, {"Language", "409"},
                                                                   {"TTSData", "dataA"}}),
                         ScriptedSpeechEngine::voice("b", "Beta", {{"Name", "NameB"}, {"Language", "809"},
                                                                  {"TTSData", "dataB"}})};
        engine.outputs = {AudioOutputToken{"out1", "Speakers"}, AudioOutputToken{"out2", "Headphones"}};

        ProgramWindows::install(&windows);
        GlobalHotkeys::instance()->setBackend(std::make_unique<RecordingHotkeys>(&released));
        SetMsgBoxAnswerer([this](const MsgBoxCall& call) {
            boxes.append(call);
            return vbOK;
        });
    }

    void TearDown() override
    {
        tray.reset();
        faces.main = nullptr;
        SetMsgBoxAnswerer({});
        ProgramWindows::install(nullptr);
        GlobalHotkeys::instance()->setBackend(std::make_unique<RecordingHotkeys>(&released));
        FaceSwitch::mainWindowShown(false);
        FaceSwitch::floatingBarShown(false);
    }

    void load()
    {
        tray = std::make_unique<systemtray>();
        SpeechController::install(tray.get());
        tray->Form_Load();
    }
    QString setting(const char* key, const char* def = "<none>") const
    {
        return ReadSetting(globals.IniFile, "ReadSet", key, def);
    }
    void setSetting(const char* key, const QString& value) { WriteSetting(globals.IniFile, "ReadSet", key, value); }

    IsolatedSettings isolated{"<Settings><ReadSet>"
                              "<HotKey1>Ctrl+Alt+R</HotKey1><HotKey2>Ctrl+Alt+M</HotKey2><HotKey3>Ctrl+Alt+W</HotKey3>"
                              "<HotKey4>Ctrl+Shift+Add</HotKey4><HotKey5>Ctrl+Shift+Subtract</HotKey5>"
                              "<HotKey6>Ctrl+Alt+V</HotKey6><HotKey7>Ctrl+Alt+S</HotKey7>"
                              "</ReadSet></Settings>"};
    ScriptedSpeechEngine engine;
    RecordingWindows<> windows;
    QList<GlobalHotkeys::Combination> released;
    QList<MsgBoxCall> boxes;
    LoggingMainWindow mainFace;
    TestFaces faces;
    std::unique_ptr<systemtray> tray;
};

// ---- load ----

TEST_F(ControllerTest, LoadFillsTheListsStoresTwoOfThemAndPreparesTheState)
{
    readingState.waitForResume();
    readingState.readDocument();
    load();

    EXPECT_EQ(setting("Devicesname"), "Speakers;Headphones;");
    EXPECT_EQ(setting("Readers"), "Alpha;Beta;");
    EXPECT_EQ(tray->m_getOutputdevices, "Speakers;Headphones;");
    EXPECT_EQ(tray->m_GetVoiceDescriptions(), "Alpha;Beta;");
    EXPECT_EQ(tray->m_GetVoiceName, "NameA;NameB;");
    EXPECT_EQ(tray->m_GetVoiceLanguages, "409$809$");
    EXPECT_EQ(tray->m_GetVoiceData, "dataA$dataB$");
    EXPECT_TRUE(boxes.isEmpty()) << "no warning while there is an output";

    EXPECT_TRUE(tray->voicecls);
    EXPECT_FALSE(readingState.ResumePending());
    EXPECT_TRUE(readingState.StopRequested());
    EXPECT_TRUE(tray->Timer3.isActive()) << "the second-start poll runs from load on";
    EXPECT_EQ(tray->Timer3.interval(), 1000);
    EXPECT_EQ(GlobalHotkeys::instance()->registered().size(), 7) << "the hotkeys are registered at load";
    EXPECT_NE(tray->trayMenu().trayIcon, nullptr);
    EXPECT_EQ(tray->trayMenu().trayIcon->toolTip(), "Lectova: Click to show options");
    EXPECT_FALSE(tray->trayMenu().trayIcon->icon().isNull());
}

TEST_F(ControllerTest, NoAudioOutputWarnsOnceAndTheLoadGoesOn)
{
    engine.outputs.clear();
    load();

    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].prompt, QString::fromUtf8(kNoOutputText));
    EXPECT_EQ(boxes[0].style, vbOKOnly);
    EXPECT_EQ(boxes[0].title, "Lectova");
    EXPECT_EQ(setting("Devicesname"), "");
    // Everything after the warning still happens.
    EXPECT_EQ(setting("Readers"), "Alpha;Beta;");
    EXPECT_EQ(tray->trayMenu().Traymenu->actions().first()->text(), "Show Software");
    EXPECT_TRUE(readingState.StopRequested());
    EXPECT_TRUE(tray->StartupVoice);
}

TEST_F(ControllerTest, TrayMenuHasItsCaptionsInOrderAndKeepsTheHiddenItemsHidden)
{
    load();
    ASSERT_NE(tray->trayMenu().Traymenu, nullptr);
    EXPECT_EQ(tray->trayMenu().Traymenu->parent(), tray.get());

    QStringList all, shown;
    for (QAction* a : tray->trayMenu().Traymenu->actions()) {
        const QString item = a->isSeparator() ? QStringLiteral("-") : a->text();
        all << item;
        if (a->isVisible())
            shown << item;
    }
    EXPECT_EQ(all, (QStringList{"Show Software", "Show Floating Bar", "-", "Settings", "Training dictation", "-",
                                "Auto Read Clipboard", "Pause", "Stop", "-", "Help File", "About ", "-", "Exit"}));
    EXPECT_EQ(shown, (QStringList{"Show Software", "Show Floating Bar", "-", "Settings", "-", "Help File", "About ",
                                  "-", "Exit"}));
    // The reading state keeps the hidden Pause current while the main
    // window is the face.
    EXPECT_EQ(ReadingFaces::mnuTrayStop, tray->trayMenu().mnuTrayStop);
    EXPECT_EQ(ReadingFaces::mnuTrayPause, tray->trayMenu().mnuTrayPause);
    faces.main = &mainFace;
    FaceSwitch::mainWindowShown(true);
    SetSpeakingState(true, true);
    EXPECT_EQ(tray->trayMenu().mnuTrayPause->text(), "Resume");
    SetSpeakingState(true, false);
    EXPECT_EQ(tray->trayMenu().mnuTrayPause->text(), "Pause");
    EXPECT_FALSE(tray->trayMenu().mnuTrayPause->isVisible());
    EXPECT_FALSE(tray->trayMenu().mnuTrayStop->isVisible());

    // Once the controller is gone the reading state must not reach its menu.
    tray.reset();
    EXPECT_EQ(ReadingFaces::mnuTrayStop, nullptr);
    EXPECT_EQ(ReadingFaces::mnuTrayPause, nullptr);
    SetSpeakingState(false, false);
}

TEST_F(ControllerTest, AutoClipboardSettingSetsTheMirrorAndTheHiddenItem)
{
    const struct {
        const char* value; // nullptr: key missing
        bool on;
    } cases[] = {{nullptr, false}, {"1", true}, {"0", false}, {"2", true}, {"abc", false}};
    for (const auto& c : cases) {
        systemtray::AutoReadClipboard = !c.on;
        if (c.value)
            setSetting("AutoClipboard", c.value);
        load();
        EXPECT_EQ(systemtray::AutoReadClipboard, c.on) << (c.value ? c.value : "missing");
        EXPECT_EQ(tray->trayMenu().mnuTrayclipboard->isChecked(), c.on) << (c.value ? c.value : "missing");
    }
}

TEST_F(ControllerTest, GreetingPlaysOneOfTheTwoShippedSoundsThroughASecondSpeechObject)
{
    const QString p = globals.AppFolder + "/FirstP.wav";
    const QString k = globals.AppFolder + "/FirstK.wav";
    EXPECT_TRUE(QFile::exists(p)) << "the greeting sounds ship beside the program";
    EXPECT_TRUE(QFile::exists(k));

    QSet<QString> played;
    for (int round = 0; round < 40; ++round) {
        load();
        ASSERT_TRUE(tray->StartupVoice);
        ASSERT_TRUE(tray->voicecls);
        ASSERT_NE(tray->StartupVoice.get(), tray->voicecls.get());
        auto* greeting = static_cast<ScriptedSpeechVoice*>(tray->StartupVoice->Voice1.get());
        const auto speaks = greeting->callsOf("Speak");
        ASSERT_EQ(speaks.size(), 1);
        EXPECT_TRUE(speaks[0].number & SVSFIsFilename);
        EXPECT_TRUE(speaks[0].text == p || speaks[0].text == k) << speaks[0].text.toStdString();
        played.insert(speaks[0].text);
        // The reading voice says nothing at load.
        auto* reader = static_cast<ScriptedSpeechVoice*>(tray->voicecls->Voice1.get());
        EXPECT_TRUE(reader->callsOf("Speak").isEmpty());
    }
    EXPECT_EQ(played.size(), 2) << "both greetings come up over 40 starts";
}

TEST_F(ControllerTest, SettingsPointerFileIsWrittenOnlyWhenItExistsWithARoot)
{
    const QString systemDir = isolated.dir.filePath("XDG_CONFIG_DIRS");
    const QString pointer = systemDir + "/tesvik.ini";
    QDir().mkpath(systemDir);

    load();
    EXPECT_FALSE(QFile::exists(pointer)) << "a missing pointer file stays missing";

    QFile f(pointer);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<cfg/>");
    f.close();
    load();
    EXPECT_EQ(ReadSetting(pointer, "inifilepath", "inifilepath", ""), globals.SettingsFile);
}

TEST_F(ControllerTest, LoadLeavesTheClipboardAlone)
{
    QGuiApplication::clipboard()->setText("what the user copied");
    load();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "what the user copied");
}

// ---- tray icon ----

TEST_F(ControllerTest, TrayIconCodes)
{
    load();
    // Something is being read; a left click leaves it alone.
    tray->speakstring("reading on");
    ASSERT_TRUE(readingState.IsSpeaking());
    auto* reader = static_cast<ScriptedSpeechVoice*>(tray->voicecls->Voice1.get());
    const auto callsBefore = reader->calls.size();
    faces.main = &mainFace;

    tray->TrayIconMessage(514);
    EXPECT_EQ(windows.log, (QStringList{"frmMain_Show", "frmMain_Maximize"}));
    EXPECT_TRUE(readingState.IsMainShown());
    EXPECT_TRUE(readingState.IsSpeaking());
    EXPECT_TRUE(mainFace.log.isEmpty()) << "the left click does not touch the reading state";
    EXPECT_EQ(reader->calls.size(), callsBefore) << "the left click does not stop speech";
    EXPECT_FALSE(tray->trayMenu().Traymenu->isVisible());

    windows.log.clear();
    FaceSwitch::mainWindowShown(false);
    FaceSwitch::floatingBarShown(true);
    tray->TrayIconMessage(514);
    EXPECT_EQ(windows.log, (QStringList{"frmMain_Show", "frmMain_Maximize", "frmDockDemo_Unload"}));
    EXPECT_TRUE(readingState.IsMainShown());

    for (int code : {517, 515}) {
        windows.log.clear();
        tray->TrayIconMessage(code);
        EXPECT_TRUE(tray->trayMenu().Traymenu->isVisible()) << code;
        EXPECT_TRUE(windows.log.isEmpty()) << code;
        tray->trayMenu().Traymenu->hide();
    }

    FaceSwitch::mainWindowShown(false);
    FaceSwitch::floatingBarShown(false);
    for (int code : {512, 513, 516, 0}) {
        windows.log.clear();
        tray->TrayIconMessage(code);
        EXPECT_TRUE(windows.log.isEmpty()) << code;
        EXPECT_FALSE(readingState.IsMainShown()) << code;
        EXPECT_FALSE(tray->trayMenu().Traymenu->isVisible()) << code;
    }
}

// ---- second start ----

TEST_F(ControllerTest, SecondStartPollShowsTheMainWindowOncePerSignal)
{
    load();
    FaceSwitch::floatingBarShown(true);
    setSetting("isopened", "111");
    tray->Timer3_Timer();
    EXPECT_EQ(setting("isopened"), "0");
    EXPECT_EQ(windows.log, (QStringList{"frmMain_Show", "frmDockDemo_Unload", "frmMain_Show", "frmMain_Maximize"}));
    EXPECT_TRUE(readingState.IsMainShown());
    EXPECT_FALSE(readingState.IsDockShown());

    windows.log.clear();
    tray->Timer3_Timer();
    EXPECT_TRUE(windows.log.isEmpty()) << "one signal, one show";

    for (const char* other : {"110", "1111", "abc", "", "-111"}) {
        setSetting("isopened", other);
        tray->Timer3_Timer();
        EXPECT_EQ(setting("isopened"), other);
        EXPECT_TRUE(windows.log.isEmpty()) << other;
    }
}

// ---- faces and menu ----

TEST_F(ControllerTest, ShowSoftwareStopsReadingAndBringsUpTheMainWindow)
{
    load();
    for (bool dockShown : {true, false}) {
        windows.log.clear();
        FaceSwitch::floatingBarShown(dockShown);
        FaceSwitch::mainWindowShown(!dockShown);
        tray->speakstring("something long");
        ASSERT_TRUE(readingState.IsSpeaking());
        auto* reader = static_cast<ScriptedSpeechVoice*>(tray->voicecls->Voice1.get());
        QPointer<ScriptedSpeechVoice> readerAlive(reader);

        tray->mnuTrayShowSoftware_Click();
        if (dockShown)
            EXPECT_EQ(windows.log, (QStringList{"frmMain_Show", "frmDockDemo_Unload", "frmMain_Show",
                                                "frmMain_Maximize"}));
        else
            EXPECT_EQ(windows.log, (QStringList{"frmMain_Show", "frmMain_Show", "frmMain_Maximize"}));
        EXPECT_TRUE(readingState.IsMainShown());
        EXPECT_FALSE(readingState.IsDockShown());
        EXPECT_FALSE(readingState.IsSpeaking());
        EXPECT_TRUE(readerAlive.isNull() || readerAlive->running().isEmpty()) << "speech is stopped";
    }
}

TEST_F(ControllerTest, ShowFloatingBarStopsReadingAndSwitchesFaces)
{
    load();
    // From the main window: its unload brings up the bar.
    FaceSwitch::mainWindowShown(true);
    tray->speakstring("something long");
    tray->mnuTrayShowDock_Click();
    EXPECT_EQ(windows.log, (QStringList{"frmMain_Unload", "frmDockDemo_SetNormal"}));
    EXPECT_TRUE(readingState.IsDockShown());
    EXPECT_FALSE(readingState.IsMainShown());
    EXPECT_FALSE(readingState.IsSpeaking());

    // From the tray alone.
    windows.log.clear();
    FaceSwitch::mainWindowShown(false);
    FaceSwitch::floatingBarShown(false);
    tray->mnuTrayShowDock_Click();
    EXPECT_EQ(windows.log, (QStringList{"frmDockDemo_Show", "frmDockDemo_SetNormal"}));
    EXPECT_TRUE(readingState.IsDockShown());
}

TEST_F(ControllerTest, MenuItemsReachTheirCommands)
{
    load();
    const struct {
        QAction* item;
        QStringList calls;
    } cases[] = {
        {tray->trayMenu().mnuTrayShowSoftware, {"frmMain_Show", "frmMain_Show", "frmMain_Maximize"}},
        {tray->trayMenu().mnuTrayShowDock, {"frmMain_Unload", "frmDockDemo_SetNormal"}},
        {tray->trayMenu().mnuSettings, {"frmSet_ShowModal"}},
        {tray->trayMenu().mnuTrayAbout, {"Aboutus_Show"}},
    };
    for (const auto& c : cases) {
        windows.log.clear();
        c.item->trigger();
        EXPECT_EQ(windows.log, c.calls) << c.item->text().toStdString();
    }
}

TEST_F(ControllerTest, HiddenClipboardItemTogglesTheSetting)
{
    setSetting("AutoClipboard", "1");
    load();
    ASSERT_TRUE(tray->trayMenu().mnuTrayclipboard->isChecked());

    FaceSwitch::mainWindowShown(true);
    tray->trayMenu().mnuTrayclipboard->trigger();
    EXPECT_FALSE(tray->trayMenu().mnuTrayclipboard->isChecked());
    EXPECT_EQ(setting("AutoClipboard"), "0");
    EXPECT_FALSE(systemtray::AutoReadClipboard);
    EXPECT_EQ(windows.log, QStringList{"frmMain_SetAutoClipboardChecked 0"});

    windows.log.clear();
    FaceSwitch::mainWindowShown(false);
    tray->trayMenu().mnuTrayclipboard->trigger();
    EXPECT_TRUE(tray->trayMenu().mnuTrayclipboard->isChecked());
    EXPECT_EQ(setting("AutoClipboard"), "1");
    EXPECT_TRUE(systemtray::AutoReadClipboard);
    EXPECT_TRUE(windows.log.isEmpty()) << "the main window's item follows only while it is shown";
}

TEST_F(ControllerTest, HiddenPauseAndStopItemsControlTheReading)
{
    // Hidden items cannot be chosen; their handlers still work.
    load();
    faces.main = &mainFace;
    FaceSwitch::mainWindowShown(true);
    tray->speakstring("a long text");
    auto* reader = static_cast<ScriptedSpeechVoice*>(tray->voicecls->Voice1.get());

    tray->mnuTrayPause_Click();
    EXPECT_TRUE(reader->paused());
    EXPECT_TRUE(readingState.IsPausing());
    EXPECT_TRUE(readingState.IsSpeaking());
    EXPECT_EQ(tray->trayMenu().mnuTrayPause->text(), "Resume");

    tray->mnuTrayPause_Click();
    EXPECT_FALSE(reader->paused());
    EXPECT_FALSE(readingState.IsPausing());
    EXPECT_EQ(tray->trayMenu().mnuTrayPause->text(), "Pause");

    tray->mnuTrayStop_Click();
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_FALSE(tray->voicecls) << "a stop releases the speech object";

    // Nothing to pause: no speech object, the state still follows.
    tray->mnuTrayPause_Click();
    EXPECT_TRUE(readingState.IsPausing());
}

// ---- exit ----

TEST_F(ControllerTest, ExitStoresTheFaceAndScreenAndReleasesEverythingBeforeTheWindowsClose)
{
    setSetting("StartUp", "1");
    load();
    ASSERT_EQ(GlobalHotkeys::instance()->registered().size(), 7);
    const QList<int> ids = GlobalHotkeys::instance()->registered().keys();
    for (int id : ids) {
        EXPECT_GE(id, 11112);
        EXPECT_LE(id, 11118);
    }
    QWidget other;
    other.show();
    // What is true when the windows are told to unload.
    int hotkeysHeldAtUnload = -1;
    bool trayIconGoneAtUnload = false;
    windows.onUnloadAll = [&] {
        hotkeysHeldAtUnload = static_cast<int>(GlobalHotkeys::instance()->registered().size());
        trayIconGoneAtUnload = tray->trayMenu().trayIcon == nullptr;
    };

    FaceSwitch::mainWindowShown(true);
    tray->mnuTrayExit_Click();

    EXPECT_EQ(setting("StartUp"), "2");
    const QSize screen = QGuiApplication::primaryScreen()->size();
    EXPECT_EQ(setting("ScreenX"), QString::number(screen.width()));
    EXPECT_EQ(setting("ScreenY"), QString::number(screen.height()));

    EXPECT_TRUE(GlobalHotkeys::instance()->registered().isEmpty());
    EXPECT_EQ(released.size(), 7);
    EXPECT_EQ(tray->trayMenu().trayIcon, nullptr);
    ASSERT_TRUE(windows.log.contains("UnloadAllForms"));
    EXPECT_EQ(hotkeysHeldAtUnload, 0) << "hotkeys go before the windows";
    EXPECT_TRUE(trayIconGoneAtUnload) << "the tray icon goes before the windows";
    EXPECT_FALSE(other.isVisible()) << "every other window is closed";
    EXPECT_FALSE(tray->voicecls);
    EXPECT_FALSE(tray->Timer3.isActive());

    // Exit reached again (another window's close calls it) is harmless.
    tray->mnuTrayExit_Click();
    EXPECT_TRUE(GlobalHotkeys::instance()->registered().isEmpty());
}

TEST_F(ControllerTest, AMainWindowThatCannotCloseKeepsTheProgramAndItsFace)
{
    load();
    windows.mainRefusesUnload = true; // a document whose save failed stays open
    FaceSwitch::mainWindowShown(true);
    tray->mnuTrayExit_Click();
    EXPECT_EQ(GlobalHotkeys::instance()->registered().size(), 7) << "exit went on";
    EXPECT_NE(tray->trayMenu().trayIcon, nullptr);
    EXPECT_FALSE(windows.log.contains("UnloadAllForms"));

    tray->mnuTrayShowDock_Click();
    EXPECT_TRUE(readingState.IsMainShown());
    EXPECT_FALSE(readingState.IsDockShown());
    EXPECT_FALSE(windows.log.contains("frmDockDemo_SetNormal"));
}

TEST_F(ControllerTest, ExitFromTheFloatingBarKeepsTheStartFace)
{
    setSetting("StartUp", "1");
    load();
    FaceSwitch::floatingBarShown(true);
    tray->mnuTrayExit_Click();
    EXPECT_EQ(setting("StartUp"), "1");
    EXPECT_FALSE(setting("ScreenX").isEmpty());
}

// ---- the loading notice ----

TEST(LoadingNotice, SitsInTheBottomRightCornerOfTheWorkArea)
{
    msgform notice;
    notice.Form_Load();
    const QScreen* screen = notice.screen();
    ASSERT_NE(screen, nullptr);
    const QRect area = screen->availableGeometry();
    const QRect g = notice.geometry();
    EXPECT_EQ(g.x() + g.width(), area.x() + area.width());
    EXPECT_EQ(g.y() + g.height(), area.y() + area.height());

    // 6150 x 1665 twips at the screen's dots per inch.
    EXPECT_EQ(notice.width(), qRound(6150 * screen->logicalDotsPerInchX() / 1440.0));
    EXPECT_EQ(notice.height(), qRound(1665 * screen->logicalDotsPerInchY() / 1440.0));
    EXPECT_EQ(notice.windowTitle(), "Lectova");
    EXPECT_EQ(notice.Check1->text(), "Don't show it again.");

    notice.show();
    EXPECT_EQ(notice.frameGeometry().right(), area.right());
    EXPECT_EQ(notice.frameGeometry().bottom(), area.bottom());
}

TEST(LoadingNotice, ProgramWindowsKeepOneNoticeUntilItIsUnloaded)
{
    AppWindows windows;
    windows.msgform_Show("Loading Speech Engine, Please Wait...", false);
    QPointer<msgform> first = windows.loadingNotice();
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->Label2->text(), "Loading Speech Engine, Please Wait...");
    EXPECT_FALSE(first->Check1->isVisible());

    windows.msgform_Show("again", false);
    EXPECT_EQ(windows.loadingNotice(), first.data()) << "one notice at a time";
    EXPECT_EQ(first->Label2->text(), "again");

    windows.msgform_Unload();
    EXPECT_TRUE(first.isNull()) << "unloading destroys the notice";
    EXPECT_EQ(windows.loadingNotice(), nullptr);
    windows.msgform_Unload();

    // Closed by other means (the program's exit), it is gone as well.
    windows.msgform_Show("x", false);
    QPointer<msgform> second = windows.loadingNotice();
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(windows.loadingNotice(), nullptr);
}

} // namespace
