// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

// A text made to fit a control laid out for shorter ones, by a smaller font rather than by
// moving or widening the control.
namespace FittedText {
// The font for a one-line text in a field whose text area is width pixels wide: the given
// font, or the same face as much smaller as it takes for the whole text to fit.
QFont line(const QFont& font, const QString& text, int width);
} // namespace FittedText
