// SPDX-License-Identifier: GPL-3.0-or-later
#include "AutoCloseCountdown.h"

namespace {
constexpr int secondsPerDay = 24 * 60 * 60;

QString offText()
{
    return QStringLiteral("OFF");
}
} // namespace

void AutoCloseCountdown::applyTickAtOpening()
{
    if (m_ticked) {
        m_timerRunning = true;
        m_caption = stopCaption();
        m_buttonEnabled = true;
    } else {
        m_timerRunning = false;
        m_caption = startCaption();
        m_field = offText();
        m_buttonEnabled = false;
    }
}

void AutoCloseCountdown::autoCloseClicked(bool ticked)
{
    m_ticked = ticked;
    if (ticked) {
        // Arms without starting: timer and caption stay as they are.
        m_field = QStringLiteral("ON");
        m_buttonEnabled = true;
        m_seconds = fullSeconds;
    } else {
        m_timerRunning = false;
        m_field = offText();
        m_buttonEnabled = false;
        m_caption = startCaption();
    }
}

void AutoCloseCountdown::startStopClicked()
{
    if (m_caption == startCaption()) {
        m_caption = stopCaption();
        restartValue(QStringLiteral("10"));
    } else {
        m_caption = startCaption();
        m_timerRunning = false;
        m_field = offText();
    }
}

void AutoCloseCountdown::countdownDoubleClicked()
{
    if (m_timerRunning) {
        m_timerRunning = false;
        m_field = offText();
    } else {
        restartValue(QStringLiteral("10"));
    }
}

bool AutoCloseCountdown::tick()
{
    if (!m_ticked)
        return false;
    m_seconds = (m_seconds + secondsPerDay - 1) % secondsPerDay;
    m_field = QStringLiteral("%1").arg(m_seconds % 60, 2, 10, QLatin1Char('0'));
    if (m_field != QLatin1String("00"))
        return false;
    m_field = QStringLiteral("NOW");
    return true;
}

void AutoCloseCountdown::restartValue(const QString& field)
{
    // Starting a timer that already runs does not restart its interval.
    m_timerRunning = true;
    m_field = field;
    m_seconds = fullSeconds;
}
