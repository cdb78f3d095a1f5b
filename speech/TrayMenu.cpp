#include "TrayMenu.h"

#include "core/IgnoreErrors.h"
#include "core/ProgramWindows.h"
#include "core/StringTable.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QWidget>
#include <QSystemTrayIcon>

#include <cstdio>

namespace {

// Mouse codes of the tray icon.
constexpr int kLeftButtonUp = 514;
constexpr int kLeftDoubleClick = 515;
constexpr int kRightButtonUp = 517;

QAction* menuItem(QMenu* menu, const char* name, const QString& caption)
{
    auto* a = new QAction(caption, menu);
    a->setObjectName(QLatin1String(name));
    menu->addAction(a);
    return a;
}

QAction* menuSeparator(QMenu* menu, const char* name)
{
    auto* a = new QAction(menu);
    a->setObjectName(QLatin1String(name));
    a->setSeparator(true);
    menu->addAction(a);
    return a;
}

// A menu command runs its handler; a failure inside it goes no further
// than the handler.
void onTriggered(QAction* item, QObject* context, const std::function<void()>& handler)
{
    QObject::connect(item, &QAction::triggered, context, [handler] { IgnoreErrors(handler); });
}

// The reading state keeps these two items current; they must not be
// reached once the menu is gone.
void publishTrayItem(QAction*& slot, QAction* item)
{
    slot = item;
    QObject::connect(item, &QObject::destroyed, [item, &slot] {
        if (slot == item)
            slot = nullptr;
    });
}

} // namespace

TrayMenu::TrayMenu(QWidget& owner, Commands commands)
    : owner_(owner)
    , commands_(std::move(commands))
{
}

void TrayMenu::build()
{
    if (Traymenu)
        return;
    // A child of the controller, so that the string table reaches it.
    QMenu* menu = new QMenu(&owner_);
    menu->setObjectName(QStringLiteral("Traymenu"));
    Traymenu = menu;

    mnuTrayShowSoftware = menuItem(menu, "mnuTrayShowSoftware", QStringLiteral("1901"));
    mnuTrayShowDock = menuItem(menu, "mnuTrayShowDock", QStringLiteral("1902"));
    mnuTraymenu9 = menuSeparator(menu, "mnuTraymenu9");
    mnuSettings = menuItem(menu, "mnuSettings", QStringLiteral("5040"));
    mnuTraytraining = menuItem(menu, "mnuTraytraining", QStringLiteral("1116"));
    mnuTraysep2 = menuSeparator(menu, "mnuTraysep2");
    mnuTrayclipboard = menuItem(menu, "mnuTrayclipboard", QStringLiteral("1132"));
    mnuTrayPause = menuItem(menu, "mnuTrayPause", QStringLiteral("1131"));
    mnuTrayStop = menuItem(menu, "mnuTrayStop", QStringLiteral("1130"));
    mnuTraySp1 = menuSeparator(menu, "mnuTraySp1");
    mnuTrayHelp = menuItem(menu, "mnuTrayHelp", QStringLiteral("1710"));
    mnuTrayAbout = menuItem(menu, "mnuTrayAbout", QStringLiteral("1707"));
    mnuTraysp3 = menuSeparator(menu, "mnuTraysp3");
    mnuTrayExit = menuItem(menu, "mnuTrayExit", QStringLiteral("1023"));

    for (QAction* hidden : {mnuTraytraining, mnuTraysep2, mnuTrayclipboard, mnuTrayPause, mnuTrayStop})
        hidden->setVisible(false);
    mnuTrayclipboard->setCheckable(true);
    mnuTrayclipboard->setChecked(true);
    mnuTrayPause->setEnabled(false);
    mnuTrayStop->setEnabled(false);

    onTriggered(mnuTrayShowSoftware, this, commands_.showSoftware);
    onTriggered(mnuTrayShowDock, this, commands_.showDock);
    onTriggered(mnuSettings, this, commands_.settings);
    onTriggered(mnuTraytraining, this, commands_.training);
    // The handler decides the new check state itself, so the toggle the
    // menu has already made is put back first.
    QAction* clipboard = mnuTrayclipboard;
    QObject::connect(clipboard, &QAction::triggered, this, [clipboard, handler = commands_.clipboard](bool nowChecked) {
        clipboard->setChecked(!nowChecked);
        IgnoreErrors(handler);
    });
    onTriggered(mnuTrayPause, this, commands_.pause);
    onTriggered(mnuTrayStop, this, commands_.stop);
    onTriggered(mnuTrayHelp, this, commands_.help);
    onTriggered(mnuTrayAbout, this, commands_.about);
    onTriggered(mnuTrayExit, this, commands_.exit);

    publishTrayItem(ReadingFaces::mnuTrayStop, mnuTrayStop);
    publishTrayItem(ReadingFaces::mnuTrayPause, mnuTrayPause);
}

// ---- tray icon ----

void TrayMenu::addIcon()
{
    if (trayIcon)
        removeIcon();
    trayIcon = new QSystemTrayIcon(LoadResIcon(101), &owner_);
    trayIcon->setToolTip(LoadResString(2000));
    connect(trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Trigger: iconMessage(kLeftButtonUp); break;
        case QSystemTrayIcon::DoubleClick: iconMessage(kLeftDoubleClick); break;
        case QSystemTrayIcon::Context: iconMessage(kRightButtonUp); break;
        default: break;
        }
    });
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        trayIcon->show();
        return;
    }
    std::fputs("Lectova: no notification area is available; the tray icon appears when one starts.\n", stderr);
    // On X11 the icon comes up by itself once a tray host runs; other
    // platforms (the offscreen one of the tests) have no tray to wait for.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        trayIcon->show();
}

void TrayMenu::removeIcon()
{
    if (!trayIcon)
        return;
    QSystemTrayIcon* icon = trayIcon;
    trayIcon = nullptr;
    icon->hide();
    delete icon;
}

void TrayMenu::iconMessage(int code)
{
    ProgramWindows& w = ProgramWindows::get();
    switch (code) {
    case kLeftButtonUp:
        IgnoreErrors([&] { owner_.setWindowState(Qt::WindowNoState); });
        IgnoreErrors([&] { w.frmMain_Show(); });
        IgnoreErrors([&] { w.frmMain_Maximize(); });
        FaceSwitch::mainWindowShown(true);
        if (readingState.IsDockShown())
            IgnoreErrors([&] { w.frmDockDemo_Unload(); });
        break;
    case kLeftDoubleClick:
    case kRightButtonUp:
        IgnoreErrors([&] {
            if (Traymenu)
                Traymenu->popup(QCursor::pos());
        });
        break;
    default:
        break;
    }
}
