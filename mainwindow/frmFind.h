#pragma once
// frmFind: the find-and-replace window of the main window. Modeless, owned
// by the main window, one instance; it works on the rich-text control of
// whichever document window is active when a button is pressed, so one
// window serves all documents. It stays open until Cancel unloads it.
//
// The only state kept between clicks is the caption of cmdFind: "&Find"
// (string 2060) means the next search starts at the top of the document;
// "&Find Next" (string 2059) means it starts right after the current
// selection. Search text, options and position are read afresh each time.

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RichTextBox;

class frmFind : public QDialog {
    Q_OBJECT
public:
    explicit frmFind(QWidget* owner = nullptr);
    ~frmFind() override;

    // Shows the one instance modeless, owned by `owner` (the main window),
    // creating it on first use, and brings it to the front. Edit > Find.
    static frmFind* ShowFind(QWidget* owner);
    // The instance while it is loaded; nullptr otherwise.
    static frmFind* instance();

    QLabel* lblFind = nullptr;           // "Find" (2067)
    QLineEdit* txtFind = nullptr;        // the search text
    QLabel* lblReplace = nullptr;        // "Replace with" (2063)
    QLineEdit* txtReplace = nullptr;     // the replacement text
    QCheckBox* chkMatchCase = nullptr;   // "Match Case" (2065): checked = case-sensitive
    QCheckBox* chkWholeWord = nullptr;   // "Find Whole Word Only" (2064)
    QPushButton* cmdFind = nullptr;      // "&Find" (2060) / "&Find Next" (2059)
    QPushButton* cmdReplace = nullptr;   // "&Replace.." (2061)
    QPushButton* cmdReplaceAll = nullptr; // "Replace &All" (2062)
    QPushButton* Cmdcancel = nullptr;    // "&Cancel" (2066)

    // Find from the top, or find next after the current selection.
    void cmdFind_Click();
    // Replaces the selection when it is the search text, then searches on.
    void cmdReplace_Click();
    // Replaces every match in the active document; reports the count.
    // Returns the number of replacements made.
    int cmdReplaceAll_Click();
    // Unloads the window.
    void Cmdcancel_Click();
    // Strings into the captions, DPI scaling of the window and its buttons.
    void Form_Load();

    // The find flags from the check boxes (rtfWholeWord + rtfMatchCase).
    int SearchOptions() const;
    // True while cmdFind's caption is "&Find Next".
    bool IsFindNext() const;

    // Replaces every match of `text` in `box` from position 0, each search
    // resuming right after the inserted replacement; returns the count. The
    // replacements form one undo step. Does nothing for an empty `text`.
    static int ReplaceAllIn(RichTextBox* box, const QString& text, const QString& replacement,
                            int options);

private:
    // The active document's rich-text control, or nullptr.
    RichTextBox* activeText() const;

    static QPointer<frmFind> s_instance;
};
