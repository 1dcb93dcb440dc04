// SPDX-License-Identifier: GPL-3.0-or-later
#include "Xcb.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
struct FreeReply
{
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply>;
} // namespace

xcb_connection_t* Xcb::connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
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

xcb_atom_t Xcb::atom(xcb_connection_t* c, const char* name)
{
    const ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QList<quint32> Xcb::property32(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                               xcb_atom_t type, quint32 maxItems)
{
    const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
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
