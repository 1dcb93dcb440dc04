// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WindowStacking.h"
#include "X11Root.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <memory>
#include <optional>

// The bands of an EWMH window manager: the active window is the root's _NET_ACTIVE_WINDOW,
// and a window changes band by asking the manager for _NET_WM_STATE_ABOVE on or off. Nothing
// here re-creates a window or touches Qt's flags, so a shown window neither flickers nor
// loses its place.
//
// Each round trip to the server and each answer of the manager wakes the program, so it
// follows the root's notices instead of asking once a second: it reads the active window
// again only after a notice that it changed, and asks for a band again only after the focus
// or the stacking order has changed since it last asked the same.
class X11WindowStacking final : public QObject,
                                public WindowStacking,
                                public QAbstractNativeEventFilter
{
public:
    // Null unless the program runs on X11 under a window manager that offers all of this.
    static X11WindowStacking* open(QObject* parent);
    // The same over a given server.
    static X11WindowStacking* over(std::unique_ptr<X11Root> root, QObject* parent);
    // Whether a window manager runs that offers no above band (sway, for one).
    static bool managerLacksAbove(X11Root& root);
    ~X11WindowStacking() override;

    bool canRestack() const override { return true; }
    WId activeWindow() const override;
    void keepAbove(WId window) override;
    void dropAbove(WId window) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Request
    {
        WId window = 0;
        quint64 atChange = 0;
        bool operator==(const Request&) const = default;
    };

    X11WindowStacking(std::unique_ptr<X11Root> root, QObject* parent);
    bool managerOffersBands();
    static bool managerRuns(X11Root& x, xcb_window_t root);
    void followRootNotices();
    void askForAbove(WId window, bool above, std::optional<Request>& last);

    const std::unique_ptr<X11Root> m_x;
    const xcb_window_t m_root;
    const xcb_atom_t m_activeWindow;
    const xcb_atom_t m_wmState;
    const xcb_atom_t m_above;
    const xcb_atom_t m_stacking;
    bool m_stackingTold = false;
    quint64 m_changes = 0;
    mutable std::optional<WId> m_active;
    std::optional<Request> m_lastKept;
    std::optional<Request> m_lastDropped;
};
