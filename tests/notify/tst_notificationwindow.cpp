// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeLauncher.h"
#include "ProblemCapture.h"
#include "TestSettings.h"
#include "TestWindows.h"
#include "alarms/AlarmAnnouncement.h"
#include "notify/QM_UTC_ALARM_NOTIFICATION_WINDOW.h"
#include "platform/Timer.h"
#include "platform/Twips.h"
#include "platform/WindowGeometry.h"
#include "settings/SettingsKeys.h"
#include "widgets/ElidedField.h"
#include "widgets/ShownText.h"
#include "widgets/TickBox.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

using Window = QM_UTC_ALARM_NOTIFICATION_WINDOW;
using SettingsKeys::AlarmField;

namespace {
QString key(AlarmField field, int n)
{
    return SettingsKeys::alarm(field, n).name;
}

AlarmSlot slotWith(const QString& name, qint16 runCommand = 0, qint16 runHidden = 0)
{
    AlarmSlot slot;
    slot.name = name;
    slot.message = QStringLiteral("Stand up");
    slot.runCommand = runCommand;
    slot.command = QStringLiteral("  /usr/bin/play  'bell.ogg' ");
    slot.runHidden = runHidden;
    return slot;
}

QPointer<Window> openWindow(TestSettings& settings, CommandLauncher& launcher, int n,
                            const AlarmSlot& slot = slotWith(QStringLiteral("Wake")))
{
    auto* window = new Window(AlarmAnnouncement::of(n, slot), settings.store(), launcher, nullptr);
    window->show();
    return window;
}

QColor markColour(const Window& window)
{
    return window.EX_LEFT_TEXTBOX->palette().color(QPalette::Text);
}
} // namespace

class TestNotificationWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        QVERIFY2(TestWindows::deleteLeftOver().isEmpty(), "a window was left behind");
    }

    void showsAlarmSeven_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("named") << "Wake"
                               << "QM-UTC - !!! ALARM NOTIFICATION - !!! - Wake";
        QTest::newRow("empty name") << ""
                                    << "QM-UTC - !!! ALARM NOTIFICATION - !!! - ";
        const QString longName = QStringLiteral("Tea with a name far too long for its field");
        QTest::newRow("name too long for its field")
            << longName << "QM-UTC - !!! ALARM NOTIFICATION - !!! - " + longName;
        // Titles and fields are cut to what the X server takes; the window still opens.
        const QString huge = QString(100000, u'N');
        QTest::newRow("name longer than a window shows")
            << huge << ShownText::cut("QM-UTC - !!! ALARM NOTIFICATION - !!! - " + huge);
    }

    void showsAlarmSeven()
    {
        QFETCH(QString, name);
        TestSettings settings;
        FakeLauncher launcher;
        QPointer<Window> window = openWindow(settings, launcher, 7, slotWith(name, 1, 1));
        QTEST(window->windowTitle(), "title");
        QCOMPARE(window->objectName(), QStringLiteral("QM_UTC_ALARM_7_NOTIFICATION_WINDOW"));
        QCOMPARE(window->ALARM_NAME_TEXTBOX->text(), ShownText::cut(name));
        // Its beginning, and "…" where it does not fit.
        const QString shownName = ElidedField::shownText(window->ALARM_NAME_TEXTBOX);
        QVERIFY2(shownName == name ||
                     (shownName.endsWith(QChar(0x2026)) && name.startsWith(shownName.chopped(1))),
                 qPrintable(shownName));
        QCOMPARE(window->ALARM_NOTIFICATION_MESSAGE_TEXTBOX->text(), QStringLiteral("Stand up"));
        QCOMPARE(window->ALARM_RUN_COMMAND_TEXTBOX->text(), slotWith("").command);
        QCOMPARE(window->ALARM_NUMBER_LEFT_TEXTBOX->text(), QStringLiteral("7"));
        QCOMPARE(window->ALARM_NUMBER_RIGHT_TEXTBOX->text(), QStringLiteral("7"));
        QVERIFY(window->ALARM_RUN_COMMAND_TICKBOX->isChecked());
        QVERIFY(window->RUN_HIDDEN_TICKBOX->isChecked() &&
                !window->RUN_HIDDEN_TICKBOX->isEnabled());
        QCOMPARE(WindowGeometry::outerSize(window), Twips::toPixelSize(8745, 3420));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(window->SNOOZE_BUTTON->isVisible() && !window->MISSED_AT_LABEL->isVisible());
        window->close();
    }

    void everyCloseStoresPlaceAndAutoClose_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("clickAutoClose");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("meanwhile"); // typed into the file while it is open
        const auto row = [](const char* name, const char* stored, bool click, const char* how,
                            const char* written, const char* meanwhile = "") {
            QTest::newRow(name) << QString(stored) << click << QString(how) << QString(written)
                                << QString(meanwhile);
        };
        row("OK", "0", false, "ok", "0");
        row("a hand edit meanwhile stays", "0", false, "close box", "1", "1");
        row("OK after ticking", "0", true, "ok", "1");
        row("close box after unticking", "1", true, "close box", "0");
        row("Escape", "1", false, "escape", "1");
        row("end of countdown", "1", false, "countdown", "1");
        row("Snooze", "1", true, "snooze", "0");
    }

    void everyCloseStoresPlaceAndAutoClose()
    {
        QFETCH(QString, stored);
        QFETCH(QString, how);
        QFETCH(bool, clickAutoClose);
        TestSettings settings;
        settings.writeValues({{key(AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX, 5), stored},
                              {key(AlarmField::NOTIFICATION_MESSAGE_Left, 5), "3000"},
                              {key(AlarmField::NOTIFICATION_MESSAGE_Top, 5), "4500"}});
        FakeLauncher launcher;
        QPointer<Window> window = openWindow(settings, launcher, 5);
        QCOMPARE(WindowGeometry::outerTopLeft(window), QPoint(200, 300));
        QCOMPARE(window->AUTOCLOSE_COUNTDOWN_TB->text(), stored == "1" ? "ON" : "OFF");
        WindowGeometry::setOuterTopLeft(window, QPoint(240, 330));
        QFETCH(QString, meanwhile);
        if (!meanwhile.isEmpty())
            settings.writeValues({{key(AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX, 5), meanwhile}});
        if (clickAutoClose)
            window->ALARM_MESSAGE_AUTO_CLOSE_TICKBOX->click();

        QSignalSpy snoozed(window.data(), &Window::snoozed);
        if (how == "ok")
            window->OK_BUTTON->click();
        else if (how == "snooze")
            window->SNOOZE_BUTTON->click();
        else if (how == "close box")
            window->close();
        else if (how == "escape")
            QTest::keyClick(window, Qt::Key_Escape);
        else {
            for (int tick = 1; tick <= 10; ++tick)
                window->ALARM_MESSAGE_AUTOCLOSE_TIMER->fire();
            QCOMPARE(window->AUTOCLOSE_COUNTDOWN_TB->text(), QStringLiteral("01"));
            window->ALARM_MESSAGE_AUTOCLOSE_TIMER->fire();
        }
        TestWindows::discardClosed();
        QVERIFY(window.isNull());
        QCOMPARE(settings.onDisk(key(AlarmField::NOTIFICATION_MESSAGE_Left, 5)), "3600");
        QCOMPARE(settings.onDisk(key(AlarmField::NOTIFICATION_MESSAGE_Top, 5)), "4950");
        QTEST(settings.onDisk(key(AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX, 5)), "written");
        QVERIFY(!settings.hasOnDisk(key(AlarmField::NOTIFICATION_MESSAGE_Width, 5)));
        QCOMPARE(snoozed.size(), how == "snooze" ? 1 : 0);
        if (how == "snooze")
            QCOMPARE(snoozed.first().first().toInt(), 5);
    }

    void placeIsKeptPerAlarm()
    {
        TestSettings settings;
        FakeLauncher launcher;
        QPointer<Window> two = openWindow(settings, launcher, 2);
        WindowGeometry::setOuterTopLeft(two, QPoint(300, 150));
        two->close();
        QPointer<Window> three = openWindow(settings, launcher, 3);
        QCOMPARE(WindowGeometry::outerTopLeft(three), Twips::toPixels(1000, 1000));
        three->close();
        QCOMPARE(settings.onDisk(key(AlarmField::NOTIFICATION_MESSAGE_Left, 3)), "1000");
        two = openWindow(settings, launcher, 2);
        QCOMPARE(WindowGeometry::outerTopLeft(two), QPoint(300, 150));
        two->close();
    }

    void worksUnderExec()
    {
        TestSettings settings;
        FakeLauncher launcher;
        QPointer<Window> window = new Window(AlarmAnnouncement::of(4, slotWith("Wake")),
                                             settings.store(), launcher, nullptr);
        QTimer::singleShot(0, window, [&] { window->OK_BUTTON->click(); });
        QCOMPARE(window->exec(), int(QDialog::Accepted));
        QVERIFY(window.isNull());
        QVERIFY(settings.hasOnDisk(key(AlarmField::NOTIFICATION_MESSAGE_Top, 4)));
    }

    void marksFlash()
    {
        TestSettings settings;
        FakeLauncher launcher;
        QPointer<Window> window = openWindow(settings, launcher, 1);
        const QList<QColor> expected{Qt::red, Qt::black, Qt::red, Qt::black};
        QCOMPARE(markColour(*window), QColor(Qt::red));
        for (const QColor& colour : expected) {
            QCOMPARE(window->FLASH_ON_TIMER->isActive() + window->FLASH_OFF_TIMER->isActive(), 1);
            (window->FLASH_ON_TIMER->isActive() ? window->FLASH_ON_TIMER : window->FLASH_OFF_TIMER)
                ->fire();
            QCOMPARE(markColour(*window), colour);
            QCOMPARE(window->EX_RIGHT_TEXTBOX->palette().color(QPalette::Text), colour);
        }
        window->close();
    }

    void runNow_data()
    {
        QTest::addColumn<qint16>("runCommand");
        QTest::addColumn<qint16>("runHidden");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QList<int>>("styles");
        QTest::newRow("hidden") << qint16(1) << qint16(1) << true << QList<int>{0};
        QTest::newRow("normal") << qint16(1) << qint16(0) << true << QList<int>{1};
        QTest::newRow("odd run-hidden") << qint16(1) << qint16(2) << true << QList<int>{};
        QTest::newRow("no run-command") << qint16(0) << qint16(1) << false << QList<int>{};
        QTest::newRow("odd run-command") << qint16(2) << qint16(0) << false << QList<int>{};
    }

    void runNow()
    {
        QFETCH(qint16, runCommand);
        QFETCH(qint16, runHidden);
        QFETCH(QList<int>, styles);
        TestSettings settings;
        FakeLauncher launcher;
        QPointer<Window> window =
            openWindow(settings, launcher, 4, slotWith("Wake", runCommand, runHidden));
        QTEST(window->RUN_NOW_BUTTON->isEnabled(), "enabled");
        // Every press starts again.
        window->RUN_NOW_BUTTON->click();
        window->RUN_NOW_BUTTON_Click();
        window->RUN_NOW_BUTTON_Click();
        QCOMPARE(launcher.launches.size(), 3 * styles.size());
        for (const FakeLauncher::Launch& launch : launcher.launches) {
            QCOMPARE(int(launch.style), styles.value(0));
            QCOMPARE(launch.commandLine, slotWith("").command);
        }
        QVERIFY(window->isVisible());
        window->close();
    }

    void enterAcknowledgesWithoutRunning()
    {
        TestSettings settings;
        FakeLauncher launcher;
        QPointer<Window> window = openWindow(settings, launcher, 4, slotWith("Wake", 1, 0));
        QVERIFY(window->testAttribute(Qt::WA_ShowWithoutActivating));
        window->RUN_NOW_BUTTON->setFocus();
        QTest::keyClick(window, Qt::Key_Return);
        TestWindows::discardClosed();
        QVERIFY(launcher.launches.isEmpty());
        QVERIFY(window.isNull());
    }

    void testVariant()
    {
        TestSettings settings;
        FakeLauncher launcher;
        QPointer<Window> window =
            new Window(Announcement::forTest(), settings.store(), launcher, nullptr);
        window->show();
        QCOMPARE(window->windowTitle(),
                 QStringLiteral("QM-UTC !!! TEST ALARM NOTIFICATION - "
                                "MANUAL COMMAND ONLY - SETTINGS NOT SAVED !!!"));
        QCOMPARE(window->ALARM_NUMBER_RIGHT_TEXTBOX->text(), QStringLiteral("T"));
        QVERIFY(!window->SNOOZE_BUTTON->isVisible());
        QCOMPARE(window->AUTOCLOSE_COUNTDOWN_TB->text(), QStringLiteral("OFF"));
        QVERIFY(!window->RUN_NOW_BUTTON->isEnabled() && !window->RUN_HIDDEN_TICKBOX->isEnabled());
        QVERIFY(window->ALARM_RUN_COMMAND_TEXTBOX->isReadOnly());

        window->ALARM_RUN_COMMAND_TICKBOX->click();
        QVERIFY(!window->ALARM_RUN_COMMAND_TEXTBOX->isReadOnly());
        window->ALARM_RUN_COMMAND_TEXTBOX->setText(QStringLiteral("notify-send \"hi there\""));
        window->RUN_HIDDEN_TICKBOX->click();
        window->RUN_NOW_BUTTON->click();
        QCOMPARE(launcher.launches.size(), 1);
        QCOMPARE(launcher.launches[0].commandLine, QStringLiteral("notify-send \"hi there\""));
        QCOMPARE(launcher.launches[0].style, LaunchStyle::Hidden);

        window->ALARM_RUN_COMMAND_TICKBOX->click();
        QVERIFY(window->ALARM_RUN_COMMAND_TEXTBOX->isReadOnly());
        QVERIFY(!window->RUN_HIDDEN_TICKBOX->isChecked() && !window->RUN_NOW_BUTTON->isEnabled());
        QCOMPARE(window->ALARM_RUN_COMMAND_TEXTBOX->text(),
                 QStringLiteral("notify-send \"hi there\""));

        window->ALARM_MESSAGE_AUTO_CLOSE_TICKBOX->click();
        window->OK_BUTTON->click();
        TestWindows::discardClosed();
        // Only its position is kept.
        const QString stored = QString::fromUtf8(settings.readRaw());
        QCOMPARE(stored.count(QLatin1Char('=')), 2);
        QVERIFY(settings.hasOnDisk(QStringLiteral("ALARM-TEST-NOTIFICATION-MESSAGE-Left")));
    }

    // Stored Auto Close 1: a missed alarm's window neither reads nor changes it, and stays open.
    void missedAlarmIsMarkedAndStaysOpen()
    {
        TestSettings settings;
        settings.writeValues({{key(AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX, 3), "1"}});
        FakeLauncher launcher;
        Announcement missed = AlarmAnnouncement::of(3, slotWith("Backup", 1, 1));
        missed.missed = QStringLiteral("Missed at 07:30:00 on Sunday");
        missed.autoClose.reset();
        QPointer<Window> window = new Window(missed, settings.store(), launcher, nullptr);
        window->show();
        QVERIFY(window->MISSED_AT_LABEL->isVisible());
        QCOMPARE(window->MISSED_AT_LABEL->shownText(), missed.missed); // whole
        QVERIFY(window->MISSED_AT_LABEL->shownFont().pointSizeF() >= 7);
        QCOMPARE(window->AUTOCLOSE_COUNTDOWN_TB->text(), QStringLiteral("OFF"));
        for (int tick = 0; tick < 12; ++tick)
            window->ALARM_MESSAGE_AUTOCLOSE_TIMER->fire();
        QVERIFY(window->isVisible());
        // New controls sit in free room: none covers a laid-out one.
        for (QWidget* added : {static_cast<QWidget*>(window->SNOOZE_BUTTON),
                               static_cast<QWidget*>(window->MISSED_AT_LABEL)}) {
            for (QWidget* control : window->findChildren<QWidget*>()) {
                if (control != added && control->parentWidget() == window &&
                    control != window->RUN_COMMAND_ERROR_LABEL && !control->objectName().isEmpty())
                    QVERIFY2(!added->geometry().intersects(control->geometry()),
                             qPrintable(added->objectName() + " covers " + control->objectName()));
            }
        }
        // The failure of a run by hand still shows whole, under the command.
        launcher.failWith = QStringLiteral("No such file or directory");
        window->RUN_NOW_BUTTON->click();
        QCOMPARE(launcher.launches.size(), 1);
        QCOMPARE(window->RUN_COMMAND_ERROR_LABEL->shownText(), launcher.failWith);
        QVERIFY(!window->RUN_COMMAND_ERROR_LABEL->geometry().intersects(
            window->MISSED_AT_LABEL->geometry()));
        // The alarm fired in time again: the mark goes.
        window->setMissed({});
        QVERIFY(!window->MISSED_AT_LABEL->isVisible());
        window->OK_BUTTON->click();
        TestWindows::discardClosed();
        QCOMPARE(settings.onDisk(key(AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX, 3)), "1");
    }

    void failedStartIsShown_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("whole");
        const QString file = QStringLiteral("/home/somebody/.config/QM_UTC.ini");
        QTest::newRow("short") << "No such file or directory" << slotWith("").command << true;
        QTest::newRow("refusal naming the file twice")
            << "alarm commands are not run: the settings file " + file +
                   " can be changed by other users; run chmod 600 " + file
            << slotWith("").command << true;
        QTest::newRow("longer than the window holds")
            << QString("word ").repeated(2000) << "/bin/true " + QString(50000, u'c') << false;
    }

    void failedStartIsShown()
    {
        QFETCH(QString, reason);
        QFETCH(QString, command);
        QFETCH(bool, whole);
        TestSettings settings;
        FakeLauncher launcher;
        launcher.failWith = reason;
        ProblemCapture problems;
        AlarmSlot slot = slotWith("Wake", 1, 0);
        slot.command = command;
        QPointer<Window> window = openWindow(settings, launcher, 4, slot);
        QVERIFY(!window->RUN_COMMAND_ERROR_LABEL->isVisible());
        window->RUN_NOW_BUTTON->click();
        // The alarm's own command, not what its field shows of it.
        QCOMPARE(launcher.launches.last().commandLine, command);
        FlowLabel* label = window->RUN_COMMAND_ERROR_LABEL;
        QVERIFY(label->isVisible());
        const QString shown = QString(label->shownText()).remove(QChar(0x200B));
        const QString ellipsis(QChar(0x2026));
        QCOMPARE(shown == reason, whole);
        QVERIFY2(whole || (shown.endsWith(ellipsis) && reason.startsWith(shown.chopped(1))),
                 qPrintable(shown));
        QVERIFY(label->shownFont().pointSizeF() >= 6);
        QTextDocument tip;
        tip.setHtml(label->toolTip());
        QVERIFY(tip.toPlainText().remove(QChar(0x200B)).contains(reason.right(40).trimmed()));
        QCOMPARE(problems.lines.size(), 1);
        QVERIFY(problems.lines[0].contains(QStringLiteral("alarm 4")));
        // A later success, as when a repeat firing raises the window, clears the old reason.
        launcher.failWith.clear();
        window->RUN_NOW_BUTTON->click();
        QVERIFY(!window->RUN_COMMAND_ERROR_LABEL->isVisible());
        window->close();
    }
};

QTEST_MAIN(TestNotificationWindow)
#include "tst_notificationwindow.moc"
