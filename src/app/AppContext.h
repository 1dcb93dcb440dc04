// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SoundPlayer.h"
#include "platform/WindowStacking.h"

class CommandLauncher;
class SecondTicker;
class SettingsStore;
class TimeSource;

// What the windows take from the desktop: the real things in the program, fakes in tests.
struct AppContext
{
    SettingsStore& settings;
    const TimeSource& time;
    SecondTicker& ticker;
    CommandLauncher& launcher;
    WindowStacking& stacking = WindowStacking::system();
    SoundPlayer& sound = SoundPlayer::silent();
};
