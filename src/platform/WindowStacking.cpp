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
    explicit NoRestacking(QString problem) : m_problem(std::move(problem)) {}
    bool canRestack() const override { return false; }
    WId activeWindow() const override { return 0; }
    void keepAbove(WId) override {}
    void dropAbove(WId) override {}
    QString keptOnTopProblem() const override { return m_problem; }

private:
    const QString m_problem;
};

QString problemWithoutRestacking()
{
    const std::unique_ptr<X11Root> root = X11Root::open();
    if (root && X11WindowStacking::managerLacksAbove(*root))
        return QStringLiteral("this window manager cannot keep the strip on top (it offers no "
                              "_NET_WM_STATE_ABOVE)");
    return {};
}
} // namespace

WindowStacking& WindowStacking::system()
{
    // Lives as long as the application whose X connection it uses.
    static QPointer<X11WindowStacking> x11;
    if (!x11)
        x11 = X11WindowStacking::open(QCoreApplication::instance());
    if (x11)
        return *x11;
    static NoRestacking none(problemWithoutRestacking());
    return none;
}
