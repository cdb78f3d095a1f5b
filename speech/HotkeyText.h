#pragma once
// The text a hotkey is stored as in the settings file:
// "[Ctrl+][Shift+][Alt+]Key", for example "Ctrl+Shift+F5" or "Alt+A".

#include <QString>

// Turns a hotkey text into modifier flags (MOD_ALT 1, MOD_CONTROL 2,
// MOD_SHIFT 4) and a virtual-key code. The key name is the text after the
// last "+"; "Ctrl", "Shift" and "Alt" count wherever they appear
// (case-sensitive). Named keys: "Add" 107, "Subtract" 109, "Left" 37,
// "Up" 38, "Right" 39, "Down" 40, "PageUp" 33, "PageDown" 34; a name
// starting with "F" is a function key, its number plus 111 ("F1" 112,
// "F12" 123) and 0 when no number follows; any other name gives the code
// of its first character ("0".."9" 48..57, "A".."Z" 65..90). An empty key
// name gives 0. Returns true when a usable key (not 0) came out.
bool ParseHotkeyText(const QString& text, int& modifiers, int& virtualKey);
