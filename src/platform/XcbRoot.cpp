// SPDX-License-Identifier: GPL-3.0-or-later
#include "XcbRoot.h"

#include "Xcb.h"

#include <cstdlib>

std::unique_ptr<XcbRoot> XcbRoot::open()
{
    xcb_connection_t* c = Xcb::connection();
    return c ? std::unique_ptr<XcbRoot>(new XcbRoot(c)) : nullptr;
}

XcbRoot::XcbRoot(xcb_connection_t* c) : m_c(c), m_root(Xcb::root(c)) {}

xcb_atom_t XcbRoot::atom(const char* name)
{
    return Xcb::atom(m_c, name);
}

QList<quint32> XcbRoot::property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                   quint32 maxItems)
{
    return Xcb::property32(m_c, window, property, type, maxItems);
}

bool XcbRoot::followPropertyNotices()
{
    // Property notices of the root come to every client that asks; add them to Qt's own.
    const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
        xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, m_root), nullptr),
        &std::free);
    if (!attributes)
        return false;
    if (!(attributes->your_event_mask & XCB_EVENT_MASK_PROPERTY_CHANGE)) {
        const quint32 mask = attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_c);
    }
    return true;
}

void XcbRoot::sendClientMessage(xcb_window_t window, xcb_atom_t type,
                                const std::array<quint32, 5>& data)
{
    Xcb::sendToRoot(m_c, m_root, window, type, data);
    xcb_flush(m_c);
}
