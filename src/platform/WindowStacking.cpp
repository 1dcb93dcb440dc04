#include "WindowStacking.h"

#include "X11WindowStacking.h"

#include <memory>

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
    static const std::unique_ptr<WindowStacking> desktop = []() -> std::unique_ptr<WindowStacking> {
        if (auto x11 = X11WindowStacking::open())
            return x11;
        return std::make_unique<NoRestacking>();
    }();
    return *desktop;
}
