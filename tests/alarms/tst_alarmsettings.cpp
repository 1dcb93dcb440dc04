// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "ProblemCapture.h"
#include "TestTime.h"
#include "TestWindows.h"
#include "alarms/AlarmDateField.h"
#include "alarms/AlarmDaysField.h"
#include "alarms/AlarmRow.h"
#include "alarms/AlarmTimeField.h"
#include "alarms/DayToggle.h"
#include "alarms/QM_UTC_ALARM_SETTINGS.h"
#include "notify/QM_UTC_ALARM_NOTIFICATION_WINDOW.h"
#include "platform/Timer.h"
#include "platform/Twips.h"
#include "platform/WindowGeometry.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "widgets/ColourLabel.h"
#include "widgets/FittedText.h"
#include "widgets/ShownText.h"
#include "widgets/StoredTextField.h"
#include "widgets/TickBox.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>

using namespace SettingsKeys;
using Window = QM_UTC_ALARM_SETTINGS;

namespace {
qint64 utcMs(int h, int mi, int s)
{
    return TestTime::utcMs(2026, 12, 8, h, mi, s, 1);
}

// "KEY=value" entries into the store.
void store(MainWindowFixture& fixture, const QStringList& entries)
{
    QList<QPair<QString, QString>> values;
    for (const QString& entry : entries)
        values.append({entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1)});
    fixture.settings.writeValues(values);
}

QPointer<Window> openSettings(MainWindowFixture& fixture)
{
    auto* window = new Window(fixture.window->alarms(), fixture.settings.store(), fixture.launcher,
                              fixture.window.get(), &fixture.window->ringer());
    window->show();
    return window;
}

bool isOn(const QLineEdit* field)
{
    return field->isEnabled() && !field->isReadOnly() &&
           field->palette().color(QPalette::Base) != QColor(0xE0, 0xE0, 0xE0);
}

QList<int> activeTimers(QM_UTC_MAIN& main)
{
    QList<int> active;
    for (int n = 1; n <= alarmCount; ++n) {
        if (main.alarmTimer(n)->isActive())
            active.append(n);
    }
    return active;
}

QStringList linesOnDisk(const TestSettings& settings)
{
    QStringList lines = QString::fromUtf8(settings.readRaw()).split(QLatin1Char('\n'));
    lines.removeIf([](const QString& line) { return !line.contains(QLatin1Char('=')); });
    return lines;
}

// The keys OK writes, in the order it writes them.
QStringList okOrder()
{
    QStringList keys{"ALARM-SETTINGS-Left", "ALARM-SETTINGS-Top", "ENABLE_ALARMS_TICKBOX"};
    for (int n = 1; n <= alarmCount; ++n) {
        for (const char* key : {"ALARM_%1_TICKBOX", "ALARM_%1_NAME_TEXTBOX",
                                "ALARM_%1_TIME_TEXTBOX", "ALARM_%1_MESSAGE_TEXTBOX",
                                "ALARM_%1_RUN_COMMAND_TICKBOX", "ALARM_%1_RUN_COMMAND_TEXTBOX"})
            keys << QString::fromLatin1(key).arg(n);
    }
    for (const char* key :
         {"ALARM_%1_DISPLAY_MESSAGE_TICKBOX", "ALARM_%1_MESSAGE_AUTO_CLOSE_TICKBOX",
          "RUN_HIDDEN_%1_TICKBOX", "ALARM_%1_DAYS", "ALARM_%1_RING_TICKBOX", "ALARM_%1_DATE"}) {
        for (int n = 1; n <= alarmCount; ++n)
            keys << QString::fromLatin1(key).arg(n);
    }
    return keys;
}

QStringList fields(const AlarmSlot& slot)
{
    QStringList all{slot.name, slot.time, slot.message, slot.command, slot.days, slot.date};
    for (qint16 flag : {slot.enabled, slot.displayMessage, slot.autoClose, slot.runCommand,
                        slot.runHidden, slot.ring})
        all << QString::number(flag);
    return all;
}

// The tooltip as the user reads it.
QString shownTip(QWidget* widget)
{
    QHelpEvent ask(QEvent::ToolTip, QPoint(1, 1), widget->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(widget, &ask);
    QToolTip::hideText();
    if (!Qt::mightBeRichText(widget->toolTip()))
        return widget->toolTip();
    QTextDocument rendered;
    rendered.setHtml(widget->toolTip());
    return rendered.toPlainText();
}

// Answers the question the window asks: a button's caption, or "Escape" / "Enter".
void answerQuestion(QWidget* window, const QString& how)
{
    auto* question = window->findChild<QMessageBox*>(QStringLiteral("DROP_CHANGES_QUESTION"));
    QVERIFY(question && question->isVisible());
    QCOMPARE(question->windowModality(), Qt::WindowModal);
    if (how == "Escape" || how == "Enter") {
        QTest::keyClick(question, how == "Escape" ? Qt::Key_Escape : Qt::Key_Return);
        return;
    }
    for (QAbstractButton* button : question->buttons()) {
        if (button->text() == how)
            button->click();
    }
}
} // namespace

class AlarmSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestTime::pinUtcAndPlainFormat(); }
    void cleanup() { TestWindows::closeAll(); }

    void opensInTheStoredState_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<bool>("master");
        QTest::addColumn<QString>("row3"); // what of row 3 is on
        const QString masterOn = QStringLiteral("ENABLE_ALARMS_TICKBOX=1");
        QTest::newRow("empty store") << QStringList{} << false << "";
        QTest::newRow("master on, rows off") << QStringList{masterOn} << true << "tick hidden";
        QTest::newRow("row on under master off")
            << QStringList{"ALARM_3_TICKBOX=1"} << false << "fields hidden nothing";
        QTest::newRow("row on with a command but Run Hidden 2: nothing starts")
            << QStringList{masterOn, "ALARM_3_TICKBOX=1", "ALARM_3_RUN_COMMAND_TICKBOX=1",
                           "RUN_HIDDEN_3_TICKBOX=2"}
            << true << "tick fields command hidden nothing";
        QTest::newRow("row on with message and command")
            << QStringList{masterOn, "ALARM_3_TICKBOX=1", "ALARM_3_DISPLAY_MESSAGE_TICKBOX=1",
                           "ALARM_3_RUN_COMMAND_TICKBOX=1"}
            << true << "tick fields message command hidden";
        // A file from before Ring: the row that is on stays silent.
        QTest::newRow("row on that rings")
            << QStringList{masterOn, "ALARM_3_TICKBOX=1", "ALARM_3_RING_TICKBOX=1"} << true
            << "tick fields hidden ring";
        // Its off steps disable Run Hidden again.
        QTest::newRow("row flag 2 counts off")
            << QStringList{masterOn, "ALARM_3_TICKBOX=2"} << true << "tick";
    }

    void opensInTheStoredState()
    {
        QFETCH(QStringList, stored);
        QFETCH(bool, master);
        MainWindowFixture fixture;
        store(fixture, stored);
        QM_UTC_MAIN& main = fixture.open();
        main.alarms().setMasterSwitch(false);
        QPointer<Window> window = openSettings(fixture);

        QCOMPARE(WindowGeometry::outerTopLeft(window), Twips::toPixels(1000, 1000));
        // Cut to the screen where it is smaller, as the headless one is.
        QCOMPARE(WindowGeometry::outerSize(window),
                 Twips::toPixelSize(13680, 8355).boundedTo(window->screen()->size()));
        QCOMPARE(window->ENABLE_ALARMS_TICKBOX->isChecked(), master);
        QCOMPARE(main.alarms().masterSwitch(), qint16(master ? 1 : 0)); // set again on opening
        AlarmRow& row1 = window->row(1);
        QCOMPARE(row1.TICKBOX->isEnabled(), master);
        QCOMPARE(row1.RUN_HIDDEN_TICKBOX->isEnabled(), master);
        QVERIFY(!isOn(row1.NAME_TEXTBOX) && row1.MESSAGE_AUTO_CLOSE_TICKBOX->isEnabled());
        AlarmRow& row3 = window->row(3);
        const bool fields = isOn(row3.NAME_TEXTBOX) && isOn(row3.TIME_TEXTBOX) &&
                            row3.DISPLAY_MESSAGE_TICKBOX->isEnabled() &&
                            row3.RUN_COMMAND_TICKBOX->isEnabled() && row3.RING_TICKBOX->isEnabled();
        QStringList on;
        const QList<QPair<const char*, bool>> parts{
            {"tick", row3.TICKBOX->isEnabled()},
            {"fields", fields},
            {"message", isOn(row3.MESSAGE_TEXTBOX)},
            {"command", isOn(row3.RUN_COMMAND_TEXTBOX)},
            {"hidden", row3.RUN_HIDDEN_TICKBOX->isEnabled()},
            {"nothing", !row3.DOES_NOTHING_LABEL->isHidden()},
            {"ring", row3.RING_TICKBOX->isChecked()}};
        for (const auto& [part, isSo] : parts) {
            if (isSo)
                on << QLatin1String(part);
        }
        QTEST(on.join(QLatin1Char(' ')), "row3");
    }

    void rowOffClearsItsFlagsAndKeepsItsTexts()
    {
        MainWindowFixture fixture;
        store(fixture, {"ENABLE_ALARMS_TICKBOX=1"});
        fixture.open();
        QPointer<Window> window = openSettings(fixture);
        AlarmRow& row = window->row(6);
        row.TICKBOX->click();
        // Switched on by the user, the row rings: a new alarm never does nothing.
        QVERIFY(row.RING_TICKBOX->isEnabled() && row.RING_TICKBOX->value() == 1);
        const QList<TickBox*> subFlags{row.DISPLAY_MESSAGE_TICKBOX, row.MESSAGE_AUTO_CLOSE_TICKBOX,
                                       row.RUN_COMMAND_TICKBOX, row.RUN_HIDDEN_TICKBOX};
        for (TickBox* box : subFlags)
            box->click();
        QVERIFY(isOn(row.MESSAGE_TEXTBOX) && isOn(row.RUN_COMMAND_TEXTBOX));
        QVERIFY(row.RUN_COMMAND_TEXTBOX->toolTip().contains(
            QLatin1String("paplay /usr/share/sounds/freedesktop/stereo/alarm-clock-elapsed.oga")));
        row.MESSAGE_TEXTBOX->setText(QStringLiteral("Tea"));
        // Display Message leaves Auto Close alone.
        row.DISPLAY_MESSAGE_TICKBOX->click();
        QVERIFY(!isOn(row.MESSAGE_TEXTBOX) && row.MESSAGE_AUTO_CLOSE_TICKBOX->isEnabled() &&
                row.MESSAGE_AUTO_CLOSE_TICKBOX->isChecked());
        row.DISPLAY_MESSAGE_TICKBOX->click();

        row.DAYS->toggle(Qt::Sunday)->click();
        row.TICKBOX->click();
        QVERIFY(!row.DAYS->isEnabled());
        QCOMPARE(row.DAYS->value(), QStringLiteral("Mon Tue Wed Thu Fri Sat"));
        for (TickBox* box : subFlags + QList<TickBox*>{row.RING_TICKBOX})
            QVERIFY2(box->value() == 0 && !box->isEnabled(), qPrintable(box->objectName()));
        for (QLineEdit* field : QList<QLineEdit*>{row.NAME_TEXTBOX, row.TIME_TEXTBOX,
                                                  row.MESSAGE_TEXTBOX, row.RUN_COMMAND_TEXTBOX})
            QVERIFY2(!isOn(field) && field->isReadOnly(), qPrintable(field->objectName()));
        QCOMPARE(row.MESSAGE_TEXTBOX->text(), QStringLiteral("Tea"));
    }

    // A row on with no action ticked says so as the user ticks, and after OK the clock's
    // tooltip does too; the file keeps what the window showed.
    void aRowThatWouldDoNothingSaysSo_data()
    {
        QTest::addColumn<QStringList>("clicked");
        QTest::addColumn<bool>("nothing");
        // A row switched on rings: it takes unticking Ring to make it do nothing.
        QTest::newRow("row on: it rings") << QStringList{"TICKBOX"} << false;
        QTest::newRow("Ring unticked") << QStringList{"TICKBOX", "RING_TICKBOX"} << true;
        QTest::newRow("with a message")
            << QStringList{"TICKBOX", "RING_TICKBOX", "DISPLAY_MESSAGE_TICKBOX"} << false;
        QTest::newRow("with a command")
            << QStringList{"TICKBOX", "RING_TICKBOX", "RUN_COMMAND_TICKBOX"} << false;
        QTest::newRow("command ticked and unticked")
            << QStringList{"TICKBOX", "RING_TICKBOX", "RUN_COMMAND_TICKBOX", "RUN_COMMAND_TICKBOX"}
            << true;
        QTest::newRow("Auto Close is no action")
            << QStringList{"TICKBOX", "RING_TICKBOX", "MESSAGE_AUTO_CLOSE_TICKBOX"} << true;
        QTest::newRow("row off again")
            << QStringList{"TICKBOX", "RING_TICKBOX", "TICKBOX"} << false;
    }

    void aRowThatWouldDoNothingSaysSo()
    {
        QFETCH(QStringList, clicked);
        QFETCH(bool, nothing);
        MainWindowFixture fixture;
        store(fixture, {"ENABLE_ALARMS_TICKBOX=1", "ALARM_4_NAME_TEXTBOX=Gym",
                        "ALARM_4_TIME_TEXTBOX=07:30:00"});
        fixture.time.setEpochMs(TestTime::utcMs(2026, 12, 8, 4, 18, 0));
        QM_UTC_MAIN& main = fixture.open();
        QPointer<Window> window = openSettings(fixture);
        AlarmRow& row = window->row(4);
        for (const QString& box : clicked)
            window->findChild<TickBox*>("ALARM_4_" + box)->click();
        QCOMPARE(row.DOES_NOTHING_LABEL->isVisible(), nothing);
        QVERIFY(row.DOES_NOTHING_LABEL->toolTip().contains(AlarmSlot::doesNothingReason()));
        window->OK_BUTTON->click();
        const QString tip = shownTip(main.LIVE_TIME_LABEL);
        QCOMPARE(tip.endsWith("; it does nothing: " + AlarmSlot::doesNothingReason()), nothing);
        QCOMPARE(main.alarmSlot(4).doesNothing(), nothing);
    }

    // Whatever the user does with the master switch, what is armed, what the clock's tooltip
    // says, what the file holds, what the window shows when it opens again and what the next
    // start arms agree.
    void masterSwitchAgreesEverywhere_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<int>>("armed");
        QTest::newRow("off, close box") << QStringList{"off", "close"} << QList<int>{};
        QTest::newRow("off, on, close box")
            << QStringList{"off", "on", "close"} << QList<int>{1, 3};
        QTest::newRow("off, OK") << QStringList{"off", "ok"} << QList<int>{};
        QTest::newRow("off, on, OK") << QStringList{"off", "on", "ok"} << QList<int>{};
    }

    void masterSwitchAgreesEverywhere()
    {
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, armed);
        MainWindowFixture fixture;
        store(fixture, {"ENABLE_ALARMS_TICKBOX=1", "ALARM_1_TICKBOX=1", "ALARM_3_TICKBOX=1",
                        "ALARM_3_TIME_TEXTBOX=07:30:00", "ALARM_3_RUN_COMMAND_TICKBOX=1"});
        fixture.time.setEpochMs(utcMs(7, 29, 0));
        QM_UTC_MAIN& main = fixture.open();
        QCOMPARE(activeTimers(main), (QList<int>{1, 3}));
        QPointer<Window> window = openSettings(fixture);
        for (const QString& step : steps) {
            if (step == "off" || step == "on") {
                window->ENABLE_ALARMS_TICKBOX->click();
                // At once, OK or not.
                QCOMPARE(activeTimers(main), (step == "on" ? QList<int>{1, 3} : QList<int>{}));
                QCOMPARE(fixture.settings.onDisk("ENABLE_ALARMS_TICKBOX"),
                         QString(step == "on" ? "1" : "0"));
            } else if (step == "ok") {
                window->OK_BUTTON->click();
            } else {
                // The rows the switch cleared are edits: the close box asks before dropping them.
                QVERIFY(!window->close());
                answerQuestion(window, "Drop the changes");
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());

        QCOMPARE(activeTimers(main), armed);
        QCOMPARE(shownTip(main.LIVE_TIME_LABEL).startsWith("Next alarm"), !armed.isEmpty());
        QList<int> onInFile;
        for (int n = 1; n <= alarmCount; ++n) {
            if (fixture.settings.onDisk("ENABLE_ALARMS_TICKBOX") == "1" &&
                fixture.settings.onDisk(QStringLiteral("ALARM_%1_TICKBOX").arg(n)) == "1")
                onInFile.append(n);
        }
        QCOMPARE(onInFile, armed);
        window = openSettings(fixture);
        QList<int> shownOn;
        for (int n = 1; n <= alarmCount; ++n) {
            if (window->ENABLE_ALARMS_TICKBOX->isChecked() && window->row(n).TICKBOX->isChecked())
                shownOn.append(n);
        }
        QCOMPARE(shownOn, armed);
        QVERIFY(window->close()); // nothing edited: it closes at once
        fixture.tickAt(utcMs(7, 30, 0));
        QCOMPARE(fixture.launcher.launches.size(), armed.contains(3) ? 1 : 0);

        fixture.settings.reopen();
        QCOMPARE(activeTimers(fixture.open()), armed);
    }

    // The close box drops edits only once the user agrees; Enter and Escape keep them.
    void closeBoxAsksBeforeDroppingEdits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("stored");
        QTest::newRow("nothing edited") << ""
                                        << ""
                                        << "Alarm Name";
        QTest::newRow("edit undone") << "Alarm Name"
                                     << ""
                                     << "Alarm Name";
        QTest::newRow("keep editing") << "Tea"
                                      << "Keep editing"
                                      << "Tea";
        QTest::newRow("Escape keeps editing") << "Tea"
                                              << "Escape"
                                              << "Tea";
        QTest::newRow("Enter keeps editing") << "Tea"
                                             << "Enter"
                                             << "Tea";
        QTest::newRow("drop") << "Tea"
                              << "Drop the changes"
                              << "Alarm Name";
    }

    void closeBoxAsksBeforeDroppingEdits()
    {
        QFETCH(QString, typed);
        QFETCH(QString, answer);
        MainWindowFixture fixture;
        store(fixture, {"ENABLE_ALARMS_TICKBOX=1", "ALARM_2_TICKBOX=1"});
        fixture.open();
        QPointer<Window> window = openSettings(fixture);
        if (!typed.isEmpty()) {
            window->row(2).NAME_TEXTBOX->selectAll();
            QTest::keyClicks(window->row(2).NAME_TEXTBOX, typed);
        }
        QCOMPARE(window->close(), answer.isEmpty());
        if (!answer.isEmpty())
            answerQuestion(window, answer);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (window) {
            QVERIFY(window->isVisible());
            QCOMPARE(window->row(2).NAME_TEXTBOX->text(), typed);
            window->OK_BUTTON->click();
        }
        QTEST(fixture.settings.store().readText(alarm(AlarmField::NAME_TEXTBOX, 2)), "stored");
    }

    void okWithNothingChanged_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QList<int>>("timers");
        QTest::newRow("empty store") << QStringList{} << QList<int>{};
        // Kept on in the file, but not armed while Enable Alarms is off, as at the next start.
        QTest::newRow("row on under master off")
            << QStringList{"ALARM_3_TICKBOX=1"} << QList<int>{};
        QTest::newRow("master on, two rows on")
            << QStringList{"ENABLE_ALARMS_TICKBOX=1",
                           "ALARM_2_TICKBOX=1",
                           "ALARM_10_TICKBOX=1",
                           "ALARM_10_NAME_TEXTBOX= Tea, milk; \"no\" sugar ",
                           "RUN_HIDDEN_4_TICKBOX=1",
                           "ALARM_5_TIME_TEXTBOX=7:30",
                           "ALARM_2_DAYS=fri, MON",
                           "ALARM_10_DAYS=weekdays",
                           "ALARM_2_DATE=2026-12-24",
                           "ALARM_10_DATE=2026-02-30"}
            << QList<int>{2, 10};
        // Longer than a window can show, and than a text field holds by itself.
        QTest::newRow("texts longer than a window shows")
            << QStringList{"ENABLE_ALARMS_TICKBOX=1",
                           "ALARM_6_TICKBOX=1",
                           "ALARM_6_NAME_TEXTBOX=" + QString(100000, u'N'),
                           "ALARM_6_TIME_TEXTBOX=07:30:00" + QString(40000, u' '),
                           "ALARM_6_MESSAGE_TEXTBOX=" + QString(40000, u'm') + "end",
                           "ALARM_6_RUN_COMMAND_TEXTBOX=/bin/true " + QString(50000, u'c')}
            << QList<int>{6};
    }

    void okWithNothingChanged()
    {
        QFETCH(QStringList, stored);
        MainWindowFixture fixture;
        store(fixture, stored);
        QM_UTC_MAIN& main = fixture.open();
        main.alarmTimer(5)->setEnabled(true); // a row that is off stops its timer
        const AlarmSlots storedSlots = loadAlarmSlots(fixture.settings.store());
        QPointer<Window> window = openSettings(fixture);
        for (QLineEdit* field : window->findChildren<QLineEdit*>())
            QVERIFY(field->text().size() <= ShownText::longest);
        window->OK_BUTTON->click();

        QTEST(activeTimers(main), "timers");
        // Every key rewritten, the ten alarms' days too, on disk as the handler returns.
        const QStringList lines = linesOnDisk(fixture.settings);
        QCOMPARE(lines.size(), 123);
        QVERIFY(lines.contains(QStringLiteral("ALARM-SETTINGS-Top=1000")));
        // A new file lists the keys as OK wrote them.
        if (stored.isEmpty()) {
            QStringList keys;
            for (const QString& line : lines)
                keys << line.section(QLatin1Char('='), 0, 0);
            QCOMPARE(keys, okOrder());
        }
        fixture.settings.reopen();
        const AlarmSlots savedSlots = loadAlarmSlots(fixture.settings.store());
        for (int n = 1; n <= alarmCount; ++n) {
            QCOMPARE(fields(main.alarmSlot(n)), fields(storedSlots[n - 1]));
            QCOMPARE(fields(savedSlots[n - 1]), fields(storedSlots[n - 1]));
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
    }

    // A hand edit of the file while the window is open stays, but where the person changed the
    // same field here; the alarms run as saved.
    void okKeepsHandEditsMadeMeanwhile()
    {
        MainWindowFixture fixture;
        store(fixture, {"ENABLE_ALARMS_TICKBOX=1", "ALARM_3_TICKBOX=1", "ALARM_3_NAME_TEXTBOX=Tea",
                        "ALARM_3_TIME_TEXTBOX=07:00:00"});
        QM_UTC_MAIN& main = fixture.open();
        QPointer<Window> window = openSettings(fixture);
        store(fixture, {"ALARM_3_NAME_TEXTBOX=Coffee", "ALARM_3_TIME_TEXTBOX=08:00:00",
                        "ALARM_5_TICKBOX=1", "ALARM_3_RING_TICKBOX=1", "SOUND_FILE=/tmp/bell.oga"});
        AlarmRow& row = window->row(3);
        row.TIME_TEXTBOX->selectAll();
        QTest::keyClicks(row.TIME_TEXTBOX, QStringLiteral("09:00:00"));
        window->OK_BUTTON->click();

        QCOMPARE(fixture.settings.onDisk("ALARM_3_NAME_TEXTBOX"), QStringLiteral("Coffee"));
        QCOMPARE(fixture.settings.onDisk("ALARM_3_TIME_TEXTBOX"), QStringLiteral("09:00:00"));
        QCOMPARE(fixture.settings.onDisk("ALARM_5_TICKBOX"), QStringLiteral("1"));
        QCOMPARE(fixture.settings.onDisk("ALARM_3_RING_TICKBOX"), QStringLiteral("1"));
        QCOMPARE(fixture.settings.onDisk("SOUND_FILE"), QStringLiteral("/tmp/bell.oga"));
        QCOMPARE(main.alarmSlot(3).name, QStringLiteral("Coffee"));
        QCOMPARE(main.alarmSlot(3).time, QStringLiteral("09:00:00"));
        QCOMPARE(activeTimers(main), (QList<int>{3, 5}));
    }

    // A name longer than the field shows: its "…" stands for the rest, which an edit before
    // or after it keeps and only deleting the "…" removes.
    void editingALongTextKeepsTheRest_data()
    {
        QTest::addColumn<QStringList>("steps"); // keys, or "+text" put in as typed or pasted
        QTest::addColumn<QString>("saved");     // <head>: what the field shows, <rest>: the rest
        QTest::newRow("typed at the start") << QStringList{"Home", "+X"} << "X<head><rest>";
        QTest::newRow("typed before the …")
            << QStringList{"End", "Left", "+\u2026"} << "<head>\u2026<rest>";
        QTest::newRow("typed after the …") << QStringList{"End", "+X"} << "<head><rest>X";
        QTest::newRow("the … deleted") << QStringList{"End", "Backspace"} << "<head>";
        QTest::newRow("deleted and undone")
            << QStringList{"End", "Backspace", "Undo"} << "<head><rest>";
        QTest::newRow("all replaced") << QStringList{"SelectAll", "+Tea"} << "Tea";
    }

    void editingALongTextKeepsTheRest()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, saved);
        const QString head(ShownText::longest - 1, u'a');
        const QString rest = QStringLiteral("REST") + QString(10000, u'b');
        MainWindowFixture fixture;
        store(fixture, {"ENABLE_ALARMS_TICKBOX=1", "ALARM_6_TICKBOX=1",
                        "ALARM_6_NAME_TEXTBOX=" + head + rest});
        QM_UTC_MAIN& main = fixture.open();
        QPointer<Window> window = openSettings(fixture);
        StoredTextField* name = window->row(6).NAME_TEXTBOX;
        QCOMPARE(name->text(), head + QChar(0x2026));
        const QMap<QString, Qt::Key> keys{{"Home", Qt::Key_Home},
                                          {"End", Qt::Key_End},
                                          {"Left", Qt::Key_Left},
                                          {"Backspace", Qt::Key_Backspace}};
        for (const QString& step : steps) {
            if (step.startsWith(u'+'))
                name->insert(step.mid(1));
            else if (step == "Undo")
                name->undo();
            else if (step == "SelectAll")
                name->selectAll();
            else
                QTest::keyClick(name, keys.value(step));
        }
        window->OK_BUTTON->click();
        saved.replace(QStringLiteral("<head>"), head).replace(QStringLiteral("<rest>"), rest);
        QCOMPARE(fixture.settings.onDisk("ALARM_6_NAME_TEXTBOX"), saved);
        QCOMPARE(main.alarmSlot(6).name, saved);
    }

    void okMakesTheAlarmFireAtItsNewTime()
    {
        MainWindowFixture fixture;
        store(fixture, {"ENABLE_ALARMS_TICKBOX=1", "ALARM_2_TICKBOX=1",
                        "ALARM_2_NAME_TEXTBOX=<b>Tea</b>", "ALARM_2_TIME_TEXTBOX=07:30:00",
                        "ALARM_2_RUN_COMMAND_TICKBOX=1", "ALARM_2_RUN_COMMAND_TEXTBOX=wake"});
        fixture.time.setEpochMs(TestTime::utcMs(2026, 12, 8, 4, 18, 0));
        QM_UTC_MAIN& main = fixture.open();
        QCOMPARE(shownTip(main.LIVE_TIME_LABEL),
                 QStringLiteral("Next alarm: <b>Tea</b> at 07:30:00, in 3 h 12 min"));
        fixture.tickAt(utcMs(7, 30, 0));
        QCOMPARE(fixture.launcher.launches.size(), 1);

        QPointer<Window> window = openSettings(fixture);
        AlarmRow& row = window->row(2);
        row.TIME_TEXTBOX->selectAll();
        QTest::keyClicks(row.TIME_TEXTBOX, QStringLiteral("07:30:30"));
        row.RUN_HIDDEN_TICKBOX->click();
        window->OK_BUTTON->click();
        QCOMPARE(shownTip(main.LIVE_TIME_LABEL),
                 QStringLiteral("Next alarm: <b>Tea</b> at 07:30:30, in less than a minute"));

        fixture.tickAt(utcMs(7, 30, 1));
        QCOMPARE(fixture.launcher.launches.size(), 1);
        fixture.tickAt(utcMs(7, 30, 30)); // a new time may fire again the same day
        QCOMPARE(fixture.launcher.launches.size(), 2);
        QCOMPARE(fixture.launcher.launches.last().style, LaunchStyle::Hidden);
        QCOMPARE(fixture.settings.onDisk("ALARM_2_TIME_TEXTBOX"), "07:30:30");
    }

    // What the user types in short becomes HH:MM:SS when the field loses the keyboard, or on
    // OK; what cannot be read stays as typed, in red, and a time from the file stays as it is.
    void timeIsCompletedOrMarkedWhenItNeverFires_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("leaves"); // the field before OK
        QTest::addColumn<QString>("kept");
        QTest::addColumn<bool>("neverFires");
        const auto row = [](const char* name, const char* stored, const char* typed, bool leaves,
                            const char* kept, bool neverFires) {
            QTest::newRow(name) << QString(stored) << QString(typed) << leaves << QString(kept)
                                << neverFires;
        };
        row("real time", "", "23:59:59", true, "23:59:59", false);
        row("no seconds", "", "7:30", true, "07:30:00", false);
        row("digits alone", "", "730", true, "07:30:00", false);
        row("completed by OK", "", "7:30:5", false, "07:30:05", false);
        row("hour 24", "", "24:00:00", true, "24:00:00", true);
        row("unreadable", "", "7:60", true, "7:60", true);
        row("typing stops at eight", "", "07:30:00:15", true, "07:30:00", false);
        row("stored short time kept", "7:30", "", true, "7:30", true);
        row("longer stored time kept whole", "07:30:00 later", "", true, "07:30:00 later", true);
        row("and never grows", "07:30:00 later", "x", true, "07:30:00 later", true);
    }

    void timeIsCompletedOrMarkedWhenItNeverFires()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, leaves);
        QFETCH(QString, kept);
        QFETCH(bool, neverFires);
        MainWindowFixture fixture;
        store(fixture, {"ALARM_1_TICKBOX=1"});
        if (!stored.isEmpty())
            store(fixture, {"ALARM_1_TIME_TEXTBOX=" + stored});
        QM_UTC_MAIN& main = fixture.open();
        QPointer<Window> window = openSettings(fixture);
        AlarmTimeField* field = window->row(1).TIME_TEXTBOX;
        if (!typed.isEmpty()) {
            if (stored.isEmpty())
                field->clear();
            field->end(false);
            QTest::keyClicks(field, typed);
        }
        if (leaves) {
            QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
            QApplication::sendEvent(field, &tab);
            QCOMPARE(field->text(), kept);
            QCOMPARE(field->palette().color(QPalette::Text) == QColor(Qt::red), neverFires);
            QCOMPARE(field->toolTip().contains(QLatin1String("never fire")), neverFires);
        }
        window->OK_BUTTON->click();
        QCOMPARE(main.alarmSlot(1).time, kept);
        QCOMPARE(fixture.settings.onDisk("ALARM_1_TIME_TEXTBOX"), kept);
    }

    // Days of the week: shown from the file, switched by a click, saved by OK with the row.
    void daysAreSavedWithTheRow_data()
    {
        QTest::addColumn<QString>("stored"); // "-": no key
        QTest::addColumn<QStringList>("clicked");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<int>("problems");
        const QString everyDay = QStringLiteral("Mon Tue Wed Thu Fri Sat Sun");
        const auto row = [](const char* name, const char* stored, const QStringList& clicked,
                            const QString& shown, const char* saved, int problems = 0) {
            QTest::newRow(name) << QString(stored) << clicked << shown << QString(saved)
                                << problems;
        };
        row("no key: every day", "-", {}, everyDay, "Mon Tue Wed Thu Fri Sat Sun");
        row("weekend switched off", "-", {"SAT", "SUN"}, everyDay, "Mon Tue Wed Thu Fri");
        row("written by hand: kept", "fri, MON", {}, "Mon Fri", "fri, MON");
        row("written by hand, switched", "fri, MON", {"WED"}, "Mon Fri", "Mon Wed Fri");
        row("switched and back: kept", "fri, MON", {"WED", "WED"}, "Mon Fri", "fri, MON");
        row("unreadable: every day, said once, kept", "weekdays", {}, everyDay, "weekdays", 1);
        row("the last day off: none", "Tue", {"TUE"}, "Tue", "");
    }

    void daysAreSavedWithTheRow()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, clicked);
        QFETCH(QString, saved);
        MainWindowFixture fixture;
        store(fixture, {"ENABLE_ALARMS_TICKBOX=1", "ALARM_7_TICKBOX=1"});
        if (stored != "-")
            store(fixture, {"ALARM_7_DAYS=" + stored});
        ProblemCapture problems;
        QM_UTC_MAIN& main = fixture.open();
        QPointer<Window> window = openSettings(fixture);
        AlarmDaysField* days = window->row(7).DAYS;
        QVERIFY(days->isEnabled());
        QTEST(days->days().text(), "shown");
        for (const QString& day : clicked)
            QTest::mouseClick(window->findChild<DayToggle*>("ALARM_7_DAYS_" + day + "_TICKBOX"),
                              Qt::LeftButton);
        const QString opened =
            stored == "-" ? QStringLiteral("Mon Tue Wed Thu Fri Sat Sun") : stored;
        QCOMPARE(window->hasUnsavedEdits(), saved != opened);
        window->OK_BUTTON->click();
        QCOMPARE(fixture.settings.onDisk("ALARM_7_DAYS"), saved);
        QCOMPARE(main.alarmSlot(7).days, saved);
        QTEST(int(problems.lines.size()), "problems");
    }

    // Once on a date: shown from the file (red once past), chosen in the calendar, saved by OK.
    void dateIsShownChosenAndSaved_data()
    {
        QTest::addColumn<QString>("stored"); // "-": no key
        QTest::addColumn<QString>("chosen"); // "" nothing, "days" back to its days, or a date
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("past");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<int>("problems");
        const auto row = [](const char* name, const char* stored, const char* chosen,
                            const char* shown, bool past, const char* saved, int problems = 0) {
            QTest::newRow(name) << QString(stored) << QString(chosen) << QString(shown) << past
                                << QString(saved) << problems;
        };
        row("no key: its days", "-", "", "Once", false, "");
        row("ahead: shown, kept", "2026-12-24", "", "24 Dec", false, "2026-12-24");
        row("chosen in the calendar", "-", "2026-12-25", "25 Dec", false, "2026-12-25");
        row("back to its days", "2026-12-24", "days", "Once", false, "");
        row("today, its time gone by: past", "2026-12-08", "", "8 Dec", true, "2026-12-08");
        row("no such date: said once, kept", "2026-02-30", "", "Once", false, "2026-02-30", 1);
    }

    void dateIsShownChosenAndSaved()
    {
        QFETCH(QString, stored);
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        MainWindowFixture fixture;
        store(fixture,
              {"ENABLE_ALARMS_TICKBOX=1", "ALARM_7_TICKBOX=1", "ALARM_7_TIME_TEXTBOX=07:30:00"});
        if (stored != "-")
            store(fixture, {"ALARM_7_DATE=" + stored});
        ProblemCapture problems;
        QM_UTC_MAIN& main = fixture.open();
        fixture.tickAt(TestTime::utcMs(2026, 12, 8, 8, 0, 0));
        QPointer<Window> window = openSettings(fixture);
        AlarmDateField* date = window->findChild<AlarmDateField*>("ALARM_7_DATE");
        QVERIFY(date && date->isEnabled());
        if (chosen == "days")
            date->findChild<QMenu*>()->actions().constLast()->trigger();
        else if (!chosen.isEmpty())
            emit date->calendar()->clicked(QDate::fromString(chosen, Qt::ISODate));
        QTEST(date->text(), "shown");
        QFETCH(bool, past);
        QCOMPARE(date->palette().color(QPalette::ButtonText) == Qt::red, past);
        QCOMPARE(date->toolTip().contains("passed"), past);
        window->OK_BUTTON->click();
        QCOMPARE(fixture.settings.onDisk("ALARM_7_DATE"), saved);
        QCOMPARE(main.alarmSlot(7).date, saved);
        // The clock's jump from 1970 is reported too: only the date's report counts here.
        QTEST(int(problems.lines.filter("ALARM_7_DATE").size()), "problems");
    }

    // Short names and the first day of the week as the region has them, in the row's free room.
    void daysFollowTheRegionalFormat_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("first");
        QTest::addColumn<Qt::DayOfWeek>("firstDay");
        QTest::newRow("British") << "en_GB"
                                 << "Mon" << Qt::Monday;
        QTest::newRow("American") << "en_US"
                                  << "Sun" << Qt::Sunday;
        QTest::newRow("French") << "fr_FR"
                                << "lun." << Qt::Monday;
        QTest::newRow("Japanese") << "ja_JP" << QString::fromUtf8("\xe6\x97\xa5") << Qt::Sunday;
    }

    void daysFollowTheRegionalFormat()
    {
        QFETCH(QString, locale);
        QFETCH(Qt::DayOfWeek, firstDay);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        MainWindowFixture fixture;
        fixture.open();
        QPointer<Window> window = openSettings(fixture);
        QLocale::setDefault(before);
        for (int n = 1; n <= alarmCount; ++n) {
            AlarmDaysField* days = window->row(n).DAYS;
            QTEST(days->toggles().first()->text(), "first");
            QCOMPARE(days->toggles().first()->day(), firstDay);
            for (DayToggle* toggle : days->toggles()) {
                const QFont shown =
                    FittedText::line(toggle->font(), toggle->text(), toggle->width() - 4);
                QVERIFY2(shown.pointSizeF() >= 6, qPrintable(toggle->text()));
            }
            for (QWidget* other : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (other != days && other->isVisibleTo(window))
                    QVERIFY2(!days->geometry().intersects(other->geometry()),
                             qPrintable(days->objectName() + " covers " + other->objectName()));
            }
        }
    }

    // One sound for all alarms: typed or chosen here, tried at once, stored by OK alone, and
    // only once chosen.
    void soundIsChosenTriedAndSavedByOk_data()
    {
        QTest::addColumn<QString>("chosen"); // typed, or picked in the file dialog
        QTest::addColumn<QString>("closing");
        QTest::addColumn<QString>("stored");
        QTest::newRow("nothing chosen: no key written") << ""
                                                        << "OK"
                                                        << "(none)";
        QTest::newRow("typed, OK") << "/home/ann/bell.oga"
                                   << "OK"
                                   << "/home/ann/bell.oga";
        QTest::newRow("typed, dropped") << "/home/ann/bell.oga"
                                        << "Drop the changes"
                                        << "(none)";
        QTest::newRow("picked, OK") << "dialog"
                                    << "OK"
                                    << "dialog";
    }

    void soundIsChosenTriedAndSavedByOk()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, closing);
        QFETCH(QString, stored);
        QTemporaryDir folder;
        const QString picked = folder.filePath(QStringLiteral("bell.oga"));
        QFile(picked).open(QIODevice::WriteOnly);
        MainWindowFixture fixture;
        store(fixture, {"SOUND_VOLUME=35"});
        fixture.open();
        QPointer<Window> window = openSettings(fixture);
        if (chosen == "dialog") {
            window->SOUND_CHOOSE_BUTTON->click();
            auto* dialog = window->findChild<QFileDialog*>(QStringLiteral("SOUND_FILE_DIALOG"));
            QVERIFY(dialog && dialog->isVisible());
            dialog->selectFile(picked);
            static_cast<QDialog*>(dialog)->accept();
            chosen = stored = picked;
        } else if (!chosen.isEmpty()) {
            QTest::keyClicks(window->SOUND_FILE_TEXTBOX, chosen);
        }
        QCOMPARE(window->SOUND_FILE_TEXTBOX->text(), chosen);
        window->TRY_SOUND_BUTTON->click();
        QCOMPARE(fixture.sound.played, (QList<SoundRequest>{{chosen, 35, 0, true}}));

        if (closing == "OK") {
            window->OK_BUTTON->click();
        } else {
            QVERIFY(!window->close());
            answerQuestion(window, closing);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
        QCOMPARE(fixture.settings.hasOnDisk("SOUND_FILE") ? fixture.settings.onDisk("SOUND_FILE")
                                                          : QStringLiteral("(none)"),
                 stored);
    }

    void testButtonOpensTheTestWindowOverThis()
    {
        MainWindowFixture fixture;
        store(fixture, {"ENABLE_ALARMS_TICKBOX=1", "ALARM_4_TICKBOX=1"});
        QM_UTC_MAIN& main = fixture.open();
        QPointer<Window> window = openSettings(fixture);
        window->row(4).NAME_TEXTBOX->setText(QStringLiteral("Edited"));
        const QStringList before = linesOnDisk(fixture.settings);

        QPointer<QM_UTC_ALARM_NOTIFICATION_WINDOW> test;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            test =
                qobject_cast<QM_UTC_ALARM_NOTIFICATION_WINDOW*>(QApplication::activeModalWidget());
            if (!test)
                return;
            poll.stop();
            QCOMPARE(test->objectName(), QStringLiteral("QM_UTC_ALARM_TEST_NOTIFICATION_WINDOW"));
            QCOMPARE(test->parentWidget(), window.data());
            QVERIFY(!test->testAttribute(Qt::WA_ShowWithoutActivating));
            // It rings while it is open, as an alarm that rings would.
            QCOMPARE(fixture.sound.heard, QStringList{"loop"});
            test->ALARM_RUN_COMMAND_TICKBOX->click();
            test->ALARM_RUN_COMMAND_TEXTBOX->setText(QStringLiteral("notify-send typed"));
            test->RUN_NOW_BUTTON->click();
            test->ALARM_MESSAGE_AUTO_CLOSE_TICKBOX->click();
            WindowGeometry::setOuterTopLeft(test, QPoint(100, 120));
            test->close();
        });
        poll.start(10);
        window->TEST_ALARM_WINDOW_BUTTON->click();

        QVERIFY(test.isNull());
        QCOMPARE(fixture.sound.heard, (QStringList{"loop", "stop"}));
        QCOMPARE(fixture.launcher.launches.size(), 1);
        QCOMPARE(fixture.launcher.launches[0].commandLine, QStringLiteral("notify-send typed"));
        QStringList added = linesOnDisk(fixture.settings);
        added.removeIf([&](const QString& line) { return before.contains(line); });
        QCOMPARE(added, (QStringList{"ALARM-TEST-NOTIFICATION-MESSAGE-Left=1500",
                                     "ALARM-TEST-NOTIFICATION-MESSAGE-Top=1800"}));
        QCOMPARE(window->row(4).NAME_TEXTBOX->text(), QStringLiteral("Edited"));
        QVERIFY(window->isVisible() && window->row(4).TICKBOX->isChecked());
        QCOMPARE(main.alarmSlot(4).name, QStringLiteral("Alarm Name"));
    }
};

QTEST_MAIN(AlarmSettingsTest)
#include "tst_alarmsettings.moc"
