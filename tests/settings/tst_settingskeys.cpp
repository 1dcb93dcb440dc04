// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsKeys.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using SettingsKeys::AlarmField;

class SettingsKeysTest : public QObject
{
    Q_OBJECT

private slots:
    void alarmKeys_data();
    void alarmKeys();
    void tableHoldsEveryKeyOnce();
    void everyKeyIsDocumented();
};

void SettingsKeysTest::alarmKeys_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("defaultValue");
    const auto row = [](AlarmField field, int n, const char* name, const char* defaultValue) {
        QTest::newRow(name) << int(field) << n << QString::fromLatin1(name)
                            << QString::fromLatin1(defaultValue);
    };
    row(AlarmField::TICKBOX, 10, "ALARM_10_TICKBOX", "0");
    row(AlarmField::NAME_TEXTBOX, 10, "ALARM_10_NAME_TEXTBOX", "Alarm Name");
    row(AlarmField::TIME_TEXTBOX, 10, "ALARM_10_TIME_TEXTBOX", "00:00:00");
    row(AlarmField::DISPLAY_MESSAGE_TICKBOX, 1, "ALARM_1_DISPLAY_MESSAGE_TICKBOX", "0");
    row(AlarmField::MESSAGE_TEXTBOX, 3, "ALARM_3_MESSAGE_TEXTBOX", "Display Message");
    row(AlarmField::RUN_COMMAND_TICKBOX, 3, "ALARM_3_RUN_COMMAND_TICKBOX", "0");
    row(AlarmField::RUN_COMMAND_TEXTBOX, 3, "ALARM_3_RUN_COMMAND_TEXTBOX", "Run Command");
    row(AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX, 7, "ALARM_7_MESSAGE_AUTO_CLOSE_TICKBOX", "0");
    row(AlarmField::RUN_HIDDEN_TICKBOX, 10, "RUN_HIDDEN_10_TICKBOX", "0");
    row(AlarmField::NOTIFICATION_MESSAGE_Left, 10, "ALARM_10-NOTIFICATION-MESSAGE-Left", "1000");
    row(AlarmField::NOTIFICATION_MESSAGE_Top, 3, "ALARM_3-NOTIFICATION-MESSAGE-Top", "1000");
    row(AlarmField::NOTIFICATION_MESSAGE_Width, 9, "ALARM_9-NOTIFICATION-MESSAGE-Width", "8745");
    row(AlarmField::NOTIFICATION_MESSAGE_Height, 1, "ALARM_1-NOTIFICATION-MESSAGE-Height", "3420");
    row(AlarmField::DAYS, 10, "ALARM_10_DAYS", "Mon Tue Wed Thu Fri Sat Sun");
    row(AlarmField::SNOOZED_UNTIL, 2, "ALARM_2_SNOOZED_UNTIL", "");
    row(AlarmField::RING_TICKBOX, 10, "ALARM_10_RING_TICKBOX", "0");
}

void SettingsKeysTest::alarmKeys()
{
    QFETCH(int, field);
    QFETCH(int, n);
    QFETCH(QString, name);
    QFETCH(QString, defaultValue);
    const SettingKey key = SettingsKeys::alarm(AlarmField(field), n);
    QCOMPARE(key.name, name);
    QCOMPARE(key.defaultValue, defaultValue);
}

void SettingsKeysTest::tableHoldsEveryKeyOnce()
{
    const QList<SettingKey>& table = SettingsKeys::all();
    QSet<QString> names;
    for (const SettingKey& key : table)
        names.insert(key.name);
    QCOMPARE(names.size(), table.size());
    // 40 keys of their own, 18 for each of the ten alarms.
    QCOMPARE(table.size(), 40 + 18 * 10);
    QVERIFY(names.contains(QStringLiteral("CLOCK-MAIN-Left")));
    QVERIFY(names.contains(QStringLiteral("ALARM-TEST-NOTIFICATION-MESSAGE-Height")));
    QVERIFY(names.contains(QStringLiteral("RUN_HIDDEN_1_TICKBOX")));
    QVERIFY(!names.contains(QStringLiteral("ALARM_01_TICKBOX")));
}

void SettingsKeysTest::everyKeyIsDocumented()
{
    const auto kindName = [](SettingKind kind) {
        switch (kind) {
        case SettingKind::Flag:
            return QStringLiteral("flag");
        case SettingKind::Twips:
            return QStringLiteral("twips");
        case SettingKind::Colour:
            return QStringLiteral("colour");
        case SettingKind::Text:
            return QStringLiteral("text");
        case SettingKind::Minutes:
            return QStringLiteral("minutes");
        case SettingKind::Seconds:
            return QStringLiteral("seconds");
        case SettingKind::Percent:
            return QStringLiteral("percent");
        }
        return QString();
    };
    // The alarm families are documented once, with n for the number.
    static const QRegularExpression number(QStringLiteral("^(ALARM_|RUN_HIDDEN_)\\d+"));
    QMap<QString, QString> table;
    for (const SettingKey& key : SettingsKeys::all()) {
        QString name = key.name;
        name.replace(number, QStringLiteral("\\1n"));
        table.insert(name, kindName(key.kind) + QLatin1Char(' ') + key.defaultValue);
    }

    QFile doc(QFINDTESTDATA("../../docs/SETTINGS.md"));
    QVERIFY(doc.open(QIODevice::ReadOnly | QIODevice::Text));
    QMap<QString, QString> documented;
    for (const QString& line : QString::fromUtf8(doc.readAll()).split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("| `")))
            continue;
        const QStringList cells = line.split(QLatin1Char('|'));
        QCOMPARE(cells.size(), 6);
        const auto unquoted = [&](int i) {
            return cells.at(i).trimmed().remove(QLatin1Char('`'));
        };
        QVERIFY2(!documented.contains(unquoted(1)), qPrintable(line));
        documented.insert(unquoted(1), unquoted(2) + QLatin1Char(' ') + unquoted(3));
        QVERIFY2(!unquoted(4).isEmpty(), qPrintable(line));
    }
    QCOMPARE(documented, table);
}

QTEST_MAIN(SettingsKeysTest)
#include "tst_settingskeys.moc"
