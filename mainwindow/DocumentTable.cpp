#include "DocumentTable.h"

#include "RichTextBox.h"

#include <QVariant>
#include <QWidget>

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
    // A document window keeps its Tag as this property too.
    const QString tag = window->property("Tag").toString();
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
