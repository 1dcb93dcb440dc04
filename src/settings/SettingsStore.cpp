// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsStore.h"

#include "SettingValue.h"
#include "SettingsKeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <utility>

SettingsStore::Batch::Batch(SettingsStore& store) : m_store(store)
{
    ++m_store.m_batchDepth;
}

SettingsStore::Batch::~Batch()
{
    if (--m_store.m_batchDepth == 0)
        m_store.commit();
}

SettingsStore::SettingsStore(const QString& filePath, Access access)
    : m_file(filePath, access == Access::ReadOnly)
{
    readFile(false);
}

SettingsStore::~SettingsStore()
{
    m_listener = nullptr;
    commit();
}

void SettingsStore::followFile()
{
    if (m_file.changedSinceRead())
        readFile(true);
    announce();
}

// At start the file is taken as it is; while the clock runs, what changed in it is told to the
// listener.
void SettingsStore::readFile(bool running)
{
    const std::optional<SettingsText::Section> section = m_file.read(sectionName(), running);
    if (!section)
        return;
    if (running)
        adopt(*section);
    else
        m_loaded = *section;
}

// The file as it is now becomes what the store reads; each key that reads differently from
// then on waits to be told to the listener. A key written in this run and not saved yet keeps
// the run's value.
void SettingsStore::adopt(const SettingsText::Section& current)
{
    for (const SettingKey& key : SettingsKeys::all()) {
        if (!m_pendingIndex.contains(key.name) &&
            m_loaded.value(key.name) != current.value(key.name))
            m_changedOutside.insert(key.name);
    }
    m_loaded = current;
}

void SettingsStore::announce()
{
    // A listener that writes may save, and the save may find more: told in the same loop.
    if (m_announcing)
        return;
    m_announcing = true;
    while (!m_changedOutside.isEmpty()) {
        const QSet<QString> changed = std::exchange(m_changedOutside, {});
        if (m_listener)
            m_listener(changed);
    }
    m_announcing = false;
}

QString SettingsStore::defaultFilePath()
{
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || QDir::isRelativePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + QStringLiteral("/QM_UTC.ini");
}

QString SettingsStore::sectionName()
{
    const QString path =
        QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    const QString name = QFileInfo(path).completeBaseName();
    return name.isEmpty() ? QStringLiteral("qm-utc") : name;
}

std::optional<QString> SettingsStore::stored(const QString& name) const
{
    const auto pending = m_pendingIndex.constFind(name);
    if (pending != m_pendingIndex.cend())
        return m_pending.at(*pending).second;
    return m_loaded.value(name);
}

QString SettingsStore::readText(const SettingKey& key) const
{
    return readText(key, key.defaultValue);
}

QString SettingsStore::readText(const SettingKey& key, const QString& defaultValue) const
{
    return stored(key.name).value_or(defaultValue);
}

qint16 SettingsStore::readFlag(const SettingKey& key) const
{
    return readFlag(key, *SettingValue::toFlag(key.defaultValue));
}

qint16 SettingsStore::readFlag(const SettingKey& key, qint16 defaultValue) const
{
    Q_ASSERT(key.kind == SettingKind::Flag);
    const std::optional<QString> text = stored(key.name);
    return text ? SettingValue::toFlag(*text).value_or(defaultValue) : defaultValue;
}

float SettingsStore::readTwips(const SettingKey& key) const
{
    return storedTwips(key).value_or(*SettingValue::toTwips(key.defaultValue));
}

std::optional<float> SettingsStore::storedTwips(const SettingKey& key) const
{
    Q_ASSERT(key.kind == SettingKind::Twips);
    const std::optional<QString> text = stored(key.name);
    return text ? SettingValue::toTwips(*text) : std::nullopt;
}

qint32 SettingsStore::readColour(const SettingKey& key) const
{
    Q_ASSERT(key.kind == SettingKind::Colour);
    const qint32 defaultValue = *SettingValue::toColour(key.defaultValue);
    const std::optional<QString> text = stored(key.name);
    return text ? SettingValue::toColour(*text).value_or(defaultValue) : defaultValue;
}

void SettingsStore::writeText(const SettingKey& key, const QString& value)
{
    write(key, value);
}

void SettingsStore::writeFlag(const SettingKey& key, qint16 value)
{
    Q_ASSERT(key.kind == SettingKind::Flag);
    write(key, SettingValue::fromFlag(value));
}

void SettingsStore::writeTwips(const SettingKey& key, float value)
{
    Q_ASSERT(key.kind == SettingKind::Twips);
    write(key, SettingValue::fromTwips(value));
}

void SettingsStore::writeColour(const SettingKey& key, qint32 value)
{
    Q_ASSERT(key.kind == SettingKind::Colour);
    write(key, SettingValue::fromColour(value));
}

void SettingsStore::write(const SettingKey& key, const QString& value)
{
    // Read back at once as the file will hold it, line breaks as blanks.
    const QString text = SettingsText::storable(value);
    const auto pending = m_pendingIndex.constFind(key.name);
    if (pending != m_pendingIndex.cend()) {
        m_pending[*pending].second = text;
    } else {
        m_pendingIndex.insert(key.name, m_pending.size());
        m_pending.append({key.name, text});
    }
    if (m_batchDepth == 0)
        commit();
}

void SettingsStore::commit()
{
    if (!m_pending.isEmpty() && save()) {
        m_pending.clear();
        m_pendingIndex.clear();
    }
    announce();
}

bool SettingsStore::save()
{
    const SettingsFile::Saving saving = m_file.save(sectionName(), m_pending);
    // What another program wrote meanwhile counts from now on, as if followed.
    if (saving.found)
        adopt(*saving.found);
    // Our own write: what the store reads now.
    if (saving.written)
        m_loaded = *saving.written;
    return saving.written.has_value();
}
