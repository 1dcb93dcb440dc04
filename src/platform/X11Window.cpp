// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11Window.h"

#include "Xcb.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {
using Xcb::atom;
using Xcb::property32;
using Xcb::rootOf;
using Xcb::windowManagerName;

bool raisesAlarmsAsPager(const QByteArray& manager)
{
    return manager == "Metacity" || manager == "Mutter" || manager == "GNOME Shell" ||
           manager == "KWin";
}

namespace Motif {
constexpr uint32_t functionsFlag = 1, decorationsFlag = 2;
constexpr uint32_t move = 4, close = 32;
constexpr uint32_t border = 2, title = 8, menu = 16;
} // namespace Motif

// Lives on the window and puts the hints asked for on each X window Qt makes for it.
class HintKeeper : public QObject
{
public:
    enum Hint
    {
        SkipTaskbar = 1,
        CloseOnly = 2,
        KeepAbove = 4
    };

    static void ask(QWidget* window, Hint hint)
    {
        HintKeeper* keeper = window->findChild<HintKeeper*>(name(), Qt::FindDirectChildrenOnly);
        if (!keeper)
            keeper = new HintKeeper(window);
        keeper->m_hints |= hint;
        keeper->apply(window->isVisible());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Openbox gives a toolbar the keyboard for a click on its frame only; a click inside
        // asks for it, with the click's time, as a user's request.
        if (m_toolbar && watched == window()->windowHandle() &&
            event->type() == QEvent::MouseButtonPress && !window()->isActiveWindow()) {
            window()->activateWindow();
            return false;
        }
        // Metacity and mutter put a new window that they do not give the keyboard just under
        // the active window, and under a modal window of this program; mutter ignores a
        // program's own request to raise it while another program is active. A request as a
        // pager brings it up over both; KWin may leave the first of two under the strip. (Xfwm4
        // would give the keyboard with it.)
        if (m_raiseWhenMapped && watched == window()->windowHandle() &&
            event->type() == QEvent::Expose && window()->windowHandle()->isExposed()) {
            m_raiseWhenMapped = false;
            raiseAsPager();
            return false;
        }
        // KWin gives no new utility window the keyboard; one opened by the user asks for it,
        // with the time of the click that opened it.
        if (m_activateWhenMapped && watched == window()->windowHandle() &&
            event->type() == QEvent::Expose && window()->windowHandle()->isExposed()) {
            m_activateWhenMapped = false;
            window()->activateWindow();
            return false;
        }
        if (watched != parent())
            return false;
        // Both come before Qt asks for the window to be mapped.
        if (event->type() == QEvent::WinIdChange) {
            apply(false);
        } else if (event->type() == QEvent::Show) {
            apply(false);
            QMetaObject::invokeMethod(
                this, [this] { afterShow(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    explicit HintKeeper(QWidget* window) : QObject(window)
    {
        setObjectName(name());
        window->installEventFilter(this);
    }

    static QString name() { return QStringLiteral("qmutc-x11-hints"); }
    QWidget* window() const { return static_cast<QWidget*>(parent()); }

    // The X window Qt shows. The widget's own id can name one Qt has already replaced.
    xcb_window_t nativeWindow() const
    {
        const QWindow* handle = window()->windowHandle();
        return handle && handle->handle() ? static_cast<xcb_window_t>(handle->winId()) : 0;
    }

    // Once a window has been asked to be mapped, its states belong to the window manager.
    void apply(bool mapAsked)
    {
        xcb_connection_t* c = Xcb::connection();
        const xcb_window_t id = nativeWindow();
        if (!c || !id)
            return;
        if (m_hints & (SkipTaskbar | KeepAbove)) {
            if (mapAsked)
                askWindowManagerForStates(c, id);
            else
                addStatesBeforeMap(c, id);
        }
        if (m_hints & (CloseOnly | KeepAbove))
            offerCloseOnly(c, id);
        if ((m_hints & KeepAbove) && !mapAsked &&
            raisesAlarmsAsPager(windowManagerName(c, rootOf(c, id)))) {
            m_raiseWhenMapped = true;
            if (QWindow* handle = window()->windowHandle())
                handle->installEventFilter(this);
        }
        if (m_kwin && !(m_hints & KeepAbove) && !mapAsked) {
            m_activateWhenMapped = true;
            if (QWindow* handle = window()->windowHandle())
                handle->installEventFilter(this);
        }
        m_appliedTo = id;
        xcb_flush(c);
    }

    // Qt makes a new X window inside show() when the stays-on-top flag has changed, and maps
    // it without a word; and a window manager may forget the states of a window unmapped and
    // mapped again at once. Asked after the map request, it keeps them.
    void afterShow()
    {
        xcb_connection_t* c = Xcb::connection();
        const xcb_window_t id = nativeWindow();
        if (!c || !id || !window()->isVisible())
            return;
        if (id != m_appliedTo) {
            apply(true);
        } else if (m_hints & (SkipTaskbar | KeepAbove)) {
            askWindowManagerForStates(c, id);
        }
        if (m_kwin)
            dropOwnerForKWin(c, id);
        xcb_flush(c);
    }

    // Qt merges the states it finds on an unmapped window with its own.
    void addStatesBeforeMap(xcb_connection_t* c, xcb_window_t id) const
    {
        const xcb_atom_t netWmState = atom(c, "_NET_WM_STATE");
        QList<quint32> states = property32(c, id, netWmState, XCB_ATOM_ATOM);
        for (const xcb_atom_t state : wantedStates(c))
            if (!states.contains(state))
                states.append(state);
        Xcb::setProperty32(c, id, netWmState, XCB_ATOM_ATOM, states);
    }

    void askWindowManagerForStates(xcb_connection_t* c, xcb_window_t id) const
    {
        const QList<xcb_atom_t> states = wantedStates(c);
        constexpr uint32_t add = 1, fromApplication = 1;
        // One message carries two states.
        for (qsizetype i = 0; i < states.size(); i += 2) {
            const uint32_t second = i + 1 < states.size() ? states[i + 1] : 0;
            Xcb::sendToRoot(c, rootOf(c, id), id, atom(c, "_NET_WM_STATE"),
                            {add, states[i], second, fromApplication});
        }
    }

    QList<xcb_atom_t> wantedStates(xcb_connection_t* c) const
    {
        QList<xcb_atom_t> states;
        if (m_hints & SkipTaskbar) {
            states.push_back(atom(c, "_NET_WM_STATE_SKIP_TASKBAR"));
            states.push_back(atom(c, "_NET_WM_STATE_SKIP_PAGER"));
        }
        if (m_hints & KeepAbove)
            states.push_back(atom(c, "_NET_WM_STATE_ABOVE"));
        return states;
    }

    void offerCloseOnly(xcb_connection_t* c, xcb_window_t id)
    {
        // Openbox offers to minimise any window but a toolbar or a menu, whatever the Motif
        // hints say (a fixed size only drops maximising). Taskbars leave toolbar windows out,
        // so under openbox a window that should show in one loses that entry instead. Xfwm4
        // gives the keyboard to every new dialog or normal window, but not to a toolbar.
        // Metacity draws no frame around a toolbar. KWin offers to minimise every normal or
        // dialog window, and a utility window whose owner is not on screen; a toolbar there
        // has no close box.
        const QByteArray manager = windowManagerName(c, rootOf(c, id));
        m_toolbar = manager == "Openbox" || (manager == "Xfwm4" && (m_hints & KeepAbove));
        m_kwin = manager == "KWin";
        if (m_toolbar || m_kwin)
            putTypeFirst(c, id,
                         m_toolbar ? "_NET_WM_WINDOW_TYPE_TOOLBAR" : "_NET_WM_WINDOW_TYPE_UTILITY");
        if (m_toolbar)
            if (QWindow* handle = window()->windowHandle())
                handle->installEventFilter(this);
        // Qt asks for resize functions and handles even on a fixed-size window. Written last:
        // window managers re-read a mapped window's type together with these hints.
        const xcb_atom_t motif = atom(c, "_MOTIF_WM_HINTS");
        const uint32_t hints[5] = {Motif::functionsFlag | Motif::decorationsFlag,
                                   Motif::move | Motif::close,
                                   Motif::border | Motif::title | Motif::menu, 0, 0};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, motif, motif, 32, 5, hints);
    }

    void raiseAsPager() const
    {
        xcb_connection_t* c = Xcb::connection();
        const xcb_window_t id = nativeWindow();
        if (!c || !id)
            return;
        constexpr uint32_t fromPager = 2, above = XCB_STACK_MODE_ABOVE;
        Xcb::sendToRoot(c, rootOf(c, id), id, atom(c, "_NET_RESTACK_WINDOW"),
                        {fromPager, XCB_WINDOW_NONE, above, 0, 0});
        xcb_flush(c);
    }

    void putTypeFirst(xcb_connection_t* c, xcb_window_t id, const char* typeName)
    {
        const xcb_atom_t property = atom(c, "_NET_WM_WINDOW_TYPE");
        const xcb_atom_t type = atom(c, typeName);
        QList<quint32> types = property32(c, id, property, XCB_ATOM_ATOM);
        types.removeAll(type);
        types.prepend(type);
        Xcb::setProperty32(c, id, property, XCB_ATOM_ATOM, types);
    }

    // KWin lets a utility window be minimised whose owner is not on screen, as Qt's never-mapped
    // client leader is, named just before the map; and it hides an owned utility window while
    // another program is active, which an alarm's window must never be. Those lose their owner
    // once mapped; KWin weighs what it allows again only when the size hints change, so they
    // are written again as they are.
    void dropOwnerForKWin(xcb_connection_t* c, xcb_window_t id) const
    {
        const QList<quint32> owner = property32(c, id, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW);
        if (owner.isEmpty())
            return;
        if (!(m_hints & KeepAbove) &&
            owner != property32(c, id, atom(c, "WM_CLIENT_LEADER"), XCB_ATOM_WINDOW))
            return;
        xcb_delete_property(c, id, XCB_ATOM_WM_TRANSIENT_FOR);
        const QList<quint32> sizeHints =
            property32(c, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS);
        if (!sizeHints.isEmpty())
            Xcb::setProperty32(c, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, sizeHints);
    }

    int m_hints = 0;
    xcb_window_t m_appliedTo = 0;
    bool m_toolbar = false;
    bool m_kwin = false;
    bool m_raiseWhenMapped = false;
    bool m_activateWhenMapped = false;
};

// The X server's time now: the time of a property change made for the purpose. A window
// manager goes by it when it weighs a request for the focus.
xcb_timestamp_t serverTime(xcb_connection_t* c, xcb_window_t root)
{
    const xcb_window_t probe = xcb_generate_id(c);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    xcb_change_property(c, XCB_PROP_MODE_APPEND, probe, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    xcb_flush(c);
    xcb_timestamp_t time = XCB_CURRENT_TIME;
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        const bool found = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY;
        if (found)
            time = reinterpret_cast<xcb_property_notify_event_t*>(event)->time;
        std::free(event);
        if (found)
            break;
    }
    xcb_destroy_window(c, probe);
    return time;
}

// Managed top-level windows, or the root's children where no window manager lists them.
QList<quint32> topLevelWindows(xcb_connection_t* c, xcb_window_t root)
{
    QList<quint32> windows = property32(c, root, atom(c, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
    if (!windows.isEmpty())
        return windows;
    const Xcb::Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr));
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        windows = QList<quint32>(children, children + xcb_query_tree_children_length(tree.get()));
    }
    return windows;
}
} // namespace

void X11Window::skipTaskbar(QWidget* window)
{
    HintKeeper::ask(window, HintKeeper::SkipTaskbar);
}

void X11Window::offerCloseOnly(QWidget* window)
{
    HintKeeper::ask(window, HintKeeper::CloseOnly);
}

void X11Window::keepAboveOthers(QWidget* window)
{
    HintKeeper::ask(window, HintKeeper::KeepAbove);
}

bool X11Window::activateWindowOf(qint64 pid, const QString& role)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    const xcb_window_t root = Xcb::root(c);
    const xcb_atom_t pidName = atom(c, "_NET_WM_PID");
    const xcb_atom_t roleName = atom(c, "WM_WINDOW_ROLE");
    const QByteArray wantedRole = role.toUtf8();

    xcb_window_t found = XCB_WINDOW_NONE;
    for (const xcb_window_t window : topLevelWindows(c, root)) {
        const QList<quint32> pids = property32(c, window, pidName, XCB_ATOM_CARDINAL, 1);
        if (pids.isEmpty() || static_cast<qint64>(pids.first()) != pid)
            continue;
        if (Xcb::text(c, window, roleName, XCB_ATOM_STRING) == wantedRole) {
            found = window;
            break;
        }
    }
    if (found != XCB_WINDOW_NONE) {
        if (windowManagerName(c, root).isEmpty()) {
            const uint32_t above = XCB_STACK_MODE_ABOVE;
            xcb_configure_window(c, found, XCB_CONFIG_WINDOW_STACK_MODE, &above);
        } else {
            // Sent as a pager would: the user asked for it, so no focus-stealing rule applies.
            constexpr uint32_t fromPager = 2;
            Xcb::sendToRoot(c, root, found, atom(c, "_NET_ACTIVE_WINDOW"),
                            {fromPager, serverTime(c, root), XCB_WINDOW_NONE});
        }
        // A round trip: the server may drop what a connection sent just before it closed.
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }
    xcb_disconnect(c);
    return found != XCB_WINDOW_NONE;
}
