// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QM_UTC_MAIN.h"
#include "platform/DisplayCheck.h"
#include "platform/MemoryTuning.h"
#include "platform/PlatformChoice.h"
#include "platform/ProcessLauncher.h"
#include "platform/SecondTicker.h"
#include "platform/SingleInstance.h"
#include "platform/SystemTimeSource.h"
#include "platform/X11Tuning.h"
#include "platform/X11Window.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <clocale>
#include <cstdio>

int main(int argc, char* argv[])
{
    MemoryTuning::beforeWindows();
    PlatformChoice::apply();
    if (const QString problem = DisplayCheck::problem(); !problem.isEmpty()) {
        std::fprintf(stderr, "qm-utc: %s\n", qPrintable(problem));
        return 1;
    }
    // One clock per user: a second start would run every alarm a second time.
    const SingleInstance instance(
        SingleInstance::lockFilePathFor(SettingsStore::defaultFilePath()));
    if (instance.state() == SingleInstance::State::HeldElsewhere) {
        if (instance.otherPid() > 0) {
            std::fprintf(stderr, "qm-utc: the clock is already running (process %lld)\n",
                         static_cast<long long>(instance.otherPid()));
            X11Window::activateWindowOf(instance.otherPid(), QStringLiteral("QM-GLIMMER-DIAL"));
        } else {
            std::fprintf(stderr, "qm-utc: the clock is already running\n");
        }
        return 0;
    }
    if (instance.state() == SingleInstance::State::Unavailable)
        std::fprintf(stderr,
                     "qm-utc: cannot make sure that only one clock runs (%s); starting anyway\n",
                     qPrintable(instance.problem()));
    X11Tuning tuning;
    QApplication app(argc, argv);
    tuning.applicationMade();
    MemoryTuning::applicationMade();
    // The clock shows the time in the user's regional format, as the C library gives it.
    std::setlocale(LC_TIME, "");
    // The strip is a tool window; ending the program is its close box's decision alone.
    QApplication::setQuitOnLastWindowClosed(false);

    SettingsStore settings;
    SystemTimeSource time;
    SecondTicker ticker(time);
    ProcessLauncher launcher;
    QM_UTC_MAIN window(AppContext{settings, time, ticker, launcher});
    QObject::connect(&window, &QM_UTC_MAIN::unloaded, &app, &QApplication::quit);
    window.show();
    return app.exec();
}
