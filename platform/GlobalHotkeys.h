#pragma once
// System-wide hotkeys: a key combination that reaches this program
// whichever application has the keyboard focus. Keys are named by Windows
// virtual-key codes (65 "A", 112 F1, 107 keypad +, ...), modifiers by
// MOD_ALT | MOD_CONTROL | MOD_SHIFT.

#include <QHash>
#include <QObject>
#include <QTimer>

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
    // replaces its earlier combination. Fails when the key is 0 or when
    // another id of this program holds or waits for the combination.
    // A combination the window system refuses may be another program's
    // passing grab: it is tried again a few times over about a second
    // (from the event loop; the id holds its earlier combination until
    // then) and only then reported, in one line on stderr. Returns whether
    // the combination is held now.
    bool RegisterHotKey(int id, int modifiers, int virtualKey);
    // Releases an identifier, or stops waiting for its combination; false
    // when it neither held nor waited for one.
    bool UnregisterHotKey(int id);

    struct Combination {
        int modifiers = 0;
        int virtualKey = 0;
        bool operator==(const Combination& o) const { return modifiers == o.modifiers && virtualKey == o.virtualKey; }
    };
    // The combinations held now, by identifier.
    QHash<int, Combination> registered() const { return held_; }
    // Whether a refused combination is still being tried again.
    bool waiting() const { return !waiting_.isEmpty(); }

    // How often and how far apart a refused grab is tried again.
    static constexpr int kGrabRetries = 5;
    static constexpr int kGrabRetryMs = 200;

    // Replaces the window-system backend (tests record instead of grabbing).
    void setBackend(std::unique_ptr<HotkeyBackend> backend);
    // Called by the backend when a held combination is pressed.
    void pressed(int modifiers, int virtualKey);

signals:
    // A registered combination was pressed; delivered from the event loop.
    void hotKeyPressed(int id);

private:
    GlobalHotkeys();
    // Takes the combination for id, releasing what id held before.
    bool take(int id, const Combination& wanted);
    void retryWaiting();
    // With TAMSEL_HOTKEY_LOG set, appends one line to that file: a record
    // of the hotkeys taken and refused and of the presses handled, for
    // diagnosis and for the desktop tests, which wait for it instead of
    // probing the keys themselves or guessing how long a press takes.
    static void log(int id, const Combination& c, const char* what);

    std::unique_ptr<HotkeyBackend> backend_;
    QHash<int, Combination> held_;
    struct Waiting {
        Combination combination;
        int triesLeft = 0;
    };
    QHash<int, Waiting> waiting_;
    QTimer* retryTimer_ = nullptr;
};

// X key symbol of a virtual-key code; 0 for a code without one.
unsigned long KeysymForVirtualKey(int virtualKey);
