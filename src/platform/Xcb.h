// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <xcb/xcb.h>

// Small helpers over Qt's own connection to the X server.
namespace Xcb {
// Null unless the program runs on X11.
xcb_connection_t* connection();
// The root window of the screen the display names.
xcb_window_t root(xcb_connection_t* c);
// XCB_ATOM_NONE if the server cannot give it.
xcb_atom_t atom(xcb_connection_t* c, const char* name);
// The 32-bit items of a window's property of the given type; empty if it has none.
QList<quint32> property32(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                          xcb_atom_t type, quint32 maxItems);
} // namespace Xcb
