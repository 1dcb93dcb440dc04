// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeTimeSource.h"
#include "ProblemCapture.h"
#include "TestSettings.h"
#include "TestTime.h"
#include "alarms/AlarmSlot.h"
#include "app/CommandLine.h"
#include "platform/InstanceChannel.h"
#include "platform/SingleInstance.h"
#include "settings/SettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTextStream>
#include <QtTest>

using Values = QList<QPair<QString, QString>>;

namespace {
const QString program = QStringLiteral(QMUTC_BINARY_DIR "/qm-utc");

struct Outcome
{
    std::optional<int> status;
    QString out;
    QString err;
};

const QString everyDay = QStringLiteral("Mon Tue Wed Thu Fri Sat Sun");

// The ten lines of --list for a file without alarms, with the given lines replaced.
QString listOf(const QMap<int, QString>& changed)
{
    QString text;
    for (int n = 1; n <= 10; ++n)
        text += changed.value(n, QStringLiteral("%1\toff\t00:00:00\tAlarm Name\t\t%2\t")
                                     .arg(QString::number(n), everyDay)) +
                QLatin1Char('\n');
    return text;
}
} // namespace

// London keeps UTC in winter: the clock below reads 04:18 local time.
class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestTime::pinZone("Europe/London"); }
    void cleanupTestCase() { TestTime::pinUtcAndPlainFormat(); }
    void options_data();
    void options();
    void alarmsFromTheFile_data();
    void alarmsFromTheFile();
    void aDamagedFileIsOnlyRead_data();
    void aDamagedFileIsOnlyRead();
    void changes_data();
    void changes();
    void json_data();
    void json();
    void realProgramBesideARunningClockWithoutDisplay();

private:
    Outcome run(const QStringList& options);

    TestSettings m_settings;
};

Outcome CommandLineTest::run(const QStringList& options)
{
    FakeTimeSource time;
    time.setEpochMs(TestTime::utcMs(2026, 12, 8, 4, 18, 0));
    Outcome outcome;
    QTextStream out(&outcome.out);
    QTextStream err(&outcome.err);
    outcome.status = CommandLine(m_settings.filePath(), time)
                         .run(QStringList{QStringLiteral("qm-utc")} + options, out, err);
    return outcome;
}

void CommandLineTest::options_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status"); // -1: the clock starts
    QTest::addColumn<QString>("outHas");
    QTest::addColumn<QString>("errHas");

    QTest::newRow("help") << QStringList{"--help"} << 0 << "--next"
                          << "";
    QTest::newRow("short help") << QStringList{"-h"} << 0 << "--list"
                                << "";
    QTest::newRow("help wins") << QStringList{"--list", "--help"} << 0 << "Usage:"
                               << "";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "qm-utc " QMUTC_VERSION "\n"
                             << "";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << ""
                                    << "qm-utc: unknown option '--bogus'.";
    QTest::newRow("unknown option with a value") << QStringList{"--next", "--bogus=1"} << 2 << ""
                                                 << "unknown option '--bogus=1'.";
    QTest::newRow("Qt's own option") << QStringList{"-platform", "xcb"} << 2 << ""
                                     << "unknown option '-platform'.";
    QTest::newRow("an argument") << QStringList{"now"} << 2 << ""
                                 << "unexpected argument 'now'";
    QTest::newRow("both lists") << QStringList{"--next", "--list"} << 2 << ""
                                << "cannot be given together";
    QTest::newRow("only the end of options") << QStringList{"--"} << -1 << ""
                                             << "";
    QTest::newRow("two actions") << QStringList{"--stop", "--enable", "2"} << 2 << ""
                                 << "--stop and --enable cannot be given together";
    QTest::newRow("--set without a time") << QStringList{"--set", "3"} << 2 << ""
                                          << "--set needs a number and a time";
    QTest::newRow("--set with two times") << QStringList{"--set", "3", "7:30", "8:00"} << 2 << ""
                                          << "unexpected argument '8:00'";
    QTest::newRow("--json alone") << QStringList{"--json"} << 2 << ""
                                  << "--json goes with --next or --list";
    QTest::newRow("--name without --set")
        << QStringList{"--enable", "1", "--name", "Tea"} << 2 << ""
        << "--name goes with --set";
}

void CommandLineTest::options()
{
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QString, outHas);
    QFETCH(QString, errHas);

    const Outcome outcome = run(options);
    QCOMPARE(outcome.status.value_or(-1), status);
    QVERIFY2(outcome.out.contains(outHas), qPrintable(outcome.out));
    if (errHas.isEmpty()) {
        QCOMPARE(outcome.err, QString());
    } else {
        QVERIFY2(outcome.err.contains(errHas), qPrintable(outcome.err));
        QVERIFY2(outcome.err.contains(QLatin1String("Usage:")), qPrintable(outcome.err));
        QCOMPARE(outcome.out, QString());
    }
    // For a terminal of 80 columns; only the settings file's path may be longer.
    for (const QString& line : (outcome.out + outcome.err).split(QLatin1Char('\n'))) {
        QVERIFY2(line.size() <= 80 || line.endsWith(m_settings.filePath()), qPrintable(line));
        if (line.startsWith(QLatin1String("Usage:")))
            QCOMPARE(line, QStringLiteral("Usage: qm-utc [option]"));
    }
}

void CommandLineTest::alarmsFromTheFile_data()
{
    QTest::addColumn<Values>("stored");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("list");

    const Values tea = {{"ALARM_3_TICKBOX", "1"},
                        {"ALARM_3_NAME_TEXTBOX", "Tea"},
                        {"ALARM_3_TIME_TEXTBOX", "07:30:00"},
                        {"ALARM_3_RUN_COMMAND_TICKBOX", "1"},
                        {"ALARM_3_RUN_COMMAND_TEXTBOX", "paplay \"/tmp/a b.oga\""}};
    const QString teaLine =
        QStringLiteral("3\ton\t07:30:00\tTea\tpaplay \"/tmp/a b.oga\"\t") + everyDay + "\t";
    const Values armed = tea + Values{{"ENABLE_ALARMS_TICKBOX", "1"}};
    const QString nothing = "does nothing: " + AlarmSlot::doesNothingReason();

    QTest::newRow("no file") << Values{} << "No alarm armed" << listOf({});
    QTest::newRow("alarms switched off") << tea << "No alarm armed" << listOf({{3, teaLine}});
    QTest::newRow("armed") << armed << "Next alarm: Tea at 07:30:00, in 3 h 12 min"
                           << listOf({{3, teaLine}});
    QTest::newRow("only its own switch off")
        << Values{{"ENABLE_ALARMS_TICKBOX", "1"}, {"ALARM_3_TIME_TEXTBOX", "07:30:00"}}
        << "No alarm armed" << listOf({{3, "3\toff\t07:30:00\tAlarm Name\t\t" + everyDay + "\t"}});
    QTest::newRow("flag 2 is off")
        << Values{{"ENABLE_ALARMS_TICKBOX", "1"}, {"ALARM_10_TICKBOX", "2"}} << "No alarm armed"
        << listOf({});
    QTest::newRow("a tab in a field stays in its column")
        << Values{{"ENABLE_ALARMS_TICKBOX", "1"},
                  {"ALARM_1_TICKBOX", "1"},
                  {"ALARM_1_NAME_TEXTBOX", "Tea\tbreak"},
                  {"ALARM_1_TIME_TEXTBOX", "23:00:00"},
                  {"ALARM_1_RUN_COMMAND_TICKBOX", "1"},
                  {"ALARM_1_RUN_COMMAND_TEXTBOX", "wake\tup"}}
        << "Next alarm: Tea\\x09break at 23:00:00, in 18 h 42 min"
        << listOf({{1, "1\ton\t23:00:00\tTea\\x09break\twake\\x09up\t" + everyDay + "\t"}});
    // A line that would hide its command from a terminal: it clears the line, sets the
    // clipboard (OSC 52) and writes over itself; every control character shows as text.
    QTest::newRow("control characters show as text")
        << Values{{"ENABLE_ALARMS_TICKBOX", "1"},
                  {"ALARM_1_TICKBOX", "1"},
                  {"ALARM_1_NAME_TEXTBOX", "\x1b]52;c;cm0gLXJm\x07Tea\x1b[2K"},
                  {"ALARM_1_TIME_TEXTBOX", "23:00:00"},
                  {"ALARM_1_RUN_COMMAND_TICKBOX", "1"},
                  {"ALARM_1_RUN_COMMAND_TEXTBOX", "rm -rf ~\r/bin/true \b\b\\x1b \u202e"}}
        << "Next alarm: \\x1b]52;c;cm0gLXJm\\x07Tea\\x1b[2K at 23:00:00, in 18 h 42 min"
        << listOf({{1, "1\ton\t23:00:00\t\\x1b]52;c;cm0gLXJm\\x07Tea\\x1b[2K\t"
                       "rm -rf ~\\x0d/bin/true \\x08\\x08\\\\x1b \\u202e\t" +
                           everyDay + "\t"}});
    // The clock reads Tuesday 04:18.
    QTest::newRow("on Mondays only")
        << armed + Values{{"ALARM_3_DAYS", "monday"}}
        << "Next alarm: Tea on Monday at 07:30:00, in 6 d 3 h"
        << listOf({{3, teaLine.chopped(everyDay.size() + 1) + "Mon\t"}});
    QTest::newRow("days that cannot be read: every day")
        << armed + Values{{"ALARM_3_DAYS", "weekdays"}}
        << "Next alarm: Tea at 07:30:00, in 3 h 12 min" << listOf({{3, teaLine}});
    QTest::newRow("on no day") << armed + Values{{"ALARM_3_DAYS", ""}} << "No alarm armed"
                               << listOf({{3, teaLine.chopped(everyDay.size() + 1) +
                                                  "\tnever fires: no day of the week"}});
    // Shown at the time it rings, in both.
    QTest::newRow("snoozed") << armed + Values{{"ALARM_3_SNOOZED_UNTIL", "2026-12-08T04:25:00"}}
                             << "Next alarm: Tea, snoozed, at 04:25:00, in 7 min"
                             << listOf({{3, QString(teaLine).replace("07:30:00", "04:25:00") +
                                                "snoozed from 07:30:00"}});
    QTest::newRow("a snooze that has ended or is not armed counts no more")
        << tea + Values{{"ALARM_3_SNOOZED_UNTIL", "2026-12-08T04:25:00"},
                        {"ALARM_4_SNOOZED_UNTIL", "2026-12-08T04:10:00"},
                        {"ALARM_4_TICKBOX", "1"},
                        {"ALARM_4_DISPLAY_MESSAGE_TICKBOX", "1"}}
        << "No alarm armed"
        << listOf({{3, teaLine}, {4, "4\ton\t00:00:00\tAlarm Name\t\t" + everyDay + "\t"}});
    // What will run, or nothing: never the command of Run Command unticked, nor the caption
    // that the field holds until a command is typed.
    QTest::newRow("Run Command off: its command is not shown, and it does nothing")
        << armed + Values{{"ALARM_3_RUN_COMMAND_TICKBOX", "0"}}
        << "Next alarm: Tea at 07:30:00, in 3 h 12 min; it " + nothing
        << listOf({{3, "3\ton\t07:30:00\tTea\t\t" + everyDay + "\t" + nothing}});
    QTest::newRow("Run Command ticked without a command")
        << Values{{"ALARM_2_TICKBOX", "1"}, {"ALARM_2_RUN_COMMAND_TICKBOX", "1"}}
        << "No alarm armed"
        << listOf({{2, "2\ton\t00:00:00\tAlarm Name\t\t" + everyDay +
                           "\tRun Command is ticked, but no command is given"}});
    QTest::newRow("time not HH:MM:SS")
        << armed + Values{{"ALARM_3_TIME_TEXTBOX", "7:30"}} << "No alarm armed"
        << listOf(
               {{3, QString(teaLine).replace("07:30:00", "7:30") + "never fires: not HH:MM:SS"}});
}

void CommandLineTest::alarmsFromTheFile()
{
    QFETCH(Values, stored);
    m_settings.writeRaw({});
    m_settings.writeValues(stored);

    QFETCH(QString, next);
    QCOMPARE(run({QStringLiteral("--next")}).out, next + QLatin1Char('\n'));
    const Outcome list = run({QStringLiteral("--list")});
    QCOMPARE(list.status, std::optional<int>(0));
    QTEST(list.out, "list");
}

void CommandLineTest::aDamagedFileIsOnlyRead_data()
{
    QTest::addColumn<qint64>("size"); // 0: as written
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("alarm2"); // its --list line begins so
    QTest::newRow("damaged") << qint64(0) << "is damaged"
                             << "2\ton\t";
    // Refused unread, in one line: the alarms of an empty file.
    QTest::newRow("5 GB, sparse") << qint64(5) * 1000 * 1000 * 1000 << "16 MiB"
                                  << "2\toff\t";
}

void CommandLineTest::aDamagedFileIsOnlyRead()
{
    QFETCH(qint64, size);
    QFETCH(QString, said);
    QFETCH(QString, alarm2);
    const QByteArray damaged =
        "[" + SettingsStore::sectionName().toUtf8() + "]\nALARM_2_TICKBOX=1\nnot a setting\n";
    m_settings.writeRaw(damaged);
    if (size && !QFile(m_settings.filePath()).resize(size))
        QSKIP("this file system takes no file that large");
    const QDir folder = QFileInfo(m_settings.filePath()).dir();
    const QStringList before = folder.entryList(QDir::Files);
    const QDateTime modified = QFileInfo(m_settings.filePath()).lastModified();

    ProblemCapture problems;
    const Outcome outcome = run({QStringLiteral("--list")});
    QVERIFY(
        outcome.out.startsWith("1\toff\t00:00:00\tAlarm Name\t\t" + everyDay + "\t\n" + alarm2));
    QCOMPARE(problems.lines.size(), 1);
    QVERIFY2(problems.lines.first().contains(said), qPrintable(problems.lines.first()));
    // No copy kept, no lock taken, nothing rewritten.
    QCOMPARE(folder.entryList(QDir::Files), before);
    QCOMPARE(QFileInfo(m_settings.filePath()).lastModified(), modified);
    if (!size)
        QCOMPARE(m_settings.readRaw(), damaged);
}

// Tuesday 2026-12-08, 04:18:00 local time.
void CommandLineTest::changes_data()
{
    QTest::addColumn<Values>("stored");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");   // the one line, on out for 0, on err otherwise
    QTest::addColumn<Values>("written"); // read back from the file; nothing changes unless 0

    const Values on = {{"ENABLE_ALARMS_TICKBOX", "1"}};
    const Values tea = on + Values{{"ALARM_1_TICKBOX", "1"},
                                   {"ALARM_1_NAME_TEXTBOX", "Tea"},
                                   {"ALARM_1_TIME_TEXTBOX", "07:30:00"},
                                   {"ALARM_1_DISPLAY_MESSAGE_TICKBOX", "1"}};

    QTest::newRow("in a minute: once, today, and shown")
        << on << QStringList{"--set", "3", "+1m", "--name", "Tea"} << 0
        << "Alarm 3 (Tea) set to 04:19:00 on 2026-12-08"
        << Values{{"ALARM_3_TIME_TEXTBOX", "04:19:00"},
                  {"ALARM_3_DATE", "2026-12-08"},
                  {"ALARM_3_NAME_TEXTBOX", "Tea"},
                  {"ALARM_3_TICKBOX", "1"},
                  {"ALARM_3_DISPLAY_MESSAGE_TICKBOX", "1"}};
    QTest::newRow("across midnight") << on << QStringList{"--set", "10", "+20h1m30s"} << 0
                                     << "Alarm 10 (Alarm Name) set to 00:19:30 on 2026-12-09"
                                     << Values{{"ALARM_10_DATE", "2026-12-09"}};
    // A time given plainly repeats again; a skip or snooze was for the alarm as it was.
    QTest::newRow("a short time, days and a command")
        << tea + Values{{"ALARM_1_DATE", "2026-12-24"}, {"ALARM_1_SKIP_DATE", "2026-12-09"}}
        << QStringList{"--set", "1", "6:5", "--days", "monday,FRI", "--command", "echo hi"} << 0
        << "Alarm 1 (Tea) set to 06:05:00 on Mon Fri"
        << Values{{"ALARM_1_TIME_TEXTBOX", "06:05:00"},
                  {"ALARM_1_DAYS", "Mon Fri"},
                  {"ALARM_1_DATE", ""},
                  {"ALARM_1_SKIP_DATE", ""},
                  {"ALARM_1_RUN_COMMAND_TEXTBOX", "echo hi"},
                  {"ALARM_1_RUN_COMMAND_TICKBOX", "1"}};
    QTest::newRow("on a date, with the alarms switched off")
        << Values{} << QStringList{"--set", "2", "07:00", "--date", "2026-12-24"} << 0
        << "Alarm 2 (Alarm Name) set to 07:00:00 on 2026-12-24; alarms are switched off"
        << Values{{"ALARM_2_DATE", "2026-12-24"}, {"ALARM_2_TICKBOX", "1"}};

    const QStringList refused[] = {{"--set", "0", "07:00"},
                                   {"--set", "11", "07:00"},
                                   {"--set", "three", "07:00"},
                                   {"--skip", "-1"},
                                   {"--enable", "1x"},
                                   {"--set", "3", "25:00"},
                                   {"--set", "3", "+25"},
                                   {"--set", "3", "+0m"},
                                   {"--set", "3", "+366d"},
                                   {"--set", "3", "+9999999h"},
                                   {"--set", "3", "07:00", "--date", "2026-02-30"},
                                   {"--set", "3", "07:00", "--date", "2026-12-8"},
                                   {"--set", "3", "04:17", "--date", "2026-12-08"},
                                   {"--set", "3", "+5m", "--date", "2026-12-24"},
                                   {"--set", "3", "07:00", "--days", "weekdays"}};
    const QString reasons[] = {"no alarm '0'",
                               "no alarm '11'",
                               "no alarm 'three'",
                               "no alarm '-1'",
                               "no alarm '1x'",
                               "cannot read the time '25:00'",
                               "cannot read the time '+25'",
                               "cannot read the time '+0m'",
                               "+366d is more than a year ahead",
                               "cannot read the time '+9999999h'",
                               "no date '2026-02-30'",
                               "no date '2026-12-8'",
                               "2026-12-08 at 04:17:00 has passed",
                               "--date cannot go with a time given as a duration",
                               "cannot read the days 'weekdays'"};
    for (size_t i = 0; i < std::size(refused); ++i)
        QTest::newRow(qPrintable(refused[i].join(u' ')))
            << tea << refused[i] << 2 << reasons[i] << Values{};

    QTest::newRow("switch off") << tea << QStringList{"--disable", "1"} << 0
                                << "Alarm 1 (Tea) switched off" << Values{{"ALARM_1_TICKBOX", "0"}};
    QTest::newRow("already on") << tea << QStringList{"--enable", "1"} << 1
                                << "alarm 1 is already on" << Values{};
    // Its next occurrence: today while its time is ahead, else on its next day.
    QTest::newRow("skip today's") << tea << QStringList{"--skip", "1"} << 0
                                  << "Alarm 1 (Tea) skipped on Tue 2026-12-08"
                                  << Values{{"ALARM_1_SKIP_DATE", "2026-12-08"}};
    QTest::newRow("skip the next Monday's")
        << tea + Values{{"ALARM_1_DAYS", "Mon"}} << QStringList{"--skip", "1"} << 0
        << "skipped on Mon 2026-12-14" << Values{{"ALARM_1_SKIP_DATE", "2026-12-14"}};
    QTest::newRow("skip tomorrow's")
        << tea + Values{{"ALARM_1_TIME_TEXTBOX", "04:18:00"}} << QStringList{"--skip", "1"} << 0
        << "skipped on Wed 2026-12-09" << Values{{"ALARM_1_SKIP_DATE", "2026-12-09"}};
    QTest::newRow("already skipped")
        << tea + Values{{"ALARM_1_SKIP_DATE", "2026-12-08"}} << QStringList{"--skip", "1"} << 1
        << "alarm 1 is already skipped on 2026-12-08" << Values{};
    QTest::newRow("skip an alarm that is off") << tea << QStringList{"--skip", "2"} << 1
                                               << "Alarm 2 (Alarm Name) is not armed" << Values{};
    QTest::newRow("skip a date alarm whose date has passed")
        << tea + Values{{"ALARM_1_DATE", "2026-12-01"}} << QStringList{"--skip", "1"} << 1
        << "is not armed" << Values{};
}

void CommandLineTest::changes()
{
    QFETCH(Values, stored);
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QString, said);
    QFETCH(Values, written);
    m_settings.writeRaw({});
    m_settings.writeValues(stored);
    const QByteArray before = m_settings.readRaw();

    const Outcome outcome = run(options);
    QCOMPARE(outcome.status, std::optional<int>(status));
    const QString line = status == 0 ? outcome.out : outcome.err;
    QVERIFY2(line.contains(said), qPrintable(line));
    QCOMPARE(line.count(u'\n'), 1);
    QCOMPARE((status == 0 ? outcome.err : outcome.out), QString());
    if (status != 0)
        QCOMPARE(m_settings.readRaw(), before);
    for (const auto& [key, value] : written)
        QCOMPARE(m_settings.onDisk(key), value);
}

void CommandLineTest::json_data()
{
    QTest::addColumn<Values>("stored");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("alarm1"); // its object in --list --json

    const Values tea = {
        {"ENABLE_ALARMS_TICKBOX", "1"},           {"ALARM_1_TICKBOX", "1"},
        {"ALARM_1_NAME_TEXTBOX", "Tea"},          {"ALARM_1_TIME_TEXTBOX", "07:30:00"},
        {"ALARM_1_DISPLAY_MESSAGE_TICKBOX", "1"}, {"ALARM_1_DAYS", "Tue Wed"}};
    QTest::newRow("nothing armed")
        << Values{}
        << R"({"text":"","tooltip":"No alarm armed","class":"none","number":null,"name":null,)"
           R"("time":null,"at":null,"in_seconds":null,"snoozed":false})"
        << R"({"number":1,"on":false,"armed":false,"time":"00:00:00","name":"Alarm Name",)"
           R"("command":null,"days":["Mon","Tue","Wed","Thu","Fri","Sat","Sun"],"date":null,)"
           R"("skip_date":null,"snoozed":false,"notes":[]})";
    QTest::newRow("armed, a skip noted")
        << tea + Values{{"ALARM_1_SKIP_DATE", "2026-12-09"}}
        << R"({"text":"Tea 07:30","tooltip":"Next alarm: Tea at 07:30:00, in 3 h 12 min",)"
           R"("class":"armed","number":1,"name":"Tea","time":"07:30:00",)"
           R"("at":"2026-12-08T07:30:00Z","in_seconds":11520,"snoozed":false})"
        << R"({"number":1,"on":true,"armed":true,"time":"07:30:00","name":"Tea","command":null,)"
           R"("days":["Tue","Wed"],"date":null,"skip_date":"2026-12-09","snoozed":false,)"
           R"("notes":["skipped on 2026-12-09"]})";
    QTest::newRow("snoozed") << tea + Values{{"ALARM_1_SNOOZED_UNTIL", "2026-12-08T04:25:00"}}
                             << R"({"text":"Tea 04:25","tooltip":"Next alarm: Tea, snoozed, at )"
                                R"(04:25:00, in 7 min","class":"snoozed","number":1,"name":"Tea",)"
                                R"("time":"04:25:00","at":"2026-12-08T04:25:00Z","in_seconds":420,)"
                                R"("snoozed":true})"
                             << R"("snoozed":true,"notes":["snoozed from 07:30:00"]})";
    // Past: it arms nothing.
    QTest::newRow("a date that has passed")
        << tea + Values{{"ALARM_1_DATE", "2026-12-08"}, {"ALARM_1_TIME_TEXTBOX", "04:00:00"}} << ""
        << R"("armed":false,"time":"04:00:00")";
    // Nothing a terminal acts on, and still JSON that reads back to the same text.
    QTest::newRow("control characters")
        << tea + Values{{"ALARM_1_NAME_TEXTBOX", "\x1b]52;c;eA==\x07T\"e\\a\u202e\u0085"}}
        << R"("name":"\u001b]52;c;eA==\u0007T\"e\\a\u202e\u0085")"
        << R"("name":"\u001b]52;c;eA==\u0007T\"e\\a\u202e\u0085")";
}

void CommandLineTest::json()
{
    QFETCH(Values, stored);
    QFETCH(QString, next);
    QFETCH(QString, alarm1);
    m_settings.writeRaw({});
    m_settings.writeValues(stored);

    const QString nextJson = run({"--next", "--json"}).out;
    QVERIFY2(nextJson.contains(next), qPrintable(nextJson));
    const QString listJson = run({"--list", "--json"}).out;
    QVERIFY2(listJson.section(u'\n', 0, 0).contains(alarm1), qPrintable(listJson));
    QJsonParseError error;
    const QJsonDocument list = QJsonDocument::fromJson(listJson.toUtf8(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(list.array().size(), 10);
    const QString name = m_settings.onDisk(QStringLiteral("ALARM_1_NAME_TEXTBOX"));
    QCOMPARE(list.array().first()["name"].toString(), name.isEmpty() ? "Alarm Name" : name);
    QCOMPARE(QJsonDocument::fromJson(nextJson.toUtf8(), &error).isObject(), true);
    for (const QChar c : nextJson + listJson)
        QVERIFY2(c == u'\n' || (c >= u' ' && c != u'\x7f'), qPrintable(listJson));
}

void CommandLineTest::realProgramBesideARunningClockWithoutDisplay()
{
    QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program));
    QTemporaryDir config;
    QVERIFY(config.isValid());
    const QString file = config.filePath(QStringLiteral("QM_UTC.ini"));
    QFile settings(file);
    QVERIFY(settings.open(QIODevice::WriteOnly));
    const QByteArray content = "[qm-utc]\nENABLE_ALARMS_TICKBOX=1\nALARM_4_TICKBOX=1\n"
                               "ALARM_4_NAME_TEXTBOX=Walk\nALARM_4_TIME_TEXTBOX=00:00:00\n";
    settings.write(content);
    settings.close();
    // The running clock holds this for as long as it lives.
    const SingleInstance clock(file);
    QCOMPARE(clock.state(), SingleInstance::State::Held);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    const auto start = [&](const QStringList& options) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, options);
        process.waitForFinished(10000);
        return Outcome{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                       QString::fromUtf8(process.readAllStandardError())};
    };

    Outcome next = start({QStringLiteral("--next")});
    QCOMPARE(next.err, QString());
    QCOMPARE(next.status, std::optional<int>(0));
    QVERIFY2(next.out.startsWith(QLatin1String("Next alarm: Walk at 00:00:00, in ")),
             qPrintable(next.out));
    QCOMPARE(next.out.count(QLatin1Char('\n')), 1);
    QCOMPARE(start({QStringLiteral("--list")}).out.count(QLatin1String("\ton\t00:00:00\tWalk\t")),
             1);
    QCOMPARE(start({QStringLiteral("--version")}).out,
             QStringLiteral("qm-utc " QMUTC_VERSION "\n"));
    const Outcome wrong = start({QStringLiteral("--bogus")});
    QCOMPARE(wrong.status, std::optional<int>(2));
    QVERIFY(wrong.out.isEmpty());
    // The program by its name, not by the path it was started from.
    QVERIFY2(wrong.err.startsWith(QLatin1String("qm-utc: unknown option '--bogus'.\n\nUsage: "
                                                "qm-utc [option]\n")),
             qPrintable(wrong.err));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QCOMPARE(settings.readAll(), content);
    settings.close();

    // The clock's alarm windows, as its channel reaches them: the event loop runs meanwhile.
    QList<InstanceChannel::Request> asked;
    int ringing = 0;
    const InstanceChannel channel(file, [&](InstanceChannel::Request request) {
        asked << request;
        return std::exchange(ringing, 0);
    });
    QCOMPARE(channel.problem(), QString());
    const auto answer = [&](const QString& option) {
        QProcess process;
        process.setProcessEnvironment(env);
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(program, {option});
        if (!finished.wait(10000))
            return Outcome{};
        return Outcome{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                       QString::fromUtf8(process.readAllStandardError())};
    };
    const Outcome none = answer(QStringLiteral("--snooze"));
    QCOMPARE(none.status, std::optional<int>(1));
    QCOMPARE(none.err, QStringLiteral("qm-utc: no alarm is ringing\n"));
    ringing = 2;
    QCOMPARE(answer(QStringLiteral("--stop")).out, QStringLiteral("Stopped 2 alarms\n"));
    QCOMPARE(asked, (QList{InstanceChannel::Request::Snooze, InstanceChannel::Request::Stop}));
    // A change beside the running clock goes into the file, which the clock follows.
    const Outcome disabled = start({QStringLiteral("--disable"), QStringLiteral("4")});
    QCOMPARE(disabled.out, QStringLiteral("Alarm 4 (Walk) switched off\n"));
    // Changes at the same moment wait for each other's lock: all kept, each once.
    std::array<QProcess, 3> changes;
    for (int i = 0; i < 3; ++i) {
        changes[i].setProcessEnvironment(env);
        changes[i].start(program, {"--set", QString::number(i + 5), "7:0" + QString::number(i)});
    }
    for (QProcess& change : changes) {
        QVERIFY(change.waitForFinished(10000));
        QCOMPARE(change.exitCode(), 0);
    }
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QByteArray changed = settings.readAll();
    QCOMPARE(changed.count("ALARM_4_TICKBOX=0\n"), 1);
    for (const char* line : {"ALARM_5_TIME_TEXTBOX=07:00:00\n", "ALARM_6_TIME_TEXTBOX=07:01:00\n",
                             "ALARM_7_TIME_TEXTBOX=07:02:00\n"})
        QCOMPARE(changed.count(line), 1);
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
