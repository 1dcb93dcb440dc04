// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "TestTime.h"
#include "alarms/AlarmAnnouncement.h"
#include "alarms/AlarmTimeField.h"
#include "alarms/QM_UTC_ALARM_SETTINGS.h"
#include "notify/QM_UTC_ALARM_NOTIFICATION_WINDOW.h"
#include "prefs/QM_UTC_COLORS_WINDOW.h"
#include "prefs/QM_UTC_SETTINGS.h"
#include "widgets/Accessibility.h"
#include "widgets/ColourLabel.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
QString spoken(QWidget* control, QAccessible::Text what)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    return accessible ? accessible->text(what) : QString();
}

// Every window a user meets, each opened over the strip as the program opens it.
QWidget* openWindow(const QString& which, MainWindowFixture& fixture)
{
    QM_UTC_MAIN& strip = *fixture.window;
    SettingsStore& store = fixture.settings.store();
    QWidget* window = &strip;
    if (which == "settings") {
        window = new QM_UTC_SETTINGS(strip, strip.alarms(), fixture.launcher, store);
    } else if (which == "colours") {
        window = new QM_UTC_COLORS_WINDOW(*strip.LIVE_TIME_LABEL, store, &strip);
    } else if (which == "alarm settings") {
        window = new QM_UTC_ALARM_SETTINGS(strip.alarms(), store, fixture.launcher, &strip);
    } else if (which == "alarm notification") {
        AlarmSlot slot;
        slot.name = QStringLiteral("Tea");
        window = new QM_UTC_ALARM_NOTIFICATION_WINDOW(AlarmAnnouncement::of(3, slot), store,
                                                      fixture.launcher, &strip);
    } else if (which == "test notification") {
        window = new QM_UTC_ALARM_NOTIFICATION_WINDOW(Announcement::forTest(), store,
                                                      fixture.launcher, &strip);
    }
    window->show();
    return window;
}
} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestTime::pinUtcAndPlainFormat(); }
    void everyControlHasANameAndADescription_data();
    void everyControlHasANameAndADescription();
    void theStripReadsAsTheTime();
    void anAlarmTimeThatNeverFiresSaysSo();
};

void AccessibilityTest::everyControlHasANameAndADescription_data()
{
    QTest::addColumn<QString>("window");
    for (const char* window : {"strip", "settings", "colours", "alarm settings",
                               "alarm notification", "test notification"})
        QTest::newRow(window) << QString::fromLatin1(window);
}

void AccessibilityTest::everyControlHasANameAndADescription()
{
    QFETCH(QString, window);
    MainWindowFixture fixture;
    fixture.open();
    fixture.tickAt(TestTime::utcMs(2024, 5, 6, 7, 30, 5));
    QWidget* shown = openWindow(window, fixture);

    int controls = 0;
    for (QWidget* control : shown->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(control);
        const bool isControl =
            label || qobject_cast<QAbstractButton*>(control) || qobject_cast<QLineEdit*>(control);
        // A label with no text has nothing to read yet.
        if (!isControl || !control->isVisibleTo(shown) || (label && label->text().isEmpty()))
            continue;
        ++controls;
        const QString who =
            control->objectName() + QLatin1Char(' ') + spoken(control, QAccessible::Name);
        QVERIFY2(!spoken(control, QAccessible::Name).isEmpty(), qPrintable(who + ": no name"));
        QVERIFY2(!spoken(control, QAccessible::Description).isEmpty(),
                 qPrintable(who + ": no description"));
    }
    QVERIFY(controls >= 2);
}

void AccessibilityTest::theStripReadsAsTheTime()
{
    MainWindowFixture fixture;
    QM_UTC_MAIN& strip = fixture.open();
    QCOMPARE(spoken(strip.QUILL_MARSH_BUTTON, QAccessible::Name), QStringLiteral("Settings"));
    for (int second : {5, 6}) {
        fixture.tickAt(TestTime::utcMs(2024, 5, 6, 7, 30, second));
        QCOMPARE(spoken(strip.LIVE_TIME_LABEL, QAccessible::Name),
                 QStringLiteral("07:30:0%1").arg(second));
    }
    QCOMPARE(spoken(strip.LIVE_TIME_LABEL, QAccessible::Description),
             QStringLiteral("Live time label"));
}

void AccessibilityTest::anAlarmTimeThatNeverFiresSaysSo()
{
    MainWindowFixture fixture;
    fixture.open();
    QWidget* window = openWindow(QStringLiteral("alarm settings"), fixture);
    auto* time = window->findChild<AlarmTimeField*>(QStringLiteral("ALARM_2_TIME_TEXTBOX"));
    QCOMPARE(spoken(time, QAccessible::Name), QStringLiteral("Alarm 2 time"));
    time->setText(QStringLiteral("7:30"));
    QVERIFY(spoken(time, QAccessible::Description).contains(QStringLiteral("never fire")));
    time->setText(QStringLiteral("07:30:00"));
    QCOMPARE(spoken(time, QAccessible::Description), QStringLiteral("Alarm 2 time text field"));
}

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
