// The controller's speech facade and what it does at the end of each
// utterance, over a scripted engine and a recording document window.
#include "support/ScriptedSpeechVoice.h"
#include "core/Globals.h"
#include "core/SettingsStore.h"
#include "speech/ActiveDocument.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"
#include "speech/systemtray.h"

#include <QCoreApplication>
#include <QFile>
#include "support/IsolatedSettings.h"
#include "support/RecordingDocument.h"
#include "support/ReadingReset.h"
#include "support/TestFaces.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using Delivery = ScriptedSpeechVoice::EndDelivery;

// Counts how often the reading state is reported idle while the main
// window is the face (each such report enables "Text to Speech").
class CountingMainWindow : public MainWindowFace {
public:
    int idleReports = 0;
    void setMenuEnabled(MenuItem item, bool enabled) override
    {
        if (item == MenuItem::mnuCtlSpeak && enabled)
            ++idleReports;
    }
    void setMenuCaption(MenuItem, const QString&) override {}
};

class SpeechFacadeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(isolated.file));

        resetReadingState();

        engine.voices = {ScriptedSpeechEngine::voice("a", "Alpha"), ScriptedSpeechEngine::voice("b", "Beta"),
                         ScriptedSpeechEngine::voice("c", "Gamma")};
        tray = std::make_unique<systemtray>();
        SpeechController::install(tray.get());
        tray->voiceDescriptions = "Alpha;Beta;Gamma;";
        faces.document = [this]() -> ActiveDocument* { return &doc; };
        readingState.startReading(&doc);
    }

    void TearDown() override
    {
        tray.reset();
    }

    void setting(const char* key, const QString& value) { WriteSetting(globals.IniFile, "ReadSet", key, value); }
    ScriptedSpeechVoice* current() const { return engine.last(); }
    // The document window's next sentence, spoken as the real one would.
    void speakOnNext(const QString& text)
    {
        doc.onSpeakNextSentence = [this, text] { tray->speakstring(text); };
    }

    IsolatedSettings isolated;
    ScriptedSpeechEngine engine;
    RecordingDocument doc;
    TestFaces faces;
    std::unique_ptr<systemtray> tray;
};

TEST_F(SpeechFacadeTest, TheWindowsReachTheControllerOnlyWhileItLives)
{
    EXPECT_EQ(SpeechController::get().m_GetVoiceDescriptions(), "Alpha;Beta;Gamma;");
    tray.reset();
    // A controller that does nothing stands in for the one gone.
    EXPECT_TRUE(SpeechController::get().m_GetVoiceDescriptions().isEmpty());
    SpeechController::get().speakstring("Nobody hears this.");
    EXPECT_EQ(engine.createdCount(), 0);
}

TEST_F(SpeechFacadeTest, CurlyQuotesAreStraightened)
{
    tray->speakstring(QString::fromUtf8("\u201CYes,\u201D she said, \u2018twice\u2019 \u201C\u201D."));
    ASSERT_NE(current(), nullptr);
    EXPECT_EQ(current()->callsOf("Speak").last().text, "\"Yes,\" she said, 'twice' \"\".");
    EXPECT_EQ(current()->callsOf("Speak").last().number, 19);
    EXPECT_TRUE(readingState.IsSpeaking());
}

TEST_F(SpeechFacadeTest, VoiceAndRateAreReadForEveryUtterance)
{
    setting("Reader", "2");
    setting("Speed", "4");
    tray->speakstring("One.");
    EXPECT_EQ(current()->ops(), (QStringList{"SetVoice", "SetRate", "Speak"}));
    setting("Reader", "1");
    setting("Speed", "-6");
    tray->speakstring("Two.");
    // A voice index outside the list keeps the previous voice; the text is
    // still spoken.
    setting("Reader", "5");
    tray->speakstring("Three.");

    ASSERT_EQ(engine.createdCount(), 1);
    const auto voices = current()->callsOf("SetVoice");
    const auto rates = current()->callsOf("SetRate");
    ASSERT_EQ(voices.size(), 2);
    EXPECT_EQ(voices[0].text, "Gamma");
    EXPECT_EQ(voices[1].text, "Beta");
    ASSERT_EQ(rates.size(), 3);
    EXPECT_EQ(rates[0].number, 4);
    EXPECT_EQ(rates[1].number, -6);
    EXPECT_EQ(current()->callsOf("Speak").size(), 3);
    EXPECT_EQ(current()->Voice().description, "Beta");
}

TEST_F(SpeechFacadeTest, SideUtteranceLeavesTheReadingStateAlone)
{
    readingState.wordStarts();
    tray->speakstring("word");
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_EQ(current()->callsOf("Speak").size(), 1);
    // Its end runs no continuation either.
    current()->emitEnd(current()->lastStream());
    EXPECT_TRUE(doc.log.isEmpty());
}

TEST_F(SpeechFacadeTest, RenewVoiceMakesAWrapperPerUtteranceUntilTheFirstEnd)
{
    readingState.requestStop();
    globals.RenewVoice = true;
    tray->speakstring("One.");
    tray->speakstring("Two.");
    ASSERT_EQ(engine.createdCount(), 2);
    EXPECT_EQ(engine.created(0), nullptr); // the first one was discarded
    ScriptedSpeechVoice* second = engine.created(1);
    second->emitEnd(second->lastStream());
    EXPECT_FALSE(globals.RenewVoice);
    tray->speakstring("Three.");
    tray->speakstring("Four.");
    EXPECT_EQ(engine.createdCount(), 2);
    EXPECT_EQ(second->callsOf("Speak").size(), 3);
}

TEST_F(SpeechFacadeTest, StopWithoutASpeechObjectChangesNothing)
{
    SetSpeakingState(true, false);
    readingState.requestStop();
    FaceSwitch::mainWindowShown(true);
    CountingMainWindow main;
    faces.main = &main;
    tray->stopspeaking();
    EXPECT_FALSE(readingState.IsReadingWhole());
    EXPECT_TRUE(readingState.IsSpeaking());
    EXPECT_FALSE(readingState.IsIdle());
    EXPECT_TRUE(doc.log.isEmpty());
    EXPECT_EQ(main.idleReports, 0);
    EXPECT_EQ(engine.createdCount(), 0);
}

TEST_F(SpeechFacadeTest, StopWithoutRequestDiscardsTheWrapperAndEndsOnce)
{
    for (Delivery delivery : {Delivery::Queued, Delivery::Immediate}) {
        SCOPED_TRACE(delivery == Delivery::Queued ? "queued end" : "immediate end");
        engine.purgeEnds = delivery;
        engine.journal.clear();
        doc.log.clear();
        readingState.startReading(&doc);
        const int before = engine.createdCount();
        tray->speakstring("A sentence.");
        readingState.requestStop(); // the document's Stop
        tray->stopspeaking();
        QCoreApplication::processEvents();

        EXPECT_EQ(tray->voicecls, nullptr);
        EXPECT_EQ(engine.created(before), nullptr);
        ASSERT_FALSE(engine.journal.isEmpty());
        EXPECT_EQ(engine.journal.last().call.number, SVSFPurgeBeforeSpeak);
        EXPECT_TRUE(engine.journal.last().call.text.isEmpty());
        // speakingend ran once, directly; the purged stream's end is not handled.
        EXPECT_EQ(doc.log, (QStringList{"SetCursorP", "FeedBack", "NextBtn 0", "PriewBtn 0", "SetFocus"}));
        EXPECT_TRUE(readingState.IsIdle());
        EXPECT_FALSE(readingState.IsReadingWhole());
        EXPECT_EQ(readingState.ReadingDocument(), nullptr);
        readingState.readDocument();
    }
}

TEST_F(SpeechFacadeTest, NextWhileSpeakingContinuesWithTheSameWrapper)
{
    for (Delivery delivery : {Delivery::Queued, Delivery::Immediate}) {
        SCOPED_TRACE(delivery == Delivery::Queued ? "queued end" : "immediate end");
        engine.purgeEnds = delivery;
        tray->releaseVoice();
        doc.log.clear();
        speakOnNext("Second sentence.");
        tray->speakstring("First sentence.");
        clsVoice* wrapper = tray->voicecls.get();
        ScriptedSpeechVoice* e = current();

        // The document's Next.
        readingState.requestNext();
        tray->stopspeaking();
        QCoreApplication::processEvents();

        EXPECT_EQ(tray->voicecls.get(), wrapper);
        EXPECT_EQ(current(), e);
        EXPECT_EQ(doc.log, (QStringList{"SetCursorP", "SetFocus", "SpeakNextSentence"}));
        const auto spoken = e->callsOf("Speak");
        ASSERT_EQ(spoken.size(), 3);
        EXPECT_EQ(spoken[0].text, "First sentence.");
        EXPECT_EQ(spoken[1].number, SVSFPurgeBeforeSpeak);
        EXPECT_EQ(spoken[2].text, "Second sentence.");
        EXPECT_EQ(e->running(), QList<int>{e->lastStream()});
        EXPECT_FALSE(readingState.NextRequested());
        EXPECT_TRUE(readingState.IsSpeaking());
    }
}

TEST_F(SpeechFacadeTest, PreviousWaitsForADocumentWindow)
{
    readingState.letGo(&doc);
    tray->speakstring("Second sentence.");
    readingState.requestPrevious();
    readingState.nextServed();
    tray->stopspeaking();
    QCoreApplication::processEvents();
    EXPECT_TRUE(readingState.PrevRequested());
    EXPECT_NE(tray->voicecls, nullptr);

    // With the window there, the request is served and cleared.
    readingState.startReading(&doc);
    readingState.requestPrevious();
    doc.onSpeakPrew = [this] { tray->speakstring("First sentence."); };
    tray->speakstring("Second sentence.");
    tray->stopspeaking();
    QCoreApplication::processEvents();
    EXPECT_FALSE(readingState.PrevRequested());
    EXPECT_EQ(doc.log, (QStringList{"SetCursorP", "SetFocus", "SpeakPrew"}));
    EXPECT_EQ(current()->callsOf("Speak").last().text, "First sentence.");
}

TEST_F(SpeechFacadeTest, SelectionReadingContinuesInsideTheSelection)
{
    readingState.readSelection(0, 40);
    tray->speakstring("Selected one.");
    current()->emitEnd(current()->lastStream());
    EXPECT_EQ(doc.log, (QStringList{"SetCursorP", "SetFocus", "SpeakSelNextSentence"}));
}

TEST_F(SpeechFacadeTest, SentenceEndingWhilePausedRestartsAtResume)
{
    speakOnNext("Never spoken.");
    doc.onSpeakBtnClick = [this] { tray->speakstring("Read on."); };
    tray->speakstring("Paused sentence.");
    ScriptedSpeechVoice* first = current();
    tray->PauseSpeaking();
    EXPECT_TRUE(readingState.IsPausing());
    EXPECT_EQ(first->ops().last(), "Pause");

    first->emitEnd(first->lastStream());
    EXPECT_TRUE(readingState.ResumePending());
    EXPECT_EQ(doc.log, (QStringList{"SetCursorP", "SetFocus"}));
    EXPECT_EQ(first->callsOf("Speak").size(), 1);

    tray->ResumeSpeaking();
    EXPECT_FALSE(readingState.ResumePending());
    EXPECT_EQ(doc.log.last(), "SpeakBtn_Click");
    ASSERT_EQ(engine.createdCount(), 2);
    EXPECT_EQ(engine.created(0), nullptr);
    ASSERT_NE(engine.created(1), nullptr);
    EXPECT_EQ(engine.created(1)->callsOf("Speak").last().text, "Read on.");
    for (const auto& entry : engine.journal)
        EXPECT_NE(entry.call.op, "Resume");
}

TEST_F(SpeechFacadeTest, PauseAndResumeWithoutASpeechObjectStillReportTheState)
{
    SetSpeakingState(true, false);
    tray->PauseSpeaking();
    EXPECT_TRUE(readingState.IsPausing());
    EXPECT_TRUE(readingState.IsSpeaking());
    tray->ResumeSpeaking();
    EXPECT_FALSE(readingState.IsPausing());
    EXPECT_EQ(engine.createdCount(), 0);
    EXPECT_THROW(tray->SetSpFlagIsFilename(0), SpeechError);
}

TEST_F(SpeechFacadeTest, LastSentenceEndsTheReading)
{
    for (bool paused : {false, true}) {
        SCOPED_TRACE(paused ? "paused" : "speaking");
        CountingMainWindow main;
        faces.main = &main;
        FaceSwitch::mainWindowShown(true);
        readingState.sentenceIsLast(true);
        readingState.leaveIdle();
        doc.log.clear();
        readingState.startReading(&doc);
        speakOnNext("Must not be spoken.");
        tray->speakstring("Last sentence.");
        SetSpeakingState(true, paused);
        main.idleReports = 0;

        current()->emitEnd(current()->lastStream());

        EXPECT_EQ(doc.log, (QStringList{"SetCursorP", "FeedBack", "NextBtn 0", "PriewBtn 0", "SetFocus"}));
        EXPECT_TRUE(readingState.IsIdle());
        EXPECT_FALSE(readingState.IsSpeaking());
        EXPECT_EQ(readingState.IsPausing(), paused);
        EXPECT_EQ(main.idleReports, 1);
        EXPECT_FALSE(readingState.ResumePending());
        faces.main = nullptr;
    }
}

TEST_F(SpeechFacadeTest, EndWithTheFloatingBarShownHasNoContinuation)
{
    FaceSwitch::floatingBarShown(true);
    globals.RenewVoice = true;
    tray->speakstring("Captured text.");
    EXPECT_TRUE(readingState.IsSpeaking());
    current()->emitEnd(current()->lastStream());
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_FALSE(globals.RenewVoice);
    EXPECT_TRUE(doc.log.isEmpty());
}

TEST_F(SpeechFacadeTest, EndOfClipboardTextSkipsTheDocumentCaret)
{
    readingState.clipboardTextStarts();
    readingState.requestStop();
    tray->speakstring("From another program.");
    current()->emitEnd(current()->lastStream());
    EXPECT_FALSE(readingState.IsReadingClipboard());
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_TRUE(doc.log.isEmpty());
}

TEST_F(SpeechFacadeTest, VoiceChangeStoresTheVoiceIndex)
{
    setting("Reader", "2");
    tray->speakstring("Hello.");
    ScriptedSpeechVoice* e = current();
    e->emitVoiceChange(e->lastStream(), ScriptedSpeechEngine::voice("b", "Beta"));
    EXPECT_EQ(ReadSetting(globals.IniFile, "ReadSet", "Reader", "?"), "1");
    e->emitVoiceChange(e->lastStream(), ScriptedSpeechEngine::voice("d", "Delta"));
    EXPECT_EQ(ReadSetting(globals.IniFile, "ReadSet", "Reader", "?"), "0");
    e->emitVoiceChange(e->lastStream(), ScriptedSpeechEngine::voice("c", "Gamma"));
    EXPECT_EQ(ReadSetting(globals.IniFile, "ReadSet", "Reader", "?"), "2");

    EXPECT_EQ(tray->getfunctionID("gamma"), 0);
    EXPECT_EQ(tray->getfunctionID(""), 0);
    tray->voiceDescriptions.clear();
    EXPECT_EQ(tray->getfunctionID("Alpha"), 0);
}

TEST_F(SpeechFacadeTest, SpokenWordIsSelectedOnlyInDocumentReading)
{
    FaceSwitch::mainWindowShown(true);
    readingState.sentenceStartsAt(100);
    tray->speakstring("Some words here.");
    ScriptedSpeechVoice* e = current();
    e->emitWord(e->lastStream(), 5, 5);
    EXPECT_EQ(doc.log, (QStringList{"SelStart 105", "SelLength 5"}));
    EXPECT_EQ(readingState.ReadingPos(), 105);

    const QList<std::pair<const char*, std::function<void(bool)>>> suppressors = {
        {"floating bar", [](bool on) { FaceSwitch::floatingBarShown(on); }},
        {"clipboard text", [](bool on) { on ? readingState.clipboardTextStarts() : readingState.clipboardTextEnds(); }},
        {"punctuation mode", [](bool on) { readingState.usePunctuationMode(on ? 1 : 0); }},
        {"main window hidden", [](bool on) { FaceSwitch::mainWindowShown(!on); }},
        {"side utterance", [](bool on) { on ? readingState.wordStarts() : readingState.sideUtterancesEnd(); }},
    };
    for (const auto& [name, suppress] : suppressors) {
        SCOPED_TRACE(name);
        doc.log.clear();
        readingState.moveTo(7);
        suppress(true);
        e->emitWord(e->lastStream(), 11, 4);
        suppress(false);
        EXPECT_TRUE(doc.log.isEmpty());
        EXPECT_EQ(readingState.ReadingPos(), 7);
    }
    // Without a document window the position still follows the word.
    readingState.letGo(&doc);
    e->emitWord(e->lastStream(), 11, 4);
    EXPECT_EQ(readingState.ReadingPos(), 111);
}

TEST_F(SpeechFacadeTest, SpeakfilePlaysWithAFreshWrapper)
{
    tray->speakstring("Text.");
    tray->Speakfile("/sounds/FirstP.wav");
    ASSERT_EQ(engine.createdCount(), 2);
    EXPECT_EQ(engine.created(0), nullptr);
    const auto played = engine.created(1)->callsOf("Speak");
    ASSERT_EQ(played.size(), 1);
    EXPECT_EQ(played[0].text, "/sounds/FirstP.wav");
    EXPECT_EQ(played[0].number, 23);
}

} // namespace
