// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <optional>

class SecondTicker;
class SettingsStore;
class SoundPlayer;
class TimeSource;
class Timer;

// The alarm sound: one sound for all that ring. A caller, named after its window (an alarm's,
// the test window), rings it and answers it; the sound loops, fading in, from the first ring
// until every caller has answered or rung for SOUND_RING_MINUTES. A caller that rings while the
// sound plays rings on with it, so alarms of the same second ring once. Nothing of the sound
// exists while it is silent: its timer is off and the player has nothing open.
class Ringer : public QObject
{
    Q_OBJECT

public:
    Ringer(SettingsStore& settings, SoundPlayer& player, const TimeSource& time, QObject* parent);
    ~Ringer() override;

    // Its ring time is counted on the wall clock's seconds, after the clock's own.
    void followSeconds(SecondTicker& ticker);

    // Rings for `caller` from now, until it answers or the ring time has passed; a caller that
    // rings again starts its ring time anew.
    void ring(const QString& caller);
    void answer(const QString& caller);
    bool ringsFor(const QString& caller) const { return m_until.contains(caller); }

    // The sound once at the set volume, unless an alarm rings: `file` in place of the stored
    // one (Try), or the stored one (an alarm that shows no window to answer).
    void playOnce(const std::optional<QString>& file = std::nullopt);

    // What went wrong with the sound that plays or played last, each problem once.
    QStringList problems() const { return m_problems; }

    Timer* const RING_TIMER;

signals:
    void problem(const QString& reason);

private:
    void RING_TIMER_Timer();
    void silence();
    void playerProblem(const QString& reason);

    SettingsStore& m_settings;
    SoundPlayer& m_player;
    const TimeSource& m_time;
    // Each caller and the moment its ring time ends, in ms since boot (sleep counts).
    QHash<QString, quint64> m_until;
    bool m_looping = false;
    QStringList m_problems;
    QSet<QString> m_reported;
};
