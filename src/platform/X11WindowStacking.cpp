// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11WindowStacking.h"

#include <QCoreApplication>

namespace {
// _NET_WM_STATE actions and the source of the request.
constexpr quint32 stateRemove = 0;
constexpr quint32 stateAdd = 1;
constexpr quint32 fromApplication = 1;
} // namespace

X11WindowStacking* X11WindowStacking::open(QObject* parent)
{
    std::unique_ptr<X11Root> root = X11Root::open();
    return root ? over(std::move(root), parent) : nullptr;
}

X11WindowStacking* X11WindowStacking::over(std::unique_ptr<X11Root> root, QObject* parent)
{
    std::unique_ptr<X11WindowStacking> stacking(new X11WindowStacking(std::move(root), parent));
    if (!stacking->managerOffersBands())
        return nullptr;
    stacking->followRootNotices();
    return stacking.release();
}

X11WindowStacking::X11WindowStacking(std::unique_ptr<X11Root> root, QObject* parent)
    : QObject(parent), m_x(std::move(root)), m_root(m_x->window()),
      m_activeWindow(m_x->atom("_NET_ACTIVE_WINDOW")), m_wmState(m_x->atom("_NET_WM_STATE")),
      m_above(m_x->atom("_NET_WM_STATE_ABOVE")), m_stacking(m_x->atom("_NET_CLIENT_LIST_STACKING"))
{}

X11WindowStacking::~X11WindowStacking()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

bool X11WindowStacking::managerRuns(X11Root& x, xcb_window_t root)
{
    // A running EWMH manager names its check window on the root and on that window itself.
    const xcb_atom_t check = x.atom("_NET_SUPPORTING_WM_CHECK");
    const QList<quint32> onRoot = x.property32(root, check, XCB_ATOM_WINDOW, 1);
    return !onRoot.isEmpty() && x.property32(onRoot.first(), check, XCB_ATOM_WINDOW, 1) == onRoot;
}

bool X11WindowStacking::managerLacksAbove(X11Root& x)
{
    const xcb_window_t root = x.window();
    if (root == XCB_WINDOW_NONE || !managerRuns(x, root))
        return false;
    return !x.property32(root, x.atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 4096)
                .contains(x.atom("_NET_WM_STATE_ABOVE"));
}

bool X11WindowStacking::managerOffersBands()
{
    if (m_root == XCB_WINDOW_NONE || m_above == XCB_ATOM_NONE || !managerRuns(*m_x, m_root))
        return false;
    const QList<quint32> supported =
        m_x->property32(m_root, m_x->atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 4096);
    m_stackingTold = supported.contains(m_stacking);
    return supported.contains(m_activeWindow) && supported.contains(m_wmState) &&
           supported.contains(m_above);
}

void X11WindowStacking::followRootNotices()
{
    // Without notices nothing tells that a request's answer no longer holds.
    if (!m_x->followPropertyNotices()) {
        m_stackingTold = false;
        return;
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
        const QList<quint32> active = m_x->property32(m_root, m_activeWindow, XCB_ATOM_WINDOW, 1);
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
    m_x->sendClientMessage(static_cast<xcb_window_t>(window), m_wmState,
                           {above ? stateAdd : stateRemove, m_above, 0, fromApplication, 0});
}
