#pragma once
// The face switch: which window is the program's face, the main window or
// the floating bar (ReadingState::IsMainShown and IsDockShown). It is the
// one writer of those two flags: the controller's switch commands and its
// tray icon, and the two windows as they load and close, go through it.

class FaceSwitch {
public:
    // The main window is the face (true), or is closing or gone (false).
    static void mainWindowShown(bool shown);
    // The floating bar is the face (true), or is gone (false). The
    // controller marks the bar before the main window closes: the main
    // window's unload then brings the bar up.
    static void floatingBarShown(bool shown);
};
