// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmTimeText.h"

#include <QTest>

class AlarmTimeTextTest : public QObject
{
    Q_OBJECT

private slots:
    void realTimes_data();
    void realTimes();
    void typedTimesAreCompleted_data();
    void typedTimesAreCompleted();
};

void AlarmTimeTextTest::realTimes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("real");

    QTest::newRow("morning") << "07:30:00" << true;
    QTest::newRow("last second") << "23:59:59" << true;
    QTest::newRow("hour 24") << "24:00:00" << false;
    QTest::newRow("minute 60") << "12:60:00" << false;
    QTest::newRow("second 60") << "12:00:60" << false;
    QTest::newRow("no leading zero") << "7:30:00" << false;
    QTest::newRow("no seconds") << "07:30" << false;
    QTest::newRow("trailing blank") << "07:30:00 " << false;
    QTest::newRow("other separator") << "07.30.00" << false;
    QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("٠٧:٣٠:٠٠") << false;
    QTest::newRow("full-width digits") << QString::fromUtf8("０７:３０:００") << false;
    QTest::newRow("twelve-hour form") << "07:30 AM" << false;
    QTest::newRow("empty") << "" << false;
}

void AlarmTimeTextTest::realTimes()
{
    QFETCH(QString, text);
    QFETCH(bool, real);
    QCOMPARE(isRealAlarmTime(text), real);
}

void AlarmTimeTextTest::typedTimesAreCompleted_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("completed"); // empty: cannot be read one way only
    const auto row = [](const char* typed, const char* completed) {
        QTest::newRow(*typed ? typed : "empty") << QString::fromUtf8(typed) << QString(completed);
    };
    row("07:30:00", "07:30:00");
    row("7:30", "07:30:00");
    row("7:30:5", "07:30:05");
    row("7:3", "07:03:00");
    row(" 7:30 ", "07:30:00");
    row("7", "07:00:00");
    row("730", "07:30:00");
    row("1730", "17:30:00");
    row("73005", "07:30:05");
    row("235959", "23:59:59");
    row("7:30 pm", "19:30:00");
    row("12AM", "00:00:00");
    row("７:３０", "07:30:00"); // full-width digits
    row("24:00", "");
    row("760", "");
    row("13:00 pm", "");
    row("7::30", "");
    row("7:30:00:1", "");
    row("0730001", "");
    row("7:030", "");
    row("7.30", "");
    row("7:3²", ""); // a superscript is no digit
    row("", "");
}

void AlarmTimeTextTest::typedTimesAreCompleted()
{
    QFETCH(QString, typed);
    QFETCH(QString, completed);
    const std::optional<QString> result = completedAlarmTime(typed);
    QCOMPARE(result.value_or(QString()), completed);
    if (result)
        QVERIFY(isRealAlarmTime(*result));
}

QTEST_APPLESS_MAIN(AlarmTimeTextTest)
#include "tst_alarmtimetext.moc"
