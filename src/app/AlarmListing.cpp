// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmListing.h"

#include "alarms/AlarmDays.h"
#include "alarms/AlarmSlot.h"
#include "alarms/AlarmSnooze.h"
#include "alarms/AlarmTimeText.h"
#include "alarms/AlarmTrigger.h"
#include "alarms/NextAlarm.h"
#include "notify/LaunchRule.h"
#include "platform/TerminalText.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

using SettingsKeys::alarm;
using SettingsKeys::AlarmField;

namespace {
// A JSON string that shows every control and formatting character as an escape, so that
// printed on a terminal it cannot act on it either.
QString json(const QString& text)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if (c == u'"' || c == u'\\')
            quoted += QLatin1Char('\\') + c;
        else if (code < 0x20 || (code >= 0x7f && code <= 0x9f) ||
                 c.category() == QChar::Other_Format || c.category() == QChar::Separator_Line ||
                 c.category() == QChar::Separator_Paragraph)
            quoted += QStringLiteral("\\u%1").arg(code, 4, 16, QLatin1Char('0'));
        else
            quoted += c;
    }
    return quoted + QLatin1Char('"');
}

QString json(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString jsonOrNull(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("null") : json(text);
}

QString jsonArray(const QStringList& texts)
{
    QStringList items;
    for (const QString& text : texts)
        items << json(text);
    return QLatin1Char('[') + items.join(QLatin1Char(',')) + QLatin1Char(']');
}

// The fields in the order given, each value already JSON.
QString jsonObject(std::initializer_list<std::pair<const char*, QString>> fields)
{
    QStringList items;
    for (const auto& [name, value] : fields)
        items << json(QLatin1String(name)) + u':' + value;
    return QLatin1Char('{') + items.join(QLatin1Char(',')) + QLatin1Char('}');
}

// What the alarm timers run after a start with this file.
QList<ArmedAlarm> armedAlarms(const SettingsStore& store)
{
    QList<ArmedAlarm> armed;
    const qint16 masterSwitch = store.readFlag(SettingsKeys::ENABLE_ALARMS_TICKBOX);
    // With Enable Alarms off the alarms are not even read, so nothing is said about them.
    if (masterSwitch != 1)
        return armed;
    const AlarmSlots alarms = loadAlarmSlots(store);
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
        if (!AlarmTrigger::arms(masterSwitch, alarms[n - 1]))
            continue;
        const QString snoozed = store.readText(alarm(AlarmField::SNOOZED_UNTIL, n));
        armed.append(AlarmTrigger::armed(n, alarms[n - 1], AlarmSnooze::fromText(snoozed),
                                         store.readText(alarm(AlarmField::SKIP_DATE, n))));
    }
    return armed;
}
} // namespace

AlarmListing::AlarmListing(const SettingsStore& store, const QDateTime& now)
    : m_store(store), m_now(now.toLocalTime())
{}

QList<AlarmListing::Row> AlarmListing::rows() const
{
    const AlarmSlots alarms = loadAlarmSlots(m_store);
    QList<Row> rows;
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n)
        rows.append(row(n, alarms[n - 1]));
    return rows;
}

AlarmListing::Row AlarmListing::row(int n, const AlarmSlot& slot) const
{
    const qint16 masterSwitch = m_store.readFlag(SettingsKeys::ENABLE_ALARMS_TICKBOX);
    Row row;
    row.number = n;
    row.on = slot.enabled == 1;
    row.name = slot.name;
    row.time = slot.time;
    row.date = m_store.readText(alarm(AlarmField::DATE, n));
    row.skipDate = m_store.readText(alarm(AlarmField::SKIP_DATE, n));
    bool fires = true;
    // A snooze counts only where a start would keep it: armed, and still ahead.
    const std::optional<LocalTimeOfDay> snoozed =
        AlarmSnooze::fromText(m_store.readText(alarm(AlarmField::SNOOZED_UNTIL, n)));
    if (snoozed && AlarmTrigger::arms(masterSwitch, slot) &&
        AlarmSnooze::toDateTime(*snoozed) > m_now) {
        row.time = AlarmSnooze::toDateTime(*snoozed).time().toString(QStringLiteral("HH:mm:ss"));
        row.snoozed = true;
        row.notes << QStringLiteral("snoozed from ") + slot.time;
    }
    if (!isRealAlarmTime(slot.time)) {
        fires = false;
        row.notes << QStringLiteral("never fires: not HH:MM:SS");
    }
    const AlarmDays days = AlarmDays::of(slot.days);
    row.days = days.text();
    if (days == AlarmDays()) {
        fires = false;
        row.notes << QStringLiteral("never fires: no day of the week");
    }
    const QString dateNote = slot.dateNote(m_now);
    if (!dateNote.isEmpty()) {
        if (slot.isPast(m_now))
            fires = false;
        row.notes << dateNote;
    }
    if (!row.skipDate.isEmpty())
        row.notes << QStringLiteral("skipped on ") + row.skipDate;
    if (slot.doesNothing())
        row.notes << QStringLiteral("does nothing: ") + AlarmSlot::doesNothingReason();
    // What would be started: nothing while Run Command is off, and never the caption that
    // stands in the field until a command is typed.
    if (LaunchRule::style(slot.runCommand, slot.runHidden)) {
        const QString untyped = alarm(AlarmField::RUN_COMMAND_TEXTBOX, n).defaultValue;
        if (slot.command.trimmed().isEmpty() || slot.command == untyped)
            row.notes << QStringLiteral("Run Command is ticked, but no command is given");
        else
            row.command = slot.command;
    }
    row.armed = fires && AlarmTrigger::arms(masterSwitch, slot);
    return row;
}

QString AlarmListing::listText() const
{
    // One line per alarm and one column per field: a tab or line break typed into a field
    // must not start another, and no character from the file may act on the terminal.
    QString text;
    for (const Row& row : rows()) {
        text += QString::number(row.number) + u'\t' +
                (row.on ? QStringLiteral("on") : QStringLiteral("off")) + u'\t' +
                TerminalText::visible(row.time) + u'\t' + TerminalText::visible(row.name) + u'\t' +
                TerminalText::visible(row.command) + u'\t' + row.days + u'\t' +
                TerminalText::visible(row.notes.join(QStringLiteral("; "))) + u'\n';
    }
    return text;
}

QString AlarmListing::listJson() const
{
    QStringList objects;
    for (const Row& row : rows()) {
        objects << jsonObject({{"number", QString::number(row.number)},
                               {"on", json(row.on)},
                               {"armed", json(row.armed)},
                               {"time", json(row.time)},
                               {"name", json(row.name)},
                               {"command", jsonOrNull(row.command)},
                               {"days", jsonArray(row.days.split(u' ', Qt::SkipEmptyParts))},
                               {"date", jsonOrNull(row.date)},
                               {"skip_date", jsonOrNull(row.skipDate)},
                               {"snoozed", json(row.snoozed)},
                               {"notes", jsonArray(row.notes)}});
    }
    return QLatin1Char('[') + objects.join(QStringLiteral(",\n ")) + QStringLiteral("]\n");
}

QString AlarmListing::nextText() const
{
    return TerminalText::visible(NextAlarm::describe(armedAlarms(m_store), m_now)) + u'\n';
}

QString AlarmListing::nextJson() const
{
    const QList<ArmedAlarm> armed = armedAlarms(m_store);
    const QString tooltip = NextAlarm::describe(armed, m_now);
    const std::optional<NextAlarm::Upcoming> next = NextAlarm::find(armed, m_now);
    const QString null = QStringLiteral("null");
    if (!next)
        return jsonObject({{"text", json(QString())},
                           {"tooltip", json(tooltip)},
                           {"class", json(QStringLiteral("none"))},
                           {"number", null},
                           {"name", null},
                           {"time", null},
                           {"at", null},
                           {"in_seconds", null},
                           {"snoozed", json(false)}}) +
               u'\n';
    const QString name = next->alarm.name.isEmpty()
                             ? QStringLiteral("Alarm %1").arg(next->alarm.number)
                             : next->alarm.name;
    const QString time = next->at.time().toString(QStringLiteral("HH:mm:ss"));
    return jsonObject(
               {{"text", json(name + u' ' + time.left(5))},
                {"tooltip", json(tooltip)},
                {"class",
                 json(next->snoozed ? QStringLiteral("snoozed") : QStringLiteral("armed"))},
                {"number", QString::number(next->alarm.number)},
                {"name", json(name)},
                {"time", json(time)},
                {"at",
                 json(next->at.toOffsetFromUtc(next->at.offsetFromUtc()).toString(Qt::ISODate))},
                {"in_seconds", QString::number(m_now.secsTo(next->at))},
                {"snoozed", json(next->snoozed)}}) +
           u'\n';
}
