// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QSize>
#include <cmath>

// Stored positions and sizes are in twips: 1/1440 inch, 15 per device-independent pixel.
namespace Twips {
inline constexpr int perPixel = 15;

inline int toPixels(double twips)
{
    return static_cast<int>(std::lround(twips / perPixel));
}

inline float fromPixels(int pixels)
{
    return static_cast<float>(pixels * perPixel);
}

inline QPoint toPixels(double left, double top)
{
    return {toPixels(left), toPixels(top)};
}

inline QSize toPixelSize(double width, double height)
{
    return {toPixels(width), toPixels(height)};
}
} // namespace Twips
