// Reading the selection of another application through the clipboard, and
// saving a copied selection as a sound file.
#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/ProgramWindows.h"
#include "core/SettingsStore.h"
#include "platform/FocusedSelection.h"
#include "platform/GlobalHotkeys.h"
#include "platform/Keystrokes.h"
#include "speech/ActiveDocument.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"
#include "speech/systemtray.h"
#include "support/EventPump.h"
#include "support/TestFaces.h"
#include "support/IsolatedSettings.h"
#include "support/RecordingDocument.h"
#include "support/RecordingWindows.h"
#include "support/ReadingReset.h"
#include "support/ScriptedSpeechVoice.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

#include <sndfile.h>

#include <memory>

namespace {

class InertHotkeys : public HotkeyBackend {
public:
    bool grab(int, int) override { return true; }
    void ungrab(int, int) override {}
};

const QStringList kCopy = {"key 17d", "key 67d", "key 67u", "key 17u"};
const QStringList kSelectAllAndCopy = QStringList{"key 17d", "key 65d", "key 65u", "key 17u"} + kCopy;

// The controller with its settings file, documents folder, clipboard and
// keystrokes under the test's eye.
class ControllerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        globals.MyDocsFolder = isolated.dir.filePath("Documents");
        globals.AppFolder = qEnvironmentVariable("TAMSEL_PROGRAM_DIR");

        resetReadingState();

        GlobalHotkeys::instance()->setBackend(std::make_unique<InertHotkeys>());
        SetKeystrokeRecorder(
            [this](int key, bool up) { journal << QString("key %1%2").arg(key).arg(up ? "u" : "d"); });
        SetMsgBoxAnswerer([this](const MsgBoxCall& call) {
            messages.append(call);
            return int(vbOK);
        });
        ProgramWindows::install(&windows);
        QGuiApplication::clipboard()->clear();

        tray = std::make_unique<systemtray>();
        SpeechController::install(tray.get());
        faces.document = [this]() -> ActiveDocument* { return &doc; };
    }

    void TearDown() override
    {
        tray.reset();
        QCoreApplication::processEvents();
        SetFocusedSelectionSource({});
        faces.document = {};
        ProgramWindows::install(nullptr);
        SetKeystrokeRecorder({});
        SetMsgBoxAnswerer({});
    }

    void setting(const QString& key, const QString& value) { WriteSetting(globals.IniFile, "ReadSet", key, value); }
    QString audioFolder() const { return globals.MyDocsFolder + "/orvenic/vella"; }
    QStringList soundFiles() const { return QDir(audioFolder()).entryList({"*.wav"}, QDir::Files); }
    QProgressDialog* progress() const { return tray->findChild<QProgressDialog*>(); }
    // The user presses the progress window's Cancel button.
    void pressCancel()
    {
        ASSERT_NE(progress(), nullptr);
        QPushButton* button = progress()->findChild<QPushButton*>();
        ASSERT_NE(button, nullptr);
        button->click();
    }
    // Lets queued calls and deferred deletions run.
    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    // What the application "copies" in answer to the simulated keys.
    void applicationCopies(const QString& text) { QGuiApplication::clipboard()->setText(text); }

    IsolatedSettings isolated{"<r/>", "Documents/orvenic/vella/Update.xml"};
    // Everything the controller does that a test looks at, in one order: the
    // loading notice, keystrokes, engine commands and document calls.
    QStringList journal;
    RecordingWindows<> windows{journal};
    RecordingDocument doc{journal};
    TestFaces faces;
    QList<MsgBoxCall> messages;
    std::unique_ptr<systemtray> tray;
};

class SelectionReadingTest : public ControllerFixture {
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        engine.voices = {ScriptedSpeechEngine::voice("a", "Alpha"), ScriptedSpeechEngine::voice("b", "Beta")};
    }
    QStringList spoken() const { return engine.spokenTexts(); }
    // Starts a read the way the Play/Pause hotkey does while idle.
    void startRead()
    {
        tray->DoFunctions(11112);
        ASSERT_TRUE(tray->selectionReader().copyPoll.isActive());
    }

    ScriptedSpeechEngine engine;
};

TEST_F(SelectionReadingTest, ASelectionCopiedAtOnceIsSpokenAfterTheFirstTick)
{
    FaceSwitch::mainWindowShown(true);
    startRead();
    EXPECT_EQ(journal, kCopy);
    journal.clear();

    // The application copied its selection, with typographic quotes.
    applicationCopies(QString::fromUtf8("It\u2019s \u201Cquoted\u201D and \u2018single\u2019."));
    // Record the order of the engine's Speak among the other steps.
    engine.journal.clear();
    tray->makeNewVoice();
    ScriptedSpeechVoice* voice = engine.last();
    ASSERT_NE(voice, nullptr);
    voice->onCall = [this](const ScriptedSpeechVoice::Call& call) {
        if (call.op == "Speak")
            journal << "Speak " + call.text;
    };
    tray->Timer1_Timer();

    EXPECT_FALSE(tray->selectionReader().copyPoll.isActive());
    EXPECT_EQ(tray->selectionReader().CopyRetryCount, 0);
    EXPECT_EQ(journal.join(" | ").toStdString(),
              "msgform_Show Loading Speech Engine, Please Wait... 0 | Speak It's \"quoted\" and 'single'. | "
              "PauseBtn 0 | msgform_Unload");
    // The controller keeps the text with only its apostrophes straightened.
    EXPECT_EQ(tray->selectionReader().ClipText, QString::fromUtf8("It's \u201Cquoted\u201D and \u2018single'."));
    EXPECT_TRUE(readingState.IsReadingClipboard());
    EXPECT_TRUE(readingState.IsSpeaking());

    // The end of the utterance reports idle, clears the flag and moves no
    // caret.
    journal.clear();
    voice->emitEnd(voice->lastStream());
    EXPECT_FALSE(readingState.IsReadingClipboard());
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_FALSE(journal.contains("SetCursorP"));
}

// The focused application holds its selection in PRIMARY: it is read at once,
// with no keystroke and the clipboard left as it was.
TEST_F(SelectionReadingTest, ASelectionAtHandIsSpokenAtOnceWithoutKeys)
{
    for (const bool terminal : {false, true}) {
        SCOPED_TRACE(terminal ? "terminal" : "editor");
        FaceSwitch::mainWindowShown(true);
        SetFocusedSelectionSource([&] { return FocusedSelection{QString::fromUtf8("It\u2019s selected."), terminal}; });
        applicationCopies("Copied earlier.");
        journal.clear();
        tray->DoFunctions(11112);

        EXPECT_FALSE(tray->selectionReader().copyPoll.isActive());
        EXPECT_EQ(journal.join(" | ").toStdString(),
                  "msgform_Show Loading Speech Engine, Please Wait... 0 | PauseBtn 0 | msgform_Unload");
        EXPECT_EQ(spoken().value(0).toStdString(), "It's selected.");
        EXPECT_TRUE(readingState.IsReadingClipboard());
        EXPECT_TRUE(readingState.IsSpeaking());
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "Copied earlier.");

        engine.last()->emitEnd(engine.last()->lastStream());
        EXPECT_FALSE(readingState.IsReadingClipboard());
        EXPECT_FALSE(readingState.IsSpeaking());
        engine.journal.clear();
    }
}

// A terminal without a selection: Ctrl+C would interrupt its job, so
// nothing is sent, nothing read and the clipboard keeps its text; the same
// for the Text-to-MP3 hotkey.
TEST_F(SelectionReadingTest, ATerminalWithoutASelectionGetsNoKeys)
{
    SetFocusedSelectionSource([] { return FocusedSelection{QString(), true}; });
    applicationCopies("Copied earlier.");
    for (const int hotkey : {11112, 11113}) {
        tray->DoFunctions(hotkey);
        EXPECT_TRUE(journal.isEmpty()) << hotkey;
        EXPECT_FALSE(tray->selectionReader().copyPoll.isActive());
        EXPECT_FALSE(tray->selectionReader().savePoll.isActive());
    }
    EXPECT_TRUE(spoken().isEmpty());
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "Copied earlier.");
    EXPECT_TRUE(soundFiles().isEmpty());

    // Another application's selection (not the focused one's) is not
    // taken for the focused one's: an editor is copied from as before.
    SetFocusedSelectionSource([] { return FocusedSelection{}; });
    startRead();
    EXPECT_EQ(journal, kCopy);
    tray->selectionReader().copyPoll.stop();
}

TEST_F(SelectionReadingTest, TextToAudioSavesTheSelectionAndKeepsTheClipboard)
{
    SetFocusedSelectionSource([] { return FocusedSelection{QString::fromUtf8("It\u2019s saved."), false}; });
    applicationCopies("Copied earlier.");
    tray->DoFunctions(11113);
    EXPECT_TRUE(journal.isEmpty());
    EXPECT_FALSE(tray->selectionReader().savePoll.isActive());
    ASSERT_NE(engine.last(), nullptr);
    ASSERT_EQ(engine.last()->callsOf("Speak").size(), 1);
    EXPECT_EQ(engine.last()->callsOf("Speak")[0].text.toStdString(), "It's saved.");
    EXPECT_EQ(soundFiles().size(), 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "Copied earlier.");
    // Nothing at hand: copied, saved, and the user's clipboard is back.
    SetFocusedSelectionSource([] { return FocusedSelection{}; });
    tray->DoFunctions(11113);
    applicationCopies("Copied, then saved.");
    tray->Timer2_Timer();
    EXPECT_EQ(engine.last()->callsOf("Speak").value(0).text.toStdString(), "Copied, then saved.");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "Copied earlier.");
}

// Which windows are terminals, and which belong to one X client.
TEST(FocusedSelection, TerminalClassesAndClients)
{
    const struct {
        QByteArray wmClass;
        bool terminal;
    } classes[] = {
        {QByteArray("xterm\0XTerm\0", 12), true},
        {QByteArray("urxvt\0URxvt\0", 12), true},
        {QByteArray("gnome-terminal-server\0Gnome-terminal\0", 37), true},
        {QByteArray("org.wezfurlong.wezterm\0org.wezfurlong.wezterm\0", 46), true},
        {QByteArray("st\0St\0", 6), true},
        {QByteArray("mousepad\0Mousepad\0", 18), false},
        {QByteArray("stterm-like\0Editor\0", 19), false},
        {QByteArray("", 0), false},
    };
    for (const auto& c : classes)
        EXPECT_EQ(IsTerminalWindowClass(c.wmClass), c.terminal) << c.wmClass.toStdString();

    // The server's usual mask: 21 bits of id within a client's range.
    const std::uint32_t mask = 0x1FFFFF;
    EXPECT_TRUE(SameWindowClient(0x800003, 0x80002c, mask));  // a top-level and its selection owner
    EXPECT_FALSE(SameWindowClient(0x800003, 0xa00001, mask)); // two applications
    EXPECT_FALSE(SameWindowClient(0, 0x800003, mask));        // no owner
}

TEST_F(SelectionReadingTest, NothingSelectedSelectsAllTwiceThenGivesUp)
{
    startRead();
    journal.clear();
    tray->Timer1_Timer();
    EXPECT_EQ(journal, kSelectAllAndCopy);
    EXPECT_TRUE(tray->selectionReader().copyPoll.isActive());
    tray->Timer1_Timer();
    EXPECT_EQ(journal, kSelectAllAndCopy + kSelectAllAndCopy);
    EXPECT_TRUE(tray->selectionReader().copyPoll.isActive());

    journal.clear();
    tray->Timer1_Timer();
    EXPECT_TRUE(journal.isEmpty());
    EXPECT_FALSE(tray->selectionReader().copyPoll.isActive());
    EXPECT_EQ(tray->selectionReader().CopyRetryCount, 0);
    EXPECT_TRUE(spoken().isEmpty());
    EXPECT_FALSE(readingState.IsReadingClipboard());
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(SelectionReadingTest, TheWholeTextCopiedAtTheSecondAttemptIsSpoken)
{
    startRead();
    tray->Timer1_Timer();
    applicationCopies("Everything in the editor.");
    tray->Timer1_Timer();
    EXPECT_FALSE(tray->selectionReader().copyPoll.isActive());
    EXPECT_EQ(spoken(), QStringList{"Everything in the editor."});
    EXPECT_TRUE(readingState.IsReadingClipboard());
    // Not the main window's face: the document's Pause button is left alone.
    EXPECT_FALSE(journal.contains("PauseBtn 0"));
}

TEST_F(SelectionReadingTest, EachReadGetsTheFullRetries)
{
    startRead();
    tray->Timer1_Timer();
    tray->Timer1_Timer();
    applicationCopies("First.");
    tray->Timer1_Timer();
    ASSERT_EQ(spoken(), QStringList{"First."});
    engine.last()->emitEnd(engine.last()->lastStream());
    ASSERT_FALSE(readingState.IsSpeaking());

    // The clipboard is emptied again: the first text is not read twice.
    startRead();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
    journal.clear();
    tray->Timer1_Timer();
    tray->Timer1_Timer();
    EXPECT_EQ(journal, kSelectAllAndCopy + kSelectAllAndCopy);
    EXPECT_TRUE(tray->selectionReader().copyPoll.isActive());
    applicationCopies("Second.");
    tray->Timer1_Timer();
    EXPECT_EQ(spoken(), (QStringList{"First.", "Second."}));
}

TEST_F(SelectionReadingTest, AnotherPressDuringAReadKeepsTheCount)
{
    startRead();
    tray->Timer1_Timer();
    tray->Timer1_Timer();
    startRead();
    journal.clear();
    tray->Timer1_Timer();
    EXPECT_TRUE(journal.isEmpty());
    EXPECT_FALSE(tray->selectionReader().copyPoll.isActive());
}

// ---- saving as audio ----

TEST_F(SelectionReadingTest, TheCopiedSelectionIsSpokenIntoASoundFile)
{
    setting("Format", "SAFT16kHz16BitMono");
    setting("Reader", "1");
    setting("Speed", "-3");
    // The controller goes on reading while the file is made.
    tray->speakstring("Reading on.");
    ScriptedSpeechVoice* reading = engine.last();
    const int readingCalls = reading->calls.size();

    applicationCopies(QString::fromUtf8("It\u2019s saved."));
    tray->selectionReader().savePoll.start();
    tray->Timer2_Timer();
    EXPECT_FALSE(tray->selectionReader().savePoll.isActive());

    ScriptedSpeechVoice* saver = engine.last();
    ASSERT_NE(saver, reading);
    EXPECT_EQ(reading->calls.size(), readingCalls);
    ASSERT_EQ(saver->callsOf("Speak").size(), 1);
    EXPECT_EQ(saver->callsOf("Speak")[0].text, "It's saved.");
    EXPECT_EQ(saver->callsOf("Speak")[0].number & SVSFlagsAsync, int(SVSFlagsAsync));
    EXPECT_EQ(saver->callsOf("SetVoice").value(0).text, "Beta");
    EXPECT_EQ(saver->callsOf("SetRate").value(0).number, -3);
    ASSERT_TRUE(saver->AudioOutputStream());
    EXPECT_EQ(saver->AudioOutputStream()->formatType, 18);

    const QStringList files = soundFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression(R"(^Lectova \d{4}-\d\d-\d\d \d\d-\d\d-\d\d\.wav$)").match(files[0]).hasMatch())
        << files[0].toStdString();

    ASSERT_NE(progress(), nullptr);
    saver->emitWord(saver->lastStream(), 0, 4);
    EXPECT_EQ(progress()->value(), 36);
    saver->emitWord(saver->lastStream(), 5, 6);
    EXPECT_EQ(progress()->value(), 99);
    EXPECT_TRUE(messages.isEmpty());

    saver->emitEnd(saver->lastStream());
    settle();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].prompt.contains(QDir::toNativeSeparators(audioFolder() + "/" + files[0])))
        << messages[0].prompt.toStdString();
    EXPECT_EQ(soundFiles(), files);
    EXPECT_EQ(progress(), nullptr);
}

TEST_F(SelectionReadingTest, CancellingLeavesNoFileAndSaysNothing)
{
    tray->SaveTextAsAudio("A text to be cancelled.");
    ScriptedSpeechVoice* saver = engine.last();
    ASSERT_NE(saver, nullptr);
    ASSERT_EQ(soundFiles().size(), 1);
    ASSERT_NE(progress(), nullptr);

    pressCancel();
    EXPECT_TRUE(soundFiles().isEmpty());
    settle();
    EXPECT_EQ(progress(), nullptr);
    EXPECT_TRUE(messages.isEmpty());
    // The speech object of the save was purged and is gone.
    bool purged = false;
    for (const auto& entry : engine.journal)
        purged = purged || (entry.call.op == "Speak" && entry.call.text.isEmpty());
    EXPECT_TRUE(purged);
    EXPECT_EQ(engine.last(), nullptr);
}

TEST_F(SelectionReadingTest, NothingToSaveDoesNothing)
{
    const int before = engine.createdCount();
    tray->SaveTextAsAudio("");
    tray->SaveTextAsAudio(" \r\n\t");
    tray->Timer2_Timer(); // the clipboard is empty
    EXPECT_TRUE(soundFiles().isEmpty());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(progress(), nullptr);
    EXPECT_EQ(engine.createdCount(), before);
}

TEST_F(SelectionReadingTest, FailuresAreReportedAndLeaveNoFile)
{
    // No engine.
    engine.available = false;
    tray->SaveTextAsAudio("Words.");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].style & vbExclamation, int(vbExclamation));
    EXPECT_TRUE(soundFiles().isEmpty());
    EXPECT_EQ(progress(), nullptr);

    // The engine refuses the text.
    engine.available = true;
    engine.failing = {"Speak"};
    tray->SaveTextAsAudio("Words.");
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(soundFiles().isEmpty());
    settle();
    EXPECT_EQ(progress(), nullptr);

    // The folder cannot be made: a file stands in its way.
    engine.failing.clear();
    QFile blocker(isolated.dir.filePath("NotAFolder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    globals.MyDocsFolder = blocker.fileName();
    const int voices = engine.createdCount();
    tray->SaveTextAsAudio("Words.");
    ASSERT_EQ(messages.size(), 3);
    EXPECT_TRUE(messages[2].prompt.contains(QDir::toNativeSeparators(blocker.fileName())));
    EXPECT_EQ(engine.createdCount(), voices);
}

// The real engine, when this machine has one: the file is a real wave file
// in the quality chosen.
class SelectionSavedByTheEngineTest : public ControllerFixture {
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        SetSpeechVoiceFactory({});
        if (!CreateSpeechVoice())
            GTEST_SKIP() << "no speech engine here";
    }
};

TEST_F(SelectionSavedByTheEngineTest, WritesAWaveFileInEachOfTheThirtySixFormats)
{
    applicationCopies("Hello world. This is saved as a sound file.");
    const int rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    for (int r = 0; r < 9; ++r) {
        for (const int bits : {8, 16}) {
            for (const int channels : {1, 2}) {
                const QString name = QString("SAFT%1kHz%2Bit%3")
                                         .arg(rates[r] / 1000)
                                         .arg(bits)
                                         .arg(channels == 1 ? "Mono" : "Stereo");
                SCOPED_TRACE(name.toStdString());
                setting("Format", name);
                messages.clear();
                tray->Timer2_Timer();
                ASSERT_TRUE(pumpUntil([this] { return !messages.isEmpty(); }, 30000));
                const QStringList files = soundFiles();
                ASSERT_EQ(files.size(), 1);
                const QString file = audioFolder() + "/" + files[0];
                EXPECT_TRUE(messages[0].prompt.contains(files[0]));

                SF_INFO info{};
                SNDFILE* f = sf_open(QFile::encodeName(file).constData(), SFM_READ, &info);
                ASSERT_NE(f, nullptr);
                sf_close(f);
                EXPECT_EQ(info.samplerate, rates[r]);
                EXPECT_EQ(info.channels, channels);
                EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_WAV);
                EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, bits == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
                // Nine words take well over a second.
                EXPECT_GT(double(info.frames) / info.samplerate, 1.5);
                QFile::remove(file);
            }
        }
    }
}

TEST_F(SelectionSavedByTheEngineTest, DefaultQualityAndCancelMidway)
{
    // Without a stored format: what the settings dialog shows first
    // (Simple Control, High): 48 kHz, 16 bit, mono.
    tray->SaveTextAsAudio("Short.");
    ASSERT_TRUE(pumpUntil([this] { return !messages.isEmpty(); }, 30000));
    ASSERT_EQ(soundFiles().size(), 1);
    SF_INFO info{};
    SNDFILE* f = sf_open(QFile::encodeName(audioFolder() + "/" + soundFiles()[0]).constData(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    sf_close(f);
    EXPECT_EQ(info.samplerate, 48000);
    EXPECT_EQ(info.channels, 1);
    QFile::remove(audioFolder() + "/" + soundFiles()[0]);

    // A long text, cancelled once it is under way.
    QString text;
    for (int i = 0; i < 400; ++i)
        text += QString("Sentence number %1 of a long text that takes a while to speak. ").arg(i);
    tray->SaveTextAsAudio(text);
    ASSERT_NE(progress(), nullptr);
    ASSERT_TRUE(pumpUntil([this] { return progress() && progress()->value() > 0; }, 30000));
    ASSERT_EQ(soundFiles().size(), 1);
    pressCancel();
    EXPECT_TRUE(soundFiles().isEmpty());
    pump(300);
    EXPECT_TRUE(soundFiles().isEmpty());
    EXPECT_EQ(messages.size(), 1);
}

} // namespace
