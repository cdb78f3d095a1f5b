// The main window, its document windows, the find window and the floating
// bar as a user meets them on the test desktop: what the screen shows, where
// windows open, and where typed keys and tool tips go. Keys and pointer
// moves are real X events sent with xdotool.
#include "app/AppWindows.h"
#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/SettingsStore.h"
#include "floatingbar/frmDockDemo.h"
#include "floatingbar/frmSet.h"
#include "mainwindow/CommonDialog.h"
#include "mainwindow/DocumentTable.h"
#include "richtext/RichTextBox.h"
#include "mainwindow/frmDocument.h"
#include "mainwindow/frmFind.h"
#include "mainwindow/frmMain.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"
#include "speech/systemtray.h"
#include "support/EventPump.h"
#include "support/IsolatedSettings.h"
#include "support/ProgramRun.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

void xdotool(const QStringList& args)
{
    QProcess::execute("xdotool", args);
}

void pointAt(const QPoint& global)
{
    xdotool({"mousemove", QString::number(global.x()), QString::number(global.y())});
}

QPoint centreOf(const QWidget* w)
{
    return w->mapToGlobal(w->rect().center());
}

// What the screen shows at a point of a widget.
QColor shownAt(const QImage& screen, const QWidget* w, const QPoint& at)
{
    return screen.pixelColor(w->mapToGlobal(at));
}

const QColor kFrameLight(0xdb, 0xea, 0xfe);

class DesktopLayoutTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Lives as long as the program's windows, to the end of the process.
        settings = new IsolatedSettings(fileBytes(programDir() + "/Update.xml"));
        globals.AppFolder = programDir();
        globals.MyDocsFolder = settings->dir.path();
        globals.SettingsFile = settings->file;
        SetMsgBoxAnswerer([](const MsgBoxCall&) { return int(vbNo); });
        windows = new AppWindows;
        windows->install();
        controller = new systemtray;
        SpeechController::install(controller);
        controller->Form_Load();
        ProgramWindows::get().frmMain_Show();
        ProgramWindows::get().frmMain_Maximize();
        FaceSwitch::mainWindowShown(true);
    }

    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb")
            GTEST_SKIP() << "needs the test desktop (an X display)";
        main = frmMain::instance();
        ASSERT_NE(main, nullptr);
        const QRect screen = main->screen()->availableGeometry();
        ASSERT_TRUE(pumpUntil([&] { return main->isMaximized() && main->width() > screen.width() * 9 / 10; }, 10000))
            << "the main window was not maximised";
        ASSERT_TRUE(activate(main));
    }

    // Brings a window to the front with the keyboard focus.
    static bool activate(QWidget* window)
    {
        window->raise();
        window->activateWindow();
        return pumpUntil([&] { return QApplication::activeWindow() == window; }, 5000);
    }

    static QMdiSubWindow* frameOf(frmDocument* d) { return qobject_cast<QMdiSubWindow*>(d->parentWidget()); }

    // Closes the documents the test made, without saving them.
    void closeAllBut(frmDocument* keep)
    {
        for (QMdiSubWindow* sub : main->mdiArea->subWindowList())
            if (sub->widget() != keep)
                sub->close();
        pump(50);
    }

    frmMain* main = nullptr;
    static IsolatedSettings* settings;
    static AppWindows* windows;
    static systemtray* controller;
};

IsolatedSettings* DesktopLayoutTest::settings = nullptr;
AppWindows* DesktopLayoutTest::windows = nullptr;
systemtray* DesktopLayoutTest::controller = nullptr;

TEST_F(DesktopLayoutTest, MaximisedDocumentShowsWholeCaptionsAndItsFrameToTheEdges)
{
    frmDocument* doc = main->activeDocument();
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(pumpUntil([&] { return frameOf(doc)->isMaximized() && doc->width() > 1000; }, 5000));
    pump(100);

    // Each caption has the height of a line of the user's font under its
    // icon, inside the toolbar, above the strip below it.
    QToolBar* bar = doc->tbToolBar;
    for (QAction* a : bar->actions()) {
        auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a));
        if (a->isSeparator() || !b)
            continue;
        SCOPED_TRACE(a->text().toStdString());
        EXPECT_TRUE(b->isVisible());
        EXPECT_GE(b->height() - b->iconSize().height(), b->fontMetrics().height());
        EXPECT_LE(b->geometry().bottom(), bar->height() - 1);
    }
    EXPECT_LE(bar->geometry().bottom(), doc->ImgMidtop->geometry().top());

    // The screen: the light strip behind the voice controls reaches the
    // right-hand corner piece, and the left strip reaches the bottom band.
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    const QRect top = doc->ImgMidtop->geometry();
    EXPECT_EQ(shownAt(screen, doc, {doc->ImgRightTop->x() - 10, top.center().y()}), kFrameLight);
    EXPECT_EQ(shownAt(screen, doc, {doc->width() * 3 / 4, top.top() + 3}), kFrameLight);
    const QRect left = doc->ImgLeftMId->geometry();
    EXPECT_EQ(shownAt(screen, doc, {left.center().x(), doc->ImgLeftBottom->y() - 5}), kFrameLight);
    EXPECT_EQ(shownAt(screen, doc, {doc->width() - 5, doc->ImgRightBtm->y() - 5}), kFrameLight);
}

// With typing echo turned on in the settings, at the common screen sizes:
// every control of the maximised document shows whole, none over another.
TEST_F(DesktopLayoutTest, EveryControlWholeAndApartWithTypingEchoOn)
{
    WriteSetting(globals.IniFile, "ReadSet", "KEYREAD", "1");
    frmSet().Cmdok_Click();
    frmDocument* doc = main->activeDocument();
    ASSERT_TRUE(doc && doc->PicEchoOptions->isVisible());
    QComboBox voices; // as wide as the longest voice name
    voices.setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (int i = 0; i < doc->VoiceCB->count(); ++i)
        voices.addItem(doc->VoiceCB->itemText(i));

    main->showNormal();
    ASSERT_TRUE(pumpUntil([&] { return !main->isMaximized(); }, 5000));
    // The room of a maximised window on such a screen, above the panel.
    const QSize frame = main->frameGeometry().size() - main->size() + QSize(0, 24);
    for (const QSize screen : {QSize(1280, 800), QSize(1920, 1080)}) {
        SCOPED_TRACE(screen.width());
        main->setGeometry(QRect(QPoint(), screen - frame));
        ASSERT_TRUE(pumpUntil(
            [&] { return main->size() == screen - frame && frameOf(doc)->size() == main->mdiArea->viewport()->size(); },
            5000));
        // The controls as the user sees them: the echo boxes, not their panel.
        QList<QWidget*> controls = doc->PicEchoOptions->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        controls += doc->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        controls.removeIf([&](QWidget* w) {
            return !w->isVisible() || w == doc->PicEchoOptions || w->objectName() == "frameLayer";
        });
        const auto placeOf = [&](QWidget* w) { return QRect(w->mapTo(doc, QPoint()), w->size()); };
        for (int i = 0; i < controls.size(); ++i) {
            QWidget* w = controls[i];
            SCOPED_TRACE(w->objectName().toStdString());
            EXPECT_TRUE(doc->rect().contains(placeOf(w)));
            if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w) || w == doc->VoiceCB) {
                const QSize needed = w == doc->VoiceCB ? voices.sizeHint() : w->sizeHint();
                EXPECT_GE(w->width(), needed.width());
                EXPECT_GE(w->height(), needed.height());
            }
            for (QWidget* other : controls.mid(i + 1))
                EXPECT_FALSE(placeOf(w).intersects(placeOf(other))) << "under " << other->objectName().toStdString();
        }
    }
    main->showMaximized();
}

TEST_F(DesktopLayoutTest, RestoringTheWelcomeDocumentGivesItANormalSize)
{
    // The welcome document was made before the main window had its size.
    QMdiSubWindow* welcome = main->mdiArea->subWindowList().first();
    main->mdiArea->setActiveSubWindow(welcome);
    ASSERT_TRUE(pumpUntil([&] { return welcome->isMaximized(); }, 5000));
    welcome->showNormal();
    pump(100);
    const QSize area = main->mdiArea->viewport()->size();
    EXPECT_GE(welcome->width(), area.width() * 3 / 4);
    EXPECT_GE(welcome->height(), area.height() * 3 / 4);
    EXPECT_TRUE(main->mdiArea->viewport()->rect().contains(welcome->geometry()));
    welcome->showMaximized();
    pump(50);
}

TEST_F(DesktopLayoutTest, KeysTypedAfterNewOrOpenGoIntoTheNewDocument)
{
    frmDocument* before = main->activeDocument();
    const QString reader = ReadSetting(globals.IniFile, "ReadSet", "Reader", "0");

    xdotool({"key", "--clearmodifiers", "ctrl+n"});
    frmDocument* fresh = nullptr;
    ASSERT_TRUE(pumpUntil(
        [&] {
            fresh = main->activeDocument();
            return fresh && fresh != before;
        },
        5000))
        << "Ctrl+N made no document";
    xdotool({"type", "--delay", "20", "unsaved words"});
    EXPECT_TRUE(pumpUntil([&] { return fresh->rtfText->Text() == "unsaved words"; }, 5000))
        << "the new document holds \"" << fresh->rtfText->Text().toStdString() << "\"";
    EXPECT_EQ(ReadSetting(globals.IniFile, "ReadSet", "Reader", "0"), reader) << "the keys changed the voice";

    const QString file = settings->dir.filePath("opened.txt");
    ASSERT_TRUE(putFile(file, "opened text"));
    SetCommonDialogAnswerer([&](CommonDialog& d, CommonDialog::Kind) { d.FileName = file; });
    xdotool({"key", "--clearmodifiers", "ctrl+o"});
    frmDocument* opened = nullptr;
    ASSERT_TRUE(pumpUntil(
        [&] {
            opened = main->activeDocument();
            return opened && opened->windowTitle() == file;
        },
        5000))
        << "Ctrl+O opened nothing";
    SetCommonDialogAnswerer({});
    xdotool({"type", "--delay", "20", "New "});
    EXPECT_TRUE(pumpUntil([&] { return opened->rtfText->Text() == "New opened text"; }, 5000))
        << "the opened document holds \"" << opened->rtfText->Text().toStdString() << "\"";
    EXPECT_EQ(ReadSetting(globals.IniFile, "ReadSet", "Reader", "0"), reader);
    closeAllBut(before);
}

TEST_F(DesktopLayoutTest, FindOpensOverTheMiddleOfTheMainWindow)
{
    main->mnuEditFind_Click();
    frmFind* find = frmFind::instance();
    ASSERT_NE(find, nullptr);
    const QPoint middle = main->frameGeometry().center();
    EXPECT_TRUE(pumpUntil(
        [&] {
            const QPoint at = find->frameGeometry().center();
            return find->isVisible() && std::abs(at.x() - middle.x()) <= 30 && std::abs(at.y() - middle.y()) <= 30;
        },
        5000))
        << "the find window is at " << find->x() << "," << find->y() << ", the main window's middle at " << middle.x()
        << "," << middle.y();
    find->close();
    pump(50);
}

TEST_F(DesktopLayoutTest, VoiceListOpensAsTwentyRowsWithAScrollBar)
{
    frmDocument* doc = main->activeDocument();
    ASSERT_NE(doc, nullptr);
    QComboBox* voices = doc->VoiceCB;
    ASSERT_GT(voices->count(), 20) << "the engine lists few voices";
    QStringList shown;
    for (int i = 0; i < voices->count(); ++i)
        shown << voices->itemText(i);
    // Alphabetical after the user's own language: Welsh no longer follows
    // Chuvash (the engine's order of language codes).
    EXPECT_LT(shown.indexOf("Chuvash"), shown.indexOf("Czech"));
    EXPECT_LT(shown.indexOf("Vietnamese (Northern)"), shown.indexOf("Welsh"));
    EXPECT_LT(shown.indexOf("Afrikaans"), shown.indexOf("Chuvash"));

    voices->showPopup();
    QAbstractItemView* list = voices->view();
    ASSERT_TRUE(pumpUntil([&] { return list->isVisible(); }, 5000));
    const int row = list->sizeHintForRow(0);
    EXPECT_LE(list->viewport()->height(), 21 * row);
    EXPECT_GE(list->viewport()->height(), 15 * row);
    EXPECT_TRUE(list->verticalScrollBar()->isVisible());
    voices->hidePopup();
    pump(50);
}

TEST_F(DesktopLayoutTest, FloatingBarToolTipsShowWhileAnotherWindowIsActive)
{
    windows->frmDockDemo_Show();
    frmDockDemo* bar = nullptr;
    ASSERT_TRUE(pumpUntil(
        [&] {
            bar = frmDockDemo::loadedBar();
            return bar && bar->isVisible() && bar->windowHandle() && bar->windowHandle()->isExposed();
        },
        5000));
    ASSERT_TRUE(activate(main)) << "the main window did not come to the front";
    auto* settings = bar->findChild<QPushButton*>("CmdSet");
    ASSERT_NE(settings, nullptr);
    pointAt(centreOf(settings) + QPoint(1, 1));
    pointAt(centreOf(settings));
    EXPECT_TRUE(pumpUntil([&] { return QToolTip::isVisible() && QToolTip::text() == "Settings"; }, 5000))
        << "no tool tip over the bar's Settings button";
    EXPECT_NE(QApplication::activeWindow(), bar);
    pointAt(main->mapToGlobal(main->rect().center()));
    windows->frmDockDemo_Unload();
    pump(50);
}

} // namespace
