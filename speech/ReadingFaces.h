#pragma once
// The windows the reading state shows itself in, and the document window
// the controller reads. Start-up installs the program's windows here (the
// one object that makes them knows which are loaded); until then there are
// none.

#include "speech/ActiveDocument.h"

#include <QString>

class QAction;

// What the state routines need of the floating bar while it is loaded.
class FloatingBarFace {
public:
    virtual ~FloatingBarFace() = default;
    virtual void docksetmemnu(bool& speaking, bool& paused) = 0;
};

// The main window's menu items that follow the reading state. mnuWindow is
// the Window menu itself (the first of its control array).
enum class MenuItem {
    mnuCtlSpeak,
    mnuCtlPause,
    mnuCtlStop,
    mnuCtlclipboard,
    mnuCtlSaveClipboardTexttoWav,
    mnuCtlSet,
    mnuCtlDictation,
    mnuTrayPause,
    mnuTrayStop,
    mnuTrayReadClipboard,
    mnuTrayPlayFile,
    mnuTrayClipboardtoWav,
    mnuPopSpeak,
    mnuPopPaste,
    mnuPopPause,
    mnuPopStop,
    mnuEdit,
    mnuWebsite,
    mnuFile,
    mnuFormat,
    mnuWindow,
    mnuView,
};

// What the state routines need of the main window while it is loaded.
class MainWindowFace {
public:
    virtual ~MainWindowFace() = default;
    virtual void setMenuEnabled(MenuItem item, bool enabled) = 0;
    virtual void setMenuCaption(MenuItem item, const QString& caption) = 0;
};

class ReadingFaces {
public:
    virtual ~ReadingFaces() = default;

    // The floating bar and the main window while they are loaded, else null.
    virtual FloatingBarFace* floatingBar() = 0;
    virtual MainWindowFace* mainWindow() = 0;
    // The main window's active document window, else null.
    virtual ActiveDocument* activeDocument() = 0;

    // The installed faces (none until one is installed). Installing null
    // removes them.
    static ReadingFaces& get();
    static void install(ReadingFaces* faces);

    // The controller's tray items Stop and Pause, published by its tray
    // menu while it exists.
    static QAction* mnuTrayStop;
    static QAction* mnuTrayPause;
};
