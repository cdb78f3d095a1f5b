#include "ReadingState.h"

#include "core/StringTable.h"
#include "platform/Registry.h"

#include <QAction>

bool IsSpeaking = false;
bool IsPausing = false;
bool IsDictating = false;
bool IsIdle = false;
// The controller sets this when it loads; before that nothing is read.
bool StopRequested = false;
bool PrevRequested = false;
bool NextRequested = false;
bool IsReadingSelection = false;
bool IsLastSentence = false;
bool IsReadingWhole = false;
bool ResumePending = false;
bool IsReadingClipboard = false;
bool IsSpeakingWord = false;
bool IsSpeakingOther = false;
std::int32_t PunctuationMode = 0;
std::int32_t ReadingPos = 0;
std::int32_t SentenceStart = 0;
bool IsMainShown = false;
bool IsDockShown = false;

FloatingBarFace* ReadingFaces::floatingBar = nullptr;
MainWindowFace* ReadingFaces::mainWindow = nullptr;
QAction* ReadingFaces::mnuTrayStop = nullptr;
QAction* ReadingFaces::mnuTrayPause = nullptr;

namespace {

constexpr int kPauseText = 1131;  // "Pause"
constexpr int kResumeText = 2107; // "Resume"

// The menu items that follow the reading state, in the order they are set,
// with their Enabled value while nothing is spoken, while a reading runs and
// while dictating. The pop-up menu's items are set only in the idle layout.
struct MenuItemState {
    const char* name;
    bool idle;
    bool speaking;
    bool dictating;
};

constexpr MenuItemState kMenuItems[] = {
    {"mnuCtlSpeak", true, false, false},
    {"mnuCtlPause", false, true, false},
    {"mnuCtlStop", false, true, true},
    {"mnuCtlclipboard", true, false, false},
    {"mnuCtlSaveClipboardTexttoWav", true, false, false},
    {"mnuCtlSet", true, false, false},
    {"mnuCtlDictation", true, false, false},
    {"mnuTrayPause", false, true, false},
    {"mnuTrayStop", false, true, true},
    {"mnuTrayReadClipboard", true, false, false},
    {"mnuTrayPlayFile", true, false, false},
    {"mnuTrayClipboardtoWav", true, false, false},
    {"mnuPopSpeak", true, false, false},
    {"mnuPopPaste", true, false, false},
    {"mnuPopPause", false, false, false},
    {"mnuPopStop", false, false, false},
    {"mnuEdit", true, false, true},
    {"mnuWebsite", true, false, false},
    {"mnuFile", true, false, false},
    {"mnuFormat", true, false, false},
    {"mnuWindow(0)", true, false, false},
};

bool isPopUpItem(const char* name)
{
    return QLatin1String(name).startsWith(QLatin1String("mnuPop"));
}

MainWindowFace* shownMainWindow()
{
    return IsMainShown ? ReadingFaces::mainWindow : nullptr;
}

FloatingBarFace* shownFloatingBar()
{
    return IsDockShown ? ReadingFaces::floatingBar : nullptr;
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
        main.setMenuEnabled(QLatin1String(item.name), item.idle);
}

// The document controls of the idle layout from SpeakBtn to cpvSlider1.
void setIdleDocumentButtons(DocumentFace& doc)
{
    doc.setControlEnabled(QStringLiteral("SpeakBtn"), true);
    doc.setControlVisible(QStringLiteral("SpeakBtn"), true);
    doc.setControlEnabled(QStringLiteral("StopBtn"), false);
    doc.setControlVisible(QStringLiteral("PauseBtn"), false);
    doc.setControlVisible(QStringLiteral("ResumeBtn"), false);
    doc.setControlEnabled(QStringLiteral("VoiceCB"), true);
    doc.setControlEnabled(QStringLiteral("cpvSlider1"), true);
}

void showStopped(bool isSpeaking, bool isPausing)
{
    showBarState(false, false);

    if (MainWindowFace* main = shownMainWindow()) {
        setIdleMenus(*main);
        if (DocumentFace* doc = main->activeDocument()) {
            doc->setControlEnabled(QStringLiteral("tbToolBar"), true);
            setIdleDocumentButtons(*doc);
            doc->setControlEnabled(QStringLiteral("NextBtn"), false);
            doc->setControlEnabled(QStringLiteral("PriewBtn"), false);
            doc->control_pos();
        }
    }

    setTrayItem(ReadingFaces::mnuTrayStop, false);
    setTrayItem(ReadingFaces::mnuTrayPause, false);
    storeControl("IsSpeaking", false);

    IsSpeaking = isSpeaking;
    IsPausing = isPausing;
}

void showSpeaking(bool isSpeaking, bool isPausing)
{
    // The bar gets the paused state as it was before this call: its own
    // Pause and Resume buttons store the new value before they get here.
    showBarState(true, IsPausing);

    if (MainWindowFace* main = shownMainWindow()) {
        DocumentFace* doc = main->activeDocument();
        if (doc) {
            doc->setControlEnabled(QStringLiteral("tbToolBar"), false);
            doc->setControlVisible(QStringLiteral("SpeakBtn"), false);
            doc->setControlEnabled(QStringLiteral("StopBtn"), true);
            doc->setControlEnabled(QStringLiteral("PauseBtn"), true);
            doc->setControlVisible(QStringLiteral("PauseBtn"), true);
            doc->setControlVisible(QStringLiteral("ResumeBtn"), false);
            doc->setControlEnabled(QStringLiteral("VoiceCB"), false);
            doc->setControlEnabled(QStringLiteral("cpvSlider1"), false);
        }

        for (const MenuItemState& item : kMenuItems) {
            if (!isPopUpItem(item.name))
                main->setMenuEnabled(QLatin1String(item.name), item.speaking);
        }

        storeControl("IsSpeaking", true);
        setTrayItem(ReadingFaces::mnuTrayStop, true);
        setTrayItem(ReadingFaces::mnuTrayPause, true);

        storeControl("IsPausing", isPausing);
        const QString caption = LoadResString(isPausing ? kResumeText : kPauseText);
        main->setMenuCaption(QStringLiteral("mnuCtlPause"), caption);
        setTrayCaption(ReadingFaces::mnuTrayPause, caption);
        main->setMenuCaption(QStringLiteral("mnuPopPause"), caption);
        if (doc) {
            if (isPausing) {
                doc->setControlVisible(QStringLiteral("PauseBtn"), false);
                doc->setControlVisible(QStringLiteral("ResumeBtn"), true);
                doc->setControlEnabled(QStringLiteral("NextBtn"), false);
                doc->setControlEnabled(QStringLiteral("PriewBtn"), false);
            } else {
                doc->setControlEnabled(QStringLiteral("NextBtn"), true);
                doc->setControlEnabled(QStringLiteral("PriewBtn"), true);
                doc->setControlVisible(QStringLiteral("PauseBtn"), true);
                doc->setControlVisible(QStringLiteral("ResumeBtn"), false);
            }
        }
    }

    IsSpeaking = isSpeaking;
    IsPausing = isPausing;
}

} // namespace

void SetSpeakingState(bool isSpeaking, bool isPausing)
{
    if (isSpeaking)
        showSpeaking(isSpeaking, isPausing);
    else
        showStopped(isSpeaking, isPausing);
}

void SetDictatingState(bool isDictating)
{
    if (!isDictating) {
        showBarState(false, false);
        if (MainWindowFace* main = shownMainWindow()) {
            setIdleMenus(*main);
            main->setMenuEnabled(QStringLiteral("mnuView"), true);
            if (DocumentFace* doc = main->activeDocument()) {
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
            if (DocumentFace* doc = main->activeDocument()) {
                doc->setToolbarButtonEnabled(1, false);
                doc->setToolbarButtonEnabled(2, false);
                doc->setControlVisible(QStringLiteral("SpeakBtn"), false);
                doc->setControlEnabled(QStringLiteral("StopBtn"), true);
                doc->setControlEnabled(QStringLiteral("PauseBtn"), false);
                doc->setControlVisible(QStringLiteral("PauseBtn"), true);
                doc->setControlVisible(QStringLiteral("ResumeBtn"), false);
                doc->setControlEnabled(QStringLiteral("VoiceCB"), false);
                doc->setControlEnabled(QStringLiteral("cpvSlider1"), false);
            }
            for (const MenuItemState& item : kMenuItems) {
                if (!isPopUpItem(item.name))
                    main->setMenuEnabled(QLatin1String(item.name), item.dictating);
            }
            main->setMenuEnabled(QStringLiteral("mnuView"), false);
            storeControl("IsDictating", true);
            setTrayItem(ReadingFaces::mnuTrayStop, true);
            setTrayItem(ReadingFaces::mnuTrayPause, false);
        }
    }

    IsDictating = isDictating;
}
