// SPDX-License-Identifier: GPL-3.0-or-later
#include "XcbRoot.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
struct FreeReply
{
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

// The root window of the screen the display names.
xcb_window_t rootOf(xcb_connection_t* c)
{
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen))
        std::free(host);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; it.rem > 0 && i < screen; ++i)
        xcb_screen_next(&it);
    return it.rem > 0 ? it.data->root : xcb_window_t(XCB_WINDOW_NONE);
}
} // namespace

std::unique_ptr<XcbRoot> XcbRoot::open()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return nullptr;
    return std::unique_ptr<XcbRoot>(new XcbRoot(x11->connection()));
}

XcbRoot::XcbRoot(xcb_connection_t* c) : m_c(c), m_root(rootOf(c)) {}

xcb_atom_t XcbRoot::atom(const char* name)
{
    const ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_c, xcb_intern_atom(m_c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QList<quint32> XcbRoot::property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                   quint32 maxItems)
{
    const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_c, xcb_get_property(m_c, 0, window, property, type, 0, maxItems), nullptr));
    QList<quint32> items;
    if (!reply || reply->type != type || reply->format != 32)
        return items;
    const auto* values = static_cast<const quint32*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    items.reserve(count);
    for (int i = 0; i < count; ++i)
        items.append(values[i]);
    return items;
}

bool XcbRoot::followPropertyNotices()
{
    // Property notices of the root come to every client that asks; add them to Qt's own.
    const ReplyPtr<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, m_root), nullptr));
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
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(m_c, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(m_c);
}
