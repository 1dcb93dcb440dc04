// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmDaysField.h"

#include "DayToggle.h"
#include "widgets/FormControl.h"

#include <QLocale>

namespace {
// Twips within the field: each toggle as wide as "Mon" needs, a pixel apart.
constexpr int toggleWidth = 390;
constexpr int toggleStep = 405;
constexpr int toggleHeight = 225;
} // namespace

AlarmDaysField::AlarmDaysField(int n, QWidget* parent) : QWidget(parent)
{
    const int first = QLocale().firstDayOfWeek();
    for (int i = 0; i < 7; ++i) {
        const auto day = Qt::DayOfWeek((first - 1 + i) % 7 + 1);
        auto* toggle = Form::place(new DayToggle(day, this),
                                   QStringLiteral("ALARM_%1_DAYS_%2_TICKBOX")
                                       .arg(n)
                                       .arg(AlarmDays::shortName(day).toUpper())
                                       .toLatin1()
                                       .constData(),
                                   {i * toggleStep, 0, toggleWidth, toggleHeight});
        toggle->setAccessibleDescription(
            QStringLiteral("Alarm %1 fires on %2").arg(n).arg(toggle->accessibleName()));
        m_toggles.append(toggle);
    }
    setFixedSize(Form::pixels({0, 0, 6 * toggleStep + toggleWidth, toggleHeight}).size());
    load(AlarmDays::everyDay().text());
}

void AlarmDaysField::load(const QString& stored)
{
    m_stored = stored;
    const AlarmDays days = AlarmDays::of(stored);
    for (DayToggle* toggle : std::as_const(m_toggles))
        toggle->setChecked(days.contains(toggle->day()));
}

AlarmDays AlarmDaysField::days() const
{
    AlarmDays days;
    for (DayToggle* toggle : m_toggles)
        days = days.with(toggle->day(), toggle->isChecked());
    return days;
}

QString AlarmDaysField::value() const
{
    const AlarmDays shown = days();
    return shown == AlarmDays::of(m_stored) ? m_stored : shown.text();
}

DayToggle* AlarmDaysField::toggle(Qt::DayOfWeek day) const
{
    for (DayToggle* toggle : m_toggles) {
        if (toggle->day() == day)
            return toggle;
    }
    return nullptr;
}
