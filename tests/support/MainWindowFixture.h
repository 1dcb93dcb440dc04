// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FakeLauncher.h"
#include "FakeSoundPlayer.h"
#include "FakeTimeSource.h"
#include "FakeWindowStacking.h"
#include "TestSettings.h"
#include "app/QM_UTC_MAIN.h"
#include "platform/SecondTicker.h"

#include <memory>

// A main window over a throw-away store, a clock the test moves and seconds it ticks by hand.
class MainWindowFixture
{
public:
    MainWindowFixture() : ticker(time, SecondTicker::Mode::Manual) {}

    QM_UTC_MAIN& open()
    {
        window = std::make_unique<QM_UTC_MAIN>(
            AppContext{settings.store(), time, ticker, launcher, stacking, sound});
        return *window;
    }

    // Moves the clock to the given moment and lets the once-a-second timers run.
    void tickAt(qint64 epochMs)
    {
        time.setEpochMs(epochMs);
        ticker.tick();
    }

    TestSettings settings;
    FakeTimeSource time;
    FakeLauncher launcher;
    FakeWindowStacking stacking;
    FakeSoundPlayer sound;
    SecondTicker ticker;
    std::unique_ptr<QM_UTC_MAIN> window;
};
