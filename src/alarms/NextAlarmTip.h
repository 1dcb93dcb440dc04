// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class AlarmTrigger;
class QWidget;
class TimeSource;

// Gives a widget a tooltip naming the next armed alarm and when it fires, worked out at the
// moment the tooltip is asked for: nothing is kept up to date in between, and what it says
// follows the alarm timers and the live copies whoever changed them.
class NextAlarmTip : public QObject
{
    Q_OBJECT

public:
    NextAlarmTip(const AlarmTrigger& alarms, const TimeSource& time, QWidget* shownOn);

    // The tooltip as it would show now, as plain text.
    QString text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const AlarmTrigger& m_alarms;
    const TimeSource& m_time;
};
