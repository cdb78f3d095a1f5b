// Reading a document aloud through the real speech controller, with a
// scripted speech engine standing in for the voice: the test plays the
// engine's part (word events, end of each utterance) and watches what the
// document window selects, paints and hands to the engine.
#include "support/ScriptedSpeechVoice.h"
#include "support/TestFaces.h"
#include "MainWindowFixture.h"

#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/SettingsStore.h"
#include "mainwindow/DocumentTable.h"
#include "richtext/RichTextBox.h"
#include "mainwindow/SentenceFinding.h"
#include "mainwindow/frmDocument.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"
#include "speech/systemtray.h"
#include "support/IsolatedSettings.h"
#include "support/ReadingReset.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kSlot = 1;

class ReadingLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(isolated.file));
        globals.AppFolder = qEnvironmentVariable("TAMSEL_PROGRAM_DIR");

        resetReadingState();
        readingState.goIdle();
        SetMsgBoxAnswerer([this](const MsgBoxCall& call) {
            boxes.append(call);
            return answer;
        });

        engine.voices = {ScriptedSpeechEngine::voice("a", "Alpha"), ScriptedSpeechEngine::voice("b", "Beta")};
        tray = std::make_unique<systemtray>();
        SpeechController::install(tray.get());
        tray->voiceDescriptions = "Alpha;Beta;";
        // As after the controller's load.
        readingState.requestStop();

        doc = std::make_unique<frmDocument>();
        doc->setTag(QString::number(kSlot));
        doc->setWindowTitle("Document 1");
        documentTable.DocChanged[kSlot] = false;
        FaceSwitch::mainWindowShown(true);
        faces.document = [this]() -> ActiveDocument* { return doc.get(); };
    }

    void TearDown() override
    {
        faces.document = {};
        tray.reset();
        doc.reset();
        SetMsgBoxAnswerer({});
        readingState.reset();
        documentTable.DocChanged[kSlot] = false;
    }

    RichTextBox* rtf() const { return doc->rtfText; }

    void load(const QString& text, int caret = 0)
    {
        rtf()->setText(text);
        rtf()->setSelStart(caret);
        documentTable.DocChanged[kSlot] = false;
    }

    ScriptedSpeechVoice* voice() const { return engine.last(); }

    // The texts handed to the engine so far, by every voice object, empty
    // purges left out.
    QStringList spoken() const { return engine.spokenTexts(); }
    QString lastSpoken() const { return spoken().value(spoken().size() - 1); }

    // The engine speaks every word of the current utterance: each word
    // event must select exactly that word in the document.
    void speakWords()
    {
        const QString text = lastSpoken();
        const int stream = voice()->lastStream();
        int i = 0;
        while (i < text.size()) {
            if (!text.at(i).isLetterOrNumber() && !text.at(i).isSurrogate()) {
                ++i;
                continue;
            }
            const int start = i;
            while (i < text.size() && (text.at(i).isLetterOrNumber() || text.at(i).isSurrogate()))
                ++i;
            voice()->emitWord(stream, start, i - start);
            EXPECT_EQ(rtf()->SelText(), text.mid(start, i - start)) << "in " << text.toStdString();
            EXPECT_EQ(readingState.ReadingPos(), rtf()->SelStart());
        }
    }

    // The engine reaches the end of the current utterance.
    void finishUtterance()
    {
        voice()->emitEnd(voice()->lastStream());
        QCoreApplication::processEvents();
    }

    // Whether any character in from .. to - 1 has the sentence colour.
    bool anyYellow(int from, int to) const
    {
        for (int p = from; p < to; ++p) {
            if (rtf()->BackColorAt(p) == kSentenceYellow)
                return true;
        }
        return false;
    }
    bool allYellow(int from, int to) const
    {
        for (int p = from; p < to; ++p) {
            if (!anyYellow(p, p + 1))
                return false;
        }
        return true;
    }

    IsolatedSettings isolated{"<Settings><ReadSet><PunctuationTag>0</PunctuationTag><Speed>0</Speed>"
                              "<Reader>0</Reader></ReadSet><FrmSet/></Settings>"};
    QList<MsgBoxCall> boxes;
    int answer = vbNo;
    ScriptedSpeechEngine engine;
    std::unique_ptr<systemtray> tray;
    std::unique_ptr<frmDocument> doc;
    TestFaces faces;
};

// ---- the loop ----

TEST_F(ReadingLoopTest, ReadsSentenceBySentenceSelectingEachWord)
{
    const QString text = "Hello world. How are you?\r\nFine, thanks! Bye.";
    load(text);
    doc->SpeakBtn_Click();

    ASSERT_NE(voice(), nullptr);
    EXPECT_EQ(lastSpoken(), "Hello world.");
    EXPECT_TRUE(readingState.IsSpeaking());
    EXPECT_FALSE(readingState.IsIdle());
    EXPECT_TRUE(doc->NextBtn->isEnabled());
    EXPECT_TRUE(doc->PriewBtn->isEnabled());
    EXPECT_EQ(rtf()->SelText(), "Hello world.");
    EXPECT_TRUE(allYellow(0, 12));
    EXPECT_FALSE(anyYellow(12, text.size()));
    speakWords();
    // The word selection leaves the sentence painted.
    EXPECT_TRUE(allYellow(0, 12));

    finishUtterance();
    EXPECT_EQ(lastSpoken(), "How are you?");
    EXPECT_FALSE(anyYellow(0, 12));
    EXPECT_TRUE(allYellow(13, 25));
    speakWords();

    finishUtterance();
    // After the line break.
    EXPECT_EQ(lastSpoken().trimmed(), "Fine, thanks!");
    EXPECT_TRUE(allYellow(27, 40));
    speakWords();

    finishUtterance();
    EXPECT_EQ(lastSpoken(), "Bye.");
    EXPECT_TRUE(readingState.IsLastSentence());
    speakWords();
    EXPECT_TRUE(readingState.IsSpeaking());

    finishUtterance();
    EXPECT_EQ(spoken().size(), 4);
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_TRUE(readingState.IsIdle());
    EXPECT_FALSE(doc->NextBtn->isEnabled());
    EXPECT_FALSE(doc->PriewBtn->isEnabled());
    EXPECT_FALSE(anyYellow(0, text.size()));
    // One speech object served the whole reading.
    EXPECT_EQ(engine.createdCount(), 1);
    EXPECT_FALSE(documentTable.DocChanged[kSlot]);
}

TEST_F(ReadingLoopTest, WordsAreSelectedExactlyInAccentedAndEmojiTextListsAndTables)
{
    load(QString::fromUtf8("Caf\u00E9 cr\u00E8me br\u00FBl\u00E9e.\r\n\r\nSmile \U0001F600 d\u00E9j\u00E0 vu. "
                           "\U0001D400\U0001D401 math \U0001F389 na\u00EFve end."));
    doc->SpeakBtn_Click();
    for (int i = 0; i < 3; ++i) {
        speakWords();
        finishUtterance();
    }
    EXPECT_EQ(spoken().size(), 3);
    EXPECT_FALSE(readingState.IsSpeaking());

    // A list, a table and a picture of an RTF file: the list's labels and
    // the picture are not spoken, and a sentence runs on from cell to cell.
    QFile file(isolated.dir.filePath("structures.rtf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid1}}"
               "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}Fruit list:\\par"
               "{\\listtext 1.\\tab}\\pard\\ls1 Apples and pears.\\par{\\listtext 2.\\tab}\\pard\\ls1 Plums\\par"
               "\\trowd\\cellx2000\\cellx4000\\pard\\intbl Name\\cell Price\\cell\\row"
               "\\trowd\\cellx2000\\cellx4000\\pard\\intbl Cherry\\cell Two euros.\\cell\\row"
               "\\pard After {\\pict\\emfblip\\picw100\\pich100 0102} the table.\\par}");
    file.close();
    rtf()->LoadFile(file.fileName(), RichTextBox::rtfRTF);
    doc->SpeakBtn_Click();
    const QStringList sentences = {"Fruit list:", "Apples and pears.",
                                   "Plums\r\nName\r\nPrice\r\nCherry\r\nTwo euros.",
                                   QString::fromUtf8("After \uFFFC the table.")};
    for (const QString& sentence : sentences) {
        EXPECT_EQ(lastSpoken().trimmed(), sentence);
        const int start = readingState.SentenceStart();
        for (int k = start; k < start + int(sentence.size()); ++k) {
            if (rtf()->CharAt(k).isLetter())
                EXPECT_TRUE(anyYellow(k, k + 1)) << k;
        }
        EXPECT_FALSE(anyYellow(start + int(sentence.size()), rtf()->TextLength()));
        speakWords();
        finishUtterance();
    }
    EXPECT_EQ(spoken().size(), 7);
    EXPECT_FALSE(readingState.IsSpeaking());
}

TEST_F(ReadingLoopTest, CaretAtTheEndOrBeforeBlanksReadsFromTheBeginning)
{
    const QString text = "One. Two.  \r\n \t";
    load(text, static_cast<int>(text.size()));
    doc->SpeakBtn_Click();
    EXPECT_EQ(lastSpoken(), "One.");
    doc->StopBtn_Click();

    load(text, 9); // just after "Two."
    doc->SpeakBtn_Click();
    EXPECT_EQ(lastSpoken(), "One.");
}

TEST_F(ReadingLoopTest, RunsOfDelimitersDoNotStallTheReading)
{
    load("Wait!!! Go now.");
    doc->SpeakBtn_Click();
    EXPECT_EQ(lastSpoken(), "Wait!");
    finishUtterance();
    EXPECT_EQ(lastSpoken(), "Go now.");
    finishUtterance();
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_TRUE(readingState.IsIdle());

    // Starting inside the run.
    load("Wait!!! Go now.", 6);
    doc->SpeakBtn_Click();
    EXPECT_EQ(lastSpoken(), "Go now.");
    finishUtterance();
    // The rest of a run is passed over, the word after it read whole.
    load("Wait...what?");
    doc->SpeakBtn_Click();
    EXPECT_EQ(lastSpoken(), "Wait.");
    finishUtterance();
    EXPECT_EQ(lastSpoken(), "what?");
}

TEST_F(ReadingLoopTest, EmptyDocumentEndsTheReadingAtOnce)
{
    load("");
    doc->SpeakBtn_Click();
    ASSERT_NE(voice(), nullptr);
    // The empty text was handed over...
    EXPECT_FALSE(voice()->callsOf("Speak").isEmpty());
    EXPECT_TRUE(spoken().isEmpty());
    // ...and nothing is left waiting for an end that never comes.
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_TRUE(readingState.IsIdle());
    EXPECT_FALSE(doc->NextBtn->isEnabled());
}

// ---- Next and Previous ----

TEST_F(ReadingLoopTest, NextCutsTheSentenceAndReadsTheFollowingOne)
{
    load("One here. Two here. Three here.");
    doc->SpeakBtn_Click();
    doc->SpeakNext();
    QCoreApplication::processEvents();
    EXPECT_EQ(lastSpoken(), "Two here.");
    EXPECT_FALSE(readingState.NextRequested());
    EXPECT_TRUE(readingState.IsSpeaking());
    doc->SpeakNext();
    QCoreApplication::processEvents();
    EXPECT_EQ(lastSpoken(), "Three here.");
    // Next on the last sentence ends the reading.
    doc->SpeakNext();
    QCoreApplication::processEvents();
    EXPECT_EQ(spoken().size(), 3);
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_EQ(engine.createdCount(), 1);
}

TEST_F(ReadingLoopTest, PreviousReadsTheSentenceBeforeAndGoesOn)
{
    load("Alpha one. Beta two!! Gamma three.", 23); // inside "Gamma"
    doc->SpeakBtn_Click();
    EXPECT_EQ(lastSpoken(), "Gamma three.");
    doc->SpeakPriew();
    // The previous-sentence step ran before SpeakPriew returned; the
    // delimiter run before "Gamma" is stepped over.
    EXPECT_EQ(lastSpoken(), "Beta two!");
    EXPECT_FALSE(readingState.PrevRequested());
    EXPECT_TRUE(readingState.IsSpeaking());
    doc->SpeakPriew();
    EXPECT_EQ(lastSpoken(), "Alpha one.");
    // On the first sentence it repeats that sentence.
    doc->SpeakPriew();
    EXPECT_EQ(lastSpoken(), "Alpha one.");
    finishUtterance();
    EXPECT_EQ(lastSpoken(), "Beta two!");
}

TEST_F(ReadingLoopTest, PreviousInAOneSentenceDocumentRepeatsItThenEnds)
{
    load("Only sentence.");
    doc->SpeakBtn_Click();
    doc->SpeakPriew();
    EXPECT_EQ(spoken(), (QStringList{"Only sentence.", "Only sentence."}));
    EXPECT_TRUE(readingState.IsSpeaking());
    finishUtterance();
    EXPECT_EQ(spoken().size(), 2);
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_TRUE(readingState.IsIdle());
}

// ---- selections ----

TEST_F(ReadingLoopTest, SelectionIsReadAndTheReadingEndsAtItsEnd)
{
    const QString text = "A zero. B one. C two. D three.";
    load(text, 8);
    rtf()->setSelLength(13); // "B one. C two."
    doc->SpeakBtn_Click();
    EXPECT_TRUE(readingState.IsReadingSelection());
    EXPECT_EQ(lastSpoken(), "B one.");
    EXPECT_TRUE(allYellow(8, 14));
    EXPECT_FALSE(anyYellow(15, 21));
    speakWords();
    finishUtterance();
    EXPECT_EQ(lastSpoken(), "C two.");
    EXPECT_TRUE(allYellow(15, 21));
    EXPECT_FALSE(anyYellow(8, 14));
    finishUtterance();
    EXPECT_EQ(spoken().size(), 2);
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_FALSE(anyYellow(0, text.size()));
}

TEST_F(ReadingLoopTest, PreviousDuringASelectionContinuesThroughTheDocument)
{
    load("A zero. B one. C two. D three.", 15);
    rtf()->setSelLength(6); // "C two."
    doc->SpeakBtn_Click();
    EXPECT_EQ(lastSpoken(), "C two.");
    doc->SpeakPriew();
    EXPECT_EQ(lastSpoken(), "B one.");
    EXPECT_FALSE(readingState.IsReadingSelection());
    finishUtterance();
    EXPECT_EQ(lastSpoken(), "C two.");
    finishUtterance();
    EXPECT_EQ(lastSpoken(), "D three.");
    finishUtterance();
    EXPECT_FALSE(readingState.IsSpeaking());
}

TEST_F(ReadingLoopTest, CaretLeavingTheSelectionEndsTheReading)
{
    load("A zero. B one. C two. D three.", 0);
    rtf()->setSelLength(14);
    doc->SpeakBtn_Click();
    EXPECT_EQ(lastSpoken(), "A zero.");
    rtf()->setSelStart(25);
    doc->SpeakSelNextSentence();
    EXPECT_TRUE(readingState.IsLastSentence());
    EXPECT_EQ(spoken().size(), 1);
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_TRUE(readingState.IsIdle());
}

// ---- pause and resume ----

TEST_F(ReadingLoopTest, SentenceEndingWhilePausedWaitsForResume)
{
    load("One here. Two here. Three here.");
    doc->SpeakBtn_Click();
    doc->PauseBtn_Click();
    EXPECT_TRUE(readingState.IsPausing());
    EXPECT_TRUE(voice()->paused());
    finishUtterance();
    // Nothing further is spoken while paused.
    EXPECT_EQ(spoken().size(), 1);
    EXPECT_TRUE(readingState.ResumePending());
    EXPECT_TRUE(readingState.IsSpeaking());

    doc->ResumeBtn->setEnabled(true);
    doc->ResumeBtn->click();
    EXPECT_FALSE(readingState.ResumePending());
    EXPECT_FALSE(readingState.IsPausing());
    EXPECT_EQ(lastSpoken(), "Two here.");
    // A new speech object reads on.
    EXPECT_EQ(engine.createdCount(), 2);
    speakWords();
    finishUtterance();
    EXPECT_EQ(lastSpoken(), "Three here.");
}

// ---- Stop ----

TEST_F(ReadingLoopTest, StopClearsTheHighlightAndEndsTheReading)
{
    const QString text = "One here. Two here.";
    load(text);
    doc->SpeakBtn_Click();
    ASSERT_TRUE(anyYellow(0, text.size()));
    doc->StopBtn_Click();
    EXPECT_FALSE(anyYellow(0, text.size()));
    EXPECT_TRUE(readingState.IsIdle());
    EXPECT_TRUE(readingState.StopRequested());
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_FALSE(doc->NextBtn->isEnabled());
    EXPECT_FALSE(doc->PriewBtn->isEnabled());
    // The speech object is gone; nothing goes on.
    EXPECT_EQ(engine.created(0), nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(spoken().size(), 1);
    // Painting while idle (Speak and Stop) does not count as an edit either.
    doc->SpeakBtn_Click();
    doc->StopBtn_Click();
    EXPECT_FALSE(documentTable.DocChanged[kSlot]);
}

TEST_F(ReadingLoopTest, ReadingWithUnchangedSettingsLeavesTheSettingsFileAlone)
{
    // A write replaces the file: a second name kept for the old one then
    // no longer names the same file.
    const QByteArray settings = globals.IniFile.toLocal8Bit();
    const QByteArray keeper = settings + ".kept";
    const auto replaced = [&] {
        struct stat a {}, b {};
        return ::stat(settings.constData(), &a) != 0 || ::stat(keeper.constData(), &b) != 0 || a.st_ino != b.st_ino;
    };
    load("One here. Two here. Three here.");
    doc->SpeakBtn_Click(); // stores the window's voice and speed once
    doc->StopBtn_Click();
    ASSERT_EQ(::link(settings.constData(), keeper.constData()), 0);
    doc->SpeakBtn_Click();
    finishUtterance();
    doc->PauseBtn_Click();
    doc->ResumeBtn->click();
    finishUtterance();
    doc->StopBtn_Click();
    EXPECT_FALSE(replaced()) << "the settings file was rewritten with the values it held";
    EXPECT_EQ(lastSpoken(), "Three here.");

    // A changed speed is stored.
    doc->cpvSlider1->setValue(2);
    doc->SpeakBtn_Click();
    EXPECT_TRUE(replaced());
    EXPECT_EQ(ReadSetting(globals.IniFile, "ReadSet", "Speed", "0"), "2");
}

TEST_F(ReadingLoopTest, SpeakWhileSpeakingStopsAndStartsAgain)
{
    load("One here. Two here. Three here.");
    doc->SpeakBtn_Click();
    doc->SpeakBtn_Click();
    // Stopping put the caret after the first sentence.
    EXPECT_EQ(lastSpoken(), "Two here.");
    EXPECT_TRUE(readingState.IsSpeaking());
    EXPECT_EQ(engine.createdCount(), 2);
    EXPECT_EQ(engine.created(0), nullptr);
    finishUtterance();
    EXPECT_EQ(lastSpoken(), "Three here.");
}

TEST_F(ReadingLoopTest, StopWhileDictatingAsksToSave)
{
    load("Some text.");
    SetDictatingState(true);
    answer = vbNo;
    doc->StopBtn_Click();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].prompt, "Do you want to save the text?");
    EXPECT_EQ(boxes[0].style, vbYesNoCancel + vbQuestion);
    EXPECT_EQ(boxes[0].title, "Lectova");
    EXPECT_FALSE(readingState.IsDictating());
}

// ---- punctuation mode ----

TEST_F(ReadingLoopTest, PunctuationModeReadsTheRestInOneUtterance)
{
    WriteSetting(globals.IniFile, "ReadSet", "PunctuationTag", "1");
    readingState.usePunctuationMode(1);
    const QString text = "One, two. Three; four!";
    load(text, 10);
    doc->SpeakBtn_Click();
    ASSERT_EQ(spoken().size(), 1);
    EXPECT_EQ(lastSpoken(), PunctuationToWords("Three; four!"));
    EXPECT_EQ(rtf()->SelText(), "Three; four!");
    EXPECT_FALSE(anyYellow(0, text.size()));
    // No word is selected.
    const int selStart = rtf()->SelStart();
    voice()->emitWord(voice()->lastStream(), 0, 5);
    EXPECT_EQ(rtf()->SelStart(), selStart);
    EXPECT_EQ(rtf()->SelText(), "Three; four!");
    finishUtterance();
    EXPECT_EQ(spoken().size(), 1);
    EXPECT_FALSE(readingState.IsSpeaking());

    // With the caret at the end: from the second character on.
    load(text, static_cast<int>(text.size()));
    doc->SpeakBtn_Click();
    EXPECT_EQ(lastSpoken(), PunctuationToWords(text.mid(1)));
    finishUtterance();
    // A selection with content: just that.
    load(text, 5);
    rtf()->setSelLength(4);
    doc->SpeakBtn_Click();
    EXPECT_EQ(lastSpoken(), PunctuationToWords("two."));
    EXPECT_EQ(readingState.SentenceStart(), 5);
    // The Previous button does nothing.
    doc->PriewBtn->setEnabled(true);
    doc->PriewBtn->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(readingState.PrevRequested());
    EXPECT_EQ(spoken().size(), 3);
}

// ---- speed and document state ----

// ---- inside the main window ----

// The program's own wiring: the main window is loaded (its welcome
// document active, the controller pointed at it), and the document's
// controls, menus and status bar follow the reading.
class ReadingInMainWindowTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        readingState.goIdle();
        readingState.startReading(nullptr);
        readingState.sentenceIsLast(false);
        readingState.readDocument();
        readingState.sideUtterancesEnd();
        readingState.clipboardTextEnds();
        readingState.usePunctuationMode(0);
        globals.RenewVoice = false;
        engine.voices = {ScriptedSpeechEngine::voice("a", "Alpha")};
        tray = std::make_unique<systemtray>();
        SpeechController::install(tray.get());
        readingState.requestStop();
        LoadMain();
        ASSERT_NE(Active(), nullptr);
    }

    void TearDown() override
    {
        readingState.reset();
        MainWindowFixture::TearDown();
        tray.reset();
    }

    RichTextBox* rtf() const { return Active()->rtfText; }

    void finishUtterance()
    {
        engine.last()->emitEnd(engine.last()->lastStream());
        QCoreApplication::processEvents();
    }

    // The texts handed to the engine, empty purges left out.
    QStringList spoken() const { return engine.spokenTexts(); }

    // Another application's selection, read as the Play/Pause hotkey does
    // once its copy has arrived on the clipboard.
    void readClipboard(const QString& text)
    {
        QGuiApplication::clipboard()->setText(text);
        tray->Timer1_Timer();
        ASSERT_TRUE(readingState.IsReadingClipboard());
        ASSERT_EQ(spoken().value(spoken().size() - 1), text);
    }

    // A key typed into the text as the user would.
    void key(int code, const QString& text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        for (const QEvent::Type type : {QEvent::ShortcutOverride, QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent e(type, code, modifiers, text);
            QCoreApplication::sendEvent(rtf(), &e);
        }
    }

    ScriptedSpeechEngine engine;
    std::unique_ptr<systemtray> tray;
};

TEST_F(ReadingInMainWindowTest, ButtonsFollowTheReadingToItsEnd)
{
    frmDocument* doc = Active();
    rtf()->setText("One here. Two here.");
    rtf()->setSelStart(0);
    documentTable.DocChanged[ActiveSlot()] = false;
    doc->SpeakBtn_Click();
    EXPECT_TRUE(readingState.IsSpeaking());
    EXPECT_TRUE(doc->NextBtn->isEnabled());
    EXPECT_TRUE(doc->PriewBtn->isEnabled());
    EXPECT_TRUE(doc->StopBtn->isEnabled());
    EXPECT_FALSE(main->mnuCtlSpeak->isEnabled());
    finishUtterance();
    finishUtterance();
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_TRUE(readingState.IsIdle());
    EXPECT_FALSE(doc->NextBtn->isEnabled());
    EXPECT_FALSE(doc->PriewBtn->isEnabled());
    EXPECT_FALSE(doc->StopBtn->isEnabled());
    EXPECT_TRUE(main->mnuCtlSpeak->isEnabled());
    EXPECT_FALSE(documentTable.DocChanged[ActiveSlot()]);
}

TEST_F(ReadingInMainWindowTest, LineNumberFollowsTheCaretAlsoWhileReading)
{
    frmDocument* doc = Active();
    rtf()->setText("first.\r\nsecond.\r\nthird.");
    rtf()->setSelStart(17); // on the third line
    EXPECT_EQ(main->panelText("Text"), "Line Number: 3");

    // The user's keys and the reading move the caret while reading.
    rtf()->setSelStart(8);
    doc->SpeakBtn_Click();
    key(Qt::Key_Home, {}, Qt::ControlModifier);
    EXPECT_EQ(main->panelText("Text"), "Line Number: 1");
    finishUtterance();
    ASSERT_EQ(rtf()->SelText(), "third.");
    EXPECT_EQ(main->panelText("Text"), "Line Number: 3");

    doc->StopBtn_Click();
    EXPECT_TRUE(readingState.IsIdle());
    rtf()->setSelStart(10);
    EXPECT_EQ(main->panelText("Text"), "Line Number: 2");
}

// The text being read takes no edit from the user (the real keys and right
// click are tried on the test desktop); the program's own selection and
// painting go on, and the text takes edits again once reading stops.
TEST_F(ReadingInMainWindowTest, TextRefusesTheUsersEditsWhileItIsRead)
{
    frmDocument* doc = Active();
    const QString text = "One here. Two here.";
    rtf()->setText(text);
    rtf()->setSelStart(int(text.size()));
    key(Qt::Key_Exclam, "!"); // an edit of the user's before reading
    ASSERT_EQ(rtf()->Text(), text + "!");
    rtf()->setSelStart(0);
    doc->SpeakBtn_Click();
    engine.last()->emitWord(engine.last()->lastStream(), 4, 4);
    ASSERT_EQ(rtf()->SelText(), "here");

    QGuiApplication::clipboard()->setText("PASTED");
    key(Qt::Key_Z, "Z");
    key(Qt::Key_Space, " ");
    key(Qt::Key_Backspace);
    key(Qt::Key_V, {}, Qt::ControlModifier);
    key(Qt::Key_Insert, {}, Qt::ShiftModifier);
    main->mnuEditPaste_Click();
    QInputMethodEvent typed;
    typed.setCommitString("IM");
    QCoreApplication::sendEvent(rtf(), &typed);
    QMimeData dragged;
    dragged.setText("DROPPED");
    const QPointF at(5, 5);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(rtf()->viewport(), &enter);
    QDropEvent drop(at, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(rtf()->viewport(), &drop);
    QCoreApplication::processEvents();

    EXPECT_EQ(rtf()->Text(), text + "!");
    EXPECT_EQ(rtf()->SelText(), "here") << "the spoken word stays selected";
    EXPECT_EQ(rtf()->BackColorAt(0), kSentenceYellow) << "the sentence stays painted";
    engine.last()->emitWord(engine.last()->lastStream(), 0, 3);
    EXPECT_EQ(rtf()->SelText(), "One") << "the word highlight moves on";

    doc->StopBtn_Click();
    EXPECT_EQ(rtf()->Text(), text + "!");
    rtf()->setSelStart(0);
    key(Qt::Key_Z, "Z");
    EXPECT_EQ(rtf()->Text(), "Z" + text + "!") << "the text takes edits again after Stop";
    rtf()->undo();
    rtf()->undo();
    EXPECT_EQ(rtf()->Text(), text) << "the user's edits are undone in order, the reading left no step";
}

// Show Software stops a document's reading for good: reading another
// application's text afterwards does not carry the document on. And the end
// of another application's text continues no reading, whatever state the
// document's reading was left in.
TEST_F(ReadingInMainWindowTest, ReadingAnotherApplicationsTextDoesNotCarryTheDocumentOn)
{
    frmDocument* doc = Active();
    rtf()->setText("One two. Three four.");
    rtf()->setSelStart(0);
    doc->SpeakBtn_Click();
    tray->mnuTrayShowSoftware_Click();
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_TRUE(readingState.IsIdle()) << "the document's reading has ended";
    EXPECT_FALSE(doc->NextBtn->isEnabled());
    readClipboard("Clipboard text.");
    finishUtterance();
    EXPECT_EQ(spoken(), QStringList({"One two.", "Clipboard text."}));
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_FALSE(readingState.IsReadingClipboard());

    // A reading silenced and reported idle without a stop of its own.
    rtf()->setSelStart(0);
    doc->SpeakBtn_Click();
    tray->stopspeaking();
    SetSpeakingState(false, false);
    readClipboard("More text.");
    finishUtterance();
    EXPECT_EQ(spoken().mid(2), QStringList({"One two.", "More text."}));
    EXPECT_FALSE(readingState.IsSpeaking());
}

// With the floating bar as the face, the end (or the stop) of another
// application's text clears the clipboard reading: the next document
// reading in the main window gets its word highlight and goes on.
TEST_F(ReadingInMainWindowTest, ClipboardReadingEndsWithTheFloatingBarAsTheFace)
{
    FaceSwitch::mainWindowShown(false);
    FaceSwitch::floatingBarShown(true);
    readClipboard("Clipboard text.");
    finishUtterance();
    EXPECT_FALSE(readingState.IsReadingClipboard());
    EXPECT_FALSE(readingState.IsSpeaking());
    readClipboard("Stopped text.");
    tray->stopspeaking();
    EXPECT_FALSE(readingState.IsReadingClipboard());

    tray->mnuTrayShowSoftware_Click();
    ASSERT_TRUE(readingState.IsMainShown());
    frmDocument* doc = Active();
    rtf()->setText("One two. Three four.");
    rtf()->setSelStart(0);
    doc->SpeakBtn_Click();
    engine.last()->emitWord(engine.last()->lastStream(), 4, 3);
    EXPECT_EQ(rtf()->SelText(), "two");
    finishUtterance();
    EXPECT_EQ(spoken().mid(2), QStringList({"One two.", "Three four."}));
}

TEST_F(ReadingInMainWindowTest, SpeedChangeIsShownAtOnceAndHeardFromTheNextSentence)
{
    frmDocument* doc = Active();
    rtf()->setText("One here. Two here.");
    rtf()->setSelStart(0);
    doc->SpeakBtn_Click();
    doc->cpvSlider1->setSliderDown(true);
    doc->cpvSlider1->setValue(-2);
    doc->cpvSlider1->setSliderDown(false);
    EXPECT_EQ(main->panelText(3), "Speed:-2");
    EXPECT_EQ(doc->Lblspeed->text(), "-2");
    EXPECT_EQ(ReadSetting(globals.IniFile, "ReadSet", "Speed", ""), "-2");
    finishUtterance();
    const auto rates = engine.last()->callsOf("SetRate");
    ASSERT_EQ(rates.size(), 2);
    EXPECT_NE(rates[0].number, -2);
    EXPECT_EQ(rates[1].number, -2);
}

} // namespace
