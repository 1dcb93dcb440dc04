// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowGeometry.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <optional>

namespace {
// Lives on the window and re-fits the client area whenever the frame may have changed. It
// also holds the wanted position until the window manager has framed the window: a resize
// sent while Qt still believes the unframed position would move the window there.
class FrameKeeper : public QObject
{
public:
    explicit FrameKeeper(QWidget* window) : QObject(window)
    {
        setObjectName(nameForIt());
        window->installEventFilter(this);
        m_settled.setSingleShot(true);
        m_settled.setInterval(settleMs);
        connect(&m_settled, &QTimer::timeout, this, [this] { m_topLeftUntilFramed.reset(); });
    }

    static QString nameForIt() { return QStringLiteral("qmutc-frame-keeper"); }

    static FrameKeeper* of(QWidget* window)
    {
        auto* keeper = static_cast<FrameKeeper*>(
            window->findChild<QObject*>(nameForIt(), Qt::FindDirectChildrenOnly));
        return keeper ? keeper : new FrameKeeper(window);
    }

    void setOuterSize(QSize outerSize)
    {
        m_outerSize = outerSize;
        fit();
    }

    void setTopLeft(QPoint topLeft)
    {
        m_topLeftUntilFramed = topLeft;
        m_corrections = 0;
        m_confirmed = false;
        m_settled.stop();
        window()->move(topLeft);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent()) {
            switch (event->type()) {
            case QEvent::Show:
            case QEvent::Move:
            case QEvent::Resize:
                fit(event->spontaneous());
                break;
            default:
                break;
            }
        }
        return false;
    }

private:
    QWidget* window() const { return static_cast<QWidget*>(parent()); }

    void fit(bool fromWindowManager = false)
    {
        QWidget* w = window();
        const QSize frame = w->frameGeometry().size() - w->geometry().size();
        // While the window manager reparents the window, Qt may briefly see a frame smaller
        // than the window; nothing can be fitted to that.
        if (frame.width() < 0 || frame.height() < 0)
            return;
        if (m_outerSize) {
            const QSize client = (*m_outerSize - frame).expandedTo(QSize(1, 1));
            if (w->minimumSize() != client || w->maximumSize() != client)
                w->setFixedSize(client);
        }
        if (!m_topLeftUntilFramed || !w->isVisible() || frame.isNull())
            return;
        // Qt believes its own requests at once, so only the window manager's word that the
        // frame is in place counts. Even then, just after framing the window it may still
        // carry out an older request that puts the client area where the frame belongs; that
        // mark alone is undone for a while after, as any other move is the user's or the
        // window manager's. A window manager that keeps its own idea wins after a few tries.
        const QPoint wanted = *m_topLeftUntilFramed;
        if (w->frameGeometry().topLeft() == wanted) {
            if (fromWindowManager) {
                m_confirmed = true;
                m_settled.start();
            }
            return;
        }
        if (m_confirmed && !(fromWindowManager && w->geometry().topLeft() == wanted))
            return;
        if (m_corrections++ < maxCorrections) {
            w->move(wanted);
        } else {
            m_settled.stop();
            m_topLeftUntilFramed.reset();
        }
    }

    static constexpr int maxCorrections = 8;
    static constexpr int settleMs = 1000;
    QTimer m_settled;
    std::optional<QSize> m_outerSize;
    std::optional<QPoint> m_topLeftUntilFramed;
    int m_corrections = 0;
    bool m_confirmed = false;
};
} // namespace

void WindowGeometry::setOuterTopLeft(QWidget* window, QPoint topLeft)
{
    FrameKeeper::of(window)->setTopLeft(topLeft);
}

QPoint WindowGeometry::outerTopLeft(const QWidget* window)
{
    return window->frameGeometry().topLeft();
}

void WindowGeometry::setFixedOuterSize(QWidget* window, QSize outerSize)
{
    FrameKeeper::of(window)->setOuterSize(outerSize);
}

QSize WindowGeometry::outerSize(const QWidget* window)
{
    return window->frameGeometry().size();
}
