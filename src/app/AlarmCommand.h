// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

class SettingsStore;
class TimeSource;

// What qm-utc --set, --skip, --enable and --disable change: alarm fields in the settings file,
// written through the store (its lock, its merge with what another program saved meanwhile),
// all of a change or nothing. A running clock follows the file and takes the change within a
// second.
class AlarmCommand
{
public:
    // The exit status and the one line that says what happened: for standard output when the
    // status is 0, for standard error otherwise. 1: nothing to do or nothing could be done;
    // 2: a value that cannot be used, and nothing was written.
    struct Outcome
    {
        int status = 0;
        QString line;
    };

    // What --set gives besides the time; a field not given stays as it is.
    struct Fields
    {
        std::optional<QString> name;
        std::optional<QString> days;
        std::optional<QString> date;
        std::optional<QString> command;
    };

    AlarmCommand(const QString& settingsPath, const TimeSource& time);

    // Alarm n's time (HH:MM:SS, a short form, or +25m for a one-off that far ahead) and the
    // fields given; it is switched on, and made to show its window where it would do nothing.
    Outcome set(const QString& number, const QString& time, const Fields& fields) const;
    // Alarm n's next occurrence does not fire.
    Outcome skip(const QString& number) const;
    Outcome enable(const QString& number, bool on) const;

    // The date of alarm n's next occurrence from `now`, as stored in the file; nothing where
    // it is not armed or never fires.
    static std::optional<QDate> nextOccurrence(const SettingsStore& store, int n,
                                               const QDateTime& now);
    // A duration written as +1h30m (d, h, m and s, each at most once, in that order), in
    // seconds; nothing where it cannot be read.
    static std::optional<qint64> durationSeconds(const QString& text);

private:
    Outcome write(int n, const std::function<void(SettingsStore&)>& change,
                  const QString& done) const;
    QDateTime now() const;

    QString m_settingsPath;
    const TimeSource& m_time;
};
