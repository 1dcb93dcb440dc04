// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <array>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

// Small helpers over a connection to the X server: Qt's own, or one opened without Qt.
namespace Xcb {
struct FreeReply
{
    void operator()(void* reply) const { std::free(reply); }
};
// A reply of the server, freed as it goes.
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// Null unless the program runs on X11.
xcb_connection_t* connection();
// The root window of the screen the display names.
xcb_window_t root(xcb_connection_t* c);
// The root window of the screen `window` is on.
xcb_window_t rootOf(xcb_connection_t* c, xcb_window_t window);
// XCB_ATOM_NONE if the server cannot give it. Asked once per name on Qt's connection.
xcb_atom_t atom(xcb_connection_t* c, const char* name);
// The 32-bit items of a window's property of the given type; empty if it has none.
QList<quint32> property32(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                          xcb_atom_t type, quint32 maxItems = 4096);
// A window's 8-bit property of the given type; empty if it has none.
QByteArray text(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type);
// The name the EWMH window manager gives its check window on `root`; empty without one.
QByteArray windowManagerName(xcb_connection_t* c, xcb_window_t root);
// Replaces a window's 32-bit property of the given type.
void setProperty32(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                   const QList<quint32>& items);
// A 32-bit client message about `window`, sent to `root` for the window manager; unflushed.
void sendToRoot(xcb_connection_t* c, xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                const std::array<quint32, 5>& data);
} // namespace Xcb
