// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real clock strip and records, for every change of its clock text, how long after
// the wall clock's second boundary the change came. Prints the offsets' median, p99 and max
// and this process's own CPU time and wake-ups.
// Usage: bench_clock_flip SECONDS   (needs an X display; bench/run runs it)

#include "app/QM_UTC_MAIN.h"
#include "platform/ProcessLauncher.h"
#include "platform/SecondTicker.h"
#include "platform/SystemTimeSource.h"
#include "platform/Timer.h"
#include "platform/X11Tuning.h"
#include "settings/SettingsStore.h"
#include "widgets/ColourLabel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
double nowSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

struct Cost
{
    double cpuSeconds = 0;
    long long switches = 0;
};

// Summed over every thread of this process.
Cost processCost()
{
    Cost cost;
    const QStringList tasks =
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& task : tasks) {
        QFile schedstat(QStringLiteral("/proc/self/task/%1/schedstat").arg(task));
        if (schedstat.open(QIODevice::ReadOnly))
            cost.cpuSeconds += schedstat.readAll().split(' ').value(0).toDouble() / 1e9;
        QFile status(QStringLiteral("/proc/self/task/%1/status").arg(task));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("voluntary_ctxt_switches") ||
                line.startsWith("nonvoluntary_ctxt_switches"))
                cost.switches += line.split(':').value(1).trimmed().toLongLong();
        }
    }
    return cost;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}
} // namespace

int main(int argc, char* argv[])
{
    X11Tuning tuning;
    QApplication app(argc, argv);
    tuning.applicationMade();
    std::setlocale(LC_TIME, "");
    const int seconds = argc > 1 ? std::max(5, atoi(argv[1])) : 60;

    QTemporaryDir configDir;
    SettingsStore settings(configDir.filePath(QStringLiteral("QM_UTC.ini")));
    SystemTimeSource time;
    SecondTicker ticker(time);
    ProcessLauncher launcher;
    QM_UTC_MAIN window(AppContext{settings, time, ticker, launcher});
    window.show();

    std::vector<double> offsetsMs;
    QString lastText;
    // Connected after the window's own handler, so it runs right after the text is set.
    Timer* clock = window.findChild<Timer*>(QStringLiteral("CLOCK_TIMER"));
    QObject::connect(clock, &Timer::timeout, &app, [&] {
        const double now = nowSeconds();
        const QString text = window.LIVE_TIME_LABEL->text();
        if (text == lastText)
            return;
        if (!lastText.isEmpty())
            offsetsMs.push_back((now - std::floor(now)) * 1000.0);
        lastText = text;
    });

    Cost start;
    double startedAt = 0;
    // Measure the steady state, once the window is up and painted.
    QTimer::singleShot(2000, &app, [&] {
        offsetsMs.clear();
        start = processCost();
        startedAt = nowSeconds();
        QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    });
    app.exec();

    const Cost end = processCost();
    const double elapsed = nowSeconds() - startedAt;
    std::printf("clock text flips measured: %zu over %.1f s\n", offsetsMs.size(), elapsed);
    std::printf("flip offset after the second boundary (ms): min %.2f  median %.2f  p99 %.2f  "
                "max %.2f  (budget p99 <= 5)\n",
                percentile(offsetsMs, 0.0), percentile(offsetsMs, 0.5), percentile(offsetsMs, 0.99),
                percentile(offsetsMs, 1.0));
    std::printf("strip in-process: wake-ups %.2f/s  cpu %.3f%% of one core\n",
                double(end.switches - start.switches) / elapsed,
                100.0 * (end.cpuSeconds - start.cpuSeconds) / elapsed);
    return 0;
}
