// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmNotifier.h"

#include "DesktopNotifier.h"
#include "QM_UTC_ALARM_NOTIFICATION_WINDOW.h"
#include "Ringer.h"
#include "platform/WindowGeometry.h"
#include "platform/X11Window.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <QWindow>
#include <algorithm>

namespace {
// More windows than alarms cannot be open; beyond that a place is as good as any.
constexpr int maximumShifts = 10;

int titleBarOf(const QWidget* window)
{
    return window->geometry().top() - window->frameGeometry().top();
}
} // namespace

AlarmNotifier::AlarmNotifier(SettingsStore& settings, CommandLauncher& launcher, QWidget* owner,
                             Ringer* ringer)
    : QObject(owner), m_settings(settings), m_launcher(launcher), m_owner(owner),
      m_desktop(new DesktopNotifier(this)), m_ringer(ringer)
{
    setObjectName(QStringLiteral("alarm-notifier"));
}

AlarmNotifier::~AlarmNotifier() = default;

QM_UTC_ALARM_NOTIFICATION_WINDOW* AlarmNotifier::openWindow(const QString& windowName) const
{
    for (const auto& window : m_windows) {
        if (window && !window->isUnloaded() && window->objectName() == windowName)
            return window;
    }
    return nullptr;
}

QM_UTC_ALARM_NOTIFICATION_WINDOW* AlarmNotifier::announce(const Announcement& announcement,
                                                          const QString& launchFailure)
{
    forgetClosed();
    QM_UTC_ALARM_NOTIFICATION_WINDOW* window = openWindow(announcement.windowName);
    if (window) {
        window->setLaunchFailure(launchFailure);
        window->setMissed(announcement.missed);
        ringIfWanted(window, announcement);
        window->raise();
        return window;
    }
    // The sound first, before the window is built: it takes the longest to be heard.
    if (m_ringer && announcement.ring == 1)
        m_ringer->ring(announcement.windowName);
    window = new QM_UTC_ALARM_NOTIFICATION_WINDOW(announcement, m_settings, m_launcher, m_owner);
    window->setLaunchFailure(launchFailure);
    connect(window, &QM_UTC_ALARM_NOTIFICATION_WINDOW::snoozed, this, &AlarmNotifier::snooze);
    ringIfWanted(window, announcement);
    placeClearOfOthers(window);
    m_windows.emplace_back(window);
    X11Window::keepAboveOthers(window);
    // Modal over the strip, but the tick does not wait for it: this alarm's timer keeps its
    // seconds, so the same alarm tomorrow still runs its command and brings the window back.
    showModal(window);
    if (m_settings.readFlag(SettingsKeys::DESKTOP_NOTIFICATIONS) == 1)
        m_desktop->post(window, announcement.name,
                        announcement.missed.isEmpty()
                            ? announcement.message
                            : announcement.missed + QLatin1Char('\n') + announcement.message);
    return window;
}

int AlarmNotifier::answerAll(bool snooze)
{
    forgetClosed();
    // Each answer closes its window and may open the next: the list is taken first.
    const auto windows = m_windows;
    int answered = 0;
    for (const auto& window : windows) {
        if (!window || window->isUnloaded())
            continue;
        QPushButton* const button = snooze && window->SNOOZE_BUTTON->isEnabled()
                                        ? window->SNOOZE_BUTTON
                                        : window->OK_BUTTON;
        button->click();
        ++answered;
    }
    return answered;
}

void AlarmNotifier::ringIfWanted(QM_UTC_ALARM_NOTIFICATION_WINDOW* window,
                                 const Announcement& announcement)
{
    if (m_ringer && announcement.ring == 1)
        window->ring(*m_ringer);
}

void AlarmNotifier::showModal(QM_UTC_ALARM_NOTIFICATION_WINDOW* window)
{
    // Qt asks the window manager to activate a modal window as it maps it, whatever
    // Qt::WA_ShowWithoutActivating says, and a modal window blocks those shown before it. So
    // the windows themselves are not modal: one window that is never mapped is, and Qt lets
    // through the windows that belong to it. The window manager keeps learning the strip as
    // their owner: that is written once, as a window is shown.
    if (!m_modality) {
        m_modality = new QWidget(m_owner, Qt::Dialog);
        m_modality->setObjectName(QStringLiteral("alarm-notifier-modality"));
        m_modality->setAttribute(Qt::WA_DontShowOnScreen);
        m_modality->setWindowModality(Qt::ApplicationModal);
    }
    m_modality->show();
    window->show();
    window->windowHandle()->setTransientParent(m_modality->windowHandle());
    connect(window, &QDialog::finished, this, &AlarmNotifier::forgetClosed, Qt::QueuedConnection);
}

void AlarmNotifier::forgetClosed()
{
    std::erase_if(m_windows, [](const auto& window) { return !window || window->isUnloaded(); });
    if (m_windows.empty() && m_modality)
        m_modality->hide();
}

void AlarmNotifier::placeClearOfOthers(QM_UTC_ALARM_NOTIFICATION_WINDOW* window) const
{
    for (int shifts = 0; shifts < maximumShifts; ++shifts) {
        const QPoint place = window->placedAt();
        const auto taken =
            std::find_if(m_windows.cbegin(), m_windows.cend(), [&](const auto& other) {
                return other && WindowGeometry::outerTopLeft(other) == place;
            });
        if (taken == m_windows.cend())
            return;
        // A title bar down and to the right, and a little more, so that the title of the one
        // below stays in sight. A window opened in the same second may not be framed yet: the
        // strip's title bar, or the design's, stands in for its own.
        const int titleBar = std::max(
            {WindowGeometry::designFrame.height(), titleBarOf(*taken), titleBarOf(m_owner)});
        const int step = titleBar + 8;
        window->shiftPlace(QPoint(step, step));
    }
}
