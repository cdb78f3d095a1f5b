#pragma once
// Opens a file, folder or web address the way the desktop would when the
// user double-clicks it, and reports the outcome as a shell result code:
// above 32 is success; 2 file not found, 3 path not found, 5 access denied,
// 11 a program that cannot be started, 31 no program for this kind of file.

#include <QString>

constexpr int kShellOk = 42;

int ShellExecuteOpen(const QString& file, const QString& parameters, const QString& workingDir);

// The desktop file that opens a MIME type (or URL scheme handler type
// "x-scheme-handler/<scheme>"), "" when there is none.
QString DefaultApplicationFor(const QString& mimeType);
