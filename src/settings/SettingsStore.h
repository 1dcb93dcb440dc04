// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SettingKey.h"
#include "SettingsText.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <chrono>
#include <optional>

// The per-user settings store: a plain key=value file, one section per executable name, one
// text value per key. Reads come from what was loaded at start plus this run's writes, and
// find the default when nothing usable is there; writes reach the disk before the handler that
// made them returns. A save re-reads the file and changes only the keys this run wrote, so
// whatever else a person typed into it survives.
class SettingsStore
{
public:
    // Commits all writes made while it lives in one go, when the outermost batch ends.
    // Writes outside any batch reach the disk at once.
    class Batch
    {
    public:
        explicit Batch(SettingsStore& store);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        SettingsStore& m_store;
    };

    explicit SettingsStore(const QString& filePath = defaultFilePath());
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // $XDG_CONFIG_HOME/QM_UTC.ini, or ~/.config/QM_UTC.ini.
    static QString defaultFilePath();
    // The executable's file name without directory and extension, read at each access.
    static QString sectionName();

    QString filePath() const { return m_filePath; }

    QString readText(const SettingKey& key) const;
    QString readText(const SettingKey& key, const QString& defaultValue) const;
    qint16 readFlag(const SettingKey& key) const;
    qint16 readFlag(const SettingKey& key, qint16 defaultValue) const;
    float readTwips(const SettingKey& key) const;
    qint32 readColour(const SettingKey& key) const;

    void writeText(const SettingKey& key, const QString& value);
    void writeFlag(const SettingKey& key, qint16 value);
    void writeTwips(const SettingKey& key, float value);
    void writeColour(const SettingKey& key, qint32 value);

    // Empty when the alarm commands stored in the file may run; otherwise one line saying why
    // they are not run and how to fix it. Decided when the file was loaded.
    QString commandRefusal() const { return m_commandRefusal; }

    // How long a save waits for another writer's lock.
    void setLockWait(std::chrono::milliseconds wait) { m_lockWait = wait; }

private:
    std::optional<QString> stored(const QString& name) const;
    void write(const SettingKey& key, const QString& text);
    void commit();
    bool save();
    bool saveFailed(const QString& reason);
    void keepIfDamaged(const QByteArray& content);

    QString m_filePath;
    SettingsText::Section m_loaded;
    QHash<QString, QString> m_written;
    QList<QPair<QString, QString>> m_pending; // written, not yet on disk, in order of writing
    QHash<QString, qsizetype> m_pendingIndex;
    QSet<size_t> m_damageReported;
    QString m_commandRefusal;
    std::chrono::milliseconds m_lockWait{500};
    int m_batchDepth = 0;
    bool m_readFailed = false;
    bool m_keepMode = false;
    bool m_saveFailureReported = false;
    bool m_lockFailureReported = false;
};
