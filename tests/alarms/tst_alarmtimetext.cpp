// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmTimeText.h"

#include <QTest>

class AlarmTimeTextTest : public QObject
{
    Q_OBJECT

private slots:
    void realTimes_data();
    void realTimes();
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

QTEST_APPLESS_MAIN(AlarmTimeTextTest)
#include "tst_alarmtimetext.moc"
