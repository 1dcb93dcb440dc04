#include "WindowGeometry.h"

#include <QEvent>
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
        if (m_outerSize) {
            const QSize client = (*m_outerSize - frame).expandedTo(QSize(1, 1));
            if (w->minimumSize() != client || w->maximumSize() != client)
                w->setFixedSize(client);
        }
        if (!m_topLeftUntilFramed || !w->isVisible() || frame.isNull())
            return;
        // Qt believes its own requests at once, so only the window manager's word that the
        // frame is in place ends the watch; a window manager that keeps its own idea wins
        // after a few tries.
        if (w->frameGeometry().topLeft() == *m_topLeftUntilFramed) {
            if (fromWindowManager)
                m_topLeftUntilFramed.reset();
        } else if (m_corrections++ < maxCorrections) {
            w->move(*m_topLeftUntilFramed);
        } else {
            m_topLeftUntilFramed.reset();
        }
    }

    static constexpr int maxCorrections = 4;
    std::optional<QSize> m_outerSize;
    std::optional<QPoint> m_topLeftUntilFramed;
    int m_corrections = 0;
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
