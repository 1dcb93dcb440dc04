#include "WindowPlacement.h"

#include "platform/Twips.h"
#include "platform/WindowGeometry.h"
#include "settings/SettingsStore.h"

void WindowPlacement::load(QWidget* window, const SettingsStore& store)
{
    const float left = store.readTwips(m_keys.left);
    const float top = store.readTwips(m_keys.top);
    m_position.place(window, left, top);
    if (m_keys.width && m_keys.height) {
        const float width = store.readTwips(*m_keys.width);
        const float height = store.readTwips(*m_keys.height);
        WindowGeometry::setFixedOuterSize(window, Twips::toPixelSize(width, height));
    }
}

void WindowPlacement::writePosition(const QWidget* window, SettingsStore& store) const
{
    store.writeTwips(m_keys.left, m_position.leftTwips(window));
    store.writeTwips(m_keys.top, m_position.topTwips(window));
}
