// SPDX-License-Identifier: GPL-3.0-or-later
#include "QM_UTC_MAIN.h"

#include "StayOnTop.h"
#include "StripMenu.h"
#include "alarms/NextAlarmTip.h"
#include "largeclock/QM_UTC_LARGE_CLOCK_WINDOW.h"
#include "platform/LocalTimeOfDay.h"
#include "platform/SecondTicker.h"
#include "platform/TimeSource.h"
#include "platform/Timer.h"
#include "platform/Twips.h"
#include "platform/WindowGeometry.h"
#include "platform/X11Window.h"
#include "prefs/QM_UTC_SETTINGS.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "uptime/UptimeDisplay.h"
#include "widgets/Accessibility.h"
#include "widgets/BgrColour.h"
#include "widgets/ColourLabel.h"
#include "widgets/DesignFont.h"
#include "widgets/Emblem.h"
#include "widgets/FittedLine.h"
#include "widgets/FormControl.h"
#include "widgets/LiveTextLabel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace {
constexpr int wideWidthTwips = 5460;
constexpr int narrowWidthTwips = 2520;

// The three visible controls stand in one strip, 120 twips from the top and 375 high.
TwipsRect inStrip(int left, int width)
{
    return {left, 120, width, 375};
}

LiveTextLabel* liveLabel(QWidget* strip, const char* name, int left, int width)
{
    auto* label = Form::place(new LiveTextLabel(QString(), strip), name, inStrip(left, width),
                              {DesignFont::arial(12), std::nullopt, std::nullopt});
    // Texts that change every second: a fixed size spares the strip a layout request, and
    // plain text the rich-text guess, on each change.
    label->setFixedSize(label->size());
    label->setTextFormat(Qt::PlainText);
    return label;
}
} // namespace

QM_UTC_MAIN::QM_UTC_MAIN(const AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context),
      m_alarms(new AlarmTrigger(context.settings, context.launcher, this)),
      m_ringer(new Ringer(context.settings, context.sound, context.time, this)),
      m_notifier(new AlarmNotifier(context.settings, context.launcher, this, m_ringer)),
      QUILL_MARSH_BUTTON(
          Form::place(new QPushButton(this), "QUILL_MARSH_BUTTON", inStrip(120, 735))),
      LIVE_TIME_LABEL(liveLabel(this, "LIVE_TIME_LABEL", 960, 1395)),
      QM_UPTIME_DISPLAY_LABEL(liveLabel(this, "QM_UPTIME_DISPLAY_LABEL", 2400, 2895)),
      CLOCK_TIMER(makeTimer("CLOCK_TIMER", true)),
      LARGE_CLOCK_AUTO_OPEN_TIMER(makeTimer("LARGE_CLOCK_AUTO_OPEN_TIMER", true)),
      SETTINGS_FILE_TIMER(makeTimer("SETTINGS_FILE_TIMER", true)),
      m_uptimeDisplay(new UptimeDisplay(*QM_UPTIME_DISPLAY_LABEL, context.time, this)),
      m_stayOnTop(new StayOnTop(*this, context.stacking)),
      m_placement({SettingsKeys::CLOCK_MAIN_Left,
                   SettingsKeys::CLOCK_MAIN_Top,
                   {},
                   SettingsKeys::CLOCK_MAIN_Height}),
      m_clockFit(LIVE_TIME_LABEL->font(), LIVE_TIME_LABEL->contentsRect().width())
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

    QUILL_MARSH_BUTTON->setIcon(Emblem::icon());
    QUILL_MARSH_BUTTON->setIconSize(Emblem::pixmap().size());
    QPalette buttonFace = QUILL_MARSH_BUTTON->palette();
    buttonFace.setColor(QPalette::Button, Qt::black);
    QUILL_MARSH_BUTTON->setPalette(buttonFace);
    for (ColourLabel* label : {LIVE_TIME_LABEL, QM_UPTIME_DISPLAY_LABEL})
        label->setAlignment(Qt::AlignCenter);
    QM_UPTIME_DISPLAY_LABEL->setForeColor(BgrColour::green);
    QM_UPTIME_DISPLAY_LABEL->setBackColor(BgrColour::black);

    // Timers that run once a second follow the wall clock's seconds and share one wake-up.
    // The alarm timers tick from the clock's own tick, right after each second it shows.
    CLOCK_TIMER->followSeconds(m_context.ticker);
    m_uptimeDisplay->followSeconds(m_context.ticker);
    m_stayOnTop->followSeconds(m_context.ticker);
    m_ringer->followSeconds(m_context.ticker);
    SETTINGS_FILE_TIMER->followSeconds(m_context.ticker);

    connect(m_alarms, &AlarmTrigger::announce, m_notifier, &AlarmNotifier::announce);
    connect(m_notifier, &AlarmNotifier::snooze, m_alarms, &AlarmTrigger::snooze);
    connect(m_alarms, &AlarmTrigger::ringOnce, m_ringer, [this] { m_ringer->playOnce(); });
    connect(CLOCK_TIMER, &Timer::timeout, this, &QM_UTC_MAIN::CLOCK_TIMER_Timer);
    connect(LARGE_CLOCK_AUTO_OPEN_TIMER, &Timer::timeout, this,
            &QM_UTC_MAIN::LARGE_CLOCK_AUTO_OPEN_TIMER_Timer);
    connect(SETTINGS_FILE_TIMER, &Timer::timeout, this, &QM_UTC_MAIN::SETTINGS_FILE_TIMER_Timer);
    // The store may outlive the strip, and a new strip over it takes its place.
    m_context.settings.setChangeListener([strip = QPointer(this)](const QSet<QString>& keys) {
        if (strip)
            strip->applyChangedSettings(keys);
    });
    connect(QUILL_MARSH_BUTTON, &QPushButton::clicked, this,
            &QM_UTC_MAIN::QUILL_MARSH_BUTTON_Click);
    connect(LIVE_TIME_LABEL, &ColourLabel::doubleClicked, this,
            &QM_UTC_MAIN::LIVE_TIME_LABEL_DblClick);
    // The clock and the uptime change in the same second: what their timers draw is shown
    // together, once they have all run.
    connect(&m_context.ticker, &SecondTicker::aboutToTick, this, &QM_UTC_MAIN::holdLabelFlushes);
    connect(&m_context.ticker, &SecondTicker::ticked, this, &QM_UTC_MAIN::flushLabels);
    new NextAlarmTip(*m_alarms, m_context.time, LIVE_TIME_LABEL);

    Form_Load();
    X11Window::skipTaskbar(this);
    X11Window::offerCloseOnly(this);
    Accessibility::describe(this, {{QUILL_MARSH_BUTTON, QStringLiteral("Settings")}});
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

    m_placement.read(store);
    AlwaysOnTop_TICKBOX = store.readFlag(SettingsKeys::AlwaysOnTop_TICKBOX);
    LIVE_TIME_LABEL->setForeColor(store.readColour(CLOCK_FORECOLOR));
    LIVE_TIME_LABEL->setBackColor(store.readColour(CLOCK_BACKCOLOR));
    SHOW_UPTIME_TICKBOX = store.readFlag(SettingsKeys::SHOW_UPTIME_TICKBOX);
    LARGE_CLOCK_STARTUP_TICKBOX = store.readFlag(SettingsKeys::LARGE_CLOCK_STARTUP_TICKBOX);
    AUTOSTART_TICKBOX = store.readFlag(SettingsKeys::AUTOSTART_TICKBOX);
    QM_UPTIME_DISPLAY_LABEL->clear();
    LIVE_TIME_LABEL->clear();
    showUptime(SHOW_UPTIME_TICKBOX == 1);
    m_placement.applyPosition(this, WindowGeometry::outerSize(this));
    m_alarms->load(store);

    // The clock and every other once-a-second timer tick just after each second of the wall
    // clock rather than every millisecond: the texts change once a second.
    CLOCK_TIMER->setInterval(1000);
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n)
        alarmTimer(n)->setInterval(1000);
    LARGE_CLOCK_AUTO_OPEN_TIMER->setInterval(3);
    SETTINGS_FILE_TIMER->setInterval(1000);
    // The shared tick may be up to a second away, and a clock that opens blank looks broken:
    // show the time now. The alarm timers are switched on below, so this second is not theirs.
    CLOCK_TIMER->fire();

    m_stayOnTop->start(AlwaysOnTop_TICKBOX == 1);
    m_alarms->arm();
    m_uptimeDisplay->start(AUTOSTART_TICKBOX == 1);
    LARGE_CLOCK_AUTO_OPEN_TIMER->setEnabled(LARGE_CLOCK_STARTUP_TICKBOX == 1);
}

void QM_UTC_MAIN::showUptime(bool shown)
{
    const int widthTwips = shown ? wideWidthTwips : narrowWidthTwips;
    WindowGeometry::setFixedOuterSize(this,
                                      Twips::toPixelSize(widthTwips, m_placement.heightTwips()));
    QM_UPTIME_DISPLAY_LABEL->setVisible(shown);
}

void QM_UTC_MAIN::setUptimeCounting(bool on)
{
    m_uptimeDisplay->setCounting(on);
}

void QM_UTC_MAIN::setKeptOnTop(bool on)
{
    m_stayOnTop->setOn(on);
}

void QM_UTC_MAIN::CLOCK_TIMER_Timer()
{
    const LocalTimeOfDay now = m_context.time.localTimeOfDay();
    // Some regional formats write the time longer than the label was laid out for.
    const QFont& fitted = m_clockFit.fontFor(now.regionalText);
    if (fitted != LIVE_TIME_LABEL->font())
        LIVE_TIME_LABEL->setFont(fitted);
    LIVE_TIME_LABEL->setText(now.regionalText);
    // The alarms compare the very second the label shows, in the 24-hour form their times
    // are written in, whatever the regional format.
    m_alarms->clockShown(now);
}

void QM_UTC_MAIN::holdLabelFlushes()
{
    for (LiveTextLabel* label : {LIVE_TIME_LABEL, QM_UPTIME_DISPLAY_LABEL})
        label->holdFlushes(true);
}

void QM_UTC_MAIN::flushLabels()
{
    QRegion drawn;
    for (LiveTextLabel* label : {LIVE_TIME_LABEL, QM_UPTIME_DISPLAY_LABEL}) {
        label->holdFlushes(false);
        drawn += label->takeUnflushed();
    }
    LiveTextLabel::flush(this, drawn);
}

void QM_UTC_MAIN::contextMenuEvent(QContextMenuEvent* event)
{
    StripMenu menu(*m_alarms, *m_notifier,
                   QDateTime::fromMSecsSinceEpoch(m_context.time.msSinceEpoch()), this);
    const QAction* chosen = menu.exec(event->globalPos());
    // Opened once the menu is gone: both windows run their own loop.
    if (chosen && chosen == menu.PREFERENCES_MENU)
        QUILL_MARSH_BUTTON_Click();
    else if (chosen && chosen == menu.LARGE_CLOCK_MENU)
        openLargeClock();
}

void QM_UTC_MAIN::LIVE_TIME_LABEL_DblClick()
{
    openLargeClock();
}

void QM_UTC_MAIN::QUILL_MARSH_BUTTON_Click()
{
    auto* settings =
        new QM_UTC_SETTINGS(*this, *m_alarms, m_context.launcher, m_context.settings, m_ringer);
    settings->exec();
}

void QM_UTC_MAIN::LARGE_CLOCK_AUTO_OPEN_TIMER_Timer()
{
    openLargeClock();
    // Spent: the large clock opens by itself once a run.
    LARGE_CLOCK_AUTO_OPEN_TIMER->setEnabled(false);
}

void QM_UTC_MAIN::SETTINGS_FILE_TIMER_Timer()
{
    m_context.settings.followFile();
    tellSettingsProblems();
}

void QM_UTC_MAIN::applyChangedSettings(const QSet<QString>& keys)
{
    const SettingsStore& store = m_context.settings;
    using namespace SettingsKeys;
    const auto changed = [&](const SettingKey& key) {
        return keys.contains(key.name);
    };
    if (changed(CLOCK_FORECOLOR))
        LIVE_TIME_LABEL->setForeColor(store.readColour(CLOCK_FORECOLOR));
    if (changed(CLOCK_BACKCOLOR))
        LIVE_TIME_LABEL->setBackColor(store.readColour(CLOCK_BACKCOLOR));
    if (changed(SettingsKeys::AlwaysOnTop_TICKBOX))
        setKeptOnTop(store.readFlag(SettingsKeys::AlwaysOnTop_TICKBOX) == 1);
    if (changed(SettingsKeys::SHOW_UPTIME_TICKBOX))
        showUptime(store.readFlag(SettingsKeys::SHOW_UPTIME_TICKBOX) == 1);
    if (changed(SettingsKeys::AUTOSTART_TICKBOX))
        setUptimeCounting(store.readFlag(SettingsKeys::AUTOSTART_TICKBOX) == 1);
    m_alarms->follow(store, keys);
}

void QM_UTC_MAIN::tellSettingsProblems()
{
    const SettingsStore& store = m_context.settings;
    if (store.readRefusal().isEmpty() && store.commandRefusal().isEmpty())
        return;
    QStringList untold;
    for (const QString& problem : {store.readRefusal(), store.commandRefusal()}) {
        if (problem.isEmpty() || m_settingsProblemsTold.contains(problem))
            continue;
        m_settingsProblemsTold.append(problem);
        untold.append(problem.at(0).toUpper() + problem.mid(1) + u'.');
    }
    if (untold.isEmpty())
        return;
    auto* notice = new QMessageBox(QMessageBox::Warning, QStringLiteral("QM-UTC - SETTINGS FILE"),
                                   QStringLiteral("The settings file needs your attention."),
                                   QMessageBox::Ok, this);
    notice->setObjectName(QStringLiteral("SETTINGS_FILE_NOTICE"));
    notice->setInformativeText(untold.join(QStringLiteral("\n\n")));
    notice->setAttribute(Qt::WA_DeleteOnClose);
    X11Window::offerCloseOnly(notice);
    // Beside the strip rather than over it, so that the clock stays in sight.
    notice->adjustSize();
    const QRect strip = frameGeometry();
    notice->move(strip.left(), WindowPlacement::topClearOf(QRect(strip.topLeft(), notice->size()),
                                                           strip, screen()->availableGeometry()));
    // It blocks nothing: the strip's controls and windows stay at hand while it is open.
    notice->setWindowModality(Qt::NonModal);
    notice->show();
}

void QM_UTC_MAIN::openLargeClock()
{
    if (m_largeClock)
        return;
    QM_UTC_LARGE_CLOCK_WINDOW largeClock(*LIVE_TIME_LABEL, m_context.settings, this);
    m_largeClock = &largeClock;
    // The strip's timers keep running in the window's own event loop.
    largeClock.exec();
}

void QM_UTC_MAIN::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
    emit unloaded();
}

void QM_UTC_MAIN::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The strip offers no minimising and has no taskbar entry to come back from; minimised
    // anyway (a key, a script, a panel), it comes back at once. Asked after the window
    // manager's change has been taken in, not inside it.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isMinimized())
                    setWindowState(windowState() & ~Qt::WindowMinimized);
            },
            Qt::QueuedConnection);
}

void QM_UTC_MAIN::closeEveryWindow()
{
    for (int depth = 0; depth < 64; ++depth) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == this || !modal->close())
            break;
    }
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets())
        windows.append(window);
    for (const QPointer<QWidget>& window : std::as_const(windows)) {
        if (window && window != this && window->isVisible())
            window->close();
    }
    close();
}

void QM_UTC_MAIN::Form_Unload()
{
    SettingsStore::Batch batch(m_context.settings);
    m_placement.writePosition(this, m_context.settings);
}
