// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QWidget>
#include <optional>

// A control's laid-out rectangle in twips, relative to the window's client area.
struct TwipsRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// How a control looks, where it differs from the window's defaults.
struct Look
{
    std::optional<QFont> font;
    std::optional<QColor> text;
    std::optional<QColor> background;
};

// Every window is a fixed form: each control has its system name, a place in twips, and
// sometimes a face and colours of its own.
namespace Form {
QRect pixels(const TwipsRect& at);

// Text and background colours: a text field's text and field, or a label's text and face.
void setColours(QWidget* control, const QColor& text, const QColor& background);
void apply(QWidget* control, const Look& look);

template <typename Control>
Control* place(Control* control, const char* name, const TwipsRect& at, const Look& look = {})
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(pixels(at));
    apply(control, look);
    return control;
}
} // namespace Form
