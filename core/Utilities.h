#pragma once
// Shell, registry, system-folder and window helpers.

#include "platform/Registry.h"

#include <QString>
#include <functional>
#include <optional>

class QWidget;

// Opens a file or address with the desktop's program for it; returns the
// shell result code (above 32 is success).
int ShellOpen(const QString& file, const QString& parameters);
// ShellOpen, with a message box titled "Lectova" when it fails.
void ShellOpenWithMessage(const QString& file, const QString& parameters);
// The message shown for a failing shell result code.
QString ShellErrorText(int result);

// Test seam: while set, ShellOpen hands the file and parameters to it and
// returns its result code instead of asking the desktop. Pass {} to go back
// to the desktop.
using ShellOpenAnswerer = std::function<int(const QString& file, const QString& parameters)>;
void SetShellOpenAnswerer(ShellOpenAnswerer answerer);

// The text of a string value before its first NUL; nothing when the key or
// value is missing or the value is not a string.
std::optional<QString> RegGetString(RegRoot root, const QString& subKey, const QString& valueName);

// The system folder, without a trailing separator.
QString GetSystemDir();

// True when the mouse pointer lies inside the window's screen rectangle,
// edges included.
bool IsCursorOverWindow(const QWidget* window);
// Hands the window to the window manager to be moved with the mouse, as if
// its title bar had been pressed. Call from a left-button press.
void DragForm(QWidget* window);
