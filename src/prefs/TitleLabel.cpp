// SPDX-License-Identifier: GPL-3.0-or-later
#include "TitleLabel.h"

#include "widgets/ColourLabel.h"
#include "widgets/DesignFont.h"
#include "widgets/FormControl.h"

namespace {
constexpr qint32 green = 0x00FF00;
constexpr qint32 black = 0x000000;
} // namespace

ColourLabel* TitleLabel::place(QWidget* window, const char* name, const QString& caption,
                               const TwipsRect& at)
{
    auto* label = Form::place(new ColourLabel(QString(), window), name, at,
                              {DesignFont::msSansSerif(9.75), std::nullopt, std::nullopt});
    label->setForeColor(green);
    label->setBackColor(black);
    label->setText(caption);
    return label;
}
