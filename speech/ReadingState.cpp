#include "ReadingState.h"

#include "core/StringTable.h"
#include "platform/Registry.h"

#include <QAction>

ReadingState readingState;

ActiveDocument::~ActiveDocument()
{
    readingState.letGo(this);
}

namespace {

constexpr int kPauseText = 1131;  // "Pause"
constexpr int kResumeText = 2107; // "Resume"

// The menu items that follow the reading state, in the order they are set,
// with their Enabled value while nothing is spoken, while a reading runs and
// while dictating. The pop-up menu's items are set only in the idle layout.
struct MenuItemState {
    MenuItem item;
    bool idle;
    bool speaking;
    bool dictating;
};

constexpr MenuItemState kMenuItems[] = {
    {MenuItem::mnuCtlSpeak, true, false, false},
    {MenuItem::mnuCtlPause, false, true, false},
    {MenuItem::mnuCtlStop, false, true, true},
    {MenuItem::mnuCtlclipboard, true, false, false},
    {MenuItem::mnuCtlSaveClipboardTexttoWav, true, false, false},
    {MenuItem::mnuCtlSet, true, false, false},
    {MenuItem::mnuCtlDictation, true, false, false},
    {MenuItem::mnuTrayPause, false, true, false},
    {MenuItem::mnuTrayStop, false, true, true},
    {MenuItem::mnuTrayReadClipboard, true, false, false},
    {MenuItem::mnuTrayPlayFile, true, false, false},
    {MenuItem::mnuTrayClipboardtoWav, true, false, false},
    {MenuItem::mnuPopSpeak, true, false, false},
    {MenuItem::mnuPopPaste, true, false, false},
    {MenuItem::mnuPopPause, false, false, false},
    {MenuItem::mnuPopStop, false, false, false},
    {MenuItem::mnuEdit, true, false, true},
    {MenuItem::mnuWebsite, true, false, false},
    {MenuItem::mnuFile, true, false, false},
    {MenuItem::mnuFormat, true, false, false},
    {MenuItem::mnuWindow, true, false, false},
};

bool isPopUpItem(MenuItem item)
{
    switch (item) {
    case MenuItem::mnuPopSpeak:
    case MenuItem::mnuPopPaste:
    case MenuItem::mnuPopPause:
    case MenuItem::mnuPopStop:
        return true;
    default:
        return false;
    }
}

MainWindowFace* shownMainWindow()
{
    return readingState.IsMainShown() ? ReadingFaces::get().mainWindow() : nullptr;
}

// The document window whose controls show a reading: the one being read,
// whichever window is active; else the active one.
ActiveDocument* shownDocument()
{
    if (ActiveDocument* read = readingState.ReadingDocument())
        return read;
    return ReadingFaces::get().activeDocument();
}

FloatingBarFace* shownFloatingBar()
{
    return readingState.IsDockShown() ? ReadingFaces::get().floatingBar() : nullptr;
}

void showBarState(bool speaking, bool paused)
{
    if (FloatingBarFace* bar = shownFloatingBar())
        bar->docksetmemnu(speaking, paused);
}

void setTrayItem(QAction* item, bool enabled)
{
    if (item)
        item->setEnabled(enabled);
}

void setTrayCaption(QAction* item, const QString& caption)
{
    if (item)
        item->setText(caption);
}

void storeControl(const char* name, bool on)
{
    SaveSetting(QStringLiteral("Corvane"), QStringLiteral("Controls"), QLatin1String(name),
                on ? QStringLiteral("1") : QStringLiteral("0"));
}

// The menu items of the idle layout (used by both routines).
void setIdleMenus(MainWindowFace& main)
{
    for (const MenuItemState& item : kMenuItems)
        main.setMenuEnabled(item.item, item.idle);
}

// The document controls of the idle layout from SpeakBtn to cpvSlider1.
void setIdleDocumentButtons(ActiveDocument& doc)
{
    doc.setControlEnabled(DocumentControl::SpeakBtn, true);
    doc.setControlVisible(DocumentControl::SpeakBtn, true);
    doc.setControlEnabled(DocumentControl::StopBtn, false);
    doc.setControlVisible(DocumentControl::PauseBtn, false);
    doc.setControlVisible(DocumentControl::ResumeBtn, false);
    doc.setControlEnabled(DocumentControl::VoiceCB, true);
    doc.setControlEnabled(DocumentControl::cpvSlider1, true);
}

void showStopped()
{
    showBarState(false, false);

    if (MainWindowFace* main = shownMainWindow()) {
        setIdleMenus(*main);
        // The document read and the active one, when that is another: its
        // toolbar went off when it was activated during the reading.
        ActiveDocument* read = readingState.ReadingDocument();
        ActiveDocument* active = ReadingFaces::get().activeDocument();
        for (ActiveDocument* doc : {read, active != read ? active : nullptr}) {
            if (!doc)
                continue;
            doc->setControlEnabled(DocumentControl::tbToolBar, true);
            setIdleDocumentButtons(*doc);
            doc->setControlEnabled(DocumentControl::NextBtn, false);
            doc->setControlEnabled(DocumentControl::PriewBtn, false);
            doc->control_pos();
        }
    }

    setTrayItem(ReadingFaces::mnuTrayStop, false);
    setTrayItem(ReadingFaces::mnuTrayPause, false);
    storeControl("IsSpeaking", false);
}

void showSpeaking(bool isPausing)
{
    // The bar gets the paused state as it was before this call: its own
    // Pause and Resume buttons have the new value stored (through this
    // routine) before the controller's call gets here.
    showBarState(true, readingState.IsPausing());

    if (MainWindowFace* main = shownMainWindow()) {
        ActiveDocument* doc = shownDocument();
        if (doc) {
            doc->setControlEnabled(DocumentControl::tbToolBar, false);
            doc->setControlVisible(DocumentControl::SpeakBtn, false);
            doc->setControlEnabled(DocumentControl::StopBtn, true);
            doc->setControlEnabled(DocumentControl::PauseBtn, true);
            doc->setControlVisible(DocumentControl::PauseBtn, true);
            doc->setControlVisible(DocumentControl::ResumeBtn, false);
            doc->setControlEnabled(DocumentControl::VoiceCB, false);
            doc->setControlEnabled(DocumentControl::cpvSlider1, false);
        }

        for (const MenuItemState& item : kMenuItems) {
            if (!isPopUpItem(item.item))
                main->setMenuEnabled(item.item, item.speaking);
        }

        storeControl("IsSpeaking", true);
        setTrayItem(ReadingFaces::mnuTrayStop, true);
        setTrayItem(ReadingFaces::mnuTrayPause, true);

        storeControl("IsPausing", isPausing);
        const QString caption = LoadResString(isPausing ? kResumeText : kPauseText);
        main->setMenuCaption(MenuItem::mnuCtlPause, caption);
        setTrayCaption(ReadingFaces::mnuTrayPause, caption);
        main->setMenuCaption(MenuItem::mnuPopPause, caption);
        if (doc) {
            if (isPausing) {
                doc->setControlVisible(DocumentControl::PauseBtn, false);
                doc->setControlVisible(DocumentControl::ResumeBtn, true);
                doc->setControlEnabled(DocumentControl::NextBtn, false);
                doc->setControlEnabled(DocumentControl::PriewBtn, false);
            } else {
                doc->setControlEnabled(DocumentControl::NextBtn, true);
                doc->setControlEnabled(DocumentControl::PriewBtn, true);
                doc->setControlVisible(DocumentControl::PauseBtn, true);
                doc->setControlVisible(DocumentControl::ResumeBtn, false);
            }
        }
    }
}

} // namespace

void SetSpeakingState(bool isSpeaking, bool isPausing)
{
    if (isSpeaking)
        showSpeaking(isPausing);
    else
        showStopped();
    readingState.isSpeaking_ = isSpeaking;
    readingState.isPausing_ = isPausing;
}

void SetDictatingState(bool isDictating)
{
    if (!isDictating) {
        showBarState(false, false);
        if (MainWindowFace* main = shownMainWindow()) {
            setIdleMenus(*main);
            main->setMenuEnabled(MenuItem::mnuView, true);
            if (ActiveDocument* doc = ReadingFaces::get().activeDocument()) {
                doc->setToolbarButtonEnabled(1, true);
                doc->setToolbarButtonEnabled(2, true);
                setIdleDocumentButtons(*doc);
                doc->control_pos();
            }
        }
        setTrayItem(ReadingFaces::mnuTrayStop, false);
        setTrayItem(ReadingFaces::mnuTrayPause, false);
        storeControl("IsDictating", false);
    } else {
        // (not speaking, paused) gives the bar its idle layout.
        showBarState(false, true);
        if (MainWindowFace* main = shownMainWindow()) {
            if (ActiveDocument* doc = ReadingFaces::get().activeDocument()) {
                doc->setToolbarButtonEnabled(1, false);
                doc->setToolbarButtonEnabled(2, false);
                doc->setControlVisible(DocumentControl::SpeakBtn, false);
                doc->setControlEnabled(DocumentControl::StopBtn, true);
                doc->setControlEnabled(DocumentControl::PauseBtn, false);
                doc->setControlVisible(DocumentControl::PauseBtn, true);
                doc->setControlVisible(DocumentControl::ResumeBtn, false);
                doc->setControlEnabled(DocumentControl::VoiceCB, false);
                doc->setControlEnabled(DocumentControl::cpvSlider1, false);
            }
            for (const MenuItemState& item : kMenuItems) {
                if (!isPopUpItem(item.item))
                    main->setMenuEnabled(item.item, item.dictating);
            }
            main->setMenuEnabled(MenuItem::mnuView, false);
            storeControl("IsDictating", true);
            setTrayItem(ReadingFaces::mnuTrayStop, true);
            setTrayItem(ReadingFaces::mnuTrayPause, false);
        }
    }

    readingState.isDictating_ = isDictating;
}
