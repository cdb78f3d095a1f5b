#pragma once
// What the application with the keyboard focus has selected, read from the
// window system without sending it a single key: on X11 every common toolkit
// puts selected text in the PRIMARY selection as soon as it is selected.
// Also tells whether that application is a terminal, where a simulated
// Ctrl+C is an interrupt to the job that runs in it, not a copy.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

struct FocusedSelection {
    // The focused application owns PRIMARY and it holds this text; empty
    // otherwise (another application's selection, none, no display).
    QString text;
    // The focused top-level window is a terminal: no copy keystroke may be
    // sent to it.
    bool terminal = false;
};

// Looks at the focused window and the PRIMARY selection now. Takes a few
// milliseconds (the owner is asked for its text); without an X display it
// finds nothing.
FocusedSelection ReadFocusedSelection();

// Whether two windows were made by the same X client: the server hands each
// client a range of window ids, so their ids share the bits outside the
// connection's resource-id mask. (The owner of a selection is often an
// unmapped helper window that carries no process id.)
bool SameWindowClient(std::uint32_t window, std::uint32_t other, std::uint32_t resourceIdMask);

// Whether a WM_CLASS property value ("name\0class\0") names a terminal
// emulator. Either part counts, without regard to case, as does the last
// dot-separated piece of a reverse-domain class ("org.wezfurlong.wezterm").
bool IsTerminalWindowClass(const QByteArray& wmClass);

// Tests: while set, ReadFocusedSelection asks this instead of the window
// system ({} goes back to the window system).
using FocusedSelectionSource = std::function<FocusedSelection()>;
void SetFocusedSelectionSource(FocusedSelectionSource source);
