#pragma once
// Simulated keystrokes, sent to whichever application has the keyboard
// focus, as if typed. Keys are Windows virtual-key codes (17 Ctrl, 67 "C",
// 65 "A").

#include <functional>

// Presses (keyUp false) or releases one key. False when nothing can be sent
// (no display or no XTest).
bool keybd_event(int virtualKey, bool keyUp);

// Releases every key held down now, so that a hotkey the user is still
// holding does not mix with the keys sent next (and its grab ends).
void ReleaseHeldKeys();

// Ctrl pressed, key pressed, key released, Ctrl released.
void SendCtrlChord(int virtualKey);

// Tests: while set, keystrokes are handed to the recorder instead of being
// sent ({} goes back to sending).
using KeystrokeRecorder = std::function<void(int virtualKey, bool keyUp)>;
void SetKeystrokeRecorder(KeystrokeRecorder recorder);
