// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>

// Whether the session bus can be used without waiting on it and without starting one. Qt's
// accessibility bridge and its D-Bus module connect to the bus with calls that wait for its
// answer, and where no bus is named, libdbus runs dbus-launch, which starts a bus of its own
// that outlives the clock. So the bus is asked first, briefly and directly, and used only
// where it answers.
class SessionBus
{
public:
    enum class State
    {
        Answers, // a bus answered
        Silent,  // a bus is named, but it did not answer in time or cannot be asked
        None     // no bus is named, or nothing listens where it is: none is looked for
    };

    // The address libdbus would connect to without starting a bus: DBUS_SESSION_BUS_ADDRESS,
    // or $XDG_RUNTIME_DIR/bus where that is a socket of the user's own. Empty for none.
    static QByteArray address();
    // Asks the bus at `address` to begin a connection and waits at most `within` for its
    // reply. Only Unix sockets are asked; an address with nothing else is Silent.
    static State ask(const QByteArray& address, std::chrono::milliseconds within);

    // The state of this process's session bus, asked once (at most a second).
    static State state();
    static bool usable() { return state() == State::Answers; }

    // Lets Qt's accessibility bridge find the bus only where it answers, and says once why
    // screen readers and notifications are off otherwise. Call once the application object
    // exists and before any widget is made. The environment is left as it was, for the
    // programs the clock starts.
    static void prepareAccessibility();

    static constexpr std::chrono::milliseconds patience{1000};
};
