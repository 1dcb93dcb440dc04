// SPDX-License-Identifier: GPL-3.0-or-later
#include "Xcb.h"

#include <QGuiApplication>
#include <QHash>
#include <algorithm>
#include <cstring>

xcb_connection_t* Xcb::connection()
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t Xcb::root(xcb_connection_t* c)
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

xcb_window_t Xcb::rootOf(xcb_connection_t* c, xcb_window_t window)
{
    const Reply<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    return reply ? reply->root : xcb_window_t(XCB_WINDOW_NONE);
}

xcb_atom_t Xcb::atom(xcb_connection_t* c, const char* name)
{
    // An atom lives as long as the server; Qt's connection lasts as long as the program.
    static QHash<QByteArray, xcb_atom_t> known;
    const bool qtOwn = c == connection();
    if (qtOwn)
        if (const auto found = known.constFind(name); found != known.cend())
            return *found;
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    if (!reply)
        return XCB_ATOM_NONE;
    if (qtOwn)
        known.insert(name, reply->atom);
    return reply->atom;
}

QList<quint32> Xcb::property32(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                               xcb_atom_t type, quint32 maxItems)
{
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, type, 0, maxItems), nullptr));
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

QByteArray Xcb::text(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, type, 0, 4096), nullptr));
    if (!reply || reply->format != 8 || reply->type != type)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

QByteArray Xcb::windowManagerName(xcb_connection_t* c, xcb_window_t root)
{
    const QList<quint32> check =
        property32(c, root, atom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 1);
    if (check.isEmpty())
        return {};
    // A manager keeps its check window while it runs; one that replaces it makes another.
    static QHash<quint32, QByteArray> known;
    const bool qtOwn = c == connection();
    if (qtOwn)
        if (const auto found = known.constFind(check.first()); found != known.cend())
            return *found;
    const QByteArray name = text(c, check.first(), atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"));
    if (qtOwn && !name.isEmpty())
        known.insert(check.first(), name);
    return name;
}

void Xcb::setProperty32(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                        xcb_atom_t type, const QList<quint32>& items)
{
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, 32,
                        static_cast<uint32_t>(items.size()), items.constData());
}

void Xcb::sendToRoot(xcb_connection_t* c, xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                     const std::array<quint32, 5>& data)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}
