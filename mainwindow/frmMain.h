#pragma once
// frmMain: the main window. It holds the document windows (frmDocument) in
// its MDI area, the menu bar, the status bar and the common dialog that the
// file and font commands share. It is one of the program's two faces; the
// controller shows it maximised and unloads it when the floating bar takes
// over. Closing it leaves the program running in the tray.
//
// Menu items are QAction/QMenu members named like their menu entries; each
// holds its string-table id as its design text until the window's load puts
// the texts in (LoadFormStrings). Hidden entries exist and stay hidden.

#include "mainwindow/CommonDialog.h"
#include "mainwindow/DocumentHost.h"
#include "mainwindow/RecentFiles.h"
#include "speech/ReadingState.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class frmDocument;
class QAction;
class QCloseEvent;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QResizeEvent;
class QStatusBar;
class RichTextBox;

class frmMain : public QMainWindow, public MainWindowFace, public DocumentHost, public RecentFilesMenu {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The main window while it exists (made and not yet destroyed), else null.
    static frmMain* instance();

    // Smallest size of the window, in twips.
    static constexpr int kMinWidthTwips = 13000;
    static constexpr int kMinHeightTwips = 8000;

    // ---- controls ----
    QMdiArea* mdiArea = nullptr;
    QStatusBar* sbStatusBar = nullptr;
    // The shared open / save / font dialog.
    CommonDialog dlgCommonDialog;

    // Status-bar panels, by key or by 1-based index: 1 "Text" (line
    // number), 2 "Speaker" (voice), 3 "Speed". Unknown keys and indexes are
    // ignored ("" when read).
    void setPanelText(const QString& key, const QString& text) override;
    void setPanelText(int index, const QString& text) override;
    QString panelText(const QString& key) const;
    QString panelText(int index) const;
    QLabel* panel(const QString& key) const;

    // The active document window (the MDI area's current child, also while
    // another application has the focus), or null.
    frmDocument* activeDocument() const override;
    // Same as activeDocument(), under the frame's own name.
    frmDocument* ActiveForm() const { return activeDocument(); }
    // Shows a document window as a child of the main window and makes it
    // the active one.
    QMdiSubWindow* addDocumentWindow(frmDocument* document);

    // ---- menus ----
    QMenu* mnuFile = nullptr;
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFilePrint = nullptr;
    QAction* mnuFileClose = nullptr;
    QAction* mnuFileExit = nullptr;
    // Recent files: element k is mnuRUF[k] (k from 1; index 0 is unused and
    // null). Element 1 exists from the start with an empty caption.
    QList<QAction*> mnuRUF;
    // Creates element `index` (the next one) at the end of the File menu.
    QAction* LoadRUFItem(int index) override;
    const QList<QAction*>& recentFileItems() const override { return mnuRUF; }

    QMenu* mnuCtl = nullptr;
    QAction* mnuCtlSpeak = nullptr;
    QAction* mnuCtlPause = nullptr;
    QAction* mnuCtlStop = nullptr;
    QAction* mnuCtlclipboard = nullptr;              // hidden, checkable
    QAction* mnuCtlSaveClipboardTexttoWav = nullptr; // hidden
    QAction* mnuCtlDictation = nullptr;              // hidden
    QAction* mnuCtlSet = nullptr;

    QMenu* mnuEdit = nullptr;
    QAction* mnuEditUndo = nullptr;
    QAction* mnuEditCut = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QAction* mnuEditSelectAll = nullptr;
    QAction* mnuEditFind = nullptr;

    QMenu* mnuFormat = nullptr; // hidden
    QAction* mnuFormatFont = nullptr;
    QAction* mnuFormatBullets = nullptr;
    QMenu* mnuFormatChangeCase = nullptr;
    QAction* mnuFormatCSLower = nullptr;
    QAction* mnuFormatCSUpper = nullptr;
    QAction* mnuFormatCSSC = nullptr;
    QMenu* mnuFormatScript = nullptr;
    QAction* mnuFormatSubScript = nullptr;
    QAction* mnuFormatSuperScript = nullptr;
    QAction* mnuFormatNoScript = nullptr;

    QMenu* mnuView = nullptr;
    QAction* mnuWindowText = nullptr;    // hidden
    QAction* mnuWindowBrowser = nullptr; // hidden
    QAction* mnuWindowBar = nullptr;     // hidden
    QAction* mnuZoomIn = nullptr;
    QAction* mnuZoomOut = nullptr;
    QMenu* mnuWebsite = nullptr; // hidden
    // Its eleven fixed entries ("TIME" ... "Google"); no handlers.
    QList<QAction*> mnuWebsiteItems;

    // mnuWindow(0): lists the open document windows.
    QMenu* mnuWindow = nullptr;
    QAction* mnuWindowNewWindow = nullptr;
    QAction* mnuWindowCascade = nullptr;        // hidden
    QAction* mnuWindowTileVertical = nullptr;   // hidden
    QAction* mnuWindowTileHorizontal = nullptr; // hidden
    QAction* mnuWindowArrangeIcons = nullptr;   // hidden

    QMenu* mnuHelp = nullptr;
    QAction* mnuHelphelp = nullptr;
    QAction* mnuVideoHelp = nullptr; // hidden
    QAction* mnuHelpWebsite = nullptr;
    QAction* mnuEmailus = nullptr; // hidden
    QAction* MnuSug = nullptr;
    QAction* mnuHelpAddVoices = nullptr;
    QAction* mnuHelpAbout = nullptr;

    // The document window's right-click menu (not in the menu bar).
    QMenu* mnuPopUp = nullptr;
    QAction* mnuPopCut = nullptr;
    QAction* mnuPopCopy = nullptr;
    QAction* mnuPopPaste = nullptr;
    QAction* mnuPopFont = nullptr;
    QAction* mnuPopSpeak = nullptr; // hidden
    QAction* mnuPopPause = nullptr; // hidden, disabled
    QAction* mnuPopStop = nullptr;  // hidden, disabled

    // "Traymenu": kept hidden; nothing shows it.
    QMenu* Popmenu = nullptr;
    QAction* mnuTrayShowSoftware = nullptr;
    QAction* mnuTrayShowDock = nullptr;
    QAction* mnuTrayReadClipboard = nullptr;
    QAction* mnuTrayStop = nullptr;
    QAction* mnuTrayPause = nullptr;
    QAction* mnuTrayClipboardtoWav = nullptr;
    QAction* mnuTrayPlayFile = nullptr;
    QAction* mnuTrayHelp = nullptr;
    QAction* mnuTrayAbout = nullptr;
    QAction* mnuTrayExit = nullptr;

    // A menu entry that follows the reading state: the QAction of an item,
    // or the menuAction() of a menu.
    QAction* menuItem(MenuItem item) const;

    // ---- MainWindowFace ----
    void setMenuEnabled(MenuItem item, bool enabled) override;
    void setMenuCaption(MenuItem item, const QString& caption) override;

    // ---- window events ----
    // Load: recent files, texts, table reset, the welcome document, and the
    // splash goes away. Called once, before the window is first shown.
    void MDIForm_Load();
    // Close request: stops reading and lets the window unload.
    void MDIForm_QueryUnload();
    // Keeps the window at least at its minimum size (not when minimised).
    void MDIForm_Resize();
    // Unloaded: shows the floating bar when it is the face.
    void MDIForm_Unload();
    void Form_Load() { MDIForm_Load(); }
    void Form_Resize() { MDIForm_Resize(); }
    void Form_Unload() { MDIForm_Unload(); }
    // True once MDIForm_Load has run.
    bool isLoaded() const { return loaded_; }

    // Opening the File and the Edit menu.
    void mnuFile_Click();
    void mnuEdit_Click();

    // Brings the menus and the active document's toolbar into line with
    // the number of documents, the reading state, the selection and the
    // clipboard.
    void setmenu() override;
    // While dictating: only the Copy, Cut and Paste entries.
    void setDictationmenu() override;
    QMenu* popUpMenu() const override { return mnuPopUp; }
    CommonDialog& commonDialog() override { return dlgCommonDialog; }

    // ---- file commands ----
    void mnuFileNew_Click() override;
    void mnuFileOpen_Click() override;
    void mnuFileSave_Click() override;
    void mnuFileSaveAs_Click() override;
    void mnuFilePrint_Click() override;
    void mnuFileClose_Click();
    void mnuFileExit_Click();
    // A recent-file entry (index from 1).
    void mnuRUF_Click(int index);
    void mnuWindowNewWindow_Click();
    // Opens a file in a new document window (nothing when 30 are open).
    // Returns the new window, or null.
    frmDocument* OpenFileInNewWindow(const QString& path);

    // Whether a file name takes the RTF format (last three characters,
    // any letter case) when opened, saved, or saved as.
    static bool isRtfForOpen(const QString& name);
    static bool isRtfForSave(const QString& name);
    static bool isRtfForSaveAs(const QString& name);

    // ---- Edit, Format, View, Window, Control and Help commands ----
    void mnuEditUndo_Click() override;
    void mnuEditCut_Click() override;
    void mnuEditCopy_Click() override;
    void mnuEditPaste_Click() override;
    void mnuEditSelectAll_Click();
    void mnuEditFind_Click();
    void mnuFormatFont_Click() override;
    void mnuZoomIn_Click();
    void mnuZoomOut_Click();
    void mnuWindowBar_Click();
    void mnuWindowText_Click();
    void mnuWindowBrowser_Click();
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuCtlSpeak_Click();
    void mnuCtlPause_Click();
    void mnuCtlStop_Click();
    void mnuCtlclipboard_Click();
    void mnuCtlDictation_Click();
    void mnuCtlSet_Click();
    void mnuCtlSaveClipboardTexttoWav_Click();
    void mnuHelphelp_Click();
    void mnuHelpWebsite_Click();
    void mnuHelpAddVoices_Click();
    void MnuSug_Click();
    void mnuEmailus_Click();
    void mnuHelpAbout_Click();
    void mnuVideoHelp_Click();
    void mnuPopCut_Click();
    void mnuPopCopy_Click();
    void mnuPopPaste_Click();
    void mnuPopFont_Click();
    void mnuPopSpeak_Click();
    void mnuPopPause_Click();
    void mnuPopStop_Click();
    void mnuTrayClipboardtoWav_Click();
    // Puts the selection into spell-out markup: "<spell>", its characters
    // each followed by a blank, "</spell>"; the tags in dark red.
    void mnuInsertSpell_Click();
    // A click on an element of the Window menu's window list other than 0
    // lays out the active document again; element 0 (the menu) does nothing.
    void mnuWindow_Click(int index);
    // Routines on the active document (nothing without one).
    void SpeakNextInActive();
    void SpeakPrevInActive();
    void PlayInActive();
    void ShowEditBarInActive();
    void OutputToExistingFileInActive();

    // Opens a file in a new document window; with reportFailure a file that
    // cannot be read is reported (the window stays, empty, as without).
    frmDocument* OpenFileInNewWindow(const QString& path, bool reportFailure);

    // True when the last Save or Save As wrote the file. After a cancelled
    // dialog or a failed write it is false, the document keeps its change
    // flag and saved-text snapshot, and ClosingDocument is cleared: a close
    // that asked for the save should keep the window open.
    bool lastSaveSucceeded() const { return lastSaveOk_; }

    // Closes every document window and unloads the main window. False when
    // a document window stayed open (its save was cancelled or failed):
    // then the main window stays loaded as well.
    bool unloadWindow();

    // Prints a rich-text control with margins in twips. Installed by the
    // printing code; Print does nothing with a document until then.
    using RichTextPrinter =
        std::function<void(RichTextBox* rtf, int leftTwips, int topTwips, int rightTwips, int bottomTwips)>;
    static void setRichTextPrinter(RichTextPrinter printer);

signals:
    // The window has unloaded (after MDIForm_Unload).
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    // Selection and clipboard steps shared by setmenu and setDictationmenu.
    void setClipboardItems();
    int activeSlot() const;

    void fillWindowList();
    void onSubWindowActivated(QMdiSubWindow* window);
    // Saves the active document to `name`; false (after telling the user
    // why) when the file could not be written.
    bool saveActiveDocument(const QString& name, bool rtf);
    QAction* addItem(QMenu* menu, const QString& name, const QString& design, bool visible = true);
    QMenu* addMenu(QMenu* parentMenu, const QString& name, const QString& design, bool visible = true);

    // The child last given its activation (focus coming back to the main
    // window activates no child anew).
    QPointer<QMdiSubWindow> lastActivated_;
    QList<QAction*> windowListActions_;
    QList<QLabel*> panels_;
    QStringList panelKeys_;
    bool loaded_ = false;
    bool lastSaveOk_ = false;
    bool unloading_ = false;
};


// The slot of the active document window; makes one ("Document n") when
// there is none. Throws std::runtime_error when no slot is vacant.
std::int16_t GetActiveDocumentSlot();

// frmMain members complete
