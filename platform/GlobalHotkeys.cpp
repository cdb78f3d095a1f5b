#include "GlobalHotkeys.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

unsigned long KeysymForVirtualKey(int vk)
{
    if (vk >= '0' && vk <= '9')
        return XK_0 + static_cast<unsigned long>(vk - '0');
    if (vk >= 'A' && vk <= 'Z')
        return XK_a + static_cast<unsigned long>(vk - 'A');
    if (vk >= 112 && vk <= 123) // F1..F12
        return XK_F1 + static_cast<unsigned long>(vk - 112);
    switch (vk) {
    case 8: return XK_BackSpace;
    case 9: return XK_Tab;
    case 13: return XK_Return;
    case 16: return XK_Shift_L;
    case 17: return XK_Control_L;
    case 18: return XK_Alt_L;
    case 27: return XK_Escape;
    case 32: return XK_space;
    case 33: return XK_Prior;
    case 34: return XK_Next;
    case 35: return XK_End;
    case 36: return XK_Home;
    case 37: return XK_Left;
    case 38: return XK_Up;
    case 39: return XK_Right;
    case 40: return XK_Down;
    case 45: return XK_Insert;
    case 46: return XK_Delete;
    case 106: return XK_KP_Multiply;
    case 107: return XK_KP_Add;
    case 109: return XK_KP_Subtract;
    case 111: return XK_KP_Divide;
    default: return 0;
    }
}

namespace {

// Grabs combinations on the root window of the program's X connection and
// watches for their key presses.
class X11HotkeyBackend : public HotkeyBackend, public QAbstractNativeEventFilter {
public:
    X11HotkeyBackend()
    {
        auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        if (!x11 || !x11->connection() || !x11->display())
            return;
        conn_ = x11->connection();
        display_ = x11->display();
        root_ = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
        numLockMask_ = findNumLockMask();
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~X11HotkeyBackend() override
    {
        if (QCoreApplication::instance() && conn_)
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    bool grab(int modifiers, int virtualKey) override
    {
        if (!conn_)
            return false;
        const xcb_keycode_t code = keycodeFor(virtualKey);
        if (code == 0)
            return false;
        const uint16_t mods = xMods(modifiers);
        // Every Lock and NumLock variant, so that the keys act whatever
        // those two are set to.
        std::vector<xcb_void_cookie_t> cookies;
        for (uint16_t extra : lockVariants())
            cookies.push_back(xcb_grab_key_checked(conn_, 1, root_, mods | extra, code, XCB_GRAB_MODE_ASYNC,
                                                   XCB_GRAB_MODE_ASYNC));
        bool ok = true;
        for (xcb_void_cookie_t c : cookies) {
            if (xcb_generic_error_t* e = xcb_request_check(conn_, c)) {
                ok = false;
                std::free(e);
            }
        }
        if (!ok) {
            ungrabCode(mods, code);
            return false;
        }
        return true;
    }

    void ungrab(int modifiers, int virtualKey) override
    {
        if (!conn_)
            return;
        const xcb_keycode_t code = keycodeFor(virtualKey);
        if (code != 0)
            ungrabCode(xMods(modifiers), code);
        xcb_flush(conn_);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        auto* ev = static_cast<xcb_generic_event_t*>(message);
        if ((ev->response_type & 0x7f) != XCB_KEY_PRESS)
            return false;
        auto* key = reinterpret_cast<xcb_key_press_event_t*>(ev);
        if (key->event != root_)
            return false;
        int modifiers = 0;
        if (key->state & XCB_MOD_MASK_CONTROL)
            modifiers |= MOD_CONTROL;
        if (key->state & XCB_MOD_MASK_SHIFT)
            modifiers |= MOD_SHIFT;
        if (key->state & XCB_MOD_MASK_1)
            modifiers |= MOD_ALT;
        for (const auto& [id, combo] : GlobalHotkeys::instance()->registered().asKeyValueRange()) {
            Q_UNUSED(id);
            if (combo.modifiers == modifiers && keycodeFor(combo.virtualKey) == key->detail) {
                GlobalHotkeys::instance()->pressed(modifiers, combo.virtualKey);
                return true;
            }
        }
        return false;
    }

private:
    xcb_keycode_t keycodeFor(int virtualKey) const
    {
        const unsigned long sym = KeysymForVirtualKey(virtualKey);
        return sym ? static_cast<xcb_keycode_t>(XKeysymToKeycode(display_, sym)) : 0;
    }

    static uint16_t xMods(int modifiers)
    {
        uint16_t m = 0;
        if (modifiers & MOD_CONTROL)
            m |= XCB_MOD_MASK_CONTROL;
        if (modifiers & MOD_SHIFT)
            m |= XCB_MOD_MASK_SHIFT;
        if (modifiers & MOD_ALT)
            m |= XCB_MOD_MASK_1;
        return m;
    }

    std::vector<uint16_t> lockVariants() const
    {
        return {0, XCB_MOD_MASK_LOCK, numLockMask_, uint16_t(XCB_MOD_MASK_LOCK | numLockMask_)};
    }

    void ungrabCode(uint16_t mods, xcb_keycode_t code)
    {
        for (uint16_t extra : lockVariants())
            xcb_ungrab_key(conn_, code, root_, mods | extra);
        xcb_flush(conn_);
    }

    uint16_t findNumLockMask() const
    {
        uint16_t mask = XCB_MOD_MASK_2;
        const KeyCode numLock = XKeysymToKeycode(display_, XK_Num_Lock);
        if (XModifierKeymap* map = XGetModifierMapping(display_)) {
            for (int mod = 0; mod < 8; ++mod) {
                for (int k = 0; k < map->max_keypermod; ++k) {
                    if (numLock && map->modifiermap[mod * map->max_keypermod + k] == numLock)
                        mask = static_cast<uint16_t>(1 << mod);
                }
            }
            XFreeModifiermap(map);
        }
        return mask;
    }

    xcb_connection_t* conn_ = nullptr;
    Display* display_ = nullptr;
    xcb_window_t root_ = 0;
    uint16_t numLockMask_ = XCB_MOD_MASK_2;
};

} // namespace

GlobalHotkeys::GlobalHotkeys()
    : backend_(std::make_unique<X11HotkeyBackend>())
{
    retryTimer_ = new QTimer(this);
    retryTimer_->setInterval(kGrabRetryMs);
    connect(retryTimer_, &QTimer::timeout, this, &GlobalHotkeys::retryWaiting);
}

GlobalHotkeys* GlobalHotkeys::instance()
{
    static GlobalHotkeys* hotkeys = new GlobalHotkeys; // lives as long as the program
    return hotkeys;
}

void GlobalHotkeys::setBackend(std::unique_ptr<HotkeyBackend> backend)
{
    for (const Combination& c : std::as_const(held_))
        backend_->ungrab(c.modifiers, c.virtualKey);
    held_.clear();
    waiting_.clear();
    retryTimer_->stop();
    backend_ = std::move(backend);
}

void GlobalHotkeys::log(int id, const Combination& c, const char* what)
{
    static const QString path = qEnvironmentVariable("TAMSEL_HOTKEY_LOG");
    if (path.isEmpty())
        return;
    QFile f(path);
    if (f.open(QIODevice::Append))
        f.write(QStringLiteral("%1 %2 %3 %4\n").arg(id).arg(c.modifiers).arg(c.virtualKey).arg(what).toUtf8());
}

bool GlobalHotkeys::take(int id, const Combination& wanted)
{
    if (!backend_->grab(wanted.modifiers, wanted.virtualKey))
        return false;
    const auto mine = held_.constFind(id);
    if (mine != held_.constEnd())
        backend_->ungrab(mine->modifiers, mine->virtualKey);
    held_.insert(id, wanted);
    log(id, wanted, "held");
    return true;
}

bool GlobalHotkeys::RegisterHotKey(int id, int modifiers, int virtualKey)
{
    const Combination wanted{modifiers, virtualKey};
    const auto mine = held_.constFind(id);
    if (mine != held_.constEnd() && *mine == wanted) {
        waiting_.remove(id);
        return true;
    }
    if (virtualKey == 0)
        return false;
    for (auto it = held_.cbegin(); it != held_.cend(); ++it) {
        if (it.key() != id && it.value() == wanted)
            return false; // another identifier holds it
    }
    for (auto it = waiting_.cbegin(); it != waiting_.cend(); ++it) {
        if (it.key() != id && it.value().combination == wanted)
            return false; // another identifier waits for it
    }
    waiting_.remove(id);
    if (take(id, wanted))
        return true;
    waiting_.insert(id, {wanted, kGrabRetries});
    log(id, wanted, "waiting");
    if (!retryTimer_->isActive())
        retryTimer_->start();
    return false;
}

void GlobalHotkeys::retryWaiting()
{
    const QList<int> ids = waiting_.keys();
    for (int id : ids) {
        Waiting& w = waiting_[id];
        if (take(id, w.combination)) {
            waiting_.remove(id);
        } else if (--w.triesLeft <= 0) {
            std::fprintf(stderr,
                         "tamsel: hotkey %d (modifiers %d, key %d) is not available: another program holds it "
                         "or there is no X display\n",
                         id, w.combination.modifiers, w.combination.virtualKey);
            log(id, w.combination, "refused");
            waiting_.remove(id);
        }
    }
    if (waiting_.isEmpty())
        retryTimer_->stop();
}

bool GlobalHotkeys::UnregisterHotKey(int id)
{
    const bool waited = waiting_.remove(id) > 0;
    const auto it = held_.find(id);
    if (it == held_.end())
        return waited;
    backend_->ungrab(it->modifiers, it->virtualKey);
    log(id, *it, "released");
    held_.erase(it);
    return true;
}

void GlobalHotkeys::pressed(int modifiers, int virtualKey)
{
    for (auto it = held_.cbegin(); it != held_.cend(); ++it) {
        if (it.value() == Combination{modifiers, virtualKey}) {
            const int id = it.key();
            // Delivered from the event loop, as a window message would be,
            // not from inside the window system's event handling.
            // The log says when the program is done with the press.
            const Combination c = it.value();
            QMetaObject::invokeMethod(
                this,
                [this, id, c] {
                    emit hotKeyPressed(id);
                    log(id, c, "handled");
                },
                Qt::QueuedConnection);
            return;
        }
    }
}
