// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowStacking.h"

#include "X11WindowStacking.h"

#include <QCoreApplication>
#include <QPointer>

namespace {
// No window manager to ask, or not X11: the strip can only ask Qt to stay on top.
class NoRestacking final : public WindowStacking
{
public:
    bool canRestack() const override { return false; }
    WId activeWindow() const override { return 0; }
    void keepAbove(WId) override {}
    void dropAbove(WId) override {}
};
} // namespace

WindowStacking& WindowStacking::system()
{
    // Lives as long as the application whose X connection it uses.
    static QPointer<X11WindowStacking> x11;
    if (!x11)
        x11 = X11WindowStacking::open(QCoreApplication::instance());
    if (x11)
        return *x11;
    static NoRestacking none;
    return none;
}
