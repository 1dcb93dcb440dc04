// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11Root.h"

#include "Xcb.h"

namespace {
class XcbRoot final : public X11Root
{
public:
    explicit XcbRoot(xcb_connection_t* c) : m_c(c), m_root(Xcb::root(c)) {}

    xcb_window_t window() const override { return m_root; }
    xcb_atom_t atom(const char* name) override { return Xcb::atom(m_c, name); }
    QList<quint32> property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                              quint32 maxItems) override
    {
        return Xcb::property32(m_c, window, property, type, maxItems);
    }

    bool followPropertyNotices() override
    {
        // Property notices of the root come to every client that asks; add them to Qt's own.
        const Xcb::Reply<xcb_get_window_attributes_reply_t> attributes(
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

    void sendClientMessage(xcb_window_t window, xcb_atom_t type,
                           const std::array<quint32, 5>& data) override
    {
        Xcb::sendToRoot(m_c, m_root, window, type, data);
        xcb_flush(m_c);
    }

private:
    xcb_connection_t* const m_c;
    const xcb_window_t m_root;
};
} // namespace

std::unique_ptr<X11Root> X11Root::open()
{
    xcb_connection_t* c = Xcb::connection();
    return c ? std::make_unique<XcbRoot>(c) : nullptr;
}
