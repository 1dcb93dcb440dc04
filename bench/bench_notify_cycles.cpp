// SPDX-License-Identifier: GPL-3.0-or-later
// Opens and closes an alarm's notification window CYCLES times and reports this process's
// resident memory before and after, to show whether anything of a closed window stays behind.
// The baseline is taken after a few warm-up cycles, once fonts and styles have been loaded.
// Usage: bench_notify_cycles [CYCLES]   (on the display QT_QPA_PLATFORM and DISPLAY give)
// Prints one line: "cycles N rss_before_kb A rss_after_kb B hwm_kb C seconds S".

#include "alarms/AlarmSlot.h"
#include "notify/Announcement.h"
#include "notify/QM_UTC_ALARM_NOTIFICATION_WINDOW.h"
#include "platform/CommandLauncher.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <cstdio>

namespace {
class NoLauncher final : public CommandLauncher
{
public:
    LaunchResult launch(const QString&, LaunchStyle) override { return {}; }
};

long statusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Shown until the platform says it is on screen (at most two seconds), then closed as with
// its close box, and gone once the deferred deletion has run.
bool cycle(SettingsStore& settings, CommandLauncher& launcher, QWidget& owner)
{
    AlarmSlot slot;
    slot.name = QStringLiteral("Cycle");
    slot.message = QStringLiteral("Open and close");
    QPointer<QM_UTC_ALARM_NOTIFICATION_WINDOW> window = new QM_UTC_ALARM_NOTIFICATION_WINDOW(
        Announcement::forAlarm(1, slot), settings, launcher, &owner);
    window->show();
    QElapsedTimer waited;
    waited.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed()) &&
           waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const bool shown = window->windowHandle() && window->windowHandle()->isExposed();
    window->close();
    while (window)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return shown;
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int cycles = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    constexpr int warmUp = 10;

    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("QM_UTC.ini")));
    NoLauncher launcher;
    QWidget owner;

    for (int i = 0; i < warmUp; ++i)
        cycle(settings, launcher, owner);
    const long before = statusKb("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    int unseen = 0;
    for (int i = 0; i < cycles; ++i)
        unseen += cycle(settings, launcher, owner) ? 0 : 1;
    std::printf("cycles %d rss_before_kb %ld rss_after_kb %ld hwm_kb %ld seconds %.1f unseen %d\n",
                cycles, before, statusKb("VmRSS:"), statusKb("VmHWM:"),
                double(timer.elapsed()) / 1000.0, unseen);
    return 0;
}
