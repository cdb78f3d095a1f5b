#pragma once
// HotkeyActions: the controller's collaborator for the seven global
// hotkeys: their registration from the settings file, and what each one
// does when pressed.

#include <QObject>

class systemtray;

class HotkeyActions : public QObject {
public:
    // The controller speaks, pauses and switches the faces; it must outlive
    // the hotkey actions.
    explicit HotkeyActions(systemtray& controller);

    // (Re)registers the seven hotkeys from the settings file; a pressed one
    // then runs its action.
    void registerFromSettings();
    // Runs the action of a hotkey identifier (11112..11118).
    void run(int id);

private:
    systemtray& controller_;
};
