// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundSettings.h"

#include "platform/ProblemReport.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "widgets/ShownText.h"

#include <QSet>

namespace {
// Once for each key and value, not at every alarm.
void reportOnce(const SettingKey& key, const QString& text, const QString& outcome)
{
    static QSet<QString> reported;
    const QString line =
        QStringLiteral("%1=%2 %3").arg(key.name, ShownText::cut(text, ShownText::inLine), outcome);
    if (reported.contains(line))
        return;
    reported.insert(line);
    ProblemReport::report(line);
}

// The whole number stored for the key, within lowest and highest; `used` says what the value
// in its place (%1) means.
int bounded(const SettingsStore& store, const SettingKey& key, int lowest, int highest,
            const QString& used)
{
    const QString text = store.readText(key);
    const int fallback = key.defaultValue.toInt();
    bool isNumber = false;
    const qlonglong value = text.trimmed().toLongLong(&isNumber);
    if (!isNumber) {
        reportOnce(
            key, text,
            QStringLiteral("is not a whole number from %1 to %2; ").arg(lowest).arg(highest) +
                used.arg(fallback));
        return fallback;
    }
    if (value < lowest || value > highest) {
        const int clamped = value < lowest ? lowest : highest;
        reportOnce(key, text,
                   QStringLiteral("is outside %1 to %2; ").arg(lowest).arg(highest) +
                       used.arg(clamped));
        return clamped;
    }
    return static_cast<int>(value);
}
} // namespace

SoundSettings SoundSettings::read(const SettingsStore& store)
{
    using namespace SettingsKeys;
    SoundSettings sound;
    sound.file = store.readText(SOUND_FILE);
    sound.volume = bounded(store, SOUND_VOLUME, 0, 100, QStringLiteral("the alarms ring at %1 %"));
    sound.ringMinutes = bounded(store, SOUND_RING_MINUTES, 1, longestRingMinutes,
                                QStringLiteral("the alarms ring for %1 minutes"));
    // A fade longer than the ring would never reach the volume that was set.
    sound.fadeSeconds = bounded(store, SOUND_FADE_IN_SECONDS, 0, sound.ringMinutes * 60,
                                QStringLiteral("the sound fades in over %1 seconds"));
    return sound;
}

SoundRequest SoundSettings::request(bool once) const
{
    return {file, volume, once ? 0 : fadeSeconds, once};
}
