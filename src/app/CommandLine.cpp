// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "alarms/AlarmDays.h"
#include "alarms/AlarmSlot.h"
#include "alarms/AlarmSnooze.h"
#include "alarms/AlarmTimeText.h"
#include "alarms/AlarmTrigger.h"
#include "alarms/NextAlarm.h"
#include "notify/LaunchRule.h"
#include "platform/TerminalText.h"
#include "platform/TimeSource.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace {
constexpr int usageError = 2;

// Wrapped for an 80-column terminal by hand; only the settings path may run longer.
QString usageText(const QString& settingsPath)
{
    return QStringLiteral(
               "Usage: qm-utc [option]\n"
               "\n"
               "A desktop clock strip with the uptime and ten daily alarms. Without an option\n"
               "it starts the clock. --next and --list only read the settings file, so they\n"
               "work beside a running clock and without a display.\n"
               "\n"
               "Options:\n"
               "  -h, --help     Print this help.\n"
               "  -v, --version  Print the version.\n"
               "  --next         Print which alarm fires next and when, as the clock's tooltip\n"
               "                 says it.\n"
               "  --list         Print the ten alarms, one a line, tab-separated: number, on\n"
               "                 or off, time, name, command, days of the week, note.\n"
               "\n"
               "Settings file:\n"
               "  %1\n")
        .arg(TerminalText::visible(settingsPath));
}

// The argument as it was typed that named an option the parser did not know.
QString typedOption(const QStringList& arguments, const QString& name)
{
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            break;
        QStringView option(argument);
        while (option.startsWith(u'-'))
            option = option.mid(1);
        if (argument.startsWith(u'-') && option.left(option.indexOf(u'=')) == name)
            return argument;
    }
    return QLatin1Char('-') + name;
}

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
        armed.append(
            AlarmTrigger::armed(n, alarms[n - 1], AlarmSnooze::fromText(snoozed),
                                store.readText(SettingsKeys::alarm(AlarmField::SKIP_DATE, n))));
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
    // Qt's own help option would offer Qt's options, which the clock does not take; the usage
    // is the clock's own text, which names the program rather than the path it started from.
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption next(QStringLiteral("next"));
    const QCommandLineOption list(QStringLiteral("list"));
    parser.addOptions({help, version, next, list});

    const auto usage = [&](const QString& problem) {
        err << "qm-utc: " << TerminalText::visible(problem) << "\n\n" << usageText(m_settingsPath);
        return usageError;
    };
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty())
            return usage(
                QStringLiteral("unknown option '%1'.")
                    .arg(typedOption(arguments, parser.unknownOptionNames().constFirst())));
        return usage(parser.errorText());
    }
    if (parser.isSet(help)) {
        out << usageText(m_settingsPath);
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
    using SettingsKeys::AlarmField;
    const SettingsStore store(m_settingsPath, SettingsStore::Access::ReadOnly);
    const AlarmSlots alarms = loadAlarmSlots(store);
    const qint16 masterSwitch = store.readFlag(SettingsKeys::ENABLE_ALARMS_TICKBOX);
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(m_time.msSinceEpoch()).toLocalTime();
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
        const AlarmSlot& slot = alarms[n - 1];
        QStringList notes;
        // A snooze counts only where a start would keep it: armed, and still ahead.
        QString time = slot.time;
        const std::optional<LocalTimeOfDay> snoozed = AlarmSnooze::fromText(
            store.readText(SettingsKeys::alarm(AlarmField::SNOOZED_UNTIL, n)));
        if (snoozed && AlarmTrigger::arms(masterSwitch, slot) &&
            AlarmSnooze::toDateTime(*snoozed) > now) {
            time = AlarmSnooze::toDateTime(*snoozed).time().toString(QStringLiteral("HH:mm:ss"));
            notes << QStringLiteral("snoozed from ") + slot.time;
        }
        if (!isRealAlarmTime(slot.time))
            notes << QStringLiteral("never fires: not HH:MM:SS");
        const AlarmDays days = AlarmDays::of(slot.days);
        if (days == AlarmDays())
            notes << QStringLiteral("never fires: no day of the week");
        if (slot.doesNothing())
            notes << QStringLiteral("does nothing: ") + AlarmSlot::doesNothingReason();
        if (!slot.dateNote(now).isEmpty())
            notes << slot.dateNote(now);
        // What would be started: nothing while Run Command is off, and never the caption that
        // stands in the field until a command is typed.
        QString command;
        if (LaunchRule::style(slot.runCommand, slot.runHidden)) {
            const QString untyped =
                SettingsKeys::alarm(AlarmField::RUN_COMMAND_TEXTBOX, n).defaultValue;
            if (slot.command.trimmed().isEmpty() || slot.command == untyped)
                notes << QStringLiteral("Run Command is ticked, but no command is given");
            else
                command = slot.command;
        }
        out << n << '\t' << (slot.enabled == 1 ? "on" : "off") << '\t' << oneField(time) << '\t'
            << oneField(slot.name) << '\t' << oneField(command) << '\t' << days.text() << '\t'
            << oneField(notes.join(QStringLiteral("; "))) << '\n';
    }
}
