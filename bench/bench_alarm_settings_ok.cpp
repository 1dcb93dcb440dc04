// SPDX-License-Identifier: GPL-3.0-or-later
// Times OK in the alarm settings window: the 113 writes, the copy into the live alarms and the
// one save, over repeated openings against a throw-away settings file. Prints the median,
// p90 and max in milliseconds; the aim is a median of at most 20 ms.
// Usage: bench_alarm_settings_ok [OPENINGS]   (runs headless unless QT_QPA_PLATFORM is set)

#include "alarms/AlarmRow.h"
#include "alarms/AlarmTrigger.h"
#include "alarms/QM_UTC_ALARM_SETTINGS.h"
#include "platform/CommandLauncher.h"
#include "settings/SettingsStore.h"
#include "widgets/StoredTextField.h"
#include "widgets/TickBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
class NoLauncher final : public CommandLauncher
{
public:
    LaunchResult launch(const QString&, LaunchStyle) override { return {}; }
};

double at(const std::vector<double>& sorted, double fraction)
{
    return sorted[std::min(sorted.size() - 1, size_t(fraction * double(sorted.size())))];
}
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int openings = argc > 1 ? std::max(1, atoi(argv[1])) : 50;

    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("QM_UTC.ini")));
    NoLauncher launcher;
    QWidget owner;
    AlarmTrigger alarms(settings, launcher, &owner);

    std::vector<double> ms;
    for (int i = 0; i < openings; ++i) {
        auto* window = new QM_UTC_ALARM_SETTINGS(alarms, settings, launcher, &owner);
        // Something different to save each time, as after a real edit.
        AlarmRow& row = window->row(i % 10 + 1);
        row.TICKBOX->setValue(qint16(i % 2));
        row.NAME_TEXTBOX->setText(QStringLiteral("Alarm %1").arg(i));
        QElapsedTimer timer;
        timer.start();
        window->OK_BUTTON_Click();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("OK over %d openings: min %.2f ms, median %.2f ms, p90 %.2f ms, max %.2f ms (aim: "
                "median <= 20 ms)\n",
                openings, ms.front(), at(ms, 0.5), at(ms, 0.9), ms.back());
    return 0;
}
