// The main window: construction, menu tree, status bar, load / close /
// unload, and the menu state. The file commands are in frmMain_file.cpp,
// the other menu commands in frmMain_commands.cpp.
#include "frmMain.h"

#include "DocumentTable.h"
#include "RecentFiles.h"
#include "richtext/RichTextBox.h"
#include "frmDocument.h"
#include "frmSplash.h"

#include "core/FormStrings.h"
#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/ProgramWindows.h"
#include "core/SettingsStore.h"
#include "speech/FaceSwitch.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include <algorithm>
#include <cmath>

namespace {

frmMain* s_instance = nullptr;

const QStringList kPanelKeys = {QStringLiteral("Text"), QStringLiteral("Speaker"), QStringLiteral("Speed")};

const QStringList kWebsiteCaptions = {
    QStringLiteral("TIME"),  QStringLiteral("ESPN"),  QStringLiteral("CNET"),    QStringLiteral("ABC"),
    QStringLiteral("Reuters"), QStringLiteral("MSNBC"), QStringLiteral("Yahoo"),  QStringLiteral("BBC"),
    QStringLiteral("CNN"),   QStringLiteral("Voice Of America"), QStringLiteral("Google")};

bool clipboardHasText()
{
    const QClipboard* clip = QGuiApplication::clipboard();
    const QMimeData* data = clip ? clip->mimeData() : nullptr;
    return data && data->hasText();
}

// The size a document window has when it is first restored from
// maximised: the area less a margin, a title bar further down and right
// for each window before it (up to four, then from the corner again).
QRect normalDocumentGeometry(QMdiArea* area, QMdiSubWindow* sub)
{
    const int step = std::max(16, sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub));
    const int index = static_cast<int>(area->subWindowList().indexOf(sub));
    const int shift = step * (std::max(index, 0) % 5);
    const QSize room = area->viewport()->size() - QSize(4 * step, 4 * step);
    const QSize size = room.expandedTo(sub->minimumSizeHint()).expandedTo(QSize(4 * step, 4 * step));
    return QRect(QPoint(shift, shift), size);
}

} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    s_instance = this;
    setObjectName(QStringLiteral("frmMain"));
    // Caption: the product name.
    setProperty("Tag", QStringLiteral("2205"));
    setWindowTitle(QStringLiteral("2205"));

    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &frmMain::onSubWindowActivated);

    buildMenus();
    buildStatusBar();

    const int minW = static_cast<int>(std::ceil(kMinWidthTwips / TwipsPerPixelX(this)));
    const int minH = static_cast<int>(std::ceil(kMinHeightTwips / TwipsPerPixelY(this)));
    setMinimumSize(minW, minH);
    resize(minW, minH);
}

frmMain::~frmMain()
{
    // The area closes its children after this body has run, when this is no
    // longer a frmMain: it must not call back into it then.
    disconnect(mdiArea, nullptr, this, nullptr);
    if (s_instance == this)
        s_instance = nullptr;
    if (recentFiles.RufForm == static_cast<RecentFilesMenu*>(this))
        recentFiles.RufForm = nullptr;
}

DocumentHost* DocumentHost::instance()
{
    return s_instance;
}

frmMain* frmMain::instance()
{
    return s_instance;
}

// ---- menus ----

QAction* frmMain::addItem(QMenu* menu, const QString& name, const QString& design, bool visible)
{
    QAction* a = menu->addAction(design);
    a->setObjectName(name);
    a->setVisible(visible);
    return a;
}

QMenu* frmMain::addMenu(QMenu* parentMenu, const QString& name, const QString& design, bool visible)
{
    QMenu* m = parentMenu ? parentMenu->addMenu(design) : menuBar()->addMenu(design);
    m->setObjectName(name);
    m->menuAction()->setVisible(visible);
    return m;
}

QAction* frmMain::LoadRUFItem(int index)
{
    while (mnuRUF.size() <= index)
        mnuRUF.append(nullptr);
    if (!mnuRUF[index]) {
        QAction* a = mnuFile->addAction(QString());
        a->setObjectName(QStringLiteral("mnuRUF(%1)").arg(index));
        connect(a, &QAction::triggered, this, [this, index] { mnuRUF_Click(index); });
        mnuRUF[index] = a;
    }
    return mnuRUF[index];
}

void frmMain::buildMenus()
{
    auto on = [this](QAction* a, void (frmMain::*handler)()) {
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };

    // File
    mnuFile = addMenu(nullptr, QStringLiteral("mnuFile"), QStringLiteral("1000"));
    connect(mnuFile, &QMenu::aboutToShow, this, &frmMain::mnuFile_Click);
    mnuFileNew = addItem(mnuFile, QStringLiteral("mnuFileNew"), QStringLiteral("1001"));
    mnuFileNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFileOpen = addItem(mnuFile, QStringLiteral("mnuFileOpen"), QStringLiteral("1002"));
    mnuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFile->addSeparator();
    mnuFileSave = addItem(mnuFile, QStringLiteral("mnuFileSave"), QStringLiteral("1003"));
    mnuFileSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFileSaveAs = addItem(mnuFile, QStringLiteral("mnuFileSaveAs"), QStringLiteral("1004"));
    mnuFile->addSeparator();
    mnuFilePrint = addItem(mnuFile, QStringLiteral("mnuFilePrint"), QStringLiteral("1005"));
    mnuFilePrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuFile->addSeparator();
    mnuFileClose = addItem(mnuFile, QStringLiteral("mnuFileClose"), QStringLiteral("1006"));
    mnuFileExit = addItem(mnuFile, QStringLiteral("mnuFileExit"), QStringLiteral("1007"));
    mnuFile->addSeparator();
    mnuRUF.append(nullptr); // element 0 is not used
    LoadRUFItem(1);
    on(mnuFileNew, &frmMain::mnuFileNew_Click);
    on(mnuFileOpen, &frmMain::mnuFileOpen_Click);
    on(mnuFileSave, &frmMain::mnuFileSave_Click);
    on(mnuFileSaveAs, &frmMain::mnuFileSaveAs_Click);
    on(mnuFilePrint, &frmMain::mnuFilePrint_Click);
    on(mnuFileClose, &frmMain::mnuFileClose_Click);
    on(mnuFileExit, &frmMain::mnuFileExit_Click);

    // Control
    mnuCtl = addMenu(nullptr, QStringLiteral("mnuCtl"), QStringLiteral("1101"));
    mnuCtlSpeak = addItem(mnuCtl, QStringLiteral("mnuCtlSpeak"), QStringLiteral("1129"));
    mnuCtlPause = addItem(mnuCtl, QStringLiteral("mnuCtlPause"), QStringLiteral("1104"));
    mnuCtlStop = addItem(mnuCtl, QStringLiteral("mnuCtlStop"), QStringLiteral("1103"));
    mnuCtl->addSeparator();
    mnuCtlclipboard = addItem(mnuCtl, QStringLiteral("mnuCtlclipboard"), QStringLiteral("1105"), false);
    mnuCtlclipboard->setCheckable(true);
    mnuCtlclipboard->setChecked(true);
    mnuCtlSaveClipboardTexttoWav =
        addItem(mnuCtl, QStringLiteral("mnuCtlSaveClipboardTexttoWav"), QStringLiteral("1108"), false);
    mnuCtlDictation = addItem(mnuCtl, QStringLiteral("mnuCtlDictation"), QStringLiteral("1110"), false);
    mnuCtl->addSeparator();
    mnuCtlSet = addItem(mnuCtl, QStringLiteral("mnuCtlSet"), QStringLiteral("1109"));
    on(mnuCtlSpeak, &frmMain::mnuCtlSpeak_Click);
    on(mnuCtlPause, &frmMain::mnuCtlPause_Click);
    on(mnuCtlStop, &frmMain::mnuCtlStop_Click);
    // A click toggles a checkable item before its handler runs; the handler
    // decides the new state itself, so it sees the state before the click.
    connect(mnuCtlclipboard, &QAction::triggered, this, [this] {
        mnuCtlclipboard->setChecked(!mnuCtlclipboard->isChecked());
        mnuCtlclipboard_Click();
    });
    on(mnuCtlSaveClipboardTexttoWav, &frmMain::mnuCtlSaveClipboardTexttoWav_Click);
    on(mnuCtlDictation, &frmMain::mnuCtlDictation_Click);
    on(mnuCtlSet, &frmMain::mnuCtlSet_Click);

    // Edit
    mnuEdit = addMenu(nullptr, QStringLiteral("mnuEdit"), QStringLiteral("1201"));
    connect(mnuEdit, &QMenu::aboutToShow, this, &frmMain::mnuEdit_Click);
    mnuEditUndo = addItem(mnuEdit, QStringLiteral("mnuEditUndo"), QStringLiteral("2209"));
    mnuEdit->addSeparator();
    mnuEditCut = addItem(mnuEdit, QStringLiteral("mnuEditCut"), QStringLiteral("1202"));
    mnuEditCopy = addItem(mnuEdit, QStringLiteral("mnuEditCopy"), QStringLiteral("1203"));
    mnuEditPaste = addItem(mnuEdit, QStringLiteral("mnuEditPaste"), QStringLiteral("1204"));
    mnuEdit->addSeparator();
    mnuEditSelectAll = addItem(mnuEdit, QStringLiteral("mnuEditSelectAll"), QStringLiteral("1205"));
    mnuEdit->addSeparator();
    mnuEditFind = addItem(mnuEdit, QStringLiteral("mnuEditFind"), QStringLiteral("1206"));
    mnuEditFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    on(mnuEditUndo, &frmMain::mnuEditUndo_Click);
    on(mnuEditCut, &frmMain::mnuEditCut_Click);
    on(mnuEditCopy, &frmMain::mnuEditCopy_Click);
    on(mnuEditPaste, &frmMain::mnuEditPaste_Click);
    on(mnuEditSelectAll, &frmMain::mnuEditSelectAll_Click);
    on(mnuEditFind, &frmMain::mnuEditFind_Click);

    // Format (hidden)
    mnuFormat = addMenu(nullptr, QStringLiteral("mnuFormat"), QStringLiteral("1401"), false);
    mnuFormatFont = addItem(mnuFormat, QStringLiteral("mnuFormatFont"), QStringLiteral("1402"));
    mnuFormat->addSeparator();
    mnuFormatBullets = addItem(mnuFormat, QStringLiteral("mnuFormatBullets"), QStringLiteral("1403"));
    mnuFormatChangeCase = addMenu(mnuFormat, QStringLiteral("mnuFormatChangeCase"), QStringLiteral("1404"));
    mnuFormatCSLower = addItem(mnuFormatChangeCase, QStringLiteral("mnuFormatCSLower"), QStringLiteral("1405"));
    mnuFormatCSUpper = addItem(mnuFormatChangeCase, QStringLiteral("mnuFormatCSUpper"), QStringLiteral("1406"));
    mnuFormatCSSC = addItem(mnuFormatChangeCase, QStringLiteral("mnuFormatCSSC"), QStringLiteral("1407"));
    mnuFormatScript = addMenu(mnuFormat, QStringLiteral("mnuFormatScript"), QStringLiteral("1408"));
    mnuFormatSubScript = addItem(mnuFormatScript, QStringLiteral("mnuFormatSubScript"), QStringLiteral("1409"));
    mnuFormatSuperScript =
        addItem(mnuFormatScript, QStringLiteral("mnuFormatSuperScript"), QStringLiteral("1410"));
    mnuFormatNoScript = addItem(mnuFormatScript, QStringLiteral("mnuFormatNoScript"), QStringLiteral("1411"));
    on(mnuFormatFont, &frmMain::mnuFormatFont_Click);

    // View
    mnuView = addMenu(nullptr, QStringLiteral("mnuView"), QStringLiteral("1800"));
    mnuWindowText = addItem(mnuView, QStringLiteral("mnuWindowText"), QStringLiteral("1801"), false);
    mnuWindowBrowser = addItem(mnuView, QStringLiteral("mnuWindowBrowser"), QStringLiteral("1802"), false);
    mnuWindowBar = addItem(mnuView, QStringLiteral("mnuWindowBar"), QStringLiteral("1902"), false);
    mnuView->addSeparator();
    mnuZoomIn = addItem(mnuView, QStringLiteral("mnuZoomIn"), QStringLiteral("1805"));
    mnuZoomOut = addItem(mnuView, QStringLiteral("mnuZoomOut"), QStringLiteral("1806"));
    on(mnuWindowText, &frmMain::mnuWindowText_Click);
    on(mnuWindowBrowser, &frmMain::mnuWindowBrowser_Click);
    on(mnuWindowBar, &frmMain::mnuWindowBar_Click);
    on(mnuZoomIn, &frmMain::mnuZoomIn_Click);
    on(mnuZoomOut, &frmMain::mnuZoomOut_Click);

    // Website (hidden): fixed captions, no handlers.
    mnuWebsite = addMenu(nullptr, QStringLiteral("mnuWebsite"), QStringLiteral("2800"), false);
    for (const QString& caption : kWebsiteCaptions)
        mnuWebsiteItems.append(mnuWebsite->addAction(caption));

    // Window: its own entries, then the list of document windows.
    mnuWindow = addMenu(nullptr, QStringLiteral("mnuWindow(0)"), QStringLiteral("1601"));
    connect(mnuWindow, &QMenu::aboutToShow, this, &frmMain::fillWindowList);
    mnuWindowNewWindow = addItem(mnuWindow, QStringLiteral("mnuWindowNewWindow"), QStringLiteral("1602"));
    mnuWindowCascade = addItem(mnuWindow, QStringLiteral("mnuWindowCascade"), QStringLiteral("1603"), false);
    mnuWindowTileVertical =
        addItem(mnuWindow, QStringLiteral("mnuWindowTileVertical"), QStringLiteral("1604"), false);
    mnuWindowTileHorizontal =
        addItem(mnuWindow, QStringLiteral("mnuWindowTileHorizontal"), QStringLiteral("1605"), false);
    mnuWindowArrangeIcons =
        addItem(mnuWindow, QStringLiteral("mnuWindowArrangeIcons"), QStringLiteral("1606"), false);
    on(mnuWindowNewWindow, &frmMain::mnuWindowNewWindow_Click);
    on(mnuWindowCascade, &frmMain::mnuWindowCascade_Click);
    on(mnuWindowTileVertical, &frmMain::mnuWindowTileVertical_Click);
    on(mnuWindowTileHorizontal, &frmMain::mnuWindowTileHorizontal_Click);
    on(mnuWindowArrangeIcons, &frmMain::mnuWindowArrangeIcons_Click);

    // Help
    mnuHelp = addMenu(nullptr, QStringLiteral("mnuHelp"), QStringLiteral("1701"));
    mnuHelphelp = addItem(mnuHelp, QStringLiteral("mnuHelphelp"), QStringLiteral("1702"));
    mnuHelphelp->setShortcut(QKeySequence(Qt::Key_F1));
    mnuVideoHelp = addItem(mnuHelp, QStringLiteral("mnuVideoHelp"), QStringLiteral("Video Help"), false);
    mnuHelp->addSeparator();
    mnuHelpWebsite = addItem(mnuHelp, QStringLiteral("mnuHelpWebsite"), QStringLiteral("1705"));
    mnuEmailus = addItem(mnuHelp, QStringLiteral("mnuEmailus"), QStringLiteral("Contact Us"), false);
    MnuSug = addItem(mnuHelp, QStringLiteral("MnuSug"), QStringLiteral("Suggestions"));
    mnuHelpAddVoices = addItem(mnuHelp, QStringLiteral("mnuHelpAddVoices"), QStringLiteral("1319"));
    mnuHelp->addSeparator();
    mnuHelpAbout = addItem(mnuHelp, QStringLiteral("mnuHelpAbout"), QStringLiteral("1706"));
    on(mnuHelphelp, &frmMain::mnuHelphelp_Click);
    on(mnuVideoHelp, &frmMain::mnuVideoHelp_Click);
    on(mnuHelpWebsite, &frmMain::mnuHelpWebsite_Click);
    on(mnuEmailus, &frmMain::mnuEmailus_Click);
    on(MnuSug, &frmMain::MnuSug_Click);
    on(mnuHelpAddVoices, &frmMain::mnuHelpAddVoices_Click);
    on(mnuHelpAbout, &frmMain::mnuHelpAbout_Click);

    // The document window's right-click menu.
    mnuPopUp = new QMenu(QStringLiteral("PopUp"), this);
    mnuPopUp->setObjectName(QStringLiteral("mnuPopUp"));
    mnuPopCut = addItem(mnuPopUp, QStringLiteral("mnuPopCut"), QStringLiteral("1202"));
    mnuPopCopy = addItem(mnuPopUp, QStringLiteral("mnuPopCopy"), QStringLiteral("1203"));
    mnuPopPaste = addItem(mnuPopUp, QStringLiteral("mnuPopPaste"), QStringLiteral("1204"));
    mnuPopUp->addSeparator();
    mnuPopFont = addItem(mnuPopUp, QStringLiteral("mnuPopFont"), QStringLiteral("1402"));
    mnuPopUp->addSeparator();
    mnuPopSpeak = addItem(mnuPopUp, QStringLiteral("mnuPopSpeak"), QStringLiteral("1102"), false);
    mnuPopPause = addItem(mnuPopUp, QStringLiteral("mnuPopPause"), QStringLiteral("1104"), false);
    mnuPopPause->setEnabled(false);
    mnuPopStop = addItem(mnuPopUp, QStringLiteral("mnuPopStop"), QStringLiteral("1103"), false);
    mnuPopStop->setEnabled(false);
    on(mnuPopCut, &frmMain::mnuPopCut_Click);
    on(mnuPopCopy, &frmMain::mnuPopCopy_Click);
    on(mnuPopPaste, &frmMain::mnuPopPaste_Click);
    on(mnuPopFont, &frmMain::mnuPopFont_Click);
    on(mnuPopSpeak, &frmMain::mnuPopSpeak_Click);
    on(mnuPopPause, &frmMain::mnuPopPause_Click);
    on(mnuPopStop, &frmMain::mnuPopStop_Click);

    // "Traymenu": kept for its one handler; nothing shows it.
    Popmenu = new QMenu(QStringLiteral("Traymenu"), this);
    Popmenu->setObjectName(QStringLiteral("Popmenu"));
    mnuTrayShowSoftware = addItem(Popmenu, QStringLiteral("mnuTrayShowSoftware"), QStringLiteral("1901"));
    mnuTrayShowDock = addItem(Popmenu, QStringLiteral("mnuTrayShowDock"), QStringLiteral("1902"));
    mnuTrayReadClipboard = addItem(Popmenu, QStringLiteral("mnuTrayReadClipboard"), QStringLiteral("1132"));
    mnuTrayStop = addItem(Popmenu, QStringLiteral("mnuTrayStop"), QStringLiteral("1130"));
    mnuTrayPause = addItem(Popmenu, QStringLiteral("mnuTrayPause"), QStringLiteral("1131"));
    mnuTrayClipboardtoWav = addItem(Popmenu, QStringLiteral("mnuTrayClipboardtoWav"), QStringLiteral("1135"));
    mnuTrayPlayFile = addItem(Popmenu, QStringLiteral("mnuTrayPlayFile"), QStringLiteral("1134"));
    mnuTrayHelp = addItem(Popmenu, QStringLiteral("mnuTrayHelp"), QStringLiteral("1710"));
    mnuTrayAbout = addItem(Popmenu, QStringLiteral("mnuTrayAbout"), QStringLiteral("1707"));
    mnuTrayExit = addItem(Popmenu, QStringLiteral("mnuTrayExit"), QStringLiteral("1023"));
    on(mnuTrayClipboardtoWav, &frmMain::mnuTrayClipboardtoWav_Click);
}

QAction* frmMain::menuItem(MenuItem item) const
{
    switch (item) {
    case MenuItem::mnuCtlSpeak:
        return mnuCtlSpeak;
    case MenuItem::mnuCtlPause:
        return mnuCtlPause;
    case MenuItem::mnuCtlStop:
        return mnuCtlStop;
    case MenuItem::mnuCtlclipboard:
        return mnuCtlclipboard;
    case MenuItem::mnuCtlSaveClipboardTexttoWav:
        return mnuCtlSaveClipboardTexttoWav;
    case MenuItem::mnuCtlSet:
        return mnuCtlSet;
    case MenuItem::mnuCtlDictation:
        return mnuCtlDictation;
    case MenuItem::mnuTrayPause:
        return mnuTrayPause;
    case MenuItem::mnuTrayStop:
        return mnuTrayStop;
    case MenuItem::mnuTrayReadClipboard:
        return mnuTrayReadClipboard;
    case MenuItem::mnuTrayPlayFile:
        return mnuTrayPlayFile;
    case MenuItem::mnuTrayClipboardtoWav:
        return mnuTrayClipboardtoWav;
    case MenuItem::mnuPopSpeak:
        return mnuPopSpeak;
    case MenuItem::mnuPopPaste:
        return mnuPopPaste;
    case MenuItem::mnuPopPause:
        return mnuPopPause;
    case MenuItem::mnuPopStop:
        return mnuPopStop;
    case MenuItem::mnuEdit:
        return mnuEdit->menuAction();
    case MenuItem::mnuWebsite:
        return mnuWebsite->menuAction();
    case MenuItem::mnuFile:
        return mnuFile->menuAction();
    case MenuItem::mnuFormat:
        return mnuFormat->menuAction();
    case MenuItem::mnuWindow:
        return mnuWindow->menuAction();
    case MenuItem::mnuView:
        return mnuView->menuAction();
    }
    return nullptr;
}

void frmMain::setMenuEnabled(MenuItem item, bool enabled)
{
    if (QAction* a = menuItem(item))
        a->setEnabled(enabled);
}

void frmMain::setMenuCaption(MenuItem item, const QString& caption)
{
    if (QAction* a = menuItem(item))
        a->setText(caption);
}

void frmMain::fillWindowList()
{
    for (QAction* a : windowListActions_) {
        mnuWindow->removeAction(a);
        a->deleteLater();
    }
    windowListActions_.clear();
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList();
    QMdiSubWindow* current = mdiArea->currentSubWindow();
    int n = 0;
    for (QMdiSubWindow* w : windows) {
        if (w->isHidden())
            continue;
        if (n == 0)
            windowListActions_.append(mnuWindow->addSeparator());
        ++n;
        QAction* a = mnuWindow->addAction(QStringLiteral("&%1 %2").arg(n).arg(w->windowTitle()));
        a->setCheckable(true);
        a->setChecked(w == current);
        QPointer<QMdiSubWindow> target(w);
        connect(a, &QAction::triggered, this, [this, target] {
            if (target)
                mdiArea->setActiveSubWindow(target);
        });
        windowListActions_.append(a);
    }
}

// ---- status bar ----

void frmMain::buildStatusBar()
{
    sbStatusBar = statusBar();
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    panelKeys_ = kPanelKeys;
    for (int i = 0; i < panelKeys_.size(); ++i) {
        auto* label = new QLabel(sbStatusBar);
        label->setObjectName(QStringLiteral("panel") + panelKeys_[i]);
        label->setMinimumWidth(160);
        // The line number takes what the other two leave.
        sbStatusBar->addWidget(label, i == 0 ? 1 : 0);
        panels_.append(label);
    }
}

QLabel* frmMain::panel(const QString& key) const
{
    const int i = panelKeys_.indexOf(key);
    return i < 0 ? nullptr : panels_.value(i);
}

void frmMain::setPanelText(const QString& key, const QString& text)
{
    if (QLabel* p = panel(key))
        p->setText(text);
}

void frmMain::setPanelText(int index, const QString& text)
{
    if (QLabel* p = panels_.value(index - 1, nullptr))
        p->setText(text);
}

QString frmMain::panelText(const QString& key) const
{
    const QLabel* p = panel(key);
    return p ? p->text() : QString();
}

QString frmMain::panelText(int index) const
{
    const QLabel* p = panels_.value(index - 1, nullptr);
    return p ? p->text() : QString();
}

// ---- document windows ----

frmDocument* frmMain::activeDocument() const
{
    QMdiSubWindow* sub = mdiArea ? mdiArea->currentSubWindow() : nullptr;
    // A window that is closing is no longer the active document.
    if (!sub || sub->isHidden())
        return nullptr;
    return qobject_cast<frmDocument*>(sub->widget());
}

QMdiSubWindow* frmMain::addDocumentWindow(frmDocument* document)
{
    QMdiSubWindow* sub = mdiArea->addSubWindow(document);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // Document windows open maximised, usually before the area has its
    // final size: the first restore gives the window a normal size.
    connect(sub, &QMdiSubWindow::windowStateChanged, sub, [sub](Qt::WindowStates before, Qt::WindowStates now) {
        QMdiArea* area = sub->mdiArea();
        if (!area || sub->property("normalSized").toBool() || !(before & Qt::WindowMaximized)
            || (now & (Qt::WindowMaximized | Qt::WindowMinimized)))
            return;
        sub->setProperty("normalSized", true);
        sub->setGeometry(normalDocumentGeometry(area, sub));
    });
    sub->showMaximized();
    mdiArea->setActiveSubWindow(sub);
    // Offscreen or before the main window is shown, the area does not
    // activate on its own: make sure the new window is the current one.
    if (mdiArea->currentSubWindow() != sub)
        onSubWindowActivated(sub);
    // What the user types next goes into the new document.
    document->rtfText->setFocus();
    return sub;
}

void frmMain::onSubWindowActivated(QMdiSubWindow* window)
{
    if (!window || window->isHidden() || window == lastActivated_)
        return;
    lastActivated_ = window;
    if (auto* doc = qobject_cast<frmDocument*>(window->widget()))
        IgnoreErrors([doc] { doc->Form_Activate(); });
}

int frmMain::activeSlot() const
{
    return SlotOf(activeDocument());
}

// ---- load, resize, close, unload ----

void frmMain::MDIForm_Load()
{
    IgnoreErrors([this] { LoadRecentFiles(this); });
    IgnoreErrors([this] { LoadFormStrings(this); });
    QCoreApplication::processEvents();
    documentTable.NewSlot = 1;
    documentTable.DocCount = 0;
    Popmenu->menuAction()->setVisible(false);
    IgnoreErrors([this] {
        const QString v = ReadSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("AutoClipboard"),
                                      QStringLiteral("0"));
        bool ok = false;
        const double n = v.trimmed().toDouble(&ok);
        mnuCtlclipboard->setChecked(ok && n != 0);
    });
    FaceSwitch::mainWindowShown(true);
    loaded_ = true;
    IgnoreErrors([this] {
        OpenFileInNewWindow(globals.AppFolder + QStringLiteral("/first.txt"), false);
        const int slot = activeSlot();
        documentTable.DocChanged[slot] = false;
    });
    IgnoreErrors([] { frmSplash::Unload(); });
}

void frmMain::MDIForm_Resize()
{
    if (isMinimized())
        return;
    const double tx = TwipsPerPixelX(this);
    const double ty = TwipsPerPixelY(this);
    if (width() * tx < kMinWidthTwips)
        resize(static_cast<int>(std::ceil(kMinWidthTwips / tx)), height());
    if (height() * ty < kMinHeightTwips)
        resize(width(), static_cast<int>(std::ceil(kMinHeightTwips / ty)));
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    MDIForm_Resize();
}

void frmMain::MDIForm_QueryUnload()
{
    if (frmDocument* doc = activeDocument())
        IgnoreErrors([doc] { doc->StopBtn_Click(); });
    FaceSwitch::mainWindowShown(false);
    // Each document window may ask to save its changes.
    mdiArea->closeAllSubWindows();
}

void frmMain::MDIForm_Unload()
{
    if (readingState.IsDockShown())
        IgnoreErrors([] { ProgramWindows::get().frmDockDemo_Show(); });
}

bool frmMain::unloadWindow()
{
    if (unloading_)
        return false;
    unloading_ = true;
    MDIForm_QueryUnload();
    bool documentStayed = false;
    for (QMdiSubWindow* w : mdiArea->subWindowList()) {
        if (!w->isHidden())
            documentStayed = true;
    }
    if (documentStayed) {
        // A document whose save was cancelled or failed is still open: the
        // main window stays with it, still the face.
        FaceSwitch::mainWindowShown(loaded_);
        unloading_ = false;
        setmenu();
        return false;
    }
    if (s_instance == this)
        s_instance = nullptr;
    loaded_ = false;
    MDIForm_Unload();
    unloading_ = false;
    emit unloaded();
    return true;
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (s_instance != this && !loaded_) {
        // Already unloaded (File > Exit unloads before closing).
        event->accept();
        return;
    }
    if (unloadWindow())
        event->accept();
    else
        event->ignore();
}

// ---- menu state ----

void frmMain::mnuFile_Click()
{
    const bool has = activeDocument() != nullptr;
    mnuFileSave->setEnabled(has);
    mnuFileSaveAs->setEnabled(has);
    mnuFilePrint->setEnabled(has);
}

void frmMain::mnuEdit_Click()
{
    if (!activeDocument()) {
        for (QAction* a : {mnuEditCopy, mnuEditCut, mnuEditFind, mnuEditPaste, mnuEditSelectAll})
            a->setEnabled(false);
        return;
    }
    mnuEditFind->setEnabled(true);
    mnuEditSelectAll->setEnabled(true);
}

void frmMain::setClipboardItems()
{
    frmDocument* doc = activeDocument();
    // Without a document the test cannot be made and counts as passed.
    bool sel = true;
    if (doc && doc->rtfText)
        sel = doc->rtfText->SelLength() > 0;
    for (QAction* a : {mnuEditCopy, mnuEditCut, mnuPopCopy, mnuPopCut})
        a->setEnabled(sel);
    if (doc) {
        doc->setToolbarButtonEnabled(7, sel);
        doc->setToolbarButtonEnabled(8, sel);
    }
    const bool clip = clipboardHasText();
    mnuEditPaste->setEnabled(clip);
    mnuPopPaste->setEnabled(clip);
    if (doc)
        doc->setToolbarButtonEnabled(9, clip);
}

void frmMain::setmenu()
{
    const bool has = documentTable.DocCount >= 1;
    for (QMenu* m : {mnuWebsite, mnuCtl, mnuFormat, mnuWindow, mnuEdit, mnuView})
        m->menuAction()->setEnabled(has);
    for (QAction* a : {mnuFileSave, mnuFileSaveAs, mnuFileClose, mnuFilePrint})
        a->setEnabled(has);
    frmDocument* doc = activeDocument();
    if (doc)
        IgnoreErrors([doc, has] { doc->settoolbar(has); });
    if (!has) {
        mnuEdit->menuAction()->setEnabled(false);
        return;
    }
    const bool idle = !readingState.IsSpeaking();
    for (QMenu* m : {mnuEdit, mnuWebsite, mnuFile, mnuFormat, mnuWindow})
        m->menuAction()->setEnabled(idle);
    if (doc && doc->tbToolBar)
        doc->tbToolBar->setEnabled(idle);
    setClipboardItems();
}

void frmMain::setDictationmenu()
{
    if (documentTable.DocCount >= 1)
        setClipboardItems();
    else
        mnuEdit->menuAction()->setEnabled(false);
}
