// SPDX-License-Identifier: GPL-3.0-or-later
#include "NextAlarmTip.h"

#include "AlarmTrigger.h"
#include "NextAlarm.h"
#include "platform/TimeSource.h"

#include <QEvent>
#include <QWidget>

NextAlarmTip::NextAlarmTip(const AlarmTrigger& alarms, const TimeSource& time, QWidget* shownOn)
    : QObject(shownOn), m_alarms(alarms), m_time(time)
{
    shownOn->installEventFilter(this);
}

QString NextAlarmTip::text() const
{
    return NextAlarm::describe(m_alarms.armedAlarms(),
                               QDateTime::fromMSecsSinceEpoch(m_time.msSinceEpoch()));
}

bool NextAlarmTip::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        // Escaped into rich text of its own, so that an alarm name that looks like markup
        // shows as typed; the widget then shows it as any tooltip.
        const QString shown =
            QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text().toHtmlEscaped());
        static_cast<QWidget*>(watched)->setToolTip(shown);
    }
    return QObject::eventFilter(watched, event);
}
