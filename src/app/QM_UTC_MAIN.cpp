#include "QM_UTC_MAIN.h"

#include "notify/LaunchRule.h"
#include "notify/QM_UTC_ALARM_NOTIFICATION_WINDOW.h"
#include "platform/ColourLabel.h"
#include "platform/Emblem.h"
#include "platform/SecondTicker.h"
#include "platform/TimeSource.h"
#include "platform/Timer.h"
#include "platform/Twips.h"
#include "platform/WindowGeometry.h"
#include "platform/X11Window.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <QCloseEvent>
#include <QPushButton>

namespace {
constexpr int wideWidthTwips = 5460;
constexpr int narrowWidthTwips = 2520;
constexpr int stripTopTwips = 120;
constexpr int stripHeightTwips = 375;
constexpr qint32 black = 0;
constexpr qint32 red = 255;
constexpr qint32 green = 65280;

QFont clockFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(12);
    font.setBold(true);
    return font;
}

void placeInStrip(QWidget* control, int leftTwips, int widthTwips)
{
    control->setGeometry(Twips::toPixels(leftTwips), Twips::toPixels(stripTopTwips),
                         Twips::toPixels(widthTwips), Twips::toPixels(stripHeightTwips));
}
} // namespace

QM_UTC_MAIN::QM_UTC_MAIN(const AppContext& context, QWidget* parent)
    : QWidget(parent), QUILL_MARSH_BUTTON(new QPushButton(this)),
      LIVE_TIME_LABEL(new ColourLabel(QStringLiteral("LIVE_TIME_LABEL"), this)),
      QM_UPTIME_DISPLAY_LABEL(new ColourLabel(QStringLiteral("QM_UPTIME_DISPLAY_LABEL"), this)),
      CLOCK_TIMER(makeTimer("CLOCK_TIMER", true)),
      AlwaysOnTopTimer(makeTimer("AlwaysOnTopTimer", true)),
      UPTIME_TIMER(makeTimer("UPTIME_TIMER", true)),
      DAY_UPTIME_TIMER(makeTimer("DAY_UPTIME_TIMER", false)),
      HOUR_UPTIME_TIMER(makeTimer("HOUR_UPTIME_TIMER", false)),
      MINUTE_UPTIME_TIMER(makeTimer("MINUTE_UPTIME_TIMER", false)),
      SECOND_UPTIME_TIMER(makeTimer("SECOND_UPTIME_TIMER", false)),
      QM_DISPLAY_UPDATE_TIMER(makeTimer("QM_DISPLAY_UPDATE_TIMER", true)),
      LARGE_CLOCK_AUTO_OPEN_TIMER(makeTimer("LARGE_CLOCK_AUTO_OPEN_TIMER", true)),
      m_context(context)
{
    setObjectName(QStringLiteral("QM_UTC_MAIN"));
    setWindowTitle(QStringLiteral("QM-GLIMMER-DIAL"));
    setWindowIcon(Emblem::icon());
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::black);
    setPalette(background);
    setAutoFillBackground(true);

    QUILL_MARSH_BUTTON->setObjectName(QStringLiteral("QUILL_MARSH_BUTTON"));
    QUILL_MARSH_BUTTON->setIcon(Emblem::icon());
    QUILL_MARSH_BUTTON->setIconSize(Emblem::pixmap().size());
    QPalette buttonFace = QUILL_MARSH_BUTTON->palette();
    buttonFace.setColor(QPalette::Button, Qt::black);
    QUILL_MARSH_BUTTON->setPalette(buttonFace);
    placeInStrip(QUILL_MARSH_BUTTON, 120, 735);

    for (ColourLabel* label : {LIVE_TIME_LABEL, QM_UPTIME_DISPLAY_LABEL}) {
        label->setAlignment(Qt::AlignCenter);
        label->setFont(clockFont());
    }
    placeInStrip(LIVE_TIME_LABEL, 960, 1395);
    placeInStrip(QM_UPTIME_DISPLAY_LABEL, 2400, 2895);
    QM_UPTIME_DISPLAY_LABEL->setForeColor(green);
    QM_UPTIME_DISPLAY_LABEL->setBackColor(black);

    for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
        Timer* timer = makeTimer(qPrintable(QStringLiteral("ALARM_%1_TIMER").arg(n)), false);
        m_alarmTimers[n - 1] = timer;
        connect(timer, &Timer::timeout, this, [this, n] { ALARM_TIMER_Timer(n); });
        connect(timer, &Timer::started, this,
                [this, n] { m_alarmMatchers[n - 1].arm(m_shownSeconds); });
    }
    // Timers that run once a second follow the wall clock's seconds and share one wake-up;
    // the clock goes first so that everything after it sees the second it shows.
    for (Timer* timer : {CLOCK_TIMER, UPTIME_TIMER, DAY_UPTIME_TIMER, HOUR_UPTIME_TIMER,
                         MINUTE_UPTIME_TIMER, SECOND_UPTIME_TIMER, QM_DISPLAY_UPDATE_TIMER})
        timer->followSeconds(m_context.ticker);
    for (Timer* timer : m_alarmTimers)
        timer->followSeconds(m_context.ticker);
    AlwaysOnTopTimer->followSeconds(m_context.ticker);

    connect(CLOCK_TIMER, &Timer::timeout, this, &QM_UTC_MAIN::CLOCK_TIMER_Timer);
    connect(AlwaysOnTopTimer, &Timer::timeout, this, &QM_UTC_MAIN::AlwaysOnTopTimer_Timer);
    connect(UPTIME_TIMER, &Timer::timeout, this, &QM_UTC_MAIN::UPTIME_TIMER_Timer);
    connect(DAY_UPTIME_TIMER, &Timer::timeout, this, &QM_UTC_MAIN::DAY_UPTIME_TIMER_Timer);
    connect(HOUR_UPTIME_TIMER, &Timer::timeout, this, &QM_UTC_MAIN::HOUR_UPTIME_TIMER_Timer);
    connect(MINUTE_UPTIME_TIMER, &Timer::timeout, this, &QM_UTC_MAIN::MINUTE_UPTIME_TIMER_Timer);
    connect(SECOND_UPTIME_TIMER, &Timer::timeout, this, &QM_UTC_MAIN::SECOND_UPTIME_TIMER_Timer);
    connect(QM_DISPLAY_UPDATE_TIMER, &Timer::timeout, this,
            &QM_UTC_MAIN::QM_DISPLAY_UPDATE_TIMER_Timer);
    connect(LARGE_CLOCK_AUTO_OPEN_TIMER, &Timer::timeout, this,
            &QM_UTC_MAIN::LARGE_CLOCK_AUTO_OPEN_TIMER_Timer);
    connect(QUILL_MARSH_BUTTON, &QPushButton::clicked, this,
            &QM_UTC_MAIN::QUILL_MARSH_BUTTON_Click);
    connect(LIVE_TIME_LABEL, &ColourLabel::doubleClicked, this,
            &QM_UTC_MAIN::LIVE_TIME_LABEL_DblClick);

    Form_Load();
    X11Window::skipTaskbar(this);
}

QM_UTC_MAIN::~QM_UTC_MAIN() = default;

Timer* QM_UTC_MAIN::makeTimer(const char* name, bool createdOn)
{
    // Created with interval 0, so nothing fires before the start-up sequence sets it up.
    return new Timer(QLatin1String(name), createdOn, this);
}

void QM_UTC_MAIN::Form_Load()
{
    const SettingsStore& store = m_context.settings;
    using namespace SettingsKeys;

    const float left = store.readTwips(CLOCK_MAIN_Left);
    const float top = store.readTwips(CLOCK_MAIN_Top);
    const float height = store.readTwips(CLOCK_MAIN_Height);
    m_position.place(this, left, top);
    m_heightTwips = height;
    AlwaysOnTop_TICKBOX = store.readFlag(SettingsKeys::AlwaysOnTop_TICKBOX);
    LIVE_TIME_LABEL->setForeColor(store.readColour(CLOCK_FORECOLOR));
    LIVE_TIME_LABEL->setBackColor(store.readColour(CLOCK_BACKCOLOR));
    SHOW_UPTIME_TICKBOX = store.readFlag(SettingsKeys::SHOW_UPTIME_TICKBOX);
    LARGE_CLOCK_STARTUP_TICKBOX = store.readFlag(SettingsKeys::LARGE_CLOCK_STARTUP_TICKBOX);
    AUTOSTART_TICKBOX = store.readFlag(SettingsKeys::AUTOSTART_TICKBOX);
    QM_UPTIME_DISPLAY_LABEL->clear();
    LIVE_TIME_LABEL->clear();
    applyUptimeVisibility();
    ENABLE_ALARMS_TICKBOX = store.readFlag(SettingsKeys::ENABLE_ALARMS_TICKBOX);
    m_alarms = loadAlarmSlots(store);

    // The clock and every other once-a-second timer tick just after each second of the wall
    // clock rather than every millisecond: the texts change once a second.
    AlwaysOnTopTimer->setInterval(1000);
    CLOCK_TIMER->setInterval(1000);
    for (Timer* timer : m_alarmTimers)
        timer->setInterval(1000);
    for (Timer* timer : {UPTIME_TIMER, DAY_UPTIME_TIMER, HOUR_UPTIME_TIMER, MINUTE_UPTIME_TIMER,
                         SECOND_UPTIME_TIMER, QM_DISPLAY_UPDATE_TIMER})
        timer->setInterval(1000);
    LARGE_CLOCK_AUTO_OPEN_TIMER->setInterval(3);

    AlwaysOnTopTimer->setEnabled(AlwaysOnTop_TICKBOX == 1);
    if (ENABLE_ALARMS_TICKBOX == 1) {
        for (int n = 1; n <= SettingsKeys::alarmCount; ++n)
            alarmTimer(n)->setEnabled(alarmSlot(n).enabled == 1);
    }
    setUptimeTimers(AUTOSTART_TICKBOX == 1);
    if (AUTOSTART_TICKBOX == 1) {
        QM_UPTIME_DISPLAY_LABEL->setBackColor(black);
    } else {
        QM_UPTIME_DISPLAY_LABEL->setBackColor(red);
        QM_UPTIME_DISPLAY_LABEL->setText(QStringLiteral("TIMERS DISABLED"));
    }
    LARGE_CLOCK_AUTO_OPEN_TIMER->setEnabled(LARGE_CLOCK_STARTUP_TICKBOX == 1);
}

void QM_UTC_MAIN::applyUptimeVisibility()
{
    const bool shown = SHOW_UPTIME_TICKBOX == 1;
    const int widthTwips = shown ? wideWidthTwips : narrowWidthTwips;
    WindowGeometry::setFixedOuterSize(this, Twips::toPixelSize(widthTwips, m_heightTwips));
    QM_UPTIME_DISPLAY_LABEL->setVisible(shown);
}

void QM_UTC_MAIN::setUptimeTimers(bool on)
{
    for (Timer* timer : {UPTIME_TIMER, DAY_UPTIME_TIMER, HOUR_UPTIME_TIMER, MINUTE_UPTIME_TIMER,
                         SECOND_UPTIME_TIMER, QM_DISPLAY_UPDATE_TIMER})
        timer->setEnabled(on);
}

void QM_UTC_MAIN::CLOCK_TIMER_Timer()
{
    const LocalTimeOfDay now = m_context.time.localTimeOfDay();
    LIVE_TIME_LABEL->setText(now.regionalText);
    // The alarms compare the very second the label shows, in the 24-hour form their times
    // are written in, whatever the regional format.
    m_shownSeconds.record(now);
}

void QM_UTC_MAIN::LIVE_TIME_LABEL_DblClick()
{
    // The large clock window comes with its own change.
}

void QM_UTC_MAIN::QUILL_MARSH_BUTTON_Click()
{
    // The general settings window comes with its own change.
}

void QM_UTC_MAIN::AlwaysOnTopTimer_Timer()
{
    // Keeping the strip above other windows comes with its own change.
}

void QM_UTC_MAIN::LARGE_CLOCK_AUTO_OPEN_TIMER_Timer()
{
    // Opening the large clock comes with its own change; until then the timer is spent here.
    LARGE_CLOCK_AUTO_OPEN_TIMER->setEnabled(false);
}

void QM_UTC_MAIN::UPTIME_TIMER_Timer() {}
void QM_UTC_MAIN::DAY_UPTIME_TIMER_Timer() {}
void QM_UTC_MAIN::HOUR_UPTIME_TIMER_Timer() {}
void QM_UTC_MAIN::MINUTE_UPTIME_TIMER_Timer() {}
void QM_UTC_MAIN::SECOND_UPTIME_TIMER_Timer() {}
void QM_UTC_MAIN::QM_DISPLAY_UPDATE_TIMER_Timer() {}

void QM_UTC_MAIN::ALARM_TIMER_Timer(int n)
{
    const AlarmSlot& slot = alarmSlot(n);
    if (!m_alarmMatchers[n - 1].check(m_shownSeconds, slot.time))
        return;
    // The command first, so that it runs while the window is shown.
    const QString launchFailure =
        LaunchRule::launch(m_context.launcher, QStringLiteral("alarm %1").arg(n), slot.run_command,
                           slot.run_hidden, slot.command);
    if (slot.display_message == 1)
        openNotification(n, launchFailure);
}

void QM_UTC_MAIN::openNotification(int n, const QString& launchFailure)
{
    auto* window = QM_UTC_ALARM_NOTIFICATION_WINDOW::findOpen(n);
    if (!window) {
        window = new QM_UTC_ALARM_NOTIFICATION_WINDOW(n, alarmSlot(n), m_context.settings,
                                                      m_context.launcher, this);
    }
    if (!launchFailure.isEmpty())
        window->showLaunchFailure(launchFailure);
    // Modal over this window, but the handler does not wait for it: this alarm's timer keeps
    // its seconds, so the same alarm tomorrow still runs its command and raises the window.
    window->show();
    window->raise();
    window->activateWindow();
}

void QM_UTC_MAIN::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
    emit unloaded();
}

void QM_UTC_MAIN::Form_Unload()
{
    SettingsStore::Batch batch(m_context.settings);
    m_context.settings.writeTwips(SettingsKeys::CLOCK_MAIN_Left, m_position.leftTwips(this));
    m_context.settings.writeTwips(SettingsKeys::CLOCK_MAIN_Top, m_position.topTwips(this));
}
