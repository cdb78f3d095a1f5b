// The hotkey text format, the registration of the seven hotkeys from the
// settings file, and what each hotkey does.
#include "support/ScriptedSpeechVoice.h"
#include "support/TestFaces.h"
#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/SettingsStore.h"
#include "platform/GlobalHotkeys.h"
#include "platform/Keystrokes.h"
#include "speech/ActiveDocument.h"
#include "speech/HotkeyText.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"
#include "speech/systemtray.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QSet>
#include "support/IsolatedSettings.h"
#include "support/RecordingDocument.h"
#include "support/ReadingReset.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Combination = GlobalHotkeys::Combination;

// ---- the text format ----

struct ParseCase {
    const char* text;
    int modifiers;
    int key;
};

TEST(HotkeyText, ModifiersAndNamedKeys)
{
    const ParseCase cases[] = {
        {"Ctrl+Add", 2, 107},
        {"Ctrl+Shift+Alt+F12", 7, 123},
        {"Alt+A", 1, 65},
        {"Shift+Subtract", 4, 109},
        {"Ctrl+Shift+Left", 6, 37},
        {"Up", 0, 38},
        {"Alt+Right", 1, 39},
        {"Ctrl+Down", 2, 40},
        {"Shift+PageUp", 4, 33},
        {"Ctrl+Alt+PageDown", 3, 34},
        {"F1", 0, 112},
        {"Ctrl+F5", 2, 116},
        {"Ctrl+0", 2, 48},
        {"Alt+9", 1, 57},
        {"Shift+Z", 4, 90},
        // Modifier words count wherever they stand.
        {"Alt+Ctrl+A", 3, 65},
        {"Shift+Ctrl+Q", 6, 81},
    };
    for (const ParseCase& c : cases) {
        int modifiers = -1;
        int key = -1;
        EXPECT_TRUE(ParseHotkeyText(c.text, modifiers, key)) << c.text;
        EXPECT_EQ(modifiers, c.modifiers) << c.text;
        EXPECT_EQ(key, c.key) << c.text;
    }
}

TEST(HotkeyText, NamesAreExactAndCaseSensitive)
{
    const ParseCase cases[] = {
        // Lower-case modifier words are no modifiers.
        {"ctrl+shift+alt+A", 0, 65},
        // "add" is not "Add": the code of its first character.
        {"Ctrl+add", 2, 97},
        {"Ctrl+Addx", 2, 65},
        {"PageUpper", 0, 80},
        // The last piece is the key, even when it is a modifier word.
        {"A+Ctrl", 2, 67},
        {"Ctrl+F13", 2, 124},
    };
    for (const ParseCase& c : cases) {
        int modifiers = -1;
        int key = -1;
        EXPECT_TRUE(ParseHotkeyText(c.text, modifiers, key)) << c.text;
        EXPECT_EQ(modifiers, c.modifiers) << c.text;
        EXPECT_EQ(key, c.key) << c.text;
    }
}

TEST(HotkeyText, TextsWithoutAUsableKey)
{
    const ParseCase cases[] = {
        {"", 0, 0},
        {"Ctrl+", 2, 0},
        {"Ctrl+Shift+Alt+", 7, 0},
        {"+", 0, 0},
        // A function key needs its number.
        {"F", 0, 0},
        {"Ctrl+F", 2, 0},
        {"Fx", 0, 0},
        {"F1x", 0, 0},
        {"Alt+F-1", 1, 0},
    };
    for (const ParseCase& c : cases) {
        int modifiers = 99;
        int key = 99;
        EXPECT_FALSE(ParseHotkeyText(c.text, modifiers, key)) << c.text;
        EXPECT_EQ(modifiers, c.modifiers) << c.text;
        EXPECT_EQ(key, c.key) << c.text;
    }
}

// ---- registration and dispatch ----

// Grabs in memory; a test may make combinations unavailable.
struct GrabState {
    QSet<QPair<int, int>> grabbed;
    QSet<QPair<int, int>> refused;
};

class RecordingHotkeyBackend : public HotkeyBackend {
public:
    explicit RecordingHotkeyBackend(std::shared_ptr<GrabState> state)
        : state_(std::move(state))
    {
    }
    bool grab(int modifiers, int virtualKey) override
    {
        if (state_->refused.contains({modifiers, virtualKey}))
            return false;
        state_->grabbed.insert({modifiers, virtualKey});
        return true;
    }
    void ungrab(int modifiers, int virtualKey) override { state_->grabbed.remove({modifiers, virtualKey}); }

private:
    std::shared_ptr<GrabState> state_;
};

class HotkeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(isolated.file));

        resetReadingState();

        GlobalHotkeys::instance()->setBackend(std::make_unique<RecordingHotkeyBackend>(grabs));
        SetKeystrokeRecorder([this](int key, bool up) { keys << QString("%1%2").arg(key).arg(up ? "u" : "d"); });
        SetMsgBoxAnswerer([this](const MsgBoxCall& call) {
            messages.append(call);
            return int(vbOK);
        });

        engine.voices = {ScriptedSpeechEngine::voice("a", "Alpha"), ScriptedSpeechEngine::voice("b", "Beta"),
                         ScriptedSpeechEngine::voice("c", "Gamma")};
        tray = std::make_unique<systemtray>();
        SpeechController::install(tray.get());
        faces.document = [this]() -> ActiveDocument* { return &doc; };
    }

    void TearDown() override
    {
        tray.reset();
        faces.document = {};
        // Never leave the window system's backend grabbing keys.
        GlobalHotkeys::instance()->setBackend(std::make_unique<RecordingHotkeyBackend>(std::make_shared<GrabState>()));
        SetKeystrokeRecorder({});
        SetMsgBoxAnswerer({});
    }

    void setting(const QString& key, const QString& value) { WriteSetting(globals.IniFile, "ReadSet", key, value); }
    QString setting(const QString& key) const { return ReadSetting(globals.IniFile, "ReadSet", key, "<missing>"); }
    QHash<int, Combination> registered() const { return GlobalHotkeys::instance()->registered(); }
    // The combinations the backend holds now.
    QSet<QPair<int, int>> grabbed() const { return grabs->grabbed; }
    // Delivers a key press through the hotkey layer, as the window system
    // would, and lets it arrive.
    void press(int modifiers, int key)
    {
        GlobalHotkeys::instance()->pressed(modifiers, key);
        QCoreApplication::processEvents();
    }

    // The engine's last command was a purge (the speech object that got it
    // may be gone).
    bool lastCallIsPurge() const
    {
        if (engine.journal.isEmpty())
            return false;
        const ScriptedSpeechVoice::Call& call = engine.journal.last().call;
        return call.op == "Speak" && call.text.isEmpty() && call.number == SVSFPurgeBeforeSpeak;
    }

    IsolatedSettings isolated;
    std::shared_ptr<GrabState> grabs = std::make_shared<GrabState>();
    QStringList keys;
    QList<MsgBoxCall> messages;
    ScriptedSpeechEngine engine;
    RecordingDocument doc;
    TestFaces faces;
    std::unique_ptr<systemtray> tray;
};

TEST_F(HotkeyTest, RowsRegisterUnderTheirIdentifiers)
{
    setting("HotKey1", "Ctrl+Add");
    setting("HotKey2", "Ctrl+Shift+Alt+F12");
    setting("HotKey3", "Alt+A");
    // HotKey4 missing.
    setting("HotKey5", "");
    setting("HotKey6", "Shift+PageDown");
    setting("HotKey7", "Ctrl+F");
    tray->Sethotkeys();

    const QHash<int, Combination> expected = {
        {11112, {2, 107}}, {11113, {7, 123}}, {11114, {1, 65}}, {11117, {4, 34}}};
    EXPECT_EQ(registered(), expected);
    EXPECT_EQ(grabbed(), (QSet<QPair<int, int>>{{2, 107}, {7, 123}, {1, 65}, {4, 34}}));
}

TEST_F(HotkeyTest, ACombinationStaysWithTheEarlierRow)
{
    setting("HotKey2", "Ctrl+B");
    setting("HotKey5", "Ctrl+A");
    tray->Sethotkeys();
    ASSERT_EQ(registered().value(11116), (Combination{2, 65}));

    // Row 1 now asks for the combination row 5 holds: row 1 gets it, row 5
    // acts no more.
    setting("HotKey1", "Ctrl+A");
    tray->Sethotkeys();
    EXPECT_EQ(registered().value(11112), (Combination{2, 65}));
    EXPECT_FALSE(registered().contains(11116));
    EXPECT_EQ(registered().value(11113), (Combination{2, 66}));
    EXPECT_EQ(grabbed(), (QSet<QPair<int, int>>{{2, 65}, {2, 66}}));
}

TEST_F(HotkeyTest, ChangedAndSwappedCombinationsTakeEffect)
{
    setting("HotKey1", "Ctrl+A");
    setting("HotKey2", "Ctrl+B");
    setting("HotKey7", "Ctrl+S");
    tray->Sethotkeys();

    setting("HotKey1", "Ctrl+B");
    setting("HotKey2", "Ctrl+A");
    setting("HotKey7", "Alt+S");
    tray->Sethotkeys();
    EXPECT_EQ(registered().value(11112), (Combination{2, 66}));
    EXPECT_EQ(registered().value(11113), (Combination{2, 65}));
    EXPECT_EQ(registered().value(11118), (Combination{1, 83}));
    EXPECT_EQ(grabbed(), (QSet<QPair<int, int>>{{2, 65}, {2, 66}, {1, 83}}));

    // The new Speed Up acts, the old one does not.
    setting("HotKey4", "Ctrl+Up");
    tray->Sethotkeys();
    setting("HotKey4", "Ctrl+Down");
    tray->Sethotkeys();
    press(2, 38);
    EXPECT_EQ(setting("Speed"), "<missing>");
    press(2, 40);
    EXPECT_EQ(setting("Speed"), "1");
}

TEST_F(HotkeyTest, AClearedRowStopsActing)
{
    setting("HotKey4", "Alt+Up");
    setting("HotKey5", "Alt+Down");
    tray->Sethotkeys();
    press(1, 38);
    ASSERT_EQ(setting("Speed"), "1");

    setting("HotKey4", "");
    setting("HotKey5", "Alt+F");
    tray->Sethotkeys();
    EXPECT_TRUE(registered().isEmpty());
    EXPECT_TRUE(grabbed().isEmpty());
    press(1, 38);
    press(1, 40);
    EXPECT_EQ(setting("Speed"), "1");
}

TEST_F(HotkeyTest, ACombinationHeldElsewhereLeavesTheOtherRows)
{
    grabs->refused.insert({2, 107});
    setting("HotKey1", "Ctrl+Add");
    setting("HotKey7", "Ctrl+Subtract");
    tray->Sethotkeys();
    EXPECT_FALSE(registered().contains(11112));
    EXPECT_EQ(registered().value(11118), (Combination{2, 109}));
}

TEST_F(HotkeyTest, EachPressRunsItsActionOnce)
{
    setting("HotKey4", "Ctrl+Shift+Up");
    tray->Sethotkeys();
    tray->Sethotkeys();
    tray->Sethotkeys();
    press(6, 38);
    EXPECT_EQ(setting("Speed"), "1");
    // Nothing runs once the controller is gone.
    tray.reset();
    press(6, 38);
    EXPECT_EQ(setting("Speed"), "1");
}

TEST_F(HotkeyTest, SpeedStaysWithinItsLimits)
{
    FaceSwitch::mainWindowShown(true);
    setting("Speed", "3");
    tray->DoFunctions(11115);
    tray->DoFunctions(11115);
    EXPECT_EQ(setting("Speed"), "4");
    setting("Speed", "-5");
    tray->DoFunctions(11116);
    tray->DoFunctions(11116);
    EXPECT_EQ(setting("Speed"), "-6");
    EXPECT_EQ(doc.log, (QStringList{"Speed 4", "Speed -6"}));

    // Without the main window only the setting changes; an unreadable rate
    // counts as 0.
    FaceSwitch::mainWindowShown(false);
    setting("Speed", "fast");
    tray->DoFunctions(11116);
    EXPECT_EQ(setting("Speed"), "-1");
    EXPECT_EQ(doc.log.size(), 2);
}

TEST_F(HotkeyTest, NextVoiceWrapsToTheFirst)
{
    FaceSwitch::mainWindowShown(true);
    setting("Reader", "1");
    tray->DoFunctions(11117);
    EXPECT_EQ(setting("Reader"), "2");
    tray->DoFunctions(11117);
    EXPECT_EQ(setting("Reader"), "0");
    EXPECT_EQ(doc.log, (QStringList{"Voice 2", "Voice 0"}));
    // Each switch makes a new speech object.
    EXPECT_EQ(engine.createdCount(), 2);
    ASSERT_TRUE(tray->voicecls);
    EXPECT_EQ(tray->voicecls->Voice1.get(), engine.last());
    EXPECT_TRUE(messages.isEmpty());

    // A stored index past the list also goes back to the first voice.
    setting("Reader", "7");
    tray->DoFunctions(11117);
    EXPECT_EQ(setting("Reader"), "0");
}

TEST_F(HotkeyTest, NextVoiceDoesNothingWhileSpeaking)
{
    tray->speakstring("Hello.");
    ASSERT_TRUE(readingState.IsSpeaking());
    setting("Reader", "0");
    const int before = engine.createdCount();
    tray->DoFunctions(11117);
    EXPECT_EQ(setting("Reader"), "0");
    EXPECT_EQ(engine.createdCount(), before);
}

TEST_F(HotkeyTest, NextVoiceReportsItsError)
{
    engine.available = false;
    setting("Reader", "1");
    FaceSwitch::mainWindowShown(true);
    tray->DoFunctions(11117);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_FALSE(messages[0].prompt.isEmpty());
    EXPECT_EQ(messages[0].style, int(vbOKOnly));
    EXPECT_TRUE(messages[0].title.isEmpty());
    EXPECT_EQ(setting("Reader"), "1");
    EXPECT_TRUE(doc.log.isEmpty());

    engine.available = true;
    setting("Reader", "many");
    tray->DoFunctions(11117);
    EXPECT_EQ(messages.size(), 2);
    EXPECT_EQ(setting("Reader"), "many");
}

TEST_F(HotkeyTest, PlayPausePausesResumesOrStartsAReading)
{
    tray->speakstring("A long text.");
    ScriptedSpeechVoice* voice = engine.last();
    ASSERT_NE(voice, nullptr);
    tray->DoFunctions(11112);
    EXPECT_TRUE(voice->paused());
    EXPECT_TRUE(readingState.IsPausing());
    tray->DoFunctions(11112);
    EXPECT_FALSE(voice->paused());
    EXPECT_FALSE(readingState.IsPausing());
    EXPECT_TRUE(keys.isEmpty());
    EXPECT_FALSE(tray->selectionReader().copyPoll.isActive());

    // Idle: the focused application's selection is copied and polled for.
    SetSpeakingState(false, false);
    QGuiApplication::clipboard()->setText("left over");
    tray->DoFunctions(11112);
    EXPECT_EQ(keys, (QStringList{"17d", "67d", "67u", "17u"}));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
    EXPECT_TRUE(tray->selectionReader().copyPoll.isActive());
    EXPECT_FALSE(tray->selectionReader().savePoll.isActive());
    tray->selectionReader().copyPoll.stop();
}

TEST_F(HotkeyTest, TextToAudioStopsSpeechAndCopies)
{
    tray->speakstring("Being read.");
    QGuiApplication::clipboard()->setText("left over");
    tray->DoFunctions(11113);
    EXPECT_TRUE(lastCallIsPurge());
    EXPECT_FALSE(tray->voicecls);
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_EQ(keys, (QStringList{"17d", "67d", "67u", "17u"}));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
    EXPECT_TRUE(tray->selectionReader().savePoll.isActive());
    EXPECT_FALSE(tray->selectionReader().copyPoll.isActive());
    tray->selectionReader().savePoll.stop();
}

TEST_F(HotkeyTest, SwitchFaceAndStop)
{
    FaceSwitch::mainWindowShown(true);
    tray->DoFunctions(11114);
    EXPECT_TRUE(readingState.IsDockShown());
    EXPECT_FALSE(readingState.IsMainShown());
    tray->DoFunctions(11114);
    EXPECT_TRUE(readingState.IsMainShown());
    EXPECT_FALSE(readingState.IsDockShown());

    // Stop only acts while speaking.
    tray->makeNewVoice();
    tray->DoFunctions(11118);
    EXPECT_TRUE(tray->voicecls);
    tray->speakstring("Stop me.");
    EXPECT_FALSE(lastCallIsPurge());
    tray->DoFunctions(11118);
    EXPECT_FALSE(tray->voicecls);
    EXPECT_TRUE(lastCallIsPurge());
    // The reading is over on every face.
    EXPECT_FALSE(readingState.IsSpeaking());
}

} // namespace
