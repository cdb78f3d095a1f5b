#pragma once
// What the document windows and the Find dialog need of the main window
// that holds them. The main window implements it; instance() gives the one
// that exists, or null.

#include <QString>

class CommonDialog;
class QMenu;
class frmDocument;

class DocumentHost {
public:
    static DocumentHost* instance();

    // The active document window, or null.
    virtual frmDocument* activeDocument() const = 0;
    // Status-bar panels by 1-based index or by key.
    virtual void setPanelText(int index, const QString& text) = 0;
    virtual void setPanelText(const QString& key, const QString& text) = 0;
    // Brings the menus in line with the documents and the reading state;
    // while dictating, only the Copy, Cut and Paste entries.
    virtual void setmenu() = 0;
    virtual void setDictationmenu() = 0;
    // The pop-up menu of a document's text (null until built), and the
    // open / save / font dialog the documents share.
    virtual QMenu* popUpMenu() const = 0;
    virtual CommonDialog& commonDialog() = 0;

    // The commands a document's toolbar and its close run.
    virtual void mnuFileNew_Click() = 0;
    virtual void mnuFileOpen_Click() = 0;
    virtual void mnuFileSave_Click() = 0;
    virtual void mnuFileSaveAs_Click() = 0;
    virtual void mnuFilePrint_Click() = 0;
    virtual void mnuEditUndo_Click() = 0;
    virtual void mnuEditCut_Click() = 0;
    virtual void mnuEditCopy_Click() = 0;
    virtual void mnuEditPaste_Click() = 0;
    virtual void mnuFormatFont_Click() = 0;

protected:
    ~DocumentHost() = default;
};
