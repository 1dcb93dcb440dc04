// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeLauncher.h"
#include "TestSettings.h"
#include "alarms/AlarmAnnouncement.h"
#include "notify/AlarmNotifier.h"
#include "notify/QM_UTC_ALARM_NOTIFICATION_WINDOW.h"
#include "platform/Twips.h"
#include "platform/WindowGeometry.h"
#include "settings/SettingsKeys.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using Window = QM_UTC_ALARM_NOTIFICATION_WINDOW;
using SettingsKeys::AlarmField;
using Values = QList<QPair<QString, QString>>;

namespace {
QString key(AlarmField field, int n)
{
    return SettingsKeys::alarm(field, n).name;
}

Announcement alarmNumber(int n, const QString& refusal = {})
{
    AlarmSlot slot;
    slot.runCommand = 1;
    slot.command = QStringLiteral("wake up");
    Announcement a = AlarmAnnouncement::of(n, slot);
    a.commandRefusal = refusal;
    return a;
}

// A click as the window system delivers it, so that a window blocked by a modal one misses it.
void clickThroughWindowSystem(QWidget* button)
{
    QWindow* window = button->window()->windowHandle();
    QTest::mouseClick(window, Qt::LeftButton, {},
                      button->mapTo(button->window(), button->rect().center()));
}

void discardClosed()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

// The strip as far as the notification windows see it: a shown window with a button.
struct Owner
{
    Owner()
    {
        WindowGeometry::setOuterTopLeft(&strip, QPoint(67, 67));
        strip.resize(364, 40);
        button->setGeometry(8, 8, 49, 25);
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
        strip.show();
    }

    QWidget strip;
    QPushButton* button = new QPushButton(&strip);
    int clicks = 0;
};

class AlarmNotifierTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        discardClosed();
        QVERIFY2(QApplication::topLevelWidgets().isEmpty(), "a window was left behind");
    }

    void repeatFiringBringsBackTheOpenWindow()
    {
        TestSettings settings;
        FakeLauncher launcher;
        Owner owner;
        AlarmNotifier notifier(settings.store(), launcher, &owner.strip);
        QPointer<Window> first = notifier.announce(alarmNumber(6), {});
        QVERIFY(first && first->isVisible());
        QVERIFY(!first->RUN_COMMAND_ERROR_LABEL->isVisibleTo(first));
        // The next day, its command failing this time.
        QCOMPARE(notifier.announce(alarmNumber(6), QStringLiteral("not found")), first.data());
        QCOMPARE(first->RUN_COMMAND_ERROR_LABEL->text(), QStringLiteral("not found"));
        QCOMPARE(notifier.openWindow(first->objectName()), first.data());
        first->close();
        discardClosed();
        QVERIFY(!notifier.openWindow(QStringLiteral("QM_UTC_ALARM_6_NOTIFICATION_WINDOW")));
        QVERIFY(notifier.announce(alarmNumber(6), {}) != nullptr);
    }

    // Snooze reaches the owner as alarm n's; the mark of a missed alarm follows the latest news.
    void snoozeAndMissedMarkOfAnOpenWindow()
    {
        TestSettings settings;
        FakeLauncher launcher;
        Owner owner;
        AlarmNotifier notifier(settings.store(), launcher, &owner.strip);
        QSignalSpy snoozed(&notifier, &AlarmNotifier::snooze);
        Announcement missed = alarmNumber(4);
        missed.missed = QStringLiteral("Missed at 07:30:00");
        QPointer<Window> window = notifier.announce(alarmNumber(4), {});
        QVERIFY(!window->MISSED_AT_LABEL->isVisibleTo(window));
        QCOMPARE(notifier.announce(missed, {}), window.data());
        QVERIFY(window->MISSED_AT_LABEL->isVisibleTo(window));
        QCOMPARE(notifier.announce(alarmNumber(4), {}), window.data());
        QVERIFY(!window->MISSED_AT_LABEL->isVisibleTo(window));
        window->SNOOZE_BUTTON->click();
        discardClosed();
        QVERIFY(window.isNull());
        QCOMPARE(snoozed.size(), 1);
        QCOMPARE(snoozed.first().first().toInt(), 4);
    }

    void onlyTheNotificationWindowsTakeInput()
    {
        TestSettings settings;
        FakeLauncher launcher;
        Owner owner;
        AlarmNotifier notifier(settings.store(), launcher, &owner.strip);
        QPointer<Window> one = notifier.announce(alarmNumber(1), {});
        QPointer<Window> two = notifier.announce(alarmNumber(2), {});
        QVERIFY(one->testAttribute(Qt::WA_ShowWithoutActivating));

        clickThroughWindowSystem(owner.button);
        QCOMPARE(owner.clicks, 0);
        // The earlier window is not blocked by the later one.
        clickThroughWindowSystem(one->OK_BUTTON);
        discardClosed();
        QVERIFY(one.isNull());
        clickThroughWindowSystem(owner.button);
        QCOMPARE(owner.clicks, 0);
        clickThroughWindowSystem(two->OK_BUTTON);
        discardClosed();
        QVERIFY(two.isNull());
        clickThroughWindowSystem(owner.button);
        QCOMPARE(owner.clicks, 1);
    }

    void refusedCommandDoesNotRunByHand()
    {
        TestSettings settings;
        FakeLauncher launcher;
        Owner owner;
        AlarmNotifier notifier(settings.store(), launcher, &owner.strip);
        Window* window =
            notifier.announce(alarmNumber(8, QStringLiteral("run chmod 600")), QStringLiteral("x"));
        window->RUN_NOW_BUTTON->click();
        QVERIFY(launcher.launches.isEmpty());
        QVERIFY(window->RUN_COMMAND_ERROR_LABEL->text().contains(QLatin1String("chmod 600")));
        window->close();
    }

    void alarmsFiringTogetherStayInSight_data()
    {
        QTest::addColumn<Values>("stored");
        QTest::addColumn<bool>("shifted");
        QTest::addColumn<QStringList>("leftsAfter");
        const auto place = [](int n, const char* left, const char* top) {
            return Values{{key(AlarmField::NOTIFICATION_MESSAGE_Left, n), left},
                          {key(AlarmField::NOTIFICATION_MESSAGE_Top, n), top}};
        };
        QTest::newRow("one stored place") << place(1, "3000", "4500") + place(2, "3000", "4500")
                                          << true << QStringList{"3000", "3000"};
        QTest::newRow("places of their own") << place(1, "3000", "4500") + place(2, "6000", "4500")
                                             << false << QStringList{"3000", "6000"};
        QTest::newRow("nothing stored") << Values{} << true << QStringList{"1000", "1000"};
    }

    void alarmsFiringTogetherStayInSight()
    {
        QFETCH(Values, stored);
        QFETCH(bool, shifted);
        QFETCH(QStringList, leftsAfter);
        TestSettings settings;
        settings.writeValues(stored);
        FakeLauncher launcher;
        Owner owner;
        AlarmNotifier notifier(settings.store(), launcher, &owner.strip);
        QPointer<Window> one = notifier.announce(alarmNumber(1), {});
        QPointer<Window> two = notifier.announce(alarmNumber(2), {});
        const QPoint first = WindowGeometry::outerTopLeft(one);
        const QPoint by = WindowGeometry::outerTopLeft(two) - first;
        QCOMPARE(by.x() == by.y() && by.x() >= 20, shifted);
        // A first opening leaves the strip in sight; a stored place holds.
        if (stored.isEmpty())
            QCOMPARE(first, QPoint(67, owner.strip.frameGeometry().bottom() + 9));
        else
            QCOMPARE(first, QPoint(200, 300));

        // Closed where they opened: each stores the place it was given, not the shift.
        one->close();
        two->close();
        const QString topOnDisk = settings.onDisk(key(AlarmField::NOTIFICATION_MESSAGE_Top, 1));
        QCOMPARE(topOnDisk, stored.isEmpty() ? QString::number(Twips::fromPixels(first.y()))
                                             : QStringLiteral("4500"));
        for (int n : {1, 2}) {
            QCOMPARE(settings.onDisk(key(AlarmField::NOTIFICATION_MESSAGE_Left, n)),
                     leftsAfter.at(n - 1));
            QCOMPARE(settings.onDisk(key(AlarmField::NOTIFICATION_MESSAGE_Top, n)), topOnDisk);
        }
    }
};

QTEST_MAIN(AlarmNotifierTest)
#include "tst_alarmnotifier.moc"
