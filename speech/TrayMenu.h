#pragma once
// TrayMenu: the controller's notification-area icon and its menu. It builds
// the menu (a child of the controller window, so that the string table
// reaches its captions), wires each item to its command, and turns the
// icon's mouse codes into the main window or the menu.

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

class TrayMenu : public QObject {
public:
    // What the items do, in the order of the menu.
    struct Commands {
        std::function<void()> showSoftware, showDock, settings, training, clipboard, pause, stop, help, about,
            exit;
    };

    // The owner is the controller window: it holds the menu and the icon,
    // and must outlive them.
    TrayMenu(QWidget& owner, Commands commands);

    // The menu and its items, in order; null until built.
    QMenu* Traymenu = nullptr;
    QAction* mnuTrayShowSoftware = nullptr;
    QAction* mnuTrayShowDock = nullptr;
    QAction* mnuTraymenu9 = nullptr;
    QAction* mnuSettings = nullptr;
    QAction* mnuTraytraining = nullptr;
    QAction* mnuTraysep2 = nullptr;
    QAction* mnuTrayclipboard = nullptr;
    QAction* mnuTrayPause = nullptr;
    QAction* mnuTrayStop = nullptr;
    QAction* mnuTraySp1 = nullptr;
    QAction* mnuTrayHelp = nullptr;
    QAction* mnuTrayAbout = nullptr;
    QAction* mnuTraysp3 = nullptr;
    QAction* mnuTrayExit = nullptr;
    // The notification-area icon; null when there is none.
    QSystemTrayIcon* trayIcon = nullptr;

    // Builds the menu in its design state (captions are string ids; the
    // dictation, clipboard, Pause and Stop items and one separator hidden);
    // nothing when it is built already.
    void build();
    void addIcon();
    void removeIcon();
    // A mouse notification of the icon: 514 left button released, 515
    // double click, 517 right button released.
    void iconMessage(int code);

private:
    QWidget& owner_;
    Commands commands_;
};
