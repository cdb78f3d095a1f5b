// Reading a document aloud on the test desktop: the real main window and
// document window on the X display, the real espeak-ng voice playing into
// the null sink. The test watches the document's selection and highlight
// while the sound plays.
#include "core/Globals.h"
#include "core/MessageBox.h"
#include "mainwindow/DocumentTable.h"
#include "mainwindow/ProgramWindowsImpl.h"
#include "mainwindow/RichTextBox.h"
#include "mainwindow/frmDocument.h"
#include "mainwindow/frmMain.h"
#include "speech/ProgramWindows.h"
#include "speech/ReadingState.h"
#include "speech/systemtray.h"
#include "support/EventPump.h"
#include "support/ProgramRun.h"
#include "support/SinkRecorder.h"

#include <QPushButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QPointer>
#include <QTimer>
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

// Background shown behind the character at a text position.
QColor backgroundAt(RichTextBox* rtf, int position)
{
    return RichTextBox::toQColor(rtf->BackColorAt(position));
}

class DocumentReadingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        settingsDir = new QTemporaryDir;
        AppFolder = programDir();
        SettingsFile = IniFile = settingsDir->path() + "/Update.xml";
        putFile(IniFile, fileBytes(programDir() + "/Update.xml"));
        SetMsgBoxAnswerer([](const MsgBoxCall&) { return int(vbNo); });
        windows = new ProgramWindowsImpl;
        ProgramWindows::install(windows);
        controller = new systemtray;
        controller->Form_Load();
        pump(2500); // the greeting
        ProgramWindows::get().frmMain_Show();
        ProgramWindows::get().frmMain_Maximize();
        IsMainShown = true;
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
        const QString path = settingsDir->path() + QString("/doc%1.txt").arg(++opened);
        putFile(path, text.toUtf8());
        frmDocument* doc = frmMain::instance()->OpenFileInNewWindow(path);
        pump(200);
        return doc;
    }

    static QTemporaryDir* settingsDir;
    static ProgramWindowsImpl* windows;
    static systemtray* controller;
    static int opened;
};

QTemporaryDir* DocumentReadingTest::settingsDir = nullptr;
ProgramWindowsImpl* DocumentReadingTest::windows = nullptr;
systemtray* DocumentReadingTest::controller = nullptr;
int DocumentReadingTest::opened = 0;

const QString kDocument = QString::fromUtf8("Hello there world.\nThe café serves crème brûlée today! Is it good?");

TEST_F(DocumentReadingTest, SpeakSelectsEachSentenceAndEachWordAsItIsHeard)
{
    frmDocument* doc = open(kDocument);
    ASSERT_NE(doc, nullptr);
    RichTextBox* rtf = doc->rtfText;
    rtf->setSelStart(0);

    // Every selection the document shows, as it happens.
    std::vector<Selection> seen;
    QObject::connect(rtf, &RichTextBox::SelChange, rtf, [&] {
        const Selection s{rtf->SelStart(), rtf->SelLength(), rtf->SelText()};
        if (seen.empty() || !(seen.back() == s))
            seen.push_back(s);
    });

    SinkRecorder rec;
    ASSERT_TRUE(rec.start());
    doc->SpeakBtn->click();
    // The first sentence is selected and painted yellow.
    const QString first = rtf->SelText();
    EXPECT_EQ(first, "Hello there world.");
    EXPECT_EQ(backgroundAt(rtf, 2), QColor(255, 255, 0));
    EXPECT_EQ(backgroundAt(rtf, 40), QColor(255, 255, 255)) << "only the sentence is yellow";

    // A screenshot while the first sentence is read shows the yellow.
    pump(300);
    const QImage shot = rtf->grab().toImage();
    int yellow = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            yellow += shot.pixelColor(x, y) == QColor(255, 255, 0) ? 1 : 0;
    EXPECT_GT(yellow, 100) << "no yellow highlight on the screen";

    ASSERT_TRUE(pumpUntil([] { return !IsSpeaking; }, 20000));
    pump(200);
    const auto audio = rec.stop();
    EXPECT_GT(SinkRecorder::loudSamples(audio), SinkRecorder::kRate) << "the document was not heard";

    // Every word was selected, in order, exactly (no character too early or
    // too late), including after the line break and in accented words.
    QStringList words;
    for (const Selection& s : seen) {
        if (s.length > 0 && !s.text.contains(' ') && !s.text.isEmpty())
            words << s.text;
    }
    words.removeDuplicates();
    EXPECT_EQ(words.join('|').toStdString(), QStringList({"Hello", "there", "world", "The", QString::fromUtf8("café"), "serves",
                                  QString::fromUtf8("crème"), QString::fromUtf8("brûlée"), "today", "Is", "it",
                                  "good"}).join('|').toStdString());
    // Each sentence was selected before its words.
    QStringList sentences;
    for (const Selection& s : seen) {
        if (s.text.contains(' '))
            sentences << s.text.trimmed();
    }
    sentences.removeDuplicates();
    EXPECT_EQ(sentences.join('|').toStdString(), QStringList({"Hello there world.",
                                      QString::fromUtf8("The café serves crème brûlée today!"), "Is it good?"})
                                                     .join('|')
                                                     .toStdString());

    // Idle afterwards: Next and Previous disabled, no yellow left.
    EXPECT_FALSE(IsSpeaking);
    EXPECT_FALSE(doc->NextBtn->isEnabled());
    EXPECT_FALSE(doc->PriewBtn->isEnabled());
    for (int p : {2, 25, 50})
        EXPECT_EQ(backgroundAt(rtf, p), QColor(255, 255, 255)) << p;
}

TEST_F(DocumentReadingTest, PauseHoldsTheReadingAndStopClearsTheHighlight)
{
    frmDocument* doc = open("One sentence is here. Another sentence follows it. And a third one.");
    ASSERT_NE(doc, nullptr);
    doc->rtfText->setSelStart(0);
    doc->SpeakBtn->click();
    pump(600);
    doc->PauseBtn->click();
    EXPECT_TRUE(IsPausing);
    const Selection atPause{doc->rtfText->SelStart(), doc->rtfText->SelLength(), {}};
    SinkRecorder quiet;
    ASSERT_TRUE(quiet.start());
    pump(1200);
    EXPECT_LT(SinkRecorder::loudSamples(quiet.stop()), 200) << "sound while paused";
    EXPECT_TRUE((Selection{doc->rtfText->SelStart(), doc->rtfText->SelLength(), {}} == atPause))
        << "the selection moved while paused";

    doc->ResumeBtn->click();
    EXPECT_FALSE(IsPausing);
    ASSERT_TRUE(pumpUntil([&] { return doc->rtfText->SelText().startsWith("Another"); }, 8000))
        << "reading did not go on after resume";
    doc->StopBtn->click();
    pump(300);
    EXPECT_FALSE(IsSpeaking);
    for (int p : {3, 30, 60})
        EXPECT_EQ(backgroundAt(doc->rtfText, p), QColor(255, 255, 255)) << p;
    SinkRecorder after;
    ASSERT_TRUE(after.start());
    pump(800);
    EXPECT_LT(SinkRecorder::loudSamples(after.stop()), 200) << "sound after stop";
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
    ASSERT_TRUE(pumpUntil([&] { return IsSpeaking && rtf->SelStart() >= middle; }, 10000));
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
    EXPECT_FALSE(IsSpeaking);
    EXPECT_EQ(frmMain::instance(), nullptr);

    ProgramWindows::get().frmMain_Show();
    ProgramWindows::get().frmMain_Maximize();
    IsMainShown = true;
    pump(300);
}

} // namespace

int main(int argc, char** argv)
{
    // The real display when there is one.
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
