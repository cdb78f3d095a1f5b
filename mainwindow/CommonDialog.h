#pragma once
// dlgCommonDialog: the main window's one common dialog, shared by Open,
// Save As and Font. Each command sets the properties it uses, then calls
// ShowOpen, ShowSave or ShowFont. A cancelled file dialog leaves FileName
// as the command set it (normally ""); a cancelled font dialog keeps the
// seeded values.
//
// Tests answer the dialog through SetCommonDialogAnswerer instead of a
// person: the answerer sees the dialog with the command's properties and
// fills in what the user would have chosen.

#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

class CommonDialog {
public:
    enum Kind { Open, Save, Font };

    // Flags: 2 overwrite prompt, 4 hide read-only (file dialogs);
    // 1 screen fonts, 2 printer fonts, 256 effects (font dialog).
    int Flags = 0;
    // "Description|pattern|Description|pattern..." as the file dialogs take it.
    QString Filter;
    // The full path chosen; "" when cancelled. Save adds the chosen
    // filter's extension to a name that has none.
    QString FileName;
    // The chosen file's name without its folder.
    QString FileTitle;
    // 1-based: the filter shown first, then the one the user chose.
    int FilterIndex = 1;
    // The folder a file dialog starts in ("" for the working folder), and
    // the name Save proposes when FileName is "" (a cancelled dialog still
    // leaves FileName as the command set it).
    QString InitDir;
    QString InitFileName;

    // The font dialog's values.
    QString FontName;
    float FontSize = 0.0F;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontStrikethru = false;
    bool FontUnderline = false;
    std::uint32_t Color = 0; // COLORREF

    // The window the dialogs are shown over.
    QWidget* owner = nullptr;

    void ShowOpen();
    void ShowSave();
    void ShowFont();

    // Converts "Text|*.txt|All|*.rtf;*.txt" to Qt's "Text (*.txt);;All (*.rtf *.txt)";
    // a description that already ends in its patterns keeps them once.
    static QString toQtFilter(const QString& filter);
    // The extension ("rtf") of the first pattern of filter `index`
    // (1-based) of a Filter string; "" for none or a wildcard.
    static QString filterExtension(const QString& filter, int index);
};

// Answers the dialog instead of a person while set; pass {} to go back to
// the real dialogs.
using CommonDialogAnswerer = std::function<void(CommonDialog& dialog, CommonDialog::Kind kind)>;
void SetCommonDialogAnswerer(CommonDialogAnswerer answerer);
