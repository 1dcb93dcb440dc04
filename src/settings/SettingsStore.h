// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SettingKey.h"
#include "SettingsFile.h"
#include "SettingsText.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>

// The per-user settings store: a plain key=value file, one section per executable name, one
// text value per key. It follows the file: reads come from the file as the store last read it,
// again whenever another program has changed it, with this run's writes that have not reached
// the disk yet over it; a missing key or an unusable value gives the default. Writes reach the
// disk before the handler that made them returns. A save re-reads the file and changes only
// the keys this run wrote, so whatever else a person typed into it survives. The file itself,
// its lock, trust and damage, is SettingsFile's.
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

    // ReadOnly never changes anything on disk: writes stay in memory and a damaged file is
    // only reported, for programs that look at the settings beside a running clock.
    enum class Access
    {
        ReadWrite,
        ReadOnly
    };

    explicit SettingsStore(const QString& filePath = defaultFilePath(),
                           Access access = Access::ReadWrite);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // $XDG_CONFIG_HOME/QM_UTC.ini, or ~/.config/QM_UTC.ini.
    static QString defaultFilePath();
    // The executable's file name without directory and extension, read at each access.
    static QString sectionName();

    QString filePath() const { return m_file.path(); }

    QString readText(const SettingKey& key) const;
    QString readText(const SettingKey& key, const QString& defaultValue) const;
    qint16 readFlag(const SettingKey& key) const;
    qint16 readFlag(const SettingKey& key, qint16 defaultValue) const;
    float readTwips(const SettingKey& key) const;
    // The twips stored for the key, if the file or this run holds a usable value.
    std::optional<float> storedTwips(const SettingKey& key) const;
    qint32 readColour(const SettingKey& key) const;

    void writeText(const SettingKey& key, const QString& value);
    void writeFlag(const SettingKey& key, qint16 value);
    void writeTwips(const SettingKey& key, float value);
    void writeColour(const SettingKey& key, qint32 value);

    // Reads the file again if another program has changed it since the store last read or
    // wrote it (its inode, size or modification time differ), then tells the listener which
    // of the program's keys now read differently. A file gone reads as empty; one that cannot
    // be read leaves the values as they were.
    void followFile();
    // Called with the names of the keys whose values another program changed, once the
    // store has taken them: at followFile() and when a save finds them.
    using ChangeListener = std::function<void(const QSet<QString>& changedKeys)>;
    void setChangeListener(ChangeListener listener) { m_listener = std::move(listener); }

    // Empty when the alarm commands stored in the file may run; otherwise one line saying why
    // they are not run and how to fix it. Judged each time the file is read, at start, when it
    // changed and at every save: once others could have changed it, it stays refused for the
    // rest of the run.
    const QString& commandRefusal() const { return m_file.commandRefusal(); }
    // Empty when the file was read (or is not there); otherwise one line saying why not and
    // what that means for the settings. Nothing is saved into a file that cannot be read.
    const QString& readRefusal() const { return m_file.readRefusal(); }
    // Writes that have not reached the disk yet: a save failed or waits for the lock.
    bool hasUnsaved() const { return !m_pending.isEmpty(); }
    // Forgets them, for a program that ends saying that nothing was changed.
    void discardUnsaved()
    {
        m_pending.clear();
        m_pendingIndex.clear();
    }

    // How long a save waits for another writer's lock.
    void setLockWait(std::chrono::milliseconds wait) { m_file.setLockWait(wait); }

private:
    std::optional<QString> stored(const QString& name) const;
    void write(const SettingKey& key, const QString& value);
    void commit();
    void readFile(bool running);
    void adopt(const SettingsText::Section& current);
    void announce();
    bool save();

    SettingsFile m_file;
    SettingsText::Section m_loaded;  // the file as the store last read or wrote it
    SettingsText::Changes m_pending; // written, not yet on disk, in order of writing
    QHash<QString, qsizetype> m_pendingIndex;
    QSet<QString> m_changedOutside; // not yet told to the listener
    ChangeListener m_listener;
    int m_batchDepth = 0;
    bool m_announcing = false;
};
