// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/FormDialog.h"

#include <array>

class AlarmTrigger;
class ColourLabel;
class CommandLauncher;
class QPushButton;
class Ringer;
class StripControl;
class TickBox;

// The general settings window. Its four tick boxes act on the running strip the moment they
// change, by a click or while the window loads them from the store; OK stores the rest. It
// keeps no state of the strip's own.
class QM_UTC_SETTINGS : public FormDialog
{
    Q_OBJECT

public:
    // Owned by the strip, shown modally, discarded when it closes. The alarm settings window
    // opened from here works on the engine, starts its tests with the launcher and tries the
    // alarm sound with the ringer.
    QM_UTC_SETTINGS(StripControl& strip, AlarmTrigger& alarms, CommandLauncher& launcher,
                    SettingsStore& settings, Ringer* ringer = nullptr);
    ~QM_UTC_SETTINGS() override;

    ColourLabel* const QM_TITLE_1;
    ColourLabel* const QM_TITLE_2;
    ColourLabel* const QM_TITLE_3;
    ColourLabel* const QM_WBC_VERSION;
    ColourLabel* const QM_CREATOR;
    TickBox* const AlwaysOnTop_TICKBOX;
    TickBox* const SHOW_UPTIME_TICKBOX;
    TickBox* const LARGE_CLOCK_STARTUP_TICKBOX;
    TickBox* const AUTOSTART_TICKBOX;
    QPushButton* const COLORS_BUTTON;
    QPushButton* const ALARM_SETTINGS_BUTTON;
    QPushButton* const OK_BUTTON;

public slots:
    void AlwaysOnTop_TICKBOX_Click();
    void SHOW_UPTIME_TICKBOX_Click();
    void LARGE_CLOCK_STARTUP_TICKBOX_Click();
    void AUTOSTART_TICKBOX_Click();
    void COLORS_BUTTON_Click();
    void ALARM_SETTINGS_BUTTON_Click();
    void OK_BUTTON_Click();
    void QM_CREATOR_DblClick();

private:
    void buildControls();
    void offerAutoStartWithUptime();
    void connectHandlers();
    void Form_Load();

    StripControl& m_strip;
    AlarmTrigger& m_alarms;
    CommandLauncher& m_launcher;
    Ringer* const m_ringer;
    // Always On Top, Show UpTime and Open Large Clock On Startup as the window opened.
    std::array<qint16, 3> m_opened{};
};
