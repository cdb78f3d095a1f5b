// The main window frame: load, size, menu texts, menu state, close and
// unload; the splash and the About box.
#include "MainWindowFixture.h"

#include "core/FormStrings.h"
#include "core/ProgramWindows.h"
#include "core/SettingsStore.h"
#include "mainwindow/Aboutus.h"
#include "app/AppWindows.h"
#include "support/RecordingWindows.h"
#include "mainwindow/frmSplash.h"
#include "speech/systemtray.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolBar>

#include <cmath>

namespace {

class MainWindowTest : public MainWindowFixture {};

// Installs a window set for one test and puts the do-nothing set back.
struct InstalledWindows {
    explicit InstalledWindows(ProgramWindows* w) { ProgramWindows::install(w); }
    ~InstalledWindows() { ProgramWindows::install(nullptr); }
};

TEST_F(MainWindowTest, LoadOpensTheWelcomeDocumentAndRegistersTheFace)
{
    auto* splash = new frmSplash;
    splash->Form_Load();
    LoadMain();
    QCoreApplication::processEvents();
    EXPECT_EQ(frmSplash::instance(), nullptr) << "the main window's load unloads the splash";

    EXPECT_TRUE(readingState.IsMainShown());
    EXPECT_EQ(ReadingFaces::get().mainWindow(), static_cast<MainWindowFace*>(main));
    EXPECT_EQ(frmMain::instance(), main);
    ASSERT_NE(Active(), nullptr);
    const QString welcome = globals.AppFolder + "/first.txt";
    EXPECT_EQ(Active()->windowTitle(), welcome);
    EXPECT_EQ(documentTable.DocCount, 1);
    EXPECT_FALSE(documentTable.DocChanged[ActiveSlot()]);
    EXPECT_EQ(documentTable.DocSavedText[ActiveSlot()], TextFingerprint(ActiveText()));
    // The shipped welcome text explains the three reading buttons.
    for (const char* word : {"Speak", "Pause", "Stop"})
        EXPECT_TRUE(ActiveText().contains(word)) << word;
    // The controller reaches the same document.
    EXPECT_EQ(systemtray::activeDocument(), static_cast<ActiveDocument*>(Active()));
}

TEST_F(MainWindowTest, MissingWelcomeFileLeavesAnEmptyWindowWithoutAMessage)
{
    QTemporaryDir empty;
    globals.AppFolder = empty.path();
    LoadMain();
    ASSERT_NE(Active(), nullptr);
    EXPECT_EQ(Active()->windowTitle(), empty.path() + "/first.txt");
    EXPECT_EQ(ActiveText(), "");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, VisibleMenuEntriesShowTextsNotIds)
{
    LoadMain();
    QStringList leftovers;
    const QRegularExpression id("^\\d+$");
    for (QAction* top : main->menuBar()->actions()) {
        if (!top->isVisible() || !top->menu())
            continue;
        if (id.match(top->text()).hasMatch())
            leftovers << top->text();
        for (QAction* a : top->menu()->actions())
            if (a->isVisible() && !a->isSeparator() && id.match(a->text()).hasMatch())
                leftovers << a->text();
    }
    for (QAction* a : main->mnuPopUp->actions())
        if (!a->isSeparator() && id.match(a->text()).hasMatch())
            leftovers << a->text();
    EXPECT_TRUE(leftovers.isEmpty()) << leftovers.join(", ").toStdString();
    EXPECT_EQ(main->windowTitle(), "Lectova");
    EXPECT_FALSE(main->Popmenu->menuAction()->isVisible());
}

TEST_F(MainWindowTest, AutoReadClipboardFollowsTheStoredSetting)
{
    struct Case {
        const char* stored; // nullptr: no key
        bool checked;
    };
    for (const Case c : {Case{nullptr, false}, Case{"0", false}, Case{"1", true}, Case{"7", true},
                         Case{"abc", false}}) {
        ASSERT_TRUE(PutFile(globals.IniFile, "<Settings><ReadSet></ReadSet><FrmSet></FrmSet></Settings>"));
        if (c.stored)
            WriteSetting(globals.IniFile, "ReadSet", "AutoClipboard", c.stored);
        ResetDocumentTable();
        LoadMain();
        EXPECT_EQ(main->mnuCtlclipboard->isChecked(), c.checked) << (c.stored ? c.stored : "(missing)");
        delete main;
        main = nullptr;
    }
}

TEST_F(MainWindowTest, WindowIsKeptAtItsMinimumSize)
{
    MakeMain();
    const double tx = TwipsPerPixelX(main);
    const double ty = TwipsPerPixelY(main);
    main->resize(static_cast<int>(12000 / tx), static_cast<int>(9000 / ty));
    main->MDIForm_Resize();
    EXPECT_GE(main->width() * tx, 13000 - tx);
    EXPECT_LT(main->width() * tx, 13000 + tx);
    EXPECT_NEAR(main->height() * ty, 9000, ty);
    main->resize(static_cast<int>(20000 / tx), static_cast<int>(7000 / ty));
    main->MDIForm_Resize();
    EXPECT_NEAR(main->width() * tx, 20000, tx);
    EXPECT_GE(main->height() * ty, 8000 - ty);
}

// ---- menu state ----

// Format and Website are hidden menus: Qt reports a hidden entry as
// disabled whatever it was set to, so only the shown menus are read.
struct MenuState {
    bool save, file, ctl, view, edit, window, toolbar;
    std::vector<bool> all() const { return {save, file, ctl, view, edit, window, toolbar}; }
};

MenuState Read(const frmMain* m, const frmDocument* doc)
{
    return {m->mnuFileSave->isEnabled() && m->mnuFileSaveAs->isEnabled() && m->mnuFileClose->isEnabled()
                && m->mnuFilePrint->isEnabled(),
            m->mnuFile->menuAction()->isEnabled(),
            m->mnuCtl->menuAction()->isEnabled(),
            m->mnuView->menuAction()->isEnabled(),
            m->mnuEdit->menuAction()->isEnabled(),
            m->mnuWindow->menuAction()->isEnabled(),
            doc ? doc->tbToolBar->isEnabled() : false};
}

TEST_F(MainWindowTest, MenuStateFollowsDocumentsAndReading)
{
    MakeMain();
    main->setmenu();
    MenuState s = Read(main, nullptr);
    EXPECT_FALSE(s.save);
    EXPECT_TRUE(s.file);
    EXPECT_FALSE(s.ctl || s.view || s.edit || s.window);

    main->mnuFileNew_Click();
    main->setmenu();
    s = Read(main, Active());
    EXPECT_EQ(s.all(), std::vector<bool>(7, true));

    SetSpeakingState(true, false);
    main->setmenu();
    s = Read(main, Active());
    EXPECT_TRUE(s.save) << "the items stay enabled; their menu is what is disabled";
    EXPECT_FALSE(s.file || s.edit || s.window || s.toolbar);
    EXPECT_TRUE(s.ctl && s.view) << "Pause and Stop stay reachable while speaking";

    SetSpeakingState(false, false);
    main->setmenu();
    s = Read(main, Active());
    EXPECT_TRUE(s.file && s.edit && s.toolbar);

    main->mnuFileClose_Click();
    s = Read(main, nullptr);
    EXPECT_FALSE(s.save || s.edit || s.ctl);
}

TEST_F(MainWindowTest, CopyCutAndPasteFollowSelectionAndClipboard)
{
    MakeMain();
    main->mnuFileNew_Click();
    frmDocument* doc = Active();
    doc->rtfText->setText("Some words here.");
    QClipboard* clip = QGuiApplication::clipboard();

    auto copyCut = [&] {
        return std::vector<bool>{main->mnuEditCopy->isEnabled(), main->mnuEditCut->isEnabled(),
                                 main->mnuPopCopy->isEnabled(), main->mnuPopCut->isEnabled(),
                                 doc->toolbarButton(7)->isEnabled(), doc->toolbarButton(8)->isEnabled()};
    };
    auto paste = [&] {
        return std::vector<bool>{main->mnuEditPaste->isEnabled(), main->mnuPopPaste->isEnabled(),
                                 doc->toolbarButton(9)->isEnabled()};
    };

    doc->rtfText->setSelStart(0);
    doc->rtfText->setSelLength(4);
    clip->setText("on the clipboard");
    main->setmenu();
    EXPECT_EQ(copyCut(), std::vector<bool>(6, true));
    EXPECT_EQ(paste(), std::vector<bool>(3, true));

    doc->rtfText->setSelStart(2);
    clip->clear();
    main->setmenu();
    EXPECT_EQ(copyCut(), std::vector<bool>(6, false));
    EXPECT_EQ(paste(), std::vector<bool>(3, false));

    // While dictating only these entries change.
    SetSpeakingState(true, false);
    main->setmenu(); // File menu off
    doc->rtfText->setSelLength(3);
    main->setDictationmenu();
    EXPECT_EQ(copyCut(), std::vector<bool>(6, true));
    EXPECT_FALSE(main->mnuFile->menuAction()->isEnabled());
    SetSpeakingState(false, false);
}

TEST_F(MainWindowTest, OpeningFileAndEditMenusWithoutADocumentDisablesTheirItems)
{
    MakeMain();
    main->mnuFile_Click();
    main->mnuEdit_Click();
    for (QAction* a : {main->mnuFileSave, main->mnuFileSaveAs, main->mnuFilePrint, main->mnuEditCopy,
                       main->mnuEditCut, main->mnuEditFind, main->mnuEditPaste, main->mnuEditSelectAll})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    main->mnuFileNew_Click();
    main->mnuFile_Click();
    main->mnuEdit_Click();
    for (QAction* a : {main->mnuFileSave, main->mnuFileSaveAs, main->mnuFilePrint, main->mnuEditFind,
                       main->mnuEditSelectAll})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    // With a document the Edit menu leaves Copy alone.
    main->mnuEditCopy->setEnabled(false);
    main->mnuEdit_Click();
    EXPECT_FALSE(main->mnuEditCopy->isEnabled());
}

TEST_F(MainWindowTest, FaceReachesMenuItems)
{
    MakeMain();
    MainWindowFace* face = main;
    face->setMenuEnabled(MenuItem::mnuCtlPause, false);
    face->setMenuEnabled(MenuItem::mnuWindow, false);
    face->setMenuEnabled(MenuItem::mnuTrayPlayFile, false);
    face->setMenuCaption(MenuItem::mnuPopPause, "Resume");
    EXPECT_FALSE(main->mnuCtlPause->isEnabled());
    EXPECT_FALSE(main->mnuWindow->menuAction()->isEnabled());
    EXPECT_FALSE(main->mnuTrayPlayFile->isEnabled());
    EXPECT_EQ(main->mnuPopPause->text(), "Resume");
    EXPECT_EQ(ReadingFaces::get().activeDocument(), nullptr);
    main->mnuFileNew_Click();
    EXPECT_EQ(ReadingFaces::get().activeDocument(), static_cast<ActiveDocument*>(Active()));
}

// ---- close and unload ----

TEST_F(MainWindowTest, ClosingStopsReadingUnloadsAndShowsTheFloatingBarWhenItIsTheFace)
{
    // Records the floating bar being asked for; the main window is made as
    // in the program.
    RecordingWindows<AppWindows> windows;
    InstalledWindows installed(&windows);
    LoadMain();
    readingState.readDocument();
    FaceSwitch::floatingBarShown(true);
    EXPECT_TRUE(main->close());
    EXPECT_TRUE(readingState.StopRequested()) << "reading was stopped";
    EXPECT_FALSE(readingState.IsMainShown());
    EXPECT_EQ(windows.log.count("frmDockDemo_Show"), 1);
    EXPECT_EQ(frmMain::instance(), nullptr);
    EXPECT_EQ(ReadingFaces::get().mainWindow(), nullptr);
    EXPECT_EQ(systemtray::activeDocument(), nullptr);
    EXPECT_EQ(documentTable.DocCount, 0);

    FaceSwitch::floatingBarShown(false);
    delete main;
    LoadMain();
    EXPECT_TRUE(main->close());
    EXPECT_EQ(windows.log.count("frmDockDemo_Show"), 1) << "not the face: no floating bar";
}

// Reaches QObject::receivers, which is protected.
// Reaches QObject::receivers, which is protected.
struct Receivers : QObject {
    static int of(const QObject* sender, const char* signal) { return (sender->*(&Receivers::receivers))(signal); }
};

TEST_F(MainWindowTest, DestroyedMainWindowIsNotCalledBackByItsArea)
{
    LoadMain();
    main->mnuFileNew_Click();
    main->show();
    QCoreApplication::processEvents();
    // A shown area announces that no child is active any more while the
    // main window goes; the main window must not be called by then.
    QMdiArea* area = main->mdiArea;
    QList<int> receiversThen;
    QObject::connect(area, &QMdiArea::subWindowActivated, [&](QMdiSubWindow*) {
        receiversThen << Receivers::of(area, SIGNAL(subWindowActivated(QMdiSubWindow*)));
    });
    delete main;
    main = nullptr;
    ASSERT_FALSE(receiversThen.isEmpty());
    for (int n : receiversThen)
        EXPECT_EQ(n, 1) << "only this test's own receiver";
}

TEST_F(MainWindowTest, ADocumentThatCannotBeSavedKeepsTheMainWindowOpen)
{
    LoadMain();
    main->mnuFileNew_Click();
    Type("unsaved work");
    answer = [](const MsgBoxCall&) { return int(vbYes); };
    fileAnswers.push_back(path("no/such/folder/work.txt"));
    EXPECT_FALSE(main->close());
    EXPECT_EQ(frmMain::instance(), main);
    EXPECT_TRUE(readingState.IsMainShown());
    EXPECT_EQ(ActiveText(), "unsaved work");
    EXPECT_EQ(BoxesWith("could not be saved"), 1);

    // File > Exit does not end anything either.
    fileAnswers.push_back(""); // Save As cancelled
    main->mnuFileExit_Click();
    EXPECT_EQ(frmMain::instance(), main);
    EXPECT_EQ(ActiveText(), "unsaved work");
}

// ---- splash and About box ----

TEST_F(MainWindowTest, SplashShowsTheMainWindowOnceWhenItsTimerFires)
{
    AppWindows windows;
    InstalledWindows installed(&windows);
    windows.frmSplash_Show();
    frmSplash* splash = frmSplash::instance();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->Label1->text(), " 9.6");
    EXPECT_EQ(splash->Timer1->interval(), 7000);
    EXPECT_TRUE(splash->Timer1->isActive());
    EXPECT_EQ(splash->Image1->pixmap().size(), QSize(457, 273));
    EXPECT_EQ(frmMain::instance(), nullptr);

    splash->Timer1_Timer();
    main = frmMain::instance();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(Active()->windowTitle(), globals.AppFolder + "/first.txt");
    EXPECT_EQ(frmSplash::instance(), nullptr);
    EXPECT_FALSE(splash->Timer1->isActive()) << "the timer fires once";
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    main->setAttribute(Qt::WA_DeleteOnClose, false);
}

TEST_F(MainWindowTest, AboutBoxHasOneInstanceAndOkUnloadsIt)
{
    AppWindows windows;
    windows.Aboutus_Show();
    Aboutus* box = windows.aboutBox();
    ASSERT_NE(box, nullptr);
    windows.Aboutus_Show();
    EXPECT_EQ(windows.aboutBox(), box);
    EXPECT_EQ(box->windowTitle(), "About Us");
    EXPECT_EQ(box->Label3->text(), "Lectova 9.6 ");
    EXPECT_EQ(box->Command1->text(), "OK");
    EXPECT_TRUE(box->isVisible());
    box->Command1_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows.aboutBox(), nullptr);
}

} // namespace
