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

    QTest::newRow("complete") << "07:30:00"
                              << "07:30:00";
    QTest::newRow("no seconds") << "7:30"
                                << "07:30:00";
    QTest::newRow("one-digit seconds") << "7:30:5"
                                       << "07:30:05";
    QTest::newRow("one-digit minutes") << "7:3"
                                       << "07:03:00";
    QTest::newRow("blanks around") << " 7:30 "
                                   << "07:30:00";
    QTest::newRow("hour alone") << "7"
                                << "07:00:00";
    QTest::newRow("three digits") << "730"
                                  << "07:30:00";
    QTest::newRow("four digits") << "1730"
                                 << "17:30:00";
    QTest::newRow("five digits") << "73005"
                                 << "07:30:05";
    QTest::newRow("six digits") << "235959"
                                << "23:59:59";
    QTest::newRow("pm") << "7:30 pm"
                        << "19:30:00";
    QTest::newRow("12 AM is midnight") << "12AM"
                                       << "00:00:00";
    QTest::newRow("full-width digits") << QString::fromUtf8("７:３０") << "07:30:00";
    QTest::newRow("hour 24") << "24:00"
                             << "";
    QTest::newRow("minute 60") << "760"
                               << "";
    QTest::newRow("13 pm") << "13:00 pm"
                           << "";
    QTest::newRow("empty part") << "7::30"
                                << "";
    QTest::newRow("four parts") << "7:30:00:1"
                                << "";
    QTest::newRow("seven digits") << "0730001"
                                  << "";
    QTest::newRow("three-digit minutes") << "7:030"
                                         << "";
    QTest::newRow("other separator") << "7.30"
                                     << "";
    QTest::newRow("superscript digit") << QString::fromUtf8("7:3²") << "";
    QTest::newRow("empty") << ""
                           << "";
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
