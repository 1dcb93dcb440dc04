// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowPlacement.h"

#include "platform/Twips.h"
#include "platform/WindowGeometry.h"
#include "settings/SettingValue.h"
#include "settings/SettingsStore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {
QList<QRect> screenAreas()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.append(screen->geometry());
    return areas;
}

// Sizes beyond the largest screen are cut to it; without any screen nothing is cut.
float fitting(float twips, int (QRect::*extent)() const, const QList<QRect>& screens)
{
    int largest = 0;
    for (const QRect& screen : screens)
        largest = qMax(largest, (screen.*extent)());
    if (largest == 0)
        return twips;
    return qBound(float(Twips::perPixel), twips, Twips::fromPixels(largest));
}

// The window every chain of owners starts at; none for that window itself.
const QWidget* stripOf(const QWidget* window)
{
    const QWidget* owner = window->parentWidget();
    while (owner && owner->parentWidget())
        owner = owner->parentWidget();
    return owner;
}

float defaultOf(const SettingKey& key)
{
    return *SettingValue::toTwips(key.defaultValue);
}
} // namespace

bool WindowPlacement::reachable(const QRect& frame, const QList<QRect>& screens)
{
    // Enough of the title bar to grab: its top within a screen, and some of its width.
    constexpr int grip = 32;
    for (const QRect& screen : screens) {
        const bool topOnScreen = frame.top() >= screen.top() && frame.top() < screen.bottom() - 8;
        const int shared = qMin(frame.right(), screen.right()) - qMax(frame.left(), screen.left());
        if (topOnScreen && shared >= qMin(grip, frame.width() - 1))
            return true;
    }
    return screens.isEmpty();
}

void WindowPlacement::load(QWidget* window, const SettingsStore& store)
{
    read(store);
    const QSize size = Twips::toPixelSize(m_widthTwips, m_heightTwips);
    applyPosition(window, size);
    if (m_keys.width && m_keys.height)
        WindowGeometry::setFixedOuterSize(window, size);
}

void WindowPlacement::read(const SettingsStore& store)
{
    const QList<QRect> screens = screenAreas();
    m_leftTwips = store.readTwips(m_keys.left);
    m_topTwips = store.readTwips(m_keys.top);
    m_positionStored = store.storedTwips(m_keys.left) || store.storedTwips(m_keys.top);
    if (m_keys.width)
        m_widthTwips = fitting(store.readTwips(*m_keys.width), &QRect::width, screens);
    if (m_keys.height)
        m_heightTwips = fitting(store.readTwips(*m_keys.height), &QRect::height, screens);
}

void WindowPlacement::applyPosition(QWidget* window, QSize outerSize)
{
    if (!reachable(QRect(Twips::toPixels(m_leftTwips, m_topTwips), outerSize), screenAreas())) {
        m_leftTwips = defaultOf(m_keys.left);
        m_topTwips = defaultOf(m_keys.top);
    }
    const QWidget* strip = stripOf(window);
    if (!m_positionStored && strip && strip->isVisible()) {
        const QRect frame(Twips::toPixels(m_leftTwips, m_topTwips), outerSize);
        const int top =
            topClearOf(frame, strip->frameGeometry(), strip->screen()->availableGeometry());
        if (top != frame.top())
            m_topTwips = Twips::fromPixels(top);
    }
    m_position.place(window, m_leftTwips, m_topTwips);
}

int WindowPlacement::topClearOf(const QRect& frame, const QRect& keepClear, const QRect& screen)
{
    constexpr int gap = 8;
    if (!frame.intersects(keepClear))
        return frame.top();
    const int below = keepClear.bottom() + 1 + gap;
    if (below + frame.height() <= screen.bottom() + 1)
        return below;
    const int above = keepClear.top() - gap - frame.height();
    return above >= screen.top() ? above : frame.top();
}

bool WindowPlacement::positionsReported(const QString& platformName)
{
    return !platformName.startsWith(QLatin1String("wayland"));
}

void WindowPlacement::writePosition(const QWidget* window, SettingsStore& store) const
{
    // Where the platform cannot tell, the place kept from an earlier run stays for the next.
    if (!positionsReported(QGuiApplication::platformName()))
        return;
    store.writeTwips(m_keys.left, m_position.leftTwips(window));
    store.writeTwips(m_keys.top, m_position.topTwips(window));
}
