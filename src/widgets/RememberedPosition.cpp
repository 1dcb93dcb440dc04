// SPDX-License-Identifier: GPL-3.0-or-later
#include "RememberedPosition.h"

#include "platform/Twips.h"
#include "platform/WindowGeometry.h"

void RememberedPosition::place(QWidget* window, float leftTwips, float topTwips)
{
    m_leftTwips = leftTwips;
    m_topTwips = topTwips;
    m_placedAt = Twips::toPixels(leftTwips, topTwips);
    WindowGeometry::setOuterTopLeft(window, m_placedAt);
}

float RememberedPosition::leftTwips(const QWidget* window) const
{
    const int left = WindowGeometry::outerTopLeft(window).x();
    return left == m_placedAt.x() ? m_leftTwips : Twips::fromPixels(left);
}

float RememberedPosition::topTwips(const QWidget* window) const
{
    const int top = WindowGeometry::outerTopLeft(window).y();
    return top == m_placedAt.y() ? m_topTwips : Twips::fromPixels(top);
}
