// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class ColourLabel;
class QString;
class QWidget;
struct TwipsRect;

// The preference windows' captions: bold, green on black, like the strip.
namespace TitleLabel {
ColourLabel* place(QWidget* window, const char* name, const QString& caption, const TwipsRect& at);
} // namespace TitleLabel
