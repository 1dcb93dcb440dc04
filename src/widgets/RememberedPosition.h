// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>

class QWidget;

// A window's stored position in twips. Twips are finer than pixels, so a window that was not
// moved gives back exactly the twips it was placed from instead of drifting by a rounding.
class RememberedPosition
{
public:
    // Puts the window's frame at the stored position.
    void place(QWidget* window, float leftTwips, float topTwips);

    // The position to store for the window as it is now.
    float leftTwips(const QWidget* window) const;
    float topTwips(const QWidget* window) const;

private:
    QPoint m_placedAt;
    float m_leftTwips = 0;
    float m_topTwips = 0;
};
