#pragma once
// System-wide hotkeys: a key combination that reaches this program
// whichever application has the keyboard focus. Keys are named by Windows
// virtual-key codes (65 "A", 112 F1, 107 keypad +, ...), modifiers by
// MOD_ALT | MOD_CONTROL | MOD_SHIFT.

#include <QHash>
#include <QObject>

#include <memory>

enum HotkeyModifier : int { MOD_ALT = 1, MOD_CONTROL = 2, MOD_SHIFT = 4 };

// What grabs a combination from the window system.
class HotkeyBackend {
public:
    virtual ~HotkeyBackend() = default;
    // False when the combination cannot be had (taken by another program,
    // a key this keyboard lacks, no display).
    virtual bool grab(int modifiers, int virtualKey) = 0;
    virtual void ungrab(int modifiers, int virtualKey) = 0;
};

class GlobalHotkeys : public QObject {
    Q_OBJECT
public:
    static GlobalHotkeys* instance();

    // Registers identifier id for a combination. Registering an id again
    // replaces its earlier combination. Fails when the key is 0, when another
    // id of this program holds the combination, or when the window system
    // refuses it (then one line goes to stderr).
    bool RegisterHotKey(int id, int modifiers, int virtualKey);
    // Releases an identifier; false when it held nothing.
    bool UnregisterHotKey(int id);

    struct Combination {
        int modifiers = 0;
        int virtualKey = 0;
        bool operator==(const Combination& o) const { return modifiers == o.modifiers && virtualKey == o.virtualKey; }
    };
    // The combinations held now, by identifier.
    QHash<int, Combination> registered() const { return held_; }

    // Replaces the window-system backend (tests record instead of grabbing).
    void setBackend(std::unique_ptr<HotkeyBackend> backend);
    // Called by the backend when a held combination is pressed.
    void pressed(int modifiers, int virtualKey);

signals:
    // A registered combination was pressed; delivered from the event loop.
    void hotKeyPressed(int id);

private:
    GlobalHotkeys();
    std::unique_ptr<HotkeyBackend> backend_;
    QHash<int, Combination> held_;
};

// X key symbol of a virtual-key code; 0 for a code without one.
unsigned long KeysymForVirtualKey(int virtualKey);
