// SPDX-License-Identifier: GPL-3.0-or-later
#include "Ringer.h"

#include "SoundSettings.h"
#include "platform/ProblemReport.h"
#include "platform/SecondTicker.h"
#include "platform/SoundPlayer.h"
#include "platform/TimeSource.h"
#include "platform/Timer.h"

Ringer::Ringer(SettingsStore& settings, SoundPlayer& player, const TimeSource& time,
               QObject* parent)
    : QObject(parent), RING_TIMER(new Timer(QStringLiteral("RING_TIMER"), false, this)),
      m_settings(settings), m_player(player), m_time(time)
{
    setObjectName(QStringLiteral("ringer"));
    RING_TIMER->setInterval(1000);
    connect(RING_TIMER, &Timer::timeout, this, &Ringer::RING_TIMER_Timer);
    connect(&m_player, &SoundPlayer::problem, this, &Ringer::playerProblem);
    connect(&m_player, &SoundPlayer::ended, this, [this] { m_looping = false; });
}

Ringer::~Ringer()
{
    silence();
}

void Ringer::followSeconds(SecondTicker& ticker)
{
    RING_TIMER->followSeconds(ticker);
}

void Ringer::ring(const QString& caller)
{
    const SoundSettings sound = SoundSettings::read(m_settings);
    m_until.insert(caller, m_time.msSinceBoot() + quint64(sound.ringMinutes) * 60 * 1000);
    RING_TIMER->setEnabled(true);
    if (m_looping && m_player.isPlaying())
        return;
    m_looping = true;
    m_problems.clear();
    m_player.play(sound.request(false));
}

void Ringer::answer(const QString& caller)
{
    if (m_until.remove(caller) && m_until.isEmpty())
        silence();
}

void Ringer::playOnce(const std::optional<QString>& file)
{
    if (m_looping && m_player.isPlaying())
        return;
    SoundRequest request = SoundSettings::read(m_settings).request(true);
    if (file)
        request.file = *file;
    m_looping = false;
    m_problems.clear();
    m_player.play(request);
}

void Ringer::RING_TIMER_Timer()
{
    const quint64 now = m_time.msSinceBoot();
    // Their windows stay open; only the sound stops.
    m_until.removeIf(
        [now](QHash<QString, quint64>::iterator caller) { return caller.value() <= now; });
    if (m_until.isEmpty())
        silence();
}

void Ringer::silence()
{
    RING_TIMER->setEnabled(false);
    if (!m_looping)
        return;
    m_looping = false;
    m_player.stop();
}

void Ringer::playerProblem(const QString& reason)
{
    if (!m_reported.contains(reason)) {
        m_reported.insert(reason);
        ProblemReport::report(reason);
    }
    m_problems.append(reason);
    emit problem(reason);
}
