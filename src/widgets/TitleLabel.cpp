// SPDX-License-Identifier: GPL-3.0-or-later
#include "TitleLabel.h"

#include "BgrColour.h"
#include "ColourLabel.h"
#include "DesignFont.h"
#include "FormControl.h"

ColourLabel* TitleLabel::place(QWidget* window, const char* name, const QString& caption,
                               const TwipsRect& at)
{
    auto* label = Form::place(new ColourLabel(QString(), window), name, at,
                              {DesignFont::msSansSerif(9.75), std::nullopt, std::nullopt});
    label->setForeColor(BgrColour::green);
    label->setBackColor(BgrColour::black);
    label->setText(caption);
    return label;
}
