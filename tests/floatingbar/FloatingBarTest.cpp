// The floating bar: its button states, the hover copy, the clipboard
// pick-up, placement, the settings it keeps and its buttons.

#include "app/AppWindows.h"
#include "core/FormStrings.h"
#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/ProgramWindows.h"
#include "core/SettingsStore.h"
#include "floatingbar/frmDockDemo.h"
#include "platform/FocusedSelection.h"
#include "platform/Keystrokes.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"
#include "speech/SpeechController.h"
#include "support/IsolatedSettings.h"
#include "support/RecordingWindows.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace {

using Log = std::vector<QString>;

// Records what the bar asks of the controller.
class RecordingController : public NoSpeechController {
public:
    explicit RecordingController(std::shared_ptr<Log> log) : log_(std::move(log)) {}
    void speakstring(QString text) override { log_->push_back("speakstring:" + text); }
    void stopspeaking() override { log_->push_back("stopspeaking"); }
    void PauseSpeaking() override { log_->push_back("PauseSpeaking"); }
    void ResumeSpeaking() override { log_->push_back("ResumeSpeaking"); }
    void stopDictating() override { log_->push_back("stopDictating"); }
    void mnuTrayShowSoftware_Click() override { log_->push_back("mnuTrayShowSoftware_Click"); }
    void mnuTrayExit_Click() override { log_->push_back("mnuTrayExit_Click"); }
    void SaveTextAsAudio(const QString& text) override { log_->push_back("SaveTextAsAudio:" + text); }

private:
    std::shared_ptr<Log> log_;
};

const QString kReadSet = QStringLiteral("ReadSet");

class FloatingBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        globals.AppFolder = qEnvironmentVariable("TAMSEL_PROGRAM_DIR");
        readingState.reset();
        ReadingFaces::install(&faces);
        SpeechController::install(&controller);
        QGuiApplication::clipboard()->clear();
        SetKeystrokeRecorder([this](int key, bool up) { keys.emplace_back(key, up); });
        SetMsgBoxAnswerer([this](const MsgBoxCall& call) {
            boxes.push_back(call.prompt);
            return int(vbOK);
        });
    }

    void TearDown() override
    {
        if (bar)
            delete bar.data();
        ReadingFaces::install(nullptr);
        SpeechController::install(nullptr);
        SetKeystrokeRecorder({});
        SetFocusedSelectionSource({});
        SetMsgBoxAnswerer({});
        readingState.reset();
    }

    frmDockDemo* load(bool showIt = true)
    {
        bar = new frmDockDemo;
        bar->Form_Load();
        if (showIt)
            bar->show();
        return bar;
    }

    QString setting(const char* key, const char* def = "") const
    {
        return ReadSetting(globals.IniFile, kReadSet, QString::fromLatin1(key), QString::fromLatin1(def));
    }

    IsolatedSettings isolated{"<Settings></Settings>"};
    std::shared_ptr<Log> log = std::make_shared<Log>();
    RecordingController controller{log};
    std::vector<std::pair<int, bool>> keys;
    std::vector<QString> boxes;
    QPointer<frmDockDemo> bar;
    // The program's faces: the loaded bar.
    AppWindows faces;
};

const std::vector<std::pair<int, bool>> kOneCopy = {{17, false}, {67, false}, {67, true}, {17, true}};

// ---- the state table ----

TEST_F(FloatingBarTest, LoadShowsTheNotSpeakingRow)
{
    load();
    EXPECT_FALSE(bar->CmdRead->isHidden());
    EXPECT_TRUE(bar->CmdPause->isHidden());
    EXPECT_TRUE(bar->CmdResume->isHidden());
    EXPECT_TRUE(bar->CmdMp3->isEnabled());
    EXPECT_FALSE(bar->CmdStop->isEnabled());
}

TEST_F(FloatingBarTest, DocksetmemnuFollowsTheStateTable)
{
    load();
    bool speaking = true, paused = false;
    bar->docksetmemnu(speaking, paused);
    EXPECT_TRUE(bar->CmdRead->isHidden());
    EXPECT_FALSE(bar->CmdPause->isHidden());
    EXPECT_TRUE(bar->CmdResume->isHidden());
    EXPECT_FALSE(bar->CmdMp3->isEnabled());
    EXPECT_TRUE(bar->CmdStop->isEnabled());

    paused = true;
    bar->docksetmemnu(speaking, paused);
    EXPECT_TRUE(bar->CmdRead->isHidden());
    EXPECT_TRUE(bar->CmdPause->isHidden());
    EXPECT_FALSE(bar->CmdResume->isHidden());
    EXPECT_FALSE(bar->CmdMp3->isEnabled());
    EXPECT_TRUE(bar->CmdStop->isEnabled());

    // Paused counts only while speaking.
    speaking = false;
    bar->docksetmemnu(speaking, paused);
    EXPECT_FALSE(bar->CmdRead->isHidden());
    EXPECT_TRUE(bar->CmdPause->isHidden());
    EXPECT_TRUE(bar->CmdResume->isHidden());
    EXPECT_TRUE(bar->CmdMp3->isEnabled());
    EXPECT_FALSE(bar->CmdStop->isEnabled());
}

TEST_F(FloatingBarTest, LoadedBarFollowsSetSpeakingState)
{
    load();
    EXPECT_TRUE(readingState.IsDockShown());
    EXPECT_EQ(ReadingFaces::get().floatingBar(), static_cast<FloatingBarFace*>(bar.data()));
    SetSpeakingState(true, false);
    EXPECT_FALSE(bar->CmdPause->isHidden());
    EXPECT_TRUE(bar->CmdStop->isEnabled());
    SetSpeakingState(false, false);
    EXPECT_FALSE(bar->CmdRead->isHidden());
    EXPECT_FALSE(bar->CmdStop->isEnabled());

    bar->Unload();
    EXPECT_FALSE(readingState.IsDockShown());
    EXPECT_EQ(ReadingFaces::get().floatingBar(), nullptr);
}

TEST_F(FloatingBarTest, ButtonsCarryTheirTooltipsAndSkins)
{
    load();
    EXPECT_EQ(bar->CmdRead->toolTip(), "Read the selected text");
    EXPECT_EQ(bar->CmdMp3->toolTip(), "Convert the Selected text to Mp3 ,WAV");
    EXPECT_EQ(bar->CmdChange->toolTip(), "Switch to the main window");
    EXPECT_EQ(bar->CmdClose->toolTip(), "Close");
    EXPECT_TRUE(bar->SkinRead.IsLoaded());
    EXPECT_TRUE(bar->SkinResume.IsLoaded()); // "\miniplay.skn": same file, other case
    EXPECT_TRUE(bar->SkinCLose.IsLoaded());
    EXPECT_FALSE(bar->CmdStop->styleSheet().isEmpty());
    EXPECT_TRUE(bar->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(bar->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(bar->windowTitle(), "Lectova");
}

// ---- hover copy ----

TEST_F(FloatingBarTest, HoverSendsOneCopyPerEntry)
{
    load();
    bool over = false;
    bar->setCursorTest([&](const QWidget* w) { return over && w == bar->CmdRead; });
    bar->Timer1_Timer();
    EXPECT_TRUE(keys.empty());

    QGuiApplication::clipboard()->setText("Copied by the user.");
    over = true;
    bar->Timer1_Timer();
    bar->Timer1_Timer();
    bar->Timer1_Timer();
    EXPECT_EQ(keys, kOneCopy);
    EXPECT_TRUE(bar->Timer2->isActive());
    // Once the application's copy is picked up, the user's text is back.
    QGuiApplication::clipboard()->setText("Selected in the application.");
    bar->Timer2_Timer();
    EXPECT_EQ(bar->capturedText(), "Selected in the application.");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Copied by the user.");

    over = false;
    bar->Timer1_Timer();
    EXPECT_FALSE(bar->hoverCopied());
    over = true;
    bar->Timer1_Timer();
    EXPECT_EQ(keys.size(), 8u);
}

TEST_F(FloatingBarTest, HoverOverMp3CopiesEvenWhileDisabled)
{
    load();
    bool speaking = true, paused = false;
    bar->docksetmemnu(speaking, paused);
    bar->setCursorTest([&](const QWidget* w) { return w == bar->CmdMp3; });
    bar->Timer1_Timer();
    EXPECT_EQ(keys, kOneCopy);
}

TEST_F(FloatingBarTest, HiddenBarDoesNotCopy)
{
    load(false);
    bar->setCursorTest([](const QWidget*) { return true; });
    bar->Timer1_Timer();
    EXPECT_TRUE(keys.empty());
    EXPECT_FALSE(bar->Timer2->isActive());
}

// The focused application's selection at hand is taken at once without a
// key; a terminal gets no Ctrl+C, and the clipboard's text is taken as when
// nothing is copied.
TEST_F(FloatingBarTest, HoverTakesTheSelectionAtHandAndSparesTerminals)
{
    load();
    bar->setCursorTest([](const QWidget*) { return true; });
    QGuiApplication::clipboard()->setText("On the clipboard.");
    SetFocusedSelectionSource([] { return FocusedSelection{"Selected, here.", false}; });
    bar->Timer1_Timer();
    EXPECT_TRUE(keys.empty());
    EXPECT_FALSE(bar->Timer2->isActive());
    EXPECT_EQ(bar->capturedText(), "Selected, here.");

    bar->setCursorTest([](const QWidget*) { return false; });
    bar->Timer1_Timer();
    bar->setCursorTest([](const QWidget*) { return true; });
    SetFocusedSelectionSource([] { return FocusedSelection{QString(), true}; });
    bar->Timer1_Timer();
    EXPECT_TRUE(keys.empty());
    ASSERT_TRUE(bar->Timer2->isActive());
    bar->Timer2_Timer();
    EXPECT_EQ(bar->capturedText(), "On the clipboard.");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "On the clipboard.");
}

// ---- clipboard pick-up ----

TEST_F(FloatingBarTest, PickUpTakesTheClipboardOnce)
{
    load();
    QGuiApplication::clipboard()->setText("Plain text, here.");
    bar->Timer2->start();
    bar->Timer2_Timer();
    EXPECT_FALSE(bar->Timer2->isActive());
    EXPECT_EQ(bar->capturedText(), "Plain text, here.");

    // An empty clipboard keeps what was captured.
    QGuiApplication::clipboard()->clear();
    bar->Timer2_Timer();
    EXPECT_EQ(bar->capturedText(), "Plain text, here.");
}

TEST_F(FloatingBarTest, PickUpConvertsPunctuationWhenModeIsOne)
{
    WriteSetting(globals.IniFile, kReadSet, "PunctuationTag", "1");
    load();
    EXPECT_EQ(readingState.PunctuationMode(), 1);
    const QString text = "Stop, look; listen!";
    ASSERT_NE(PunctuationToWords(text), text);
    QGuiApplication::clipboard()->setText(text);
    bar->Timer2_Timer();
    EXPECT_EQ(bar->capturedText(), PunctuationToWords(text));

    // Switching the mode later leaves the captured text as it was.
    readingState.usePunctuationMode(0);
    EXPECT_EQ(bar->capturedText(), PunctuationToWords(text));
}

// ---- buttons ----

TEST_F(FloatingBarTest, ReadWithoutTextShowsString1314)
{
    load();
    bar->CmdRead_Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "No text selected, please select the text you want to hear, and then click this button");
    EXPECT_TRUE(log->empty());
    EXPECT_FALSE(readingState.IsSpeaking());
}

TEST_F(FloatingBarTest, ReadSpeaksTheCapturedTextEachTime)
{
    load();
    QGuiApplication::clipboard()->setText("Hello");
    bar->Timer2_Timer();
    readingState.wordStarts();
    bar->CmdRead_Click();
    bar->CmdRead_Click();
    EXPECT_TRUE(readingState.IsSpeaking());
    EXPECT_FALSE(readingState.IsSpeakingWord());
    EXPECT_EQ(*log, (Log{"speakstring:Hello", "speakstring:Hello"}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FloatingBarTest, PauseResumeAndStop)
{
    load();
    bar->CmdPause_Click();
    EXPECT_TRUE(readingState.IsPausing());
    bar->CmdResume_Click();
    EXPECT_FALSE(readingState.IsPausing());
    SetSpeakingState(true, false);
    bool speaking = true, paused = false;
    bar->docksetmemnu(speaking, paused);
    bar->CmdStop_Click();
    EXPECT_EQ(*log, (Log{"PauseSpeaking", "ResumeSpeaking", "stopspeaking"}));
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_FALSE(bar->CmdRead->isHidden());
}

TEST_F(FloatingBarTest, Mp3SavesTheCapturedTextAsAudio)
{
    load();
    bar->CmdMp3_Click();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(log->empty());
    QGuiApplication::clipboard()->setText("Save me");
    bar->Timer2_Timer();
    bar->CmdMp3_Click();
    EXPECT_EQ(*log, (Log{"SaveTextAsAudio:Save me"}));
}

TEST_F(FloatingBarTest, SettingsButtonOpensTheSettingsDialog)
{
    RecordingWindows<> windows;
    ProgramWindows::install(&windows);
    load();
    bar->CmdSet_Click();
    ProgramWindows::install(nullptr);
    EXPECT_EQ(windows.log.count("frmSet_ShowModal"), 1);
}

TEST_F(FloatingBarTest, CloseExitsAndKeepsStartUpOne)
{
    load();
    bar->CmdClose_Click();
    EXPECT_EQ(*log, (Log{"mnuTrayExit_Click"}));
    EXPECT_EQ(setting("StartUp"), "1");
}

TEST_F(FloatingBarTest, ChangeSwitchesToTheMainWindow)
{
    load();
    bar->CmdChange_Click();
    EXPECT_EQ(*log, (Log{"stopDictating", "stopspeaking", "mnuTrayShowSoftware_Click"}));
    EXPECT_EQ(setting("StartUp"), "2");
    EXPECT_FALSE(readingState.IsDockShown());
    EXPECT_FALSE(bar->isLoaded());
    EXPECT_FALSE(setting("DockX").isEmpty());
}

TEST_F(FloatingBarTest, MinHidesToTheTray)
{
    load();
    bar->CmdMin_Click();
    EXPECT_EQ(*log, (Log{"stopDictating", "stopspeaking"}));
    EXPECT_FALSE(readingState.IsDockShown());
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(setting("StartUp"), "1");
}

// ---- settings and placement ----

TEST_F(FloatingBarTest, LoadWritesStartUpOne)
{
    WriteSetting(globals.IniFile, kReadSet, "StartUp", "2");
    load();
    EXPECT_EQ(setting("StartUp"), "1");
}

TEST_F(FloatingBarTest, NoSavedPlaceMeansTopRight)
{
    load();
    QScreen* s = bar->screen();
    ASSERT_NE(s, nullptr);
    const QRect g = s->geometry();
    const int ex = int(std::lround(g.x() + g.width() - frmDockDemo::kBarWidth - g.width() / 30.0));
    const int ey = int(std::lround(g.y() + g.height() / 30.0));
    EXPECT_EQ(bar->x(), ex);
    EXPECT_EQ(bar->y(), ey);
}

TEST_F(FloatingBarTest, SavedPlaceIsReadInTwips)
{
    load(false);
    const double tx = TwipsPerPixelX(bar), ty = TwipsPerPixelY(bar);
    delete bar.data();
    WriteSetting(globals.IniFile, kReadSet, "DockX", QString::number(std::lround(100 * tx)));
    WriteSetting(globals.IniFile, kReadSet, "DockY", QString::number(std::lround(200 * ty)));
    load();
    EXPECT_EQ(bar->x(), 100);
    EXPECT_EQ(bar->y(), 200);

    // A place off the screen is brought back inside its work area.
    const QRect room = bar->screen()->availableGeometry();
    const QRect inside = room.adjusted(0, 0, -bar->width() + 1, -bar->height() + 1);
    for (const auto& [dockX, dockY] : {std::pair{45000L, 300L}, std::pair{-9000L, 60000L}}) {
        delete bar.data();
        WriteSetting(globals.IniFile, kReadSet, "DockX", QString::number(dockX));
        WriteSetting(globals.IniFile, kReadSet, "DockY", QString::number(dockY));
        load();
        EXPECT_TRUE(inside.contains(bar->pos())) << dockX << "," << dockY << " placed at " << bar->x() << ","
                                                 << bar->y();
    }
}

TEST_F(FloatingBarTest, UnloadStoresThePlaceInTwips)
{
    load();
    bar->move(123, 45);
    const double tx = TwipsPerPixelX(bar), ty = TwipsPerPixelY(bar);
    ASSERT_EQ(bar->x(), 123);
    // Moving writes nothing; only the unload does.
    EXPECT_EQ(setting("DockX", "none"), "none");
    bar->Unload();
    EXPECT_EQ(setting("DockX"), QString::number(std::lround(123 * tx)));
    EXPECT_EQ(setting("DockY"), QString::number(std::lround(45 * ty)));

    // The next load opens at the same place.
    delete bar.data();
    load();
    EXPECT_EQ(bar->x(), 123);
    EXPECT_EQ(bar->y(), 45);
}

} // namespace
