#include "settings/SettingsKeys.h"

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
    // 34 keys of their own, 13 for each of the ten alarms.
    QCOMPARE(table.size(), 34 + 13 * 10);
    QVERIFY(names.contains(QStringLiteral("CLOCK-MAIN-Left")));
    QVERIFY(names.contains(QStringLiteral("ALARM-TEST-NOTIFICATION-MESSAGE-Height")));
    QVERIFY(names.contains(QStringLiteral("RUN_HIDDEN_1_TICKBOX")));
    QVERIFY(!names.contains(QStringLiteral("ALARM_01_TICKBOX")));
}

QTEST_MAIN(SettingsKeysTest)
#include "tst_settingskeys.moc"
