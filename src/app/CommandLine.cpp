// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "AlarmCommand.h"
#include "AlarmListing.h"
#include "platform/InstanceChannel.h"
#include "platform/TerminalText.h"
#include "platform/TimeSource.h"
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
               "  --json         With --next or --list: print JSON for status bars.\n"
               "  --snooze       Snooze every ringing alarm of the running clock.\n"
               "  --stop         Answer every ringing alarm of the running clock with OK.\n"
               "  --set N TIME   Set alarm N (1-10) to TIME and switch it on. TIME is HH:MM:SS,\n"
               "                 HH:MM, or +25m or +1h30m for once, that far ahead. Also:\n"
               "                 --name TEXT, --days \"Mon Tue\", --date YYYY-MM-DD (once, on\n"
               "                 that date), --command \"...\" (\"\" for none).\n"
               "  --skip N       Keep alarm N silent on its next date only.\n"
               "  --enable N, --disable N\n"
               "                 Switch alarm N on or off.\n"
               "\n"
               "Exit status: 0 done, 1 nothing to do or nothing could be done, 2 a usage\n"
               "error (nothing is changed then).\n"
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
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption snooze(QStringLiteral("snooze"));
    const QCommandLineOption stop(QStringLiteral("stop"));
    const QCommandLineOption set(QStringLiteral("set"), {}, QStringLiteral("N"));
    const QCommandLineOption skip(QStringLiteral("skip"), {}, QStringLiteral("N"));
    const QCommandLineOption enable(QStringLiteral("enable"), {}, QStringLiteral("N"));
    const QCommandLineOption disable(QStringLiteral("disable"), {}, QStringLiteral("N"));
    const QCommandLineOption name(QStringLiteral("name"), {}, QStringLiteral("TEXT"));
    const QCommandLineOption days(QStringLiteral("days"), {}, QStringLiteral("DAYS"));
    const QCommandLineOption date(QStringLiteral("date"), {}, QStringLiteral("DATE"));
    const QCommandLineOption command(QStringLiteral("command"), {}, QStringLiteral("COMMAND"));
    parser.addOptions({help, version, next, list, json, snooze, stop, set, skip, enable, disable,
                       name, days, date, command});

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
    QStringList actions;
    for (const QCommandLineOption* action :
         {&next, &list, &snooze, &stop, &set, &skip, &enable, &disable}) {
        if (parser.isSet(*action))
            actions << QStringLiteral("--") + action->names().constFirst();
        if (parser.values(*action).size() > 1)
            return usage(
                QStringLiteral("--%1 can be given once.").arg(action->names().constFirst()));
    }
    if (actions.size() > 1)
        return usage(QStringLiteral("%1 cannot be given together.")
                         .arg(actions.join(QStringLiteral(" and "))));
    const QStringList positional = parser.positionalArguments();
    // --set takes its time as the argument after the number.
    const qsizetype expected = parser.isSet(set) ? 1 : 0;
    if (positional.size() > expected)
        return usage(QStringLiteral("unexpected argument '%1'.").arg(positional.at(expected)));
    if (positional.size() < expected)
        return usage(QStringLiteral("--set needs a number and a time, as --set 3 07:30."));
    if (parser.isSet(json) && !parser.isSet(next) && !parser.isSet(list))
        return usage(QStringLiteral("--json goes with --next or --list."));
    for (const QCommandLineOption* field : {&name, &days, &date, &command}) {
        if (parser.isSet(*field) && !parser.isSet(set))
            return usage(QStringLiteral("--%1 goes with --set.").arg(field->names().constFirst()));
    }

    if (parser.isSet(next) || parser.isSet(list)) {
        print(parser.isSet(next), parser.isSet(json), out);
        return 0;
    }
    if (parser.isSet(snooze) || parser.isSet(stop))
        return answerRinging(parser.isSet(snooze), out, err);
    const AlarmCommand alarms(m_settingsPath, m_time);
    AlarmCommand::Outcome outcome;
    if (parser.isSet(set)) {
        const auto given = [&](const QCommandLineOption& option) {
            return parser.isSet(option) ? std::optional(parser.value(option)) : std::nullopt;
        };
        outcome = alarms.set(parser.value(set), positional.constFirst(),
                             {given(name), given(days), given(date), given(command)});
    } else if (parser.isSet(skip)) {
        outcome = alarms.skip(parser.value(skip));
    } else if (parser.isSet(enable) || parser.isSet(disable)) {
        outcome = alarms.enable(parser.value(parser.isSet(enable) ? enable : disable),
                                parser.isSet(enable));
    } else {
        return std::nullopt;
    }
    if (outcome.status == 0)
        out << outcome.line << '\n';
    else
        err << "qm-utc: " << outcome.line << '\n';
    return outcome.status;
}

void CommandLine::print(bool next, bool json, QTextStream& out) const
{
    const SettingsStore store(m_settingsPath, SettingsStore::Access::ReadOnly);
    const AlarmListing listing(store, QDateTime::fromMSecsSinceEpoch(m_time.msSinceEpoch()));
    if (next)
        out << (json ? listing.nextJson() : listing.nextText());
    else
        out << (json ? listing.listJson() : listing.listText());
}

int CommandLine::answerRinging(bool snooze, QTextStream& out, QTextStream& err) const
{
    QString problem;
    const std::optional<int> answered = InstanceChannel::ask(
        m_settingsPath, snooze ? InstanceChannel::Request::Snooze : InstanceChannel::Request::Stop,
        problem);
    if (!answered || *answered == 0) {
        err << "qm-utc: no alarm is ringing"
            << (answered ? QString() : QStringLiteral(" (%1)").arg(problem)) << '\n';
        return 1;
    }
    out << (snooze ? "Snoozed " : "Stopped ") << *answered
        << (*answered == 1 ? " alarm" : " alarms") << '\n';
    return 0;
}
