#pragma once
// The table of open document windows: up to 30, each in a numbered slot
// 1..30 whose number the window keeps in its "Tag" property. It remembers
// what each document last saved and whether it was edited.

#include <QPointer>
#include <QString>

#include "richtext/TextFingerprint.h"

#include <array>
#include <cstdint>

class frmDocument;
class RichTextBox;
class QWidget;

constexpr int kMaxDocuments = 30;

struct DocumentTable {
    // Indexed by slot 1..30 (index 0 unused, except DocChanged).
    std::array<QPointer<frmDocument>, kMaxDocuments + 1> Documents;
    std::array<bool, kMaxDocuments + 1> DocSlotUsed{};
    // The text as loaded or last saved, kept as its fingerprint.
    std::array<TextFingerprint, kMaxDocuments + 1> DocSavedText;
    // Entry 0 belongs to a window whose Tag is still empty (while it loads).
    std::array<bool, kMaxDocuments + 1> DocChanged{};
    std::array<QString, kMaxDocuments + 1> DocSaveAsName;
    std::int16_t DocCount = 0;
    // Result of the last vacant-slot search; -1 when none was vacant.
    std::int16_t NewSlot = 1;
    // Set by a closing window just before it saves; cleared on activation.
    bool ClosingDocument = false;
    // The next text change of a document window is not an edit.
    bool IgnoreNextChange = false;
};

// The program's one table of documents.
extern DocumentTable documentTable;

// Reading highlight colours (COLORREF).
constexpr std::uint32_t kSentenceYellow = 0x00FFFF;
constexpr std::uint32_t kClearedWhite = 0xFFFFFF;

// The slot a window's Tag names (0 for an empty or non-numeric Tag).
int SlotOf(const QWidget* window);
// Takes the lowest vacant slot and returns it; -1 when all are taken.
std::int16_t FindVacantDocumentSlot();
// Background of the selection, or of the whole text.
void SetSelectionBackColor(RichTextBox* rtf, std::uint32_t color);
void SetAllBackColor(RichTextBox* rtf, std::uint32_t color);
