#include "Keystrokes.h"

#include "GlobalHotkeys.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

KeystrokeRecorder& recorder()
{
    static KeystrokeRecorder r;
    return r;
}

Display* display()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

bool hasXTest(Display* dpy)
{
    static int known = -1;
    if (known < 0) {
        int event = 0, error = 0, major = 0, minor = 0;
        known = XTestQueryExtension(dpy, &event, &error, &major, &minor) ? 1 : 0;
    }
    return known == 1;
}

} // namespace

void SetKeystrokeRecorder(KeystrokeRecorder r)
{
    recorder() = std::move(r);
}

bool keybd_event(int virtualKey, bool keyUp)
{
    if (recorder()) {
        recorder()(virtualKey, keyUp);
        return true;
    }
    Display* dpy = display();
    if (!dpy || !hasXTest(dpy))
        return false;
    const unsigned long sym = KeysymForVirtualKey(virtualKey);
    const KeyCode code = sym ? XKeysymToKeycode(dpy, sym) : 0;
    if (code == 0)
        return false;
    XTestFakeKeyEvent(dpy, code, keyUp ? False : True, CurrentTime);
    XFlush(dpy);
    return true;
}

void ReleaseHeldKeys()
{
    if (recorder())
        return;
    Display* dpy = display();
    if (!dpy || !hasXTest(dpy))
        return;
    char keys[32] = {};
    XQueryKeymap(dpy, keys);
    for (int code = 8; code < 256; ++code) {
        if (keys[code / 8] & (1 << (code % 8)))
            XTestFakeKeyEvent(dpy, static_cast<unsigned>(code), False, CurrentTime);
    }
    XFlush(dpy);
}

void SendCtrlChord(int virtualKey)
{
    keybd_event(17, false);
    keybd_event(virtualKey, false);
    keybd_event(virtualKey, true);
    keybd_event(17, true);
}
