// Tells whether a key combination can be grabbed on the root window, that is
// whether no other program holds it. Prints "free" or "taken".
// Usage: grab_check MODS KEYSYM [hold]   (MODS: a sum of 4 Control, 1 Shift, 8 Alt)
// With "hold", a combination found free stays grabbed until standard input
// ends, as another program's grab would.
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static bool failed = false;
static int onError(Display*, XErrorEvent* e)
{
    if (e->error_code == BadAccess)
        failed = true;
    return 0;
}

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return 2;
    XSetErrorHandler(onError);
    const unsigned mods = static_cast<unsigned>(std::atoi(argv[1]));
    const KeyCode code = XKeysymToKeycode(d, XStringToKeysym(argv[2]));
    XGrabKey(d, code, mods, DefaultRootWindow(d), True, GrabModeAsync, GrabModeAsync);
    XSync(d, False);
    std::puts(failed ? "taken" : "free");
    std::fflush(stdout);
    if (!failed && argc > 3 && std::strcmp(argv[3], "hold") == 0) {
        while (std::fgetc(stdin) != EOF) {
        }
    }
    XUngrabKey(d, code, mods, DefaultRootWindow(d));
    XCloseDisplay(d);
    return 0;
}
