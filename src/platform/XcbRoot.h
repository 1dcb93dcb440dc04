// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "X11Root.h"

#include <memory>

// The root window over Qt's own connection to the X server.
class XcbRoot final : public X11Root
{
public:
    // Null unless the program runs on X11.
    static std::unique_ptr<XcbRoot> open();

    xcb_window_t window() const override { return m_root; }
    xcb_atom_t atom(const char* name) override;
    QList<quint32> property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                              quint32 maxItems) override;
    bool followPropertyNotices() override;
    void sendClientMessage(xcb_window_t window, xcb_atom_t type,
                           const std::array<quint32, 5>& data) override;

private:
    explicit XcbRoot(xcb_connection_t* c);

    xcb_connection_t* const m_c;
    const xcb_window_t m_root;
};
