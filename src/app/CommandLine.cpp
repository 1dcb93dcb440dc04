// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "alarms/AlarmDays.h"
#include "alarms/AlarmSlot.h"
#include "alarms/AlarmSnooze.h"
#include "alarms/AlarmTrigger.h"
#include "alarms/NextAlarm.h"
#include "platform/TerminalText.h"
#include "platform/TimeSource.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace {
constexpr int usageError = 2;

// One line per alarm and one column per field: a tab or line break typed into a field must
// not start another, and no character from the file may act on the terminal.
QString oneField(const QString& text)
{
    return TerminalText::visible(text);
}

// What the alarm timers run after a start with this file.
QList<ArmedAlarm> armedAlarms(const SettingsStore& store)
{
    using SettingsKeys::AlarmField;
    QList<ArmedAlarm> armed;
    const qint16 masterSwitch = store.readFlag(SettingsKeys::ENABLE_ALARMS_TICKBOX);
    // With Enable Alarms off the alarms are not even read, so nothing is said about them.
    if (masterSwitch != 1)
        return armed;
    const AlarmSlots alarms = loadAlarmSlots(store);
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
        if (!AlarmTrigger::arms(masterSwitch, alarms[n - 1]))
            continue;
        const QString snoozed = store.readText(SettingsKeys::alarm(AlarmField::SNOOZED_UNTIL, n));
        armed.append(AlarmTrigger::armed(n, alarms[n - 1], AlarmSnooze::fromText(snoozed)));
    }
    return armed;
}
} // namespace

CommandLine::CommandLine(const QString& settingsPath, const TimeSource& time)
    : m_settingsPath(settingsPath), m_time(time)
{}

std::optional<int> CommandLine::run(const QStringList& arguments, QTextStream& out,
                                    QTextStream& err) const
{
    QCommandLineParser parser;
    // "-platform" is one unknown option, not eight letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("A desktop clock strip with the uptime and ten daily alarms. Without "
                       "options it starts the clock. --next and --list only read the settings, "
                       "so they work beside a running clock and without a display.\n"
                       "Settings: %1")
            .arg(TerminalText::visible(m_settingsPath)));
    // Qt's own help option would offer Qt's options, which the clock does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Print the version."));
    const QCommandLineOption next(
        QStringLiteral("next"),
        QStringLiteral("Print which alarm fires next and when, as the clock's tooltip says it."));
    const QCommandLineOption list(
        QStringLiteral("list"),
        QStringLiteral("Print the ten alarms, one a line, tab-separated: number, on or off, "
                       "time, name, command, days of the week."));
    parser.addOptions({help, version, next, list});

    const auto usage = [&](const QString& problem) {
        err << "qm-utc: " << TerminalText::visible(problem) << "\n\n" << parser.helpText();
        return usageError;
    };
    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(help)) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        out << "qm-utc " << QMUTC_VERSION << '\n';
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usage(QStringLiteral("unexpected argument '%1'.")
                         .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(next) && parser.isSet(list))
        return usage(QStringLiteral("--next and --list cannot be given together."));
    if (parser.isSet(next))
        printNext(out);
    else if (parser.isSet(list))
        printList(out);
    else
        return std::nullopt;
    return 0;
}

void CommandLine::printNext(QTextStream& out) const
{
    const SettingsStore store(m_settingsPath, SettingsStore::Access::ReadOnly);
    out << TerminalText::visible(NextAlarm::describe(
               armedAlarms(store), QDateTime::fromMSecsSinceEpoch(m_time.msSinceEpoch())))
        << '\n';
}

void CommandLine::printList(QTextStream& out) const
{
    const SettingsStore store(m_settingsPath, SettingsStore::Access::ReadOnly);
    const AlarmSlots alarms = loadAlarmSlots(store);
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
        const AlarmSlot& slot = alarms[n - 1];
        out << n << '\t' << (slot.enabled == 1 ? "on" : "off") << '\t' << oneField(slot.time)
            << '\t' << oneField(slot.name) << '\t' << oneField(slot.command) << '\t'
            << AlarmDays::of(slot.days).text() << '\n';
    }
}
