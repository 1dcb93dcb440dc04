#include "app/QM_UTC_MAIN.h"
#include "platform/DisplayCheck.h"
#include "platform/ProcessLauncher.h"
#include "platform/SecondTicker.h"
#include "platform/SystemTimeSource.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <clocale>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (const QString problem = DisplayCheck::problem(); !problem.isEmpty()) {
        std::fprintf(stderr, "qm-utc: %s\n", qPrintable(problem));
        return 1;
    }
    // The strip repaints a few characters once a second; shared-memory images would cost
    // the X connection extra wake-ups for every repaint. Not passed on to launched programs.
    const bool sharedMemoryChosen = qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM");
    if (!sharedMemoryChosen)
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    if (!sharedMemoryChosen)
        qunsetenv("QT_XCB_NO_MITSHM");
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
