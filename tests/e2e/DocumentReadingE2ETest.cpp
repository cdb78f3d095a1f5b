// Reading a document aloud on the test desktop: the real main window and
// document window on the X display, the real espeak-ng voice playing into
// the null sink. The test watches the document's selection and highlight
// while the sound plays.
#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/ProgramWindows.h"
#include "mainwindow/DocumentTable.h"
#include "app/AppWindows.h"
#include "richtext/RichTextBox.h"
#include "mainwindow/frmDocument.h"
#include "mainwindow/frmFind.h"
#include "mainwindow/frmMain.h"
#include "platform/GlobalHotkeys.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"
#include "speech/systemtray.h"
#include "support/EventPump.h"
#include "support/IsolatedSettings.h"
#include "support/ProgramRun.h"
#include "support/SinkRecorder.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QPointer>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

struct Selection {
    int start = 0;
    int length = 0;
    QString text;
    bool operator==(const Selection& o) const { return start == o.start && length == o.length; }
};

// Sends input to the test desktop as the user would; returns when the X
// server has it.
void xdotool(const QStringList& args)
{
    QProcess::execute("xdotool", args);
}

// Watches, without taking part, the events a widget receives.
class EventCounter : public QObject {
public:
    EventCounter(QObject* watched, QEvent::Type type, Qt::MouseButton button = Qt::NoButton)
        : type_(type), button_(button)
    {
        watched->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == type_
            && (button_ == Qt::NoButton || static_cast<QMouseEvent*>(e)->button() == button_))
            ++count;
        return false;
    }

private:
    QEvent::Type type_;
    Qt::MouseButton button_;
};

// Background shown behind the character at a text position.
QColor backgroundAt(RichTextBox* rtf, int position)
{
    return RichTextBox::toQColor(rtf->BackColorAt(position));
}

class DocumentReadingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Lives as long as the program's windows, to the end of the process.
        settings = new IsolatedSettings(fileBytes(programDir() + "/Update.xml"));
        globals.AppFolder = programDir();
        globals.SettingsFile = settings->file;
        SetMsgBoxAnswerer([](const MsgBoxCall&) { return int(vbNo); });
        windows = new AppWindows;
        windows->install();
        controller = new systemtray;
        SpeechController::install(controller);
        // The greeting (a second of sound) plays at start: wait until it has
        // been heard and is over.
        SinkRecorder greeting;
        const bool recording = !SinkRecorder::sink().isEmpty() && greeting.start();
        controller->Form_Load();
        if (recording) {
            pumpUntil([&] { return greeting.loudSoFar() > SinkRecorder::kRate / 4; }, 15000);
            pumpUntil([&] { return greeting.quietFor(300); }, 15000);
        }
        ProgramWindows::get().frmMain_Show();
        ProgramWindows::get().frmMain_Maximize();
        FaceSwitch::mainWindowShown(true);
        pump(300);
    }

    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb" || SinkRecorder::sink().isEmpty())
            GTEST_SKIP() << "needs the test desktop (an X display and a test sink)";
        ASSERT_NE(frmMain::instance(), nullptr);
    }

    frmDocument* open(const QString& text)
    {
        const QString path = settings->dir.filePath(QString("doc%1.txt").arg(++opened));
        putFile(path, text.toUtf8());
        frmDocument* doc = frmMain::instance()->OpenFileInNewWindow(path);
        pump(200);
        return doc;
    }

    // The document's text has the keyboard focus of the desktop.
    static bool focusText(frmDocument* doc)
    {
        frmMain* main = frmMain::instance();
        main->raise();
        main->activateWindow();
        doc->rtfText->setFocus();
        return pumpUntil([&] { return QApplication::focusWidget() == doc->rtfText && main->isActiveWindow(); },
                         5000);
    }

    // Reads from the start and waits until the voice speaks a word.
    static bool speakUntilAWordIsSelected(frmDocument* doc)
    {
        doc->rtfText->setSelStart(0);
        doc->SpeakBtn->click();
        return pumpUntil(
            [&] {
                const QString word = doc->rtfText->SelText();
                return readingState.IsSpeaking() && !word.isEmpty() && !word.contains(' ');
            },
            10000);
    }

    // Puts the pointer on the text; false when it never got there.
    static bool pointAtText(frmDocument* doc)
    {
        const QPoint at = doc->rtfText->viewport()->mapToGlobal(QPoint(60, 12));
        xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())});
        return pumpUntil([&] { return QCursor::pos() == at; }, 5000);
    }

    // Presses one of the program's hotkeys with real keys; true once the
    // program has run its action.
    static bool pressHotkey(const QString& keys, int id)
    {
        if (!pumpUntil([&] { return GlobalHotkeys::instance()->registered().contains(id); }, 5000))
            return false;
        int handled = 0;
        QObject ctx;
        // Connected after the program's own handler, so it runs after it.
        QObject::connect(GlobalHotkeys::instance(), &GlobalHotkeys::hotKeyPressed, &ctx,
                         [&](int pressed) { handled += pressed == id ? 1 : 0; });
        xdotool({"key", "--clearmodifiers", keys});
        return pumpUntil([&] { return handled > 0; }, 10000);
    }

    static IsolatedSettings* settings;
    static AppWindows* windows;
    static systemtray* controller;
    static int opened;
};

IsolatedSettings* DocumentReadingTest::settings = nullptr;
AppWindows* DocumentReadingTest::windows = nullptr;
systemtray* DocumentReadingTest::controller = nullptr;
int DocumentReadingTest::opened = 0;

const QString kDocument = QString::fromUtf8("Hello there world.\nThe café serves crème brûlée today! Is it good?");

// Every selection a document shows while it is read, as it happens.
class SelectionLog {
public:
    explicit SelectionLog(RichTextBox* rtf)
    {
        QObject::connect(rtf, &RichTextBox::SelChange, &ctx, [this, rtf] {
            const Selection s{rtf->SelStart(), rtf->SelLength(), rtf->SelText()};
            if (seen.empty() || !(seen.back() == s))
                seen.push_back(s);
        });
    }
    // The sentences selected (they end with their delimiter) and the words
    // (the other selections), in order, each once.
    std::string sentences() const { return collect(true); }
    std::string words() const { return collect(false); }

    std::vector<Selection> seen;

private:
    std::string collect(bool sentence) const
    {
        QStringList out;
        for (const Selection& s : seen) {
            if (s.text.isEmpty())
                continue;
            const bool delimited = QStringLiteral(".!?;:").contains(s.text.back());
            if (delimited == sentence && (out.isEmpty() || out.last() != s.text))
                out << s.text;
        }
        return out.join('|').toStdString();
    }
    QObject ctx;
};

TEST_F(DocumentReadingTest, SpeakSelectsEachSentenceAndEachWordAsItIsHeard)
{
    frmDocument* doc = open(kDocument);
    ASSERT_NE(doc, nullptr);
    RichTextBox* rtf = doc->rtfText;
    rtf->setSelStart(0);

    SelectionLog log(rtf);

    SinkRecorder rec;
    ASSERT_TRUE(rec.start());
    doc->SpeakBtn->click();
    // The first sentence is selected and painted yellow.
    const QString first = rtf->SelText();
    EXPECT_EQ(first, "Hello there world.");
    EXPECT_EQ(backgroundAt(rtf, 2), QColor(255, 255, 0));
    EXPECT_EQ(backgroundAt(rtf, 40), QColor(255, 255, 255)) << "only the sentence is yellow";

    // A screenshot while the first sentence is read shows the yellow.
    int yellow = 0;
    pumpUntil(
        [&] {
            const QImage shot = rtf->grab().toImage();
            yellow = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    yellow += shot.pixelColor(x, y) == QColor(255, 255, 0) ? 1 : 0;
            return yellow > 100;
        },
        5000);
    EXPECT_GT(yellow, 100) << "no yellow highlight on the screen";

    ASSERT_TRUE(pumpUntil([] { return !readingState.IsSpeaking(); }, 30000));
    const auto audio = rec.stop();
    EXPECT_GT(SinkRecorder::loudSamples(audio), SinkRecorder::kRate) << "the document was not heard";

    // Every word was selected, in order, exactly (no character too early or
    // too late), including after the line break and in accented words; each
    // sentence before its words, from its first character.
    EXPECT_EQ(log.words(), QString::fromUtf8("Hello|there|world|The|café|serves|crème|brûlée|today|Is|it|good").toStdString());
    EXPECT_EQ(log.sentences(),
              QString::fromUtf8("Hello there world.|The café serves crème brûlée today!|Is it good?").toStdString());

    // Idle afterwards: Next and Previous disabled, no yellow left.
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_FALSE(doc->NextBtn->isEnabled());
    EXPECT_FALSE(doc->PriewBtn->isEnabled());
    for (int p : {2, 25, 50})
        EXPECT_EQ(backgroundAt(rtf, p), QColor(255, 255, 255)) << p;
}

// Numbers are one word however many the voice says for them, and a
// sentence after an empty line is selected without the line breaks.
TEST_F(DocumentReadingTest, NumbersAbbreviationsAndEmptyLinesAreSelectedAsHeard)
{
    frmDocument* doc = open("In 2007 it cost 3.50 a day.\n\nMr. Smith paid 1,000,000.");
    ASSERT_NE(doc, nullptr);
    doc->rtfText->setSelStart(0);
    SelectionLog log(doc->rtfText);
    doc->SpeakBtn->click();
    ASSERT_TRUE(pumpUntil([] { return !readingState.IsSpeaking(); }, 20000));
    EXPECT_EQ(log.words(), "In|2007|it|cost|3.50|a|day|Mr|Smith|paid|1,000,000");
    EXPECT_EQ(log.sentences(), "In 2007 it cost 3.50 a day.|Mr.|Smith paid 1,000,000.");
}

TEST_F(DocumentReadingTest, PauseHoldsTheReadingAndStopClearsTheHighlight)
{
    frmDocument* doc = open("One sentence is here. Another sentence follows it. And a third one.");
    ASSERT_NE(doc, nullptr);
    doc->rtfText->setSelStart(0);
    ASSERT_TRUE(speakUntilAWordIsSelected(doc));
    doc->PauseBtn->click();
    EXPECT_TRUE(readingState.IsPausing());
    const Selection atPause{doc->rtfText->SelStart(), doc->rtfText->SelLength(), {}};
    SinkRecorder quiet;
    ASSERT_TRUE(quiet.start());
    pump(1200);
    EXPECT_LT(SinkRecorder::loudSamples(quiet.stop()), 200) << "sound while paused";
    EXPECT_TRUE((Selection{doc->rtfText->SelStart(), doc->rtfText->SelLength(), {}} == atPause))
        << "the selection moved while paused";

    doc->ResumeBtn->click();
    EXPECT_FALSE(readingState.IsPausing());
    ASSERT_TRUE(pumpUntil([&] { return doc->rtfText->SelText().startsWith("Another"); }, 8000))
        << "reading did not go on after resume";
    doc->StopBtn->click();
    EXPECT_TRUE(pumpUntil([] { return !readingState.IsSpeaking(); }, 10000));
    for (int p : {3, 30, 60})
        EXPECT_EQ(backgroundAt(doc->rtfText, p), QColor(255, 255, 255)) << p;
    SinkRecorder after;
    ASSERT_TRUE(after.start());
    pump(800);
    EXPECT_LT(SinkRecorder::loudSamples(after.stop()), 200) << "sound after stop";
}

const QString kLongSentences = "The reader keeps on talking for a good while in this first long sentence, so "
                               "that there is time to type into it and to click on it while it is heard. "
                               "A second sentence follows it.";

// Keys, pastes, a middle click and Find's Replace All while the document is
// read change nothing in it; the spoken word stays selected and the
// sentence painted. The Stop hotkey ends the reading as the Stop button
// does: the text takes typing again, and the Play/Pause hotkey reads a
// selection instead of pausing a voice that is gone.
TEST_F(DocumentReadingTest, NothingChangesTheTextWhileItIsReadUntilTheStopHotkey)
{
    frmDocument* doc = open(kLongSentences);
    ASSERT_NE(doc, nullptr);
    RichTextBox* rtf = doc->rtfText;
    ASSERT_TRUE(focusText(doc)) << "the document never got the keyboard";
    QGuiApplication::clipboard()->setText("PASTED");
    QGuiApplication::clipboard()->setText("SELECTED", QClipboard::Selection);
    ASSERT_TRUE(speakUntilAWordIsSelected(doc));

    EventCounter keys(rtf, QEvent::KeyPress);
    EventCounter middle(rtf->viewport(), QEvent::MouseButtonRelease, Qt::MiddleButton);
    xdotool({"type", "--delay", "30", "ZZZ"});
    xdotool({"key", "--delay", "30", "space", "BackSpace", "Delete", "Return", "ctrl+v", "shift+Insert"});
    ASSERT_TRUE(pointAtText(doc));
    xdotool({"click", "2"});
    // The click went to the desktop after the keys: once it is here, so are
    // they.
    ASSERT_TRUE(pumpUntil([&] { return middle.count >= 1; }, 10000)) << "the middle click never arrived";
    EXPECT_GE(keys.count, 9);
    frmFind* find = frmFind::ShowFind(frmMain::instance());
    find->txtFind->setText("sentence");
    int replaceAll = 0;
    QObject::connect(find->cmdReplaceAll, &QPushButton::clicked, find, [&] { ++replaceAll; });
    ASSERT_TRUE(pumpUntil([&] { return find->isActiveWindow(); }, 5000));
    xdotool({"key", "alt+a"});
    ASSERT_TRUE(pumpUntil([&] { return replaceAll > 0; }, 5000)) << "Replace All was not pressed";
    find->close();

    EXPECT_TRUE(readingState.IsSpeaking());
    EXPECT_EQ(rtf->Text(), kLongSentences);
    EXPECT_EQ(backgroundAt(rtf, 5), QColor(255, 255, 0)) << "the sentence is still painted";
    ASSERT_TRUE(pumpUntil(
        [&] {
            const QString word = rtf->SelText();
            return !word.isEmpty() && !word.contains(' ');
        },
        5000))
        << "the spoken word is selected";

    ASSERT_TRUE(pressHotkey("ctrl+alt+s", 11118));
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_FALSE(doc->SpeakBtn->isHidden());
    EXPECT_TRUE(doc->tbToolBar->isEnabled());
    EXPECT_EQ(rtf->Text(), kLongSentences);
    ASSERT_TRUE(focusText(doc));
    rtf->setSelStart(0);
    xdotool({"type", "Q"});
    EXPECT_TRUE(pumpUntil([&] { return rtf->Text() == "Q" + kLongSentences; }, 5000))
        << "the text takes typing again after Stop: " << rtf->Text().left(20).toStdString();
    QGuiApplication::clipboard()->setText("Read this.", QClipboard::Selection);
    ASSERT_TRUE(pressHotkey("ctrl+alt+r", 11112));
    EXPECT_TRUE(readingState.IsReadingClipboard());
    EXPECT_EQ(controller->selectionReader().ClipText, "Read this.");
    ASSERT_TRUE(pressHotkey("ctrl+alt+s", 11118));
    EXPECT_FALSE(readingState.IsSpeaking());
}

// A reading goes on in the document it started in when another document
// window is made the active one: the other is left alone and stays active,
// and the one read shows the idle state when its reading ends.
TEST_F(DocumentReadingTest, TheReadingStaysInItsDocumentWhenAnotherIsActivated)
{
    frmDocument* other = open("Another document waits here. It is not read.");
    frmDocument* doc = open(kLongSentences);
    ASSERT_TRUE(other && doc);
    SelectionLog otherLog(other->rtfText);
    SelectionLog log(doc->rtfText);
    ASSERT_TRUE(focusText(doc));
    ASSERT_TRUE(speakUntilAWordIsSelected(doc));
    xdotool({"key", "ctrl+Tab"});
    ASSERT_TRUE(pumpUntil([&] { return frmMain::instance()->activeDocument() == other; }, 5000));
    ASSERT_TRUE(pumpUntil([] { return !readingState.IsSpeaking(); }, 60000));

    EXPECT_EQ(log.sentences(), (kLongSentences.section(". ", 0, 0) + ".|A second sentence follows it.").toStdString());
    EXPECT_TRUE(otherLog.seen.empty()) << otherLog.sentences();
    EXPECT_EQ(frmMain::instance()->activeDocument(), other);
    EXPECT_FALSE(doc->SpeakBtn->isHidden());
    EXPECT_TRUE(other->tbToolBar->isEnabled());
}

// A real right click (and the keyboard's menu key) on the text shows the
// program's pop-up menu, not the control's own; while reading, nothing.
TEST_F(DocumentReadingTest, RightClickShowsTheProgramsMenuOnlyWhenNotReading)
{
    frmDocument* doc = open(kLongSentences);
    ASSERT_NE(doc, nullptr);
    frmMain* main = frmMain::instance();
    ASSERT_TRUE(focusText(doc));
    ASSERT_TRUE(pointAtText(doc));
    xdotool({"click", "3"});
    ASSERT_TRUE(pumpUntil([] { return QApplication::activePopupWidget() != nullptr; }, 5000));
    EXPECT_EQ(QApplication::activePopupWidget(), main->mnuPopUp);
    EXPECT_TRUE(main->mnuPopUp->isVisible());
    main->mnuPopUp->hide();
    ASSERT_TRUE(pumpUntil([] { return QApplication::activePopupWidget() == nullptr; }, 5000));
    ASSERT_TRUE(focusText(doc));
    xdotool({"key", "Menu"});
    ASSERT_TRUE(pumpUntil([] { return QApplication::activePopupWidget() != nullptr; }, 5000));
    EXPECT_EQ(QApplication::activePopupWidget(), main->mnuPopUp);
    main->mnuPopUp->hide();
    ASSERT_TRUE(pumpUntil([] { return QApplication::activePopupWidget() == nullptr; }, 5000));

    ASSERT_TRUE(focusText(doc));
    ASSERT_TRUE(speakUntilAWordIsSelected(doc));
    EventCounter released(doc->rtfText->viewport(), QEvent::MouseButtonRelease, Qt::RightButton);
    EventCounter menuKey(doc->rtfText, QEvent::KeyRelease);
    xdotool({"click", "3"});
    xdotool({"key", "Menu"});
    // Whatever the click and the key bring up is up once their releases
    // have arrived.
    ASSERT_TRUE(pumpUntil([&] { return released.count >= 1 && menuKey.count >= 1; }, 5000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(readingState.IsSpeaking());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "no menu while reading";
    EXPECT_FALSE(main->mnuPopUp->isVisible());
    doc->StopBtn->click();
    EXPECT_TRUE(pumpUntil([] { return !readingState.IsSpeaking(); }, 10000));
}

// Runs last: it closes the main window, and shows a new one for whatever
// runs after it.
TEST_F(DocumentReadingTest, ClosingTheMainWindowWhileReadingDeepInALongDocumentEndsPromptly)
{
    // About 10 MB of short lines, as a long text file has them.
    QString text;
    text.reserve(10'100'000);
    for (int i = 0; text.size() < 10'000'000; ++i)
        text += QString("Line %1 of a long document is read aloud here. It goes on.\n").arg(i);
    frmDocument* doc = open(text);
    ASSERT_NE(doc, nullptr);
    RichTextBox* rtf = doc->rtfText;
    const int middle = int(rtf->Text().indexOf("Line ", rtf->TextLength() / 2));
    rtf->setSelStart(middle);
    doc->SpeakBtn->click();
    ASSERT_TRUE(pumpUntil([&] { return readingState.IsSpeaking() && rtf->SelStart() >= middle; }, 10000));
    doc->NextBtn->click();
    ASSERT_TRUE(pumpUntil([&] { return rtf->SelStart() > middle + 10; }, 10000)) << "Next did not go on";

    // A close that never ends would hold the test for good: a guard ends the
    // run with a message instead.
    std::atomic<bool> closed{false};
    std::thread guard([&closed] {
        for (int i = 0; i < 1200 && !closed; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!closed) {
            std::fprintf(stderr, "closing the main window did not end within 120 s\n");
            std::_Exit(1);
        }
    });
    QPointer<frmMain> main = frmMain::instance();
    QElapsedTimer t;
    t.start();
    QTimer::singleShot(0, main, [main] { main->close(); }); // as the window's close button does
    const bool gone = pumpUntil([&] { return !main || !main->isVisible(); }, 60000);
    closed = true;
    guard.join();
    EXPECT_TRUE(gone) << "the main window is still open";
    std::printf("[ closed the main window in %lld ms ]\n", static_cast<long long>(t.elapsed()));
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_EQ(frmMain::instance(), nullptr);

    ProgramWindows::get().frmMain_Show();
    ProgramWindows::get().frmMain_Maximize();
    FaceSwitch::mainWindowShown(true);
    pump(300);
}

} // namespace
