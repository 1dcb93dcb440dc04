// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "ProblemCapture.h"
#include "TestTime.h"
#include "TestWindows.h"
#include "notify/DesktopNotifier.h"
#include "notify/QM_UTC_ALARM_NOTIFICATION_WINDOW.h"
#include "settings/SettingsKeys.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDialog>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString serviceName = QStringLiteral("org.freedesktop.Notifications");

// A private bus that knows no services but the ones the test registers.
const char* busConfig = "<busconfig>\n"
                        "  <type>session</type>\n"
                        "  <listen>unix:tmpdir=%1</listen>\n"
                        "  <policy context=\"default\">\n"
                        "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                        "    <allow eavesdrop=\"true\"/>\n"
                        "    <allow own=\"*\"/>\n"
                        "  </policy>\n"
                        "</busconfig>\n";
} // namespace

// What a desktop's notification service would show, recorded.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown
    {
        QString app;
        QString icon;
        QString summary;
        QString body;
        QVariantMap hints;
        int timeout = -1;
    };
    QMap<uint, Shown> shown;
    QList<uint> closed;
    QStringList capabilities;

public slots:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString& app, uint, const QString& icon, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap& hints, int timeout)
    {
        const uint id = ++m_lastId;
        shown.insert(id, {app, icon, summary, body, hints, timeout});
        return id;
    }
    void CloseNotification(uint id) { closed.append(id); }

private:
    uint m_lastId = 0;
};

class DesktopNotifierTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void postedWithTheWindowAndWithdrawnWithIt_data();
    void postedWithTheWindowAndWithdrawnWithIt();
    void closedBeforeTheServiceAnswers();
    void withoutServiceNothingIsSaidAndNothingWaits_data();
    void withoutServiceNothingIsSaidAndNothingWaits();
    void anAlarmWindowIsPostedUnlessSwitchedOff_data();
    void anAlarmWindowIsPostedUnlessSwitchedOff();

private:
    QDBusConnection client(const QString& address);

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    FakeNotifications m_fake;
    int m_clients = 0;
};

void DesktopNotifierTest::initTestCase()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    QVERIFY2(!daemon.isEmpty(), "dbus-daemon is missing (run scripts/setup.sh)");
    QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QString::fromLatin1(busConfig).arg(m_dir.path()).toUtf8());
    config.close();
    m_daemon.start(daemon, {QStringLiteral("--config-file=") + config.fileName(),
                            QStringLiteral("--print-address"), QStringLiteral("--nofork")});
    QVERIFY(m_daemon.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(m_daemon.canReadLine(), 10000);
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    // The clock's own notifier takes the session bus.
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());

    QDBusConnection service = QDBusConnection::connectToBus(m_address, QStringLiteral("service"));
    QVERIFY(service.isConnected());
    QVERIFY(service.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &m_fake,
                                   QDBusConnection::ExportAllSlots));
    QVERIFY(service.registerService(serviceName));
}

void DesktopNotifierTest::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("service"));
    m_daemon.kill();
    m_daemon.waitForFinished();
}

void DesktopNotifierTest::init()
{
    m_fake.shown.clear();
    m_fake.closed.clear();
    m_fake.capabilities = QStringList{QStringLiteral("body")};
}

void DesktopNotifierTest::cleanup()
{
    TestWindows::closeAll();
}

QDBusConnection DesktopNotifierTest::client(const QString& address)
{
    return QDBusConnection::connectToBus(address, QStringLiteral("client%1").arg(++m_clients));
}

void DesktopNotifierTest::postedWithTheWindowAndWithdrawnWithIt_data()
{
    QTest::addColumn<QStringList>("capabilities");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("shownSummary");
    QTest::addColumn<QString>("shownBody");

    QTest::newRow("plain text") << QStringList{"body"} << "Tea"
                                << "Cups <2> & milk"
                                << "Tea"
                                << "Cups <2> & milk";
    QTest::newRow("body read as markup") << QStringList{"body", "body-markup"} << "Tea"
                                         << "Cups <2> & milk"
                                         << "Tea"
                                         << "Cups &lt;2&gt; &amp; milk";
    QTest::newRow("no name") << QStringList{} << " "
                             << ""
                             << "QM-UTC"
                             << "";
}

void DesktopNotifierTest::postedWithTheWindowAndWithdrawnWithIt()
{
    QFETCH(QStringList, capabilities);
    QFETCH(QString, summary);
    QFETCH(QString, body);
    m_fake.capabilities = capabilities;
    DesktopNotifier notifier(client(m_address));
    auto* window = new QDialog;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();

    notifier.post(window, summary, body);
    QTRY_COMPARE(m_fake.shown.size(), 1);
    const FakeNotifications::Shown shown = m_fake.shown.first();
    QTEST(shown.summary, "shownSummary");
    QTEST(shown.body, "shownBody");
    QCOMPARE(shown.app, QStringLiteral("QM-UTC"));
    QCOMPARE(shown.icon, QStringLiteral("qm-utc"));
    QCOMPARE(shown.hints.value(QStringLiteral("desktop-entry")).toString(),
             QStringLiteral("qm-utc"));
    QCOMPARE(shown.hints.value(QStringLiteral("urgency")).toInt(), 2);
    // Silent, with no sound of its own: the alarm's sound is the clock's to play.
    QCOMPARE(shown.hints.value(QStringLiteral("suppress-sound")), QVariant(true));
    QVERIFY(!shown.hints.contains(QStringLiteral("sound-file")) &&
            !shown.hints.contains(QStringLiteral("sound-name")));
    QCOMPARE(shown.timeout, 0);
    QVERIFY(m_fake.closed.isEmpty());

    window->close();
    QTRY_COMPARE(m_fake.closed, QList<uint>{m_fake.shown.firstKey()});
}

void DesktopNotifierTest::closedBeforeTheServiceAnswers()
{
    DesktopNotifier notifier(client(m_address));
    QDialog first;
    notifier.post(&first, QStringLiteral("First"), QString());
    QTRY_COMPARE(m_fake.shown.size(), 1);

    // Sent at once now that the service is known, and closed before its answer is back.
    auto* window = new QDialog;
    notifier.post(window, QStringLiteral("Tea"), QStringLiteral("now"));
    delete window;
    QTRY_COMPARE(m_fake.shown.size(), 2);
    QTRY_COMPARE(m_fake.closed, QList<uint>{m_fake.shown.lastKey()});
}

void DesktopNotifierTest::withoutServiceNothingIsSaidAndNothingWaits_data()
{
    QTest::addColumn<bool>("bus");
    QTest::newRow("no bus") << false;
    QTest::newRow("bus without the service") << true;
}

void DesktopNotifierTest::withoutServiceNothingIsSaidAndNothingWaits()
{
    QFETCH(bool, bus);
    QDBusConnection service(QStringLiteral("service"));
    QVERIFY(service.unregisterService(serviceName));
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    ProblemCapture problems;

    DesktopNotifier notifier(client(bus ? m_address : m_dir.filePath(QStringLiteral("none"))));
    QDialog window;
    QElapsedTimer elapsed;
    elapsed.start();
    notifier.post(&window, QStringLiteral("Tea"), QStringLiteral("now"));
    QVERIFY(elapsed.elapsed() < 1000);
    QTest::qWait(300);
    QVERIFY(service.registerService(serviceName));
    QCOMPARE(problems.lines, QStringList());
    QVERIFY(m_fake.shown.isEmpty());
}

void DesktopNotifierTest::anAlarmWindowIsPostedUnlessSwitchedOff_data()
{
    QTest::addColumn<QString>("key"); // empty: not in the file
    QTest::addColumn<int>("posted");
    QTest::newRow("key missing") << "" << 1;
    QTest::newRow("on") << "1" << 1;
    QTest::newRow("off") << "0" << 0;
}

void DesktopNotifierTest::anAlarmWindowIsPostedUnlessSwitchedOff()
{
    using namespace SettingsKeys;
    QFETCH(QString, key);
    QFETCH(int, posted);
    TestTime::pinUtcAndPlainFormat();
    MainWindowFixture fixture;
    fixture.settings.writeValues({{ENABLE_ALARMS_TICKBOX.name, "1"},
                                  {alarm(AlarmField::TICKBOX, 3).name, "1"},
                                  {alarm(AlarmField::NAME_TEXTBOX, 3).name, "Tea"},
                                  {alarm(AlarmField::TIME_TEXTBOX, 3).name, "07:30:00"},
                                  {alarm(AlarmField::MESSAGE_TEXTBOX, 3).name, "Kettle on"},
                                  {alarm(AlarmField::DISPLAY_MESSAGE_TICKBOX, 3).name, "1"}});
    if (!key.isEmpty())
        fixture.settings.writeValues({{DESKTOP_NOTIFICATIONS.name, key}});
    // Started on the alarm's day: a clock that jumped there from 1970 would report it missed.
    fixture.time.setEpochMs(TestTime::utcMs(2026, 12, 8, 7, 29, 58, 1));
    QM_UTC_MAIN& strip = fixture.open();
    fixture.tickAt(TestTime::utcMs(2026, 12, 8, 7, 29, 59, 1));
    fixture.tickAt(TestTime::utcMs(2026, 12, 8, 7, 30, 0, 1));
    QM_UTC_ALARM_NOTIFICATION_WINDOW* window =
        strip.notifier().openWindow(QStringLiteral("QM_UTC_ALARM_3_NOTIFICATION_WINDOW"));
    QVERIFY(window);

    if (posted == 0) {
        QTest::qWait(300);
        QVERIFY(m_fake.shown.isEmpty());
        return;
    }
    QTRY_COMPARE(m_fake.shown.size(), 1);
    QCOMPARE(m_fake.shown.first().summary, QStringLiteral("Tea"));
    QCOMPARE(m_fake.shown.first().body, QStringLiteral("Kettle on"));
    QCOMPARE(m_fake.shown.first().icon, QStringLiteral("qm-utc"));
    window->OK_BUTTON->click();
    QTRY_COMPARE(m_fake.closed, QList<uint>{m_fake.shown.firstKey()});
}

QTEST_MAIN(DesktopNotifierTest)
#include "tst_desktopnotifier.moc"
