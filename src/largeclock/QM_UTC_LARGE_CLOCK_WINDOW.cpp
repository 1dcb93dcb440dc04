// SPDX-License-Identifier: GPL-3.0-or-later
#include "QM_UTC_LARGE_CLOCK_WINDOW.h"

#include "platform/Timer.h"
#include "settings/SettingsKeys.h"
#include "widgets/BgrColour.h"
#include "widgets/ColourLabel.h"
#include "widgets/DesignFont.h"
#include "widgets/ElidedField.h"
#include "widgets/Emblem.h"
#include "widgets/FormControl.h"

#include <QLineEdit>
#include <QPushButton>

namespace {
const Qt::WindowFlags largeClockFrame =
    Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
} // namespace

QM_UTC_LARGE_CLOCK_WINDOW::QM_UTC_LARGE_CLOCK_WINDOW(const ColourLabel& clock,
                                                     SettingsStore& settings, QWidget* owner)
    : FormDialog(owner, largeClockFrame, settings,
                 {SettingsKeys::LARGE_CLOCK_Left, SettingsKeys::LARGE_CLOCK_Top,
                  SettingsKeys::LARGE_CLOCK_Width, SettingsKeys::LARGE_CLOCK_Height},
                 SkipTaskbar),
      QM_CLOSE_BUTTON(Form::place(new QPushButton(this), "QM_CLOSE_BUTTON", {120, 240, 375, 375},
                                  {DesignFont::arial(11.25), {}, {}})),
      TIME_LABEL_MIRROR(Form::place(new QLineEdit(QStringLiteral("XX:XX:XX"), this),
                                    "TIME_LABEL_MIRROR", {600, 120, 2295, 660},
                                    {DesignFont::arial(26.25), Qt::green, Qt::black})),
      TIME_LABEL_MIRROR_TIMER(new Timer(QStringLiteral("TIME_LABEL_MIRROR_TIMER"), true, this)),
      m_clock(clock),
      m_fit(TIME_LABEL_MIRROR->font(), ElidedField::textRect(TIME_LABEL_MIRROR).width())
{
    setObjectName(QStringLiteral("QM_UTC_LARGE_CLOCK_WINDOW"));
    setWindowTitle(QStringLiteral("QM-GLIMMER-DIAL"));

    QM_CLOSE_BUTTON->setIcon(Emblem::icon());
    QM_CLOSE_BUTTON->setIconSize(Emblem::pixmap().size());
    QM_CLOSE_BUTTON->setAutoDefault(false);
    TIME_LABEL_MIRROR->setAlignment(Qt::AlignCenter);
    TIME_LABEL_MIRROR->setTextMargins(0, 0, 0, 0);
    // It shows only what the strip shows; typing into it would show something else.
    TIME_LABEL_MIRROR->setReadOnly(true);
    TIME_LABEL_MIRROR->setFocusPolicy(Qt::ClickFocus);

    TIME_LABEL_MIRROR_TIMER->followOwner();
    connect(TIME_LABEL_MIRROR_TIMER, &Timer::timeout, this,
            &QM_UTC_LARGE_CLOCK_WINDOW::TIME_LABEL_MIRROR_TIMER_Timer);
    connect(&clock, &ColourLabel::changed, TIME_LABEL_MIRROR_TIMER, &Timer::fire);
    connect(QM_CLOSE_BUTTON, &QPushButton::clicked, this,
            &QM_UTC_LARGE_CLOCK_WINDOW::QM_CLOSE_BUTTON_Click);

    Form_Load();
}

QM_UTC_LARGE_CLOCK_WINDOW::~QM_UTC_LARGE_CLOCK_WINDOW() = default;

void QM_UTC_LARGE_CLOCK_WINDOW::Form_Load()
{
    placeFromStore();
    TIME_LABEL_MIRROR->clear();
    // Already on, so this starts the mirror; it copies the clock as it is now at once.
    TIME_LABEL_MIRROR_TIMER->setInterval(1);
    TIME_LABEL_MIRROR_TIMER->fire();
}

void QM_UTC_LARGE_CLOCK_WINDOW::TIME_LABEL_MIRROR_TIMER_Timer()
{
    const QString time = m_clock.text();
    const QFont& fitted = m_fit.fontFor(time);
    if (fitted != TIME_LABEL_MIRROR->font())
        TIME_LABEL_MIRROR->setFont(fitted);
    TIME_LABEL_MIRROR->setText(time);
    Form::setColours(TIME_LABEL_MIRROR, BgrColour::toColor(m_clock.foreColor()),
                     BgrColour::toColor(m_clock.backColor()));
}

void QM_UTC_LARGE_CLOCK_WINDOW::QM_CLOSE_BUTTON_Click()
{
    writePosition();
    // Closing writes the same position once more.
    close();
}
