// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <array>
#include <memory>
#include <xcb/xcb.h>

// The X server as the stacking sees it: the root window's properties and notices, and
// messages to the window manager through the root. Tests put a fake server in its place.
class X11Root
{
public:
    // The root of the display's screen over Qt's own connection; null unless the program runs
    // on X11.
    static std::unique_ptr<X11Root> open();
    virtual ~X11Root() = default;

    // The root window of the display's screen; XCB_WINDOW_NONE if there is none.
    virtual xcb_window_t window() const = 0;
    // XCB_ATOM_NONE if the server cannot give it.
    virtual xcb_atom_t atom(const char* name) = 0;
    // The 32-bit items of a window's property of the given type; empty if it has none.
    virtual QList<quint32> property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                      quint32 maxItems) = 0;
    // Asks for the root's property notices; false if the server could not tell whether it will
    // send them.
    virtual bool followPropertyNotices() = 0;
    // A 32-bit client message about `window`, sent to the root for the window manager.
    virtual void sendClientMessage(xcb_window_t window, xcb_atom_t type,
                                   const std::array<quint32, 5>& data) = 0;
};
