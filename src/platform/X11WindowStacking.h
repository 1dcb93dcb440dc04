#pragma once

#include "WindowStacking.h"

#include <memory>
#include <xcb/xcb.h>

// The bands of an EWMH window manager: the active window is the root's _NET_ACTIVE_WINDOW,
// and a window changes band by asking the manager for _NET_WM_STATE_ABOVE on or off. Nothing
// here re-creates a window or touches Qt's flags, so a shown window neither flickers nor
// loses its place.
class X11WindowStacking final : public WindowStacking
{
public:
    // Null unless the program runs on X11 under a window manager that offers all of this.
    static std::unique_ptr<X11WindowStacking> open();

    bool canRestack() const override { return true; }
    WId activeWindow() const override;
    void keepAbove(WId window) override;
    void dropAbove(WId window) override;

private:
    explicit X11WindowStacking(xcb_connection_t* c);
    bool managerOffersBands() const;
    void askForAbove(WId window, bool above);

    xcb_connection_t* const m_c;
    const xcb_window_t m_root;
    const xcb_atom_t m_activeWindow;
    const xcb_atom_t m_wmState;
    const xcb_atom_t m_above;
};
