#pragma once

#include "SettingKey.h"

#include <QSettings>
#include <optional>

// The per-user settings store: an INI file named after the application, one group per
// executable name, one text value per key. Reads that find nothing usable give the default;
// writes reach the disk before the handler that made them returns.
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

    QString filePath() const { return m_settings.fileName(); }

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

private:
    std::optional<QString> stored(const QString& name) const;
    void write(const SettingKey& key, const QString& text);
    void commit();
    static QString withoutStaleLock(const QString& filePath);
    void keepIfDamaged(const QByteArray& content);

    mutable QSettings m_settings;
    int m_batchDepth = 0;
    bool m_writeFailureReported = false;
};
