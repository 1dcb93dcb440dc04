// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>

// One day of the week an alarm fires on, as a small toggle with the day's short name in the
// regional format: lit (yellow on black, as the alarm numbers) when the alarm fires that day.
// A click or Space switches it.
class DayToggle : public QAbstractButton
{
    Q_OBJECT

public:
    DayToggle(Qt::DayOfWeek day, QWidget* parent);

    Qt::DayOfWeek day() const { return m_day; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const Qt::DayOfWeek m_day;
};
