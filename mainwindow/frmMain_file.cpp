// The File menu: New, Open, Save, Save As, Print, Close, Exit and the
// recent-file entries. Documents are plain text or RTF by the last three
// letters of their file name.
#include "frmMain.h"

#include "DocumentTable.h"
#include "RecentFiles.h"
#include "richtext/RichTextBox.h"
#include "frmDocument.h"

#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"
#include "core/StringTable.h"
#include "speech/SpeechController.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <stdexcept>

namespace {

frmMain::RichTextPrinter& richTextPrinter()
{
    static frmMain::RichTextPrinter printer;
    return printer;
}

bool endsWith3(const QString& name, const char* suffix)
{
    return name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}

TextFingerprint savedTextOf(const frmDocument* doc)
{
    return doc && doc->rtfText ? doc->rtfText->Fingerprint() : TextFingerprint();
}

// A name given to a new document: "Document " and its slot.
bool isNewDocumentName(const QString& name)
{
    return name.left(8) == QLatin1String("Document");
}

// Whether a document has a file of its own: not a new one, nor the
// welcome text in the program folder.
bool hasFileOfItsOwn(const QString& name)
{
    return !name.isEmpty() && !isNewDocumentName(name) && name != globals.AppFolder + QStringLiteral("/first.txt");
}

// Where the file dialogs start: the active document's folder, when it has
// a file of its own, else the user's documents folder.
QString dialogFolder(const frmDocument* doc)
{
    if (doc && hasFileOfItsOwn(doc->windowTitle())) {
        const QFileInfo file(doc->windowTitle());
        if (QFileInfo(file.absolutePath()).isDir())
            return file.absolutePath();
    }
    return globals.MyDocsFolder.isEmpty() ? QDir::homePath() : globals.MyDocsFolder;
}

} // namespace

bool frmMain::isRtfForOpen(const QString& name)
{
    return endsWith3(name, "RTF");
}

bool frmMain::isRtfForSave(const QString& name)
{
    return endsWith3(name, "DOC") || endsWith3(name, "RTF");
}

bool frmMain::isRtfForSaveAs(const QString& name)
{
    return endsWith3(name, "RTF");
}

void frmMain::setRichTextPrinter(RichTextPrinter printer)
{
    richTextPrinter() = std::move(printer);
}

// ---- New and Open ----

void frmMain::mnuFileNew_Click()
{
    documentTable.NewSlot = FindVacantDocumentSlot();
    if (documentTable.NewSlot == -1)
        return; // 30 documents are open
    const int slot = documentTable.NewSlot;
    auto* doc = new frmDocument;
    documentTable.Documents[slot] = doc;
    doc->setTag(QString::number(slot));
    addDocumentWindow(doc);
    documentTable.DocSaveAsName[slot].clear();
    doc->setWindowTitle(QStringLiteral("Document %1").arg(slot));
    IgnoreErrors([doc] { doc->control_pos(); });
    QCoreApplication::processEvents();
    ++documentTable.DocCount;
    documentTable.DocChanged[slot] = false;
    documentTable.DocSavedText[slot] = savedTextOf(doc);
    // The window was activated before it was counted: bring the menus up
    // to date with the new count.
    setmenu();
}

void frmMain::mnuWindowNewWindow_Click()
{
    mnuFileNew_Click();
}

void frmMain::mnuFileOpen_Click()
{
    if (frmDocument* doc = activeDocument())
        doc->view_status = 1;
    dlgCommonDialog.owner = this;
    dlgCommonDialog.Filter = QStringLiteral("All files|*.rtf;*.txt|RTF Files (*.rtf)|*.rtf|text files|*.txt");
    dlgCommonDialog.FilterIndex = 1;
    dlgCommonDialog.FileName.clear();
    dlgCommonDialog.InitDir = dialogFolder(activeDocument());
    dlgCommonDialog.InitFileName.clear();
    dlgCommonDialog.ShowOpen();
    // A copy: the new window's activation sets the dialog's file name.
    const QString chosen = dlgCommonDialog.FileName;
    if (chosen.isEmpty())
        return; // cancelled
    OpenFileInNewWindow(chosen, true);
}

frmDocument* frmMain::OpenFileInNewWindow(const QString& path)
{
    return OpenFileInNewWindow(path, false);
}

frmDocument* frmMain::OpenFileInNewWindow(const QString& pathRef, bool reportFailure)
{
    // A copy: the caller's string may change while the window activates.
    const QString path = pathRef;
    documentTable.NewSlot = FindVacantDocumentSlot();
    if (documentTable.NewSlot == -1)
        return nullptr;
    const int slot = documentTable.NewSlot;
    auto* doc = new frmDocument;
    documentTable.Documents[slot] = doc;
    doc->setTag(QString::number(slot));
    addDocumentWindow(doc);
    ++documentTable.DocCount;
    IgnoreErrors([&] { AddRecentFile(path); });
    documentTable.IgnoreNextChange = true;
    // The text takes the configured font and colour as it goes in, the
    // caret at the start: formatting a long text once it is in would lay it
    // all out again. A setting that cannot be read leaves out itself and
    // those after it.
    RichTextBox::FontAndColor look;
    IgnoreErrors([&] { doc->readConfiguredLook(look); });
    QString failure;
    try {
        doc->rtfText->LoadFile(path, isRtfForOpen(path) ? RichTextBox::rtfRTF : RichTextBox::rtfText, look);
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    }
    // Loading an empty file, or none, raises no change: the next change is
    // the user's.
    documentTable.IgnoreNextChange = false;
    doc->setWindowTitle(path);
    doc->view_status = 1;
    IgnoreErrors([doc] { doc->control_pos(); });
    documentTable.DocChanged[slot] = false;
    documentTable.DocSavedText[slot] = savedTextOf(doc);
    setmenu();
    if (reportFailure && !failure.isEmpty()) {
        // The window stays, empty and captioned with the path; the user is
        // told why, so an empty window is not taken for the file's content.
        MsgBox(QStringLiteral("The file could not be opened:\n%1\n\n%2").arg(path, failure),
               vbOKOnly + vbExclamation, QString(), this);
    }
    return doc;
}

void frmMain::mnuRUF_Click(int index)
{
    QAction* item = mnuRUF.value(index, nullptr);
    if (!item)
        return;
    const QString path = RecentFilePath(item);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isFile())
        return; // a file that is gone stays listed and opens nothing
    if (OpenFileInNewWindow(path, true))
        IgnoreErrors([&] { AddRecentFile(path); });
}

// ---- Save and Save As ----

bool frmMain::saveActiveDocument(const QString& name, bool rtf)
{
    frmDocument* doc = activeDocument();
    if (!doc || !doc->rtfText)
        return false;
    try {
        doc->rtfText->SaveFile(name, rtf ? RichTextBox::rtfRTF : RichTextBox::rtfText);
        return true;
    } catch (const std::exception& e) {
        // Nothing is marked saved: the document keeps its text, its change
        // flag and its place, and the user learns why.
        MsgBox(QStringLiteral("The document could not be saved to\n%1\n\n%2").arg(name, QString::fromUtf8(e.what())),
               vbOKOnly + vbExclamation, QString(), this);
        return false;
    }
}

void frmMain::mnuFileSave_Click()
{
    lastSaveOk_ = false;
    frmDocument* doc = activeDocument();
    if (!doc)
        return;
    const int slot = SlotOf(doc);
    const QString name = doc->windowTitle();
    if (!hasFileOfItsOwn(name)) {
        // A document without a file of its own (or the welcome text) is
        // saved under a name the user chooses; Save As records the result.
        mnuFileSaveAs_Click();
        return;
    }
    IgnoreErrors([&] { AddRecentFile(name); });
    if (!saveActiveDocument(name, isRtfForSave(name))) {
        // The close that asked for this save does not go ahead.
        documentTable.ClosingDocument = false;
        return;
    }
    documentTable.DocChanged[slot] = false;
    if (documentTable.ClosingDocument) {
        --documentTable.DocCount;
        setmenu();
    }
    documentTable.DocSavedText[slot] = savedTextOf(doc);
    lastSaveOk_ = true;
}

void frmMain::mnuFileSaveAs_Click()
{
    lastSaveOk_ = false;
    dlgCommonDialog.owner = this;
    dlgCommonDialog.Flags = 6;
    dlgCommonDialog.Filter = QStringLiteral("RTF Files (*.rtf)|*.rtf|Text files (*.txt)|*.txt");
    dlgCommonDialog.FilterIndex = 1;
    dlgCommonDialog.FileName.clear();
    // The dialog proposes the document's own name, in its own folder.
    const frmDocument* active = activeDocument();
    dlgCommonDialog.InitDir = dialogFolder(active);
    dlgCommonDialog.InitFileName = active ? QFileInfo(active->windowTitle()).fileName() : QString();
    dlgCommonDialog.ShowSave();
    // With the extension of the chosen filter when the name had none.
    const QString fileName = dlgCommonDialog.FileName;
    if (fileName.isEmpty()) {
        // Cancelled: nothing is saved, and a closing document stays open.
        documentTable.ClosingDocument = false;
        return;
    }
    IgnoreErrors([&] { AddRecentFile(fileName); });
    frmDocument* doc = activeDocument();
    if (!doc || !saveActiveDocument(fileName, isRtfForSaveAs(fileName))) {
        documentTable.ClosingDocument = false;
        return;
    }
    const int slot = SlotOf(doc);
    if (documentTable.DocChanged[slot])
        documentTable.DocChanged[slot] = false;
    doc->setWindowTitle(fileName);
    documentTable.DocSaveAsName[slot] = dlgCommonDialog.FileTitle.isEmpty() ? fileName : dlgCommonDialog.FileTitle;
    if (documentTable.ClosingDocument) {
        --documentTable.DocCount;
        setmenu();
    }
    documentTable.DocSavedText[slot] = savedTextOf(doc);
    lastSaveOk_ = true;
}

// ---- Print, Close, Exit ----

void frmMain::mnuFilePrint_Click()
{
    frmDocument* doc = activeDocument();
    if (!doc) {
        MsgBox(QStringLiteral("No open documents !"), vbOKOnly, LoadResString(2205), this);
        return;
    }
    if (richTextPrinter())
        IgnoreErrors([doc] { richTextPrinter()(doc->rtfText, 720, 720, 720, 720); });
}

void frmMain::mnuFileClose_Click()
{
    frmDocument* doc = activeDocument();
    if (doc) {
        const int slot = SlotOf(doc);
        QMdiSubWindow* sub = mdiArea->currentSubWindow();
        // The window's unload stops reading and may ask to save; when that
        // save is cancelled or fails the window stays and keeps its slot.
        if (sub && sub->close())
            documentTable.DocSlotUsed[slot] = false;
    }
    setmenu();
}

void frmMain::mnuFileExit_Click()
{
    // A document that could not be saved keeps the program running.
    if (!unloadWindow())
        return;
    close();
    SpeechController::get().mnuTrayExit_Click();
}

std::int16_t GetActiveDocumentSlot()
{
    frmMain* main = frmMain::instance();
    if (!main)
        throw std::runtime_error("the main window is not loaded");
    if (frmDocument* doc = main->activeDocument())
        return static_cast<std::int16_t>(SlotOf(doc));

    documentTable.NewSlot = FindVacantDocumentSlot();
    if (documentTable.NewSlot == -1)
        throw std::runtime_error("no free document slot: 30 documents are open");
    const int slot = documentTable.NewSlot;
    auto* doc = new frmDocument;
    documentTable.Documents[slot] = doc;
    doc->setWindowTitle(QStringLiteral("Document %1").arg(slot));
    doc->setTag(QString::number(slot));
    main->addDocumentWindow(doc);
    // A new, empty document: nothing to save yet.
    documentTable.DocSaveAsName[slot].clear();
    documentTable.DocChanged[slot] = false;
    documentTable.DocSavedText[slot] = savedTextOf(doc);

    frmDocument* active = main->activeDocument();
    const std::int16_t result = static_cast<std::int16_t>(SlotOf(active ? active : doc));
    ++documentTable.DocCount;
    main->setmenu();
    return result;
}
