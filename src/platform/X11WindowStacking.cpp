// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11WindowStacking.h"

#include "Xcb.h"

#include <QCoreApplication>
#include <memory>

namespace {
// _NET_WM_STATE actions and the source of the request.
constexpr quint32 stateRemove = 0;
constexpr quint32 stateAdd = 1;
constexpr quint32 fromApplication = 1;
} // namespace

X11WindowStacking* X11WindowStacking::open(QObject* parent)
{
    xcb_connection_t* c = Xcb::connection();
    if (!c)
        return nullptr;
    std::unique_ptr<X11WindowStacking> stacking(new X11WindowStacking(c, parent));
    if (!stacking->managerOffersBands())
        return nullptr;
    stacking->followRootNotices();
    return stacking.release();
}

X11WindowStacking::X11WindowStacking(xcb_connection_t* c, QObject* parent)
    : QObject(parent), m_c(c), m_root(Xcb::root(c)),
      m_activeWindow(Xcb::atom(c, "_NET_ACTIVE_WINDOW")), m_wmState(Xcb::atom(c, "_NET_WM_STATE")),
      m_above(Xcb::atom(c, "_NET_WM_STATE_ABOVE")),
      m_stacking(Xcb::atom(c, "_NET_CLIENT_LIST_STACKING"))
{}

X11WindowStacking::~X11WindowStacking()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

bool X11WindowStacking::managerOffersBands()
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
    m_stackingTold = supported.contains(m_stacking);
    return supported.contains(m_activeWindow) && supported.contains(m_wmState) &&
           supported.contains(m_above);
}

void X11WindowStacking::followRootNotices()
{
    // Property notices of the root come to every client that asks; add them to Qt's own.
    const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
        xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, m_root), nullptr),
        &std::free);
    if (!attributes) {
        m_stackingTold = false;
        return;
    }
    if (!(attributes->your_event_mask & XCB_EVENT_MASK_PROPERTY_CHANGE)) {
        const quint32 mask = attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_c);
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
}

bool X11WindowStacking::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* notice = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if (notice->window != m_root)
        return false;
    if (notice->atom == m_activeWindow) {
        m_active.reset();
        ++m_changes;
    } else if (notice->atom == m_stacking) {
        ++m_changes;
    }
    return false;
}

WId X11WindowStacking::activeWindow() const
{
    if (!m_active) {
        const QList<quint32> active =
            Xcb::property32(m_c, m_root, m_activeWindow, XCB_ATOM_WINDOW, 1);
        m_active = active.isEmpty() ? 0 : WId(active.first());
    }
    return *m_active;
}

void X11WindowStacking::keepAbove(WId window)
{
    askForAbove(window, true, m_lastKept);
}

void X11WindowStacking::dropAbove(WId window)
{
    askForAbove(window, false, m_lastDropped);
}

void X11WindowStacking::askForAbove(WId window, bool above, std::optional<Request>& last)
{
    // Nothing has moved since the same request: the manager's answer still holds.
    const Request request{window, m_changes};
    if (m_stackingTold && last == request)
        return;
    last = request;

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
