// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/QM_UTC_MAIN.h"
#include "platform/DisplayCheck.h"
#include "platform/InstanceChannel.h"
#include "platform/MemoryTuning.h"
#include "platform/PlatformChoice.h"
#include "platform/ProblemReport.h"
#include "platform/ProcessLauncher.h"
#include "platform/RingProcess.h"
#include "platform/SecondTicker.h"
#include "platform/SessionBus.h"
#include "platform/SingleInstance.h"
#include "platform/SystemTimeSource.h"
#include "platform/TerminationSignals.h"
#include "platform/X11Tuning.h"
#include "platform/X11Window.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QTextStream>
#include <clocale>

int main(int argc, char* argv[])
{
    // Options print and end the program before anything needs a display or the lock.
    if (argc > 1) {
        const QCoreApplication app(argc, argv);
        const SystemTimeSource time;
        QTextStream out(stdout);
        QTextStream err(stderr);
        const std::optional<int> status =
            CommandLine(SettingsStore::defaultFilePath(), time).run(app.arguments(), out, err);
        if (status)
            return *status;
    }
    MemoryTuning::beforeWindows();
    PlatformChoice::apply();
    if (const QString problem = DisplayCheck::problem(); !problem.isEmpty()) {
        ProblemReport::report(problem);
        return 1;
    }
    // Tells a later start which of the clock's windows is the strip: the large clock shares its
    // title.
    const QString stripRole = QStringLiteral("QM_UTC_MAIN");
    // One clock per user: a second start would run every alarm a second time.
    SingleInstance instance(SettingsStore::defaultFilePath());
    if (instance.state() == SingleInstance::State::HeldElsewhere) {
        if (instance.otherPid() > 0) {
            ProblemReport::report(QStringLiteral("the clock is already running (process %1)")
                                      .arg(instance.otherPid()));
            X11Window::activateWindowOf(instance.otherPid(), stripRole);
        } else {
            ProblemReport::report(QStringLiteral("the clock is already running"));
        }
        return 0;
    }
    if (instance.state() == SingleInstance::State::Unavailable)
        ProblemReport::report(
            QStringLiteral("cannot make sure that only one clock runs (%1); starting anyway")
                .arg(instance.problem()));
    else if (!instance.problem().isEmpty())
        ProblemReport::report(instance.problem());
    X11Tuning tuning;
    QApplication app(argc, argv);
    // Before the first widget: its first text makes Qt's accessibility bridge look for the bus.
    SessionBus::prepareAccessibility();
    tuning.applicationMade();
    if (const QString notice = PlatformChoice::nativeWaylandNotice(QGuiApplication::platformName());
        !notice.isEmpty())
        std::fprintf(stderr, "qm-utc: %s\n", qPrintable(notice));
    MemoryTuning::applicationMade();
    // The clock shows the time in the user's regional format, as the C library gives it.
    std::setlocale(LC_TIME, "");
    // The strip is a tool window; ending the program is its close box's decision alone.
    QApplication::setQuitOnLastWindowClosed(false);

    SettingsStore settings;
    SystemTimeSource time;
    SecondTicker ticker(time);
    ProcessLauncher launcher;
    // Nothing of it runs until an alarm rings.
    RingProcess sound;
    QM_UTC_MAIN window(
        AppContext{settings, time, ticker, launcher, WindowStacking::system(), sound});
    QObject::connect(&window, &QM_UTC_MAIN::unloaded, &app, &QApplication::quit);
    // A logout ends the clock as its close box does, and every open window as its own does.
    // qm-utc --snooze and --stop reach the alarm windows through it.
    std::optional<InstanceChannel> channel;
    if (instance.state() == SingleInstance::State::Held)
        channel.emplace(SettingsStore::defaultFilePath(), [&window](InstanceChannel::Request r) {
            return r == InstanceChannel::Request::Snooze ? window.notifier().snoozeAll()
                                                         : window.notifier().stopAll();
        });
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &window,
                     [&window] { window.closeEveryWindow(); });
    window.setWindowRole(stripRole);
    window.show();
    return app.exec();
}
