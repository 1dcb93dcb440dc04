// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmDays.h"
#include "widgets/StoredText.h"

#include <QList>
#include <QWidget>

class DayToggle;

// The days of the week of one alarm in the alarm settings window: seven toggles in a row,
// starting on the first day of the week of the regional format. It gives the stored text back
// unchanged until a day is switched, so a text written by hand stays as it was.
class AlarmDaysField : public QWidget, public StoredText
{
    Q_OBJECT

public:
    // For alarm n, whose toggles are named ALARM_n_DAYS_MON_TICKBOX and so on.
    AlarmDaysField(int n, QWidget* parent);

    // Shows the days a stored text names; one that cannot be read shows every day.
    void load(const QString& stored) override;
    // What saving writes: the stored text, or the days as switched ("Mon Tue Wed").
    QString value() const override;
    AlarmDays days() const;

    // The toggles in the order shown.
    const QList<DayToggle*>& toggles() const { return m_toggles; }
    DayToggle* toggle(Qt::DayOfWeek day) const;

private:
    QList<DayToggle*> m_toggles;
    QString m_stored;
};
