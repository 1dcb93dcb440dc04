// SPDX-License-Identifier: GPL-3.0-or-later
#include "StripMenu.h"

#include "alarms/AlarmTrigger.h"
#include "alarms/NextAlarm.h"
#include "notify/AlarmNotifier.h"
#include "widgets/ShownText.h"

#include <QLocale>

namespace {
// The next time an alarm's own time comes: a snooze is not what a skip leaves out.
std::optional<NextAlarm::Upcoming> nextOwn(const AlarmTrigger& alarms, const QDateTime& now)
{
    QList<ArmedAlarm> armed = alarms.armedAlarms();
    for (ArmedAlarm& alarm : armed)
        alarm.snoozedUntil.reset();
    return NextAlarm::find(armed, now);
}
} // namespace

StripMenu::StripMenu(AlarmTrigger& alarms, AlarmNotifier& notifier, const QDateTime& now,
                     QWidget* strip)
    : QMenu(strip), SKIP_MENU(skipAction(alarms, now)),
      SNOOZE_MENU(ringingAction(QStringLiteral("Snooze"), notifier, &AlarmNotifier::snoozeAll)),
      STOP_MENU(ringingAction(QStringLiteral("Stop"), notifier, &AlarmNotifier::stopAll)),
      PREFERENCES_MENU(addAction(QStringLiteral("Preferences"))),
      LARGE_CLOCK_MENU(addAction(QStringLiteral("Large clock")))
{
    setObjectName(QStringLiteral("STRIP_MENU"));
}

QString StripMenu::skipText(const AlarmTrigger& alarms, const QDateTime& now)
{
    const std::optional<NextAlarm::Upcoming> next = nextOwn(alarms, now);
    if (!next)
        return QString();
    const QString name = next->alarm.name.trimmed().isEmpty()
                             ? QStringLiteral("Alarm %1").arg(next->alarm.number)
                             : ShownText::cut(next->alarm.name, ShownText::inLine);
    const qint64 away = now.toLocalTime().date().daysTo(next->at.date());
    QString day;
    if (away == 0)
        day = QStringLiteral("today");
    else if (away == 1)
        day = QStringLiteral("tomorrow");
    else if (away < 7)
        day = QLocale::c().dayName(next->at.date().dayOfWeek());
    else
        day = next->at.date().toString(Qt::ISODate);
    // "&" marks a shortcut in a menu.
    return QStringLiteral("Skip %1 at %2 %3")
        .arg(QString(name).replace(u'&', QStringLiteral("&&")), next->alarm.time, day);
}

QAction* StripMenu::skipAction(AlarmTrigger& alarms, const QDateTime& now)
{
    const std::optional<NextAlarm::Upcoming> next = nextOwn(alarms, now);
    if (!next)
        return nullptr;
    const int n = next->alarm.number;
    const QDate date = next->at.date();
    return addAction(skipText(alarms, now), &alarms, [&alarms, n, date] { alarms.skip(n, date); });
}

QAction* StripMenu::ringingAction(const QString& text, AlarmNotifier& notifier,
                                  int (AlarmNotifier::*answer)())
{
    if (notifier.openWindows().isEmpty())
        return nullptr;
    return addAction(text, &notifier, [&notifier, answer] { (notifier.*answer)(); });
}
