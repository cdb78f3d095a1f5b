#pragma once
// Small services of the desktop session.

#include <QString>
#include <cstdint>

// The id of a named message shared by all programs of the session (an X
// atom); 0 when there is no X display.
std::uint32_t RegisterWindowMessage(const QString& name);

// Announces a named message (from RegisterWindowMessage) to every client of
// the display, with both parameters 0: a client message sent to the root
// window. Nothing when there is no display or the id is 0.
void BroadcastWindowMessage(std::uint32_t id);

// The system's configuration folder (the first of $XDG_CONFIG_DIRS, else
// /etc/xdg), without a trailing separator.
QString SystemConfigDir();

// Makes SIGTERM, SIGINT and SIGHUP end the event loop as a normal exit would,
// so that locks and files are released.
void QuitEventLoopOnSignals();

// Gives the memory that freed objects left in the program's heap back to
// the system. A large document is freed in millions of small pieces, which
// the allocator otherwise keeps for the program long after the document
// is gone.
void ReturnFreedMemory();
