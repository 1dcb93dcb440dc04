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
                fit();
                break;
            default:
                break;
            }
        }
        return false;
    }

private:
    QWidget* window() const { return static_cast<QWidget*>(parent()); }

    void fit()
    {
        QWidget* w = window();
        const QSize frame = w->frameGeometry().size() - w->geometry().size();
        if (m_outerSize) {
            const QSize client = (*m_outerSize - frame).expandedTo(QSize(1, 1));
            if (w->minimumSize() != client || w->maximumSize() != client)
                w->setFixedSize(client);
        }
        const bool framed = w->isVisible() && !frame.isNull();
        if (framed && m_topLeftUntilFramed) {
            if (w->frameGeometry().topLeft() != *m_topLeftUntilFramed)
                w->move(*m_topLeftUntilFramed);
            m_topLeftUntilFramed.reset();
        }
    }

    std::optional<QSize> m_outerSize;
    std::optional<QPoint> m_topLeftUntilFramed;
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
