#include "DocumentTable.h"

#include "richtext/RichTextBox.h"

#include <QVariant>
#include <QWidget>

DocumentTable documentTable;

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
        if (!documentTable.DocSlotUsed[slot]) {
            documentTable.DocSlotUsed[slot] = true;
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
