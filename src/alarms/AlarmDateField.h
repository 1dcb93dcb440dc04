// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/StoredText.h"

#include <QDate>
#include <QDateTime>
#include <QToolButton>
#include <optional>

class QCalendarWidget;

// The date a row fires on once, in the few pixels right of its Time caption: "Once" while it
// repeats on its days, else the date, in red once it has passed. A click opens a calendar and
// the choice to go back to the days. The full date and what it means are in the tooltip.
class AlarmDateField : public QToolButton, public StoredText
{
    Q_OBJECT

public:
    AlarmDateField(int n, QWidget* parent);

    void load(const QString& stored) override;
    QString value() const override { return m_value; }

    // Chosen in the calendar, or none: the alarm repeats on its days.
    void choose(std::optional<QDate> date);
    // "now" decides whether the date shown has passed.
    void setNow(const QDateTime& now);
    // The time of the row, which decides whether the date's moment has passed.
    void setAlarmTime(const QString& time24);

    QCalendarWidget* calendar() const { return m_calendar; }

private:
    void showValue();

    const int m_n;
    QCalendarWidget* const m_calendar;
    QString m_stored;
    QString m_value;
    QString m_alarmTime;
    QDateTime m_now;
};
