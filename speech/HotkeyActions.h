#pragma once
// HotkeyActions: the controller's collaborator for the seven global
// hotkeys: their registration from the settings file, and what each one
// does when pressed.

#include <QObject>

#include <functional>

class SelectionReader;
class SpeechController;

class HotkeyActions : public QObject {
public:
    // What a hotkey has the controller do beyond the windows' operations.
    struct Steps {
        // Ends the reading for good, as the Stop button of what is read does.
        std::function<void()> stopReading;
        // Makes the speech object afresh and gives its number of voices;
        // throws when there is none.
        std::function<int()> renewVoice;
    };

    // The controller pauses, resumes and switches the faces; the selection
    // reader reads or saves the focused application's selection. Both must
    // outlive the hotkey actions.
    HotkeyActions(SpeechController& controller, SelectionReader& selection, Steps steps);

    // (Re)registers the seven hotkeys from the settings file; a pressed one
    // then runs its action.
    void registerFromSettings();
    // Runs the action of a hotkey identifier (11112..11118).
    void run(int id);

private:
    SpeechController& controller_;
    SelectionReader& selection_;
    Steps steps_;
};
