#include "DocumentTable.h"

#include "RichTextBox.h"
#include "frmDocument.h"
#include "frmMain.h"

#include "core/StringTable.h"

#include <QCoreApplication>

#include <stdexcept>

std::array<QPointer<frmDocument>, kMaxDocuments + 1> Documents;
std::array<bool, kMaxDocuments + 1> DocSlotUsed{};
std::array<QString, kMaxDocuments + 1> DocSavedText;
std::array<bool, kMaxDocuments + 1> DocChanged{};
std::array<QString, kMaxDocuments + 1> DocSaveAsName;
std::int16_t DocCount = 0;
std::int16_t NewSlot = 1;
bool ClosingDocument = false;
bool IgnoreNextChange = false;

int SlotOf(const QWidget* window)
{
    if (!window)
        return 0;
    QString tag;
    if (const auto* doc = qobject_cast<const frmDocument*>(window))
        tag = doc->Tag();
    else
        tag = window->property("Tag").toString();
    bool ok = false;
    const int slot = tag.trimmed().toInt(&ok);
    // Anything but a slot number reads as the loading entry 0.
    return ok && slot >= 0 && slot <= kMaxDocuments ? slot : 0;
}

std::int16_t FindVacantDocumentSlot()
{
    for (int slot = 1; slot <= kMaxDocuments; ++slot) {
        if (!DocSlotUsed[slot]) {
            DocSlotUsed[slot] = true;
            return static_cast<std::int16_t>(slot);
        }
    }
    return -1;
}

std::int16_t GetActiveDocumentSlot()
{
    frmMain* main = frmMain::instance();
    if (!main)
        throw std::runtime_error("the main window is not loaded");
    if (frmDocument* doc = main->activeDocument())
        return static_cast<std::int16_t>(SlotOf(doc));

    NewSlot = FindVacantDocumentSlot();
    if (NewSlot == -1)
        throw std::runtime_error("no free document slot: 30 documents are open");
    const int slot = NewSlot;
    auto* doc = new frmDocument;
    Documents[slot] = doc;
    doc->setWindowTitle(QStringLiteral("Document %1").arg(slot));
    doc->setTag(QString::number(slot));
    main->addDocumentWindow(doc);
    // A new, empty document: nothing to save yet.
    DocSaveAsName[slot].clear();
    DocChanged[slot] = false;
    DocSavedText[slot] = doc->rtfText ? doc->rtfText->Text() : QString();

    frmDocument* active = main->activeDocument();
    const std::int16_t result = static_cast<std::int16_t>(SlotOf(active ? active : doc));
    ++DocCount;
    main->setmenu();
    return result;
}

void ShowLineNumber()
{
    frmMain* main = frmMain::instance();
    if (!main)
        return;
    frmDocument* doc = main->activeDocument();
    if (!doc || !doc->rtfText)
        return;
    int line = 0;
    const int caret = doc->rtfText->SelStart();
    if (caret > 0)
        line = doc->rtfText->GetLineFromChar(caret);
    main->setPanelText(QStringLiteral("Text"), LoadResString(2206) + QString::number(line + 1));
}

void SetSelectionBackColor(RichTextBox* rtf, std::uint32_t color)
{
    if (rtf)
        rtf->SetSelectionBackColor(color);
}

void SetAllBackColor(RichTextBox* rtf, std::uint32_t color)
{
    if (rtf)
        rtf->SetAllBackColor(color);
}
