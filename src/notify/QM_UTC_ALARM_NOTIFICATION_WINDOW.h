#pragma once

#include "AutoCloseCountdown.h"
#include "alarms/AlarmSlot.h"
#include "platform/RememberedPosition.h"
#include "settings/SettingKey.h"

#include <QDialog>
#include <optional>

class ColourLabel;
class CommandLauncher;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SettingsStore;
class Timer;

// The window that announces a firing alarm n: its name, message, number and command, two
// flashing marks, RUN NOW, and an optional eleven-second auto-close countdown. It remembers
// its position and the alarm's Auto Close choice, and is discarded when it closes.
class QM_UTC_ALARM_NOTIFICATION_WINDOW : public QDialog
{
    Q_OBJECT

public:
    // live is the owner's copy of alarm n; what it holds now is what the window shows.
    QM_UTC_ALARM_NOTIFICATION_WINDOW(int n, const AlarmSlot& live, SettingsStore& settings,
                                     CommandLauncher& launcher, QWidget* owner);
    ~QM_UTC_ALARM_NOTIFICATION_WINDOW() override;

    static QString windowName(int n);
    // Window n if it is open and not yet closing, so that a second firing can reuse it.
    static QM_UTC_ALARM_NOTIFICATION_WINDOW* findOpen(int n);

    // Shows why a start of this alarm's command failed, until the window closes.
    void showLaunchFailure(const QString& reason);

    ColourLabel* const QM_UTC_TITLE_1;
    ColourLabel* const QM_UTC_TITLE_2;
    ColourLabel* const ALARM_NOTIFICATION_LABEL;
    QLineEdit* const EX_LEFT_TEXTBOX;
    QLineEdit* const EX_RIGHT_TEXTBOX;
    QLineEdit* const ALARM_NAME_TEXTBOX;
    QLineEdit* const ALARM_NOTIFICATION_MESSAGE_TEXTBOX;
    QLineEdit* const ALARM_NUMBER_LEFT_TEXTBOX;
    QLineEdit* const ALARM_NUMBER_RIGHT_TEXTBOX;
    QCheckBox* const ALARM_RUN_COMMAND_TICKBOX;
    QCheckBox* const RUN_HIDDEN_TICKBOX;
    QLineEdit* const ALARM_RUN_COMMAND_TEXTBOX;
    QLabel* const RUN_COMMAND_ERROR_LABEL;
    QPushButton* const RUN_NOW_BUTTON;
    QCheckBox* const ALARM_MESSAGE_AUTO_CLOSE_TICKBOX;
    QLineEdit* const AUTOCLOSE_IN_TB;
    QLineEdit* const AUTOCLOSE_COUNTDOWN_TB;
    QPushButton* const START_STOP_BUTTON;
    QPushButton* const OK_BUTTON;

    Timer* const ALARM_MESSAGE_AUTOCLOSE_TIMER;
    Timer* const FLASH_ON_TIMER;
    Timer* const FLASH_OFF_TIMER;

public slots:
    void Form_Load();
    void Form_Unload();
    void FLASH_ON_TIMER_Timer();
    void FLASH_OFF_TIMER_Timer();
    void ALARM_MESSAGE_AUTOCLOSE_TIMER_Timer();
    void ALARM_MESSAGE_AUTO_CLOSE_TICKBOX_Click();
    void START_STOP_BUTTON_Click();
    void AUTOCLOSE_COUNTDOWN_TB_DblClick();
    void OK_BUTTON_Click();
    void RUN_NOW_BUTTON_Click();

    // Every way of closing ends here: OK, Escape, the close box and the countdown.
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The keys this window reads and writes; a window without an Auto Close key stores only
    // its position.
    struct StoredKeys
    {
        SettingKey left;
        SettingKey top;
        SettingKey width;
        SettingKey height;
        std::optional<SettingKey> autoClose;
    };

    void buildControls();
    void placeFromStore();
    void setTimerIntervals();
    void showCountdown();
    void setExColour(Qt::GlobalColor colour);
    void writeStoredValues();
    void unloadOnce();

    const int m_number;
    const AlarmSlot m_live;
    SettingsStore& m_settings;
    CommandLauncher& m_launcher;
    const StoredKeys m_keys;
    const QString m_requester;
    RememberedPosition m_position;
    AutoCloseCountdown m_countdown;
    bool m_unloaded = false;
};
