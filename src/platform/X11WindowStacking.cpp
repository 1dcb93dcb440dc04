#include "X11WindowStacking.h"

#include "Xcb.h"

namespace {
// _NET_WM_STATE actions and the source of the request.
constexpr quint32 stateRemove = 0;
constexpr quint32 stateAdd = 1;
constexpr quint32 fromApplication = 1;
} // namespace

std::unique_ptr<X11WindowStacking> X11WindowStacking::open()
{
    xcb_connection_t* c = Xcb::connection();
    if (!c)
        return nullptr;
    std::unique_ptr<X11WindowStacking> stacking(new X11WindowStacking(c));
    if (!stacking->managerOffersBands())
        return nullptr;
    return stacking;
}

X11WindowStacking::X11WindowStacking(xcb_connection_t* c)
    : m_c(c), m_root(Xcb::root(c)), m_activeWindow(Xcb::atom(c, "_NET_ACTIVE_WINDOW")),
      m_wmState(Xcb::atom(c, "_NET_WM_STATE")), m_above(Xcb::atom(c, "_NET_WM_STATE_ABOVE"))
{}

bool X11WindowStacking::managerOffersBands() const
{
    if (m_root == XCB_WINDOW_NONE || m_above == XCB_ATOM_NONE)
        return false;
    // A running EWMH manager names its check window on the root and on that window itself.
    const xcb_atom_t check = Xcb::atom(m_c, "_NET_SUPPORTING_WM_CHECK");
    const QList<quint32> onRoot = Xcb::property32(m_c, m_root, check, XCB_ATOM_WINDOW, 1);
    if (onRoot.isEmpty() ||
        Xcb::property32(m_c, onRoot.first(), check, XCB_ATOM_WINDOW, 1) != onRoot)
        return false;
    const QList<quint32> supported =
        Xcb::property32(m_c, m_root, Xcb::atom(m_c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 4096);
    return supported.contains(m_activeWindow) && supported.contains(m_wmState) &&
           supported.contains(m_above);
}

WId X11WindowStacking::activeWindow() const
{
    const QList<quint32> active = Xcb::property32(m_c, m_root, m_activeWindow, XCB_ATOM_WINDOW, 1);
    return active.isEmpty() ? 0 : WId(active.first());
}

void X11WindowStacking::keepAbove(WId window)
{
    askForAbove(window, true);
}

void X11WindowStacking::dropAbove(WId window)
{
    askForAbove(window, false);
}

void X11WindowStacking::askForAbove(WId window, bool above)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window);
    message.type = m_wmState;
    message.data.data32[0] = above ? stateAdd : stateRemove;
    message.data.data32[1] = m_above;
    message.data.data32[3] = fromApplication;
    xcb_send_event(m_c, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(m_c);
}
