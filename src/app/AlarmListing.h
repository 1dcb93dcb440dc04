// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class SettingsStore;
struct AlarmSlot;

// The ten alarms as qm-utc --list and --next print them, from the settings file as a start of
// the clock would take it: one tab-separated line each for people and shell scripts, or JSON
// with field names that stay as they are for status bars.
class AlarmListing
{
public:
    AlarmListing(const SettingsStore& store, const QDateTime& now);

    QString listText() const;
    QString listJson() const;
    QString nextText() const;
    QString nextJson() const;

private:
    struct Row
    {
        int number = 0;
        bool on = false;
        bool armed = false;
        bool snoozed = false;
        QString time;
        QString name;
        QString command;
        QString days;
        QString date;
        QString skipDate;
        QStringList notes;
    };
    QList<Row> rows() const;
    Row row(int n, const AlarmSlot& slot) const;

    const SettingsStore& m_store;
    QDateTime m_now;
};
