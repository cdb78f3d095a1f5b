#pragma once
// The XML settings file: a root element (the file's first node), one child
// element per section, one child element per key, the value as its text.
// Every call loads the file afresh; every write saves the whole file.

#include <QString>
#include <stdexcept>

// Raised when the file's first node is not an element (a declaration,
// comment or processing instruction before the root) or when a changed
// file cannot be saved. Callers that carry on past failures catch it.
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Returns the key's text. A missing section or key gives defaultValue; a
// missing, empty or malformed file gives "", as does a file nested far
// deeper than the root > section > key of a settings file.
QString ReadSetting(const QString& file, const QString& section, const QString& key,
                    const QString& defaultValue);

// Stores value as the key's text, creating the section and key at the end
// of their parent when missing. Does nothing when the file is missing, empty
// or malformed. The file is replaced atomically. When the program's settings
// file (SettingsFile) cannot be saved, the user is told so once per run, as
// soon as the handler that wrote returns; the error still reaches the caller.
void WriteSetting(const QString& file, const QString& section, const QString& key,
                  const QString& value);

// Tells the user that a setting they changed could not be stored.
void ReportStoreFailure(const SettingsError& error);

// True when the file can be read and its first node is an element: a file
// the store reads and writes. False for a missing, unreadable, empty or
// malformed file, for one nested far too deeply and for one with anything
// before its root.
bool HasRootElement(const QString& file);
