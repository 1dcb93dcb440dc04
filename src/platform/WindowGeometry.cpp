#include "WindowGeometry.h"

#include <QEvent>
#include <QWidget>

namespace {
// Lives on the window and re-fits the client area whenever the frame may have changed.
class FixedOuterSize : public QObject
{
public:
    FixedOuterSize(QWidget* window, QSize outerSize) : QObject(window), m_outerSize(outerSize)
    {
        setObjectName(objectNameForIt());
        window->installEventFilter(this);
    }

    static QString objectNameForIt() { return QStringLiteral("qmutc-fixed-outer-size"); }

    void setOuterSize(QSize outerSize)
    {
        m_outerSize = outerSize;
        fit();
    }

    void fit()
    {
        auto* window = static_cast<QWidget*>(parent());
        const QSize frame = window->frameGeometry().size() - window->geometry().size();
        const QSize client = (m_outerSize - frame).expandedTo(QSize(1, 1));
        if (window->minimumSize() != client || window->maximumSize() != client)
            window->setFixedSize(client);
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
    QSize m_outerSize;
};
} // namespace

void WindowGeometry::setOuterTopLeft(QWidget* window, QPoint topLeft)
{
    window->move(topLeft);
}

QPoint WindowGeometry::outerTopLeft(const QWidget* window)
{
    return window->frameGeometry().topLeft();
}

void WindowGeometry::setFixedOuterSize(QWidget* window, QSize outerSize)
{
    auto* keeper = static_cast<FixedOuterSize*>(
        window->findChild<QObject*>(FixedOuterSize::objectNameForIt(), Qt::FindDirectChildrenOnly));
    if (keeper)
        keeper->setOuterSize(outerSize);
    else
        (new FixedOuterSize(window, outerSize))->fit();
}

QSize WindowGeometry::outerSize(const QWidget* window)
{
    return window->frameGeometry().size();
}
