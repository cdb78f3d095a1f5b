#include "FocusedSelection.h"

#include <QClipboard>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

// Terminal emulators, by the name or class of their top-level window.
const char* const kTerminalClasses[] = {
    "xterm",          "urxvt",        "gnome-terminal", "konsole", "xfce4-terminal",
    "alacritty",      "kitty",        "tilix",          "terminator", "st",
    "foot",           "wezterm",      "lxterminal",     "mate-terminal", "qterminal",
};

FocusedSelectionSource& source()
{
    static FocusedSelectionSource s;
    return s;
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

QByteArray wmClassOf(xcb_connection_t* c, xcb_window_t w)
{
    Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr));
    if (!r || r->type == XCB_ATOM_NONE)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(r.get())),
                      xcb_get_property_value_length(r.get()));
}

// The focused window's WM_CLASS: the focus may sit on a child of the
// application's top-level window, which is the one that carries the class.
QByteArray focusedWindowClass(xcb_connection_t* c, xcb_window_t focus, xcb_window_t root)
{
    xcb_window_t w = focus;
    for (int depth = 0; depth < 16 && w != XCB_WINDOW_NONE && w != root; ++depth) {
        const QByteArray cls = wmClassOf(c, w);
        if (!cls.isEmpty())
            return cls;
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr));
        if (!tree)
            break;
        w = tree->parent;
    }
    return {};
}

// For comparing the two ways in a benchmark: with this set, the selection is
// always taken by copying, as it was before PRIMARY was looked at.
bool primaryIgnored()
{
    static const bool ignored = qEnvironmentVariableIntValue("TAMSEL_SELECTION_BY_COPY") == 1;
    return ignored;
}

} // namespace

bool SameWindowClient(std::uint32_t window, std::uint32_t other, std::uint32_t resourceIdMask)
{
    if (window == XCB_WINDOW_NONE || other == XCB_WINDOW_NONE)
        return false;
    return (window & ~resourceIdMask) == (other & ~resourceIdMask);
}

bool IsTerminalWindowClass(const QByteArray& wmClass)
{
    for (const QByteArray& part : wmClass.split('\0')) {
        if (part.isEmpty())
            continue;
        const QByteArray name = part.toLower();
        const QByteArray last = name.mid(name.lastIndexOf('.') + 1);
        for (const char* terminal : kTerminalClasses) {
            if (name == terminal || last == terminal)
                return true;
        }
    }
    return false;
}

void SetFocusedSelectionSource(FocusedSelectionSource s)
{
    source() = std::move(s);
}

FocusedSelection ReadFocusedSelection()
{
    if (source())
        return source()();
    FocusedSelection result;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return result;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;

    Reply<xcb_get_input_focus_reply_t> focus(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    // None and PointerRoot (1): no window of an application has the focus.
    if (!focus || focus->focus == XCB_WINDOW_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT
        || focus->focus == root)
        return result;
    result.terminal = IsTerminalWindowClass(focusedWindowClass(c, focus->focus, root));
    if (primaryIgnored())
        return result;

    Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, XCB_ATOM_PRIMARY), nullptr));
    if (!owner || !SameWindowClient(owner->owner, focus->focus, setup->resource_id_mask))
        return result;
    // The owner is asked for its text (the toolkit converts it to UTF-8 and
    // copes with large selections).
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        result.text = clipboard->text(QClipboard::Selection);
    return result;
}
