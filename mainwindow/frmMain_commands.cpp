// The Edit, View, Window, Control and Help commands, the right-click menu,
// and the small routines that act on the active document by name. The font
// and zoom commands are in frmMain_format.cpp.
//
// Every command works on the active document window; with none, the steps
// that need it do nothing and the others still run.
#include "frmMain.h"

#include "MdiArrange.h"
#include "richtext/RichTextBox.h"
#include "frmDocument.h"
#include "frmFind.h"

#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/ProgramWindows.h"
#include "core/ServerAddress.h"
#include "core/SettingsStore.h"
#include "core/Utilities.h"
#include "speech/ReadingState.h"
#include "speech/SpeechController.h"

#include <QAction>
#include <QMdiArea>
#include <QUrl>

namespace {

// The value sent to the poll page as its "version".
const char kProgramVersion[] = "96";

// Runs a step on the active document's rich-text control; nothing without one.
template <class F>
void onActiveText(const frmMain* main, F&& step)
{
    frmDocument* doc = main->activeDocument();
    if (!doc || !doc->rtfText)
        return;
    RichTextBox* rtf = doc->rtfText;
    IgnoreErrors([&] { step(rtf); });
}

// Runs a step on the active document window; nothing without one.
template <class F>
void onActiveDocument(const frmMain* main, F&& step)
{
    frmDocument* doc = main->activeDocument();
    if (!doc)
        return;
    IgnoreErrors([&] { step(doc); });
}

// The maker's e-mail address: the support mailbox of the server's domain.
QString contactAddress()
{
    QString host = QUrl(ServerAddress()).host();
    if (host.startsWith(QLatin1String("www.")))
        host.remove(0, 4);
    if (host.isEmpty())
        host = QStringLiteral("lectova.example");
    return QStringLiteral("support@") + host;
}

} // namespace

// ---- Edit ----

void frmMain::mnuEditUndo_Click()
{
    onActiveText(this, [](RichTextBox* rtf) { rtf->undo(); });
}

void frmMain::mnuEditCut_Click()
{
    onActiveText(this, [](RichTextBox* rtf) {
        rtf->cut();
        rtf->setSelText(QString());
    });
}

void frmMain::mnuEditCopy_Click()
{
    onActiveText(this, [](RichTextBox* rtf) { rtf->copy(); });
}

void frmMain::mnuEditPaste_Click()
{
    onActiveText(this, [](RichTextBox* rtf) { rtf->paste(); });
}

void frmMain::mnuEditSelectAll_Click()
{
    onActiveText(this, [](RichTextBox* rtf) {
        rtf->setSelStart(0);
        rtf->setSelLength(rtf->TextLength());
    });
}

void frmMain::mnuEditFind_Click()
{
    IgnoreErrors([this] { frmFind::ShowFind(this); });
}

void frmMain::mnuPopCut_Click()
{
    mnuEditCut_Click();
}

void frmMain::mnuPopCopy_Click()
{
    mnuEditCopy_Click();
}

void frmMain::mnuPopPaste_Click()
{
    mnuEditPaste_Click();
}

void frmMain::mnuPopFont_Click()
{
    mnuFormatFont_Click();
}

// ---- View ----

void frmMain::mnuWindowBar_Click()
{
    // Unloads this window (later, through its close): nothing may follow.
    IgnoreErrors([] { SpeechController::get().mnuTrayShowDock_Click(); });
}

// The text and web views of the document window are gone; both entries
// stay hidden and do nothing.
void frmMain::mnuWindowText_Click() {}
void frmMain::mnuWindowBrowser_Click() {}

// ---- Window ----

void frmMain::mnuWindowCascade_Click()
{
    ArrangeSubWindows(mdiArea, vbCascade);
}

void frmMain::mnuWindowTileHorizontal_Click()
{
    ArrangeSubWindows(mdiArea, vbTileHorizontal);
}

void frmMain::mnuWindowTileVertical_Click()
{
    ArrangeSubWindows(mdiArea, vbTileVertical);
}

void frmMain::mnuWindowArrangeIcons_Click()
{
    ArrangeSubWindows(mdiArea, vbArrangeIcons);
}

// ---- Control ----

void frmMain::mnuCtlSpeak_Click()
{
    onActiveDocument(this, [](frmDocument* doc) { doc->SpeakBtn_Click(); });
}

void frmMain::mnuCtlPause_Click()
{
    IgnoreErrors([] {
        SpeechController& controller = SpeechController::get();
        if (readingState.IsPausing())
            controller.ResumeSpeaking();
        else
            controller.PauseSpeaking();
    });
}

void frmMain::mnuCtlStop_Click()
{
    onActiveDocument(this, [](frmDocument* doc) { doc->StopBtn_Click(); });
}

void frmMain::mnuCtlclipboard_Click()
{
    const bool on = !mnuCtlclipboard->isChecked();
    mnuCtlclipboard->setChecked(on);
    IgnoreErrors([on] { SpeechController::get().mnuTrayclipboard_SetChecked(on); });
    IgnoreErrors([on] {
        WriteSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("AutoClipboard"),
                     on ? QStringLiteral("1") : QStringLiteral("0"));
    });
}

void frmMain::mnuCtlDictation_Click()
{
    onActiveDocument(this, [](frmDocument* doc) { doc->Btndictate_Click(); });
}

void frmMain::mnuCtlSet_Click()
{
    IgnoreErrors([] { ProgramWindows::get().frmSet_ShowModal(); });
}

// Saving the clipboard as a sound file is not offered by the document
// window: the entry stays hidden and does nothing.
void frmMain::mnuCtlSaveClipboardTexttoWav_Click() {}

void frmMain::mnuTrayClipboardtoWav_Click()
{
    mnuCtlSaveClipboardTexttoWav_Click();
}

void frmMain::mnuPopSpeak_Click()
{
    mnuCtlSpeak_Click();
}

void frmMain::mnuPopPause_Click()
{
    mnuCtlPause_Click();
}

void frmMain::mnuPopStop_Click()
{
    mnuCtlStop_Click();
}

// ---- Help ----

void frmMain::mnuHelphelp_Click()
{
    IgnoreErrors([] { ShellOpenWithMessage(globals.AppFolder + QStringLiteral("/Lectova.CHM"), QStringLiteral("6750")); });
}

void frmMain::mnuHelpWebsite_Click()
{
    IgnoreErrors([] { ShellOpen(ServerAddress(), QString()); });
}

void frmMain::mnuHelpAddVoices_Click()
{
    // With its scheme: an address without one would be taken for a file.
    IgnoreErrors([] { ShellOpen(ServerUrl(QStringLiteral("sample.htm")), QString()); });
}

void frmMain::MnuSug_Click()
{
    IgnoreErrors([] {
        ShellOpen(ServerUrl(QStringLiteral("minipoll1.php?version=") + QLatin1String(kProgramVersion)), QString());
    });
}

void frmMain::mnuEmailus_Click()
{
    IgnoreErrors([] { ShellOpen(QStringLiteral("mailto:") + contactAddress(), QString()); });
}

void frmMain::mnuHelpAbout_Click()
{
    IgnoreErrors([] { ProgramWindows::get().Aboutus_Show(); });
}

void frmMain::mnuVideoHelp_Click() {}

// ---- routines on the active document that no menu reaches ----

void frmMain::SpeakNextInActive()
{
    onActiveDocument(this, [](frmDocument* doc) { doc->SpeakNext(); });
}

void frmMain::SpeakPrevInActive()
{
    onActiveDocument(this, [](frmDocument* doc) { doc->SpeakPriew(); });
}

void frmMain::PlayInActive()
{
    onActiveDocument(this, [](frmDocument* doc) { doc->Play_Click(); });
}

void frmMain::ShowEditBarInActive()
{
    onActiveDocument(this, [](frmDocument* doc) { doc->ShowEditBar(); });
}

// Writing into an existing sound file is not offered by the document
// window: nothing to do.
void frmMain::OutputToExistingFileInActive() {}

void frmMain::mnuWindow_Click(int index)
{
    if (index == 0)
        return;
    onActiveDocument(this, [](frmDocument* doc) { doc->control_pos(); });
}
